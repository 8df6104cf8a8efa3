#include "feedback/ConfigSource.h"

#include <filesystem>
#include <system_error>

#include "feedback/ConfigText.h"
#include "feedback/DataLibrary.h"
#include "feedback/WideText.h"
#include "platform/feedback_sys/FeedbackSystem.h"

namespace fs = std::filesystem;

namespace {

bool SamePathNoCase(const std::string& a, const std::string& b)
{
    return WideText::EqualsNoCase(WideText::FromUtf8(a), WideText::FromUtf8(b));
}

// Regular files of the folder whose names match the pattern, case ignored; "." and ".." never match.
std::vector<std::string> SearchFolder(const fs::path& folder, const std::string& pattern)
{
    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    const std::u16string widePattern = WideText::FromUtf8(pattern);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name == "." || name == "..")
            continue;
        if (!ConfigText::WildcardMatch(widePattern, WideText::FromUtf8(name), false))
            continue;
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            found.push_back(it->path().string());
    }
    return found;
}

std::string StemOf(const std::string& path)
{
    return fs::path(path).stem().string();
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
    return fs::path(m_libraryPath).replace_extension("ini").string();
}

bool ConfigSource::FindDataLibrary(std::string& path) const
{
    const fs::path folder = fs::path(m_libraryPath).parent_path();
    const std::string base = StemOf(m_libraryPath);
    std::vector<std::string> found = SearchFolder(folder, base + "Data-*.so");
    if (found.size() > 1)
        found = SearchFolder(folder, base + "Data-" + StemOf(m_hostPath) + ".so");
    if (found.size() != 1)
        return false;
    path = found.front();
    return true;
}

void ConfigSource::SelectIniSource(const std::string& iniPath)
{
    if (iniPath.empty() || (!m_selectedPath.empty() && SamePathNoCase(iniPath, m_selectedPath)))
        return;
    const fs::path ini(iniPath);
    const std::vector<std::string> iniFiles = SearchFolder(ini.parent_path(), ini.filename().string());
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
