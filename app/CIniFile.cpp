#include "app/CIniFile.h"

#include "platform/Engine.h"

CIniFile::CIniFile(const char* file)
    : m_sFile(file != nullptr ? file : "")
{
    Bind();
}

CIniFile::CIniFile(const CIniFile& other)
    : m_sFile(other.m_sFile), m_sSection(other.m_sSection)
{
}

CIniFile& CIniFile::operator=(const CIniFile& other)
{
    m_sFile = other.m_sFile;
    m_sSection = other.m_sSection;
    return *this;
}

CIniFile::~CIniFile() = default;

void CIniFile::Bind()
{
    if (m_pEngine != nullptr)
        m_pEngine->SetState(EState::IniFile, m_sFile.c_str());
}

void CIniFile::SetSection(const char* section)
{
    m_sSection = section != nullptr ? section : "";
}

const char* CIniFile::GetString(const char* key)
{
    Bind();
    m_sValue = m_pEngine != nullptr && key != nullptr ? m_pEngine->IniGetString(m_sSection.c_str(), key, "")
                                                      : std::string();
    return m_sValue.c_str();
}

bool CIniFile::Find(const char* key, std::string& value)
{
    // No line of an INI file holds a line break: a value that reads as one was not there.
    static constexpr const char* kAbsent = "\n";
    Bind();
    if (m_pEngine == nullptr || key == nullptr)
        return false;
    value = m_pEngine->IniGetString(m_sSection.c_str(), key, kAbsent);
    return value != kAbsent;
}

int CIniFile::GetInt(const char* key)
{
    Bind();
    if (m_pEngine == nullptr || key == nullptr)
        return 0;
    return m_pEngine->IniGetInt(m_sSection.c_str(), key, 0);
}

float CIniFile::GetFloat(const char* key)
{
    Bind();
    if (m_pEngine == nullptr || key == nullptr)
        return 0.0f;
    return m_pEngine->IniGetFloat(m_sSection.c_str(), key, 0.0f);
}

bool CIniFile::GetBool(const char* key)
{
    return GetInt(key) != 0;
}
