#include "feedback/ConfigSource.h"

#include "feedback/ConfigText.h"
#include "feedback/DataLibrary.h"
#include "feedback/WideText.h"
#include "platform/feedback_sys/FeedbackSystem.h"
#include "platform/files/HostFiles.h"

namespace {

bool SamePathNoCase(const std::string& a, const std::string& b)
{
    return WideText::EqualsNoCase(WideText::FromUtf8(a), WideText::FromUtf8(b));
}

// Regular files of the folder whose names match the pattern, case ignored.
std::vector<std::string> SearchFolder(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> found;
    const std::u16string widePattern = WideText::FromUtf8(pattern);
    for (std::string& path : host_files::ListFiles(folder)) {
        if (ConfigText::WildcardMatch(widePattern, WideText::FromUtf8(host_files::FileName(path)), false))
            found.push_back(std::move(path));
    }
    return found;
}

}  // namespace

ConfigSource& ConfigSource::Process()
{
    static ConfigSource source(FeedbackSystem::OwnModulePath(), FeedbackSystem::HostProgramPath());
    return source;
}

ConfigSource::ConfigSource(std::string libraryPath, std::string hostPath)
    : m_libraryPath(std::move(libraryPath)), m_hostPath(std::move(hostPath))
{
}

std::string ConfigSource::GetIniPath() const
{
    if (m_libraryPath.empty())
        return {};
    return host_files::ReplaceExtension(m_libraryPath, "ini");
}

bool ConfigSource::FindDataLibrary(std::string& path) const
{
    const std::string folder = host_files::ParentFolder(m_libraryPath);
    const std::string base = host_files::Stem(m_libraryPath);
    std::vector<std::string> found = SearchFolder(folder, base + "Data-*.so");
    if (found.size() > 1)
        found = SearchFolder(folder, base + "Data-" + host_files::Stem(m_hostPath) + ".so");
    if (found.size() != 1)
        return false;
    path = found.front();
    return true;
}

void ConfigSource::SelectIniSource(const std::string& iniPath)
{
    if (iniPath.empty() || (!m_selectedPath.empty() && SamePathNoCase(iniPath, m_selectedPath)))
        return;
    const std::vector<std::string> iniFiles =
        SearchFolder(host_files::ParentFolder(iniPath), host_files::FileName(iniPath));
    if (!iniFiles.empty()) {
        (void)m_document.LoadFile(iniFiles.front());  // a path from the search is never empty
        m_selectedPath = iniPath;
        m_type = kRaw;
        return;
    }
    std::string dataPath;
    std::vector<std::uint8_t> text;
    if (!FindDataLibrary(dataPath) || !DataLibrary::LoadIni(dataPath, text))
        return;
    m_document.Clear();
    m_document.Parse(reinterpret_cast<const char*>(text.data()), text.size());
    m_selectedPath = iniPath;
    m_type = kDll;
}

ConfigSource::SourceType ConfigSource::Type()
{
    SelectDefault();
    return m_type;
}

std::u16string ConfigSource::GetProfileString(std::u16string_view section, std::u16string_view key,
                                              std::u16string_view defaultValue)
{
    SelectDefault();
    std::u16string value = m_document.Find(section, key).value_or(std::u16string(defaultValue));
    if (value.size() > kMaxValueChars)
        value.resize(kMaxValueChars);
    return value;
}

std::optional<std::u16string> ConfigSource::Lookup(std::u16string_view section, std::u16string_view key)
{
    SelectDefault();
    std::optional<std::u16string> value = m_document.Find(section, key);
    if (value && value->size() > kMaxValueChars)
        value->resize(kMaxValueChars);
    return value;
}

std::int32_t ConfigSource::GetProfileInt(std::u16string_view section, std::u16string_view key,
                                         std::int32_t defaultValue)
{
    SelectDefault();
    const std::optional<std::u16string> value = m_document.Find(section, key);
    if (!value || value->empty())
        return defaultValue;
    return ConfigText::ParseIntString(*value);
}

std::vector<std::u16string> ConfigSource::GetProfileSectionNames(std::size_t& joinedLength)
{
    SelectDefault();
    std::vector<std::u16string> names;
    joinedLength = 0;
    // The list ends with an extra terminator, so it must leave room for two. A list that does not fit reports
    // the buffer's length less two, which callers take as "too many sections".
    for (const std::u16string& name : m_document.SectionNames()) {
        if (joinedLength + name.size() + 2 > kSectionListChars) {
            joinedLength = kSectionListChars - 2;
            break;
        }
        names.push_back(name);
        joinedLength += name.size() + 1;
    }
    return names;
}

bool ConfigSource::ParseBool(std::u16string_view key, bool defaultValue, std::u16string_view section)
{
    const std::u16string value = GetProfileString(section, key, defaultValue ? u"1" : u"0");
    if (value == u"1" || WideText::EqualsNoCase(value, u"true"))
        return true;
    if (WideText::EqualsNoCase(value, u"false"))
        return false;
    return defaultValue;  // "0" included: only "false" clears a flag
}
