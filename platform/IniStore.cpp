// IniStore.cpp: INI reads through the key index, and in-place writing of one value.
#include "platform/IniStore.h"

#include "platform/FileSystem.h"
#include "platform/IniText.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {

std::string Unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

void IniStore::SetFile(const std::string& gamePath)
{
    // Binding the file that is already current keeps what was read: a reader binds before each
    // of its reads (a level start makes hundreds), and every read still checks the file's stamp.
    if (gamePath == m_gamePath && m_rootFolder == fs_layer::GetRootFolder())
        return;
    m_gamePath = gamePath;
    m_rootFolder = fs_layer::GetRootFolder();
    m_hostPath.clear();
    m_index.Clear();
    std::string().swap(m_text);
    m_bHaveStamp = false;
}

void IniStore::Refresh()
{
    if (m_gamePath.empty())
        return;
    struct stat st;
    if (m_hostPath.empty() || ::stat(m_hostPath.c_str(), &st) != 0) {
        m_hostPath = fs_layer::ResolvePath(m_gamePath);
        if (::stat(m_hostPath.c_str(), &st) != 0) {
            m_index.Clear();
            m_text.clear();
            m_bHaveStamp = false;
            return;
        }
    }
    const std::int64_t stampTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const std::int64_t stampSize = static_cast<std::int64_t>(st.st_size);
    const std::uint64_t stampInode = static_cast<std::uint64_t>(st.st_ino);
    // Timestamps are coarse: a file replaced by a rename within one tick still has a new inode.
    if (m_bHaveStamp && stampTime == m_stampTime && stampSize == m_stampSize && stampInode == m_stampInode)
        return;
    // The old text and its index go first, and the bytes read go before the index is made: a big
    // file is held once, not three times.
    m_index.Clear();
    std::string().swap(m_text);
    {
        std::vector<std::uint8_t> bytes;
        if (fs_layer::ReadWholeFile(m_hostPath, bytes, 64u << 20))
            m_text.assign(bytes.begin(), bytes.end());
    }
    m_bHaveStamp = true;
    m_stampTime = stampTime;
    m_stampSize = stampSize;
    m_stampInode = stampInode;
    Index();
}

void IniStore::Index()
{
    m_index.Build(m_text);
}

std::vector<std::string> IniStore::SectionKeys(const std::string& text, const std::string& section,
                                               int* occurrences)
{
    std::vector<std::string> keys;
    const int found = ini_text::ForEachSectionKey(
        text, section, [&](std::string_view key, std::size_t) { keys.emplace_back(key); });
    if (occurrences != nullptr)
        *occurrences = found;
    return keys;
}

bool IniStore::Lookup(const std::string& section, const std::string& key, std::string& value)
{
    Refresh();
    const std::size_t line = m_index.Find(section, key);
    std::string_view name, text;
    if (line == IniKeyIndex::kNone || !ini_text::KeyLine(ini_text::LineAt(m_text, line), name, text))
        return false;
    value = Unquoted(ini_text::Trim(text));
    return true;
}

int IniStore::GetInt(const std::string& section, const std::string& key, int def)
{
    std::string value;
    if (!Lookup(section, key, value) || value.empty())
        return def;
    // Leading digits only, as atoi: "12abc" is 12, "abc" is 0; clamped rather than overflowing.
    const long long parsed = std::strtoll(value.c_str(), nullptr, 10);
    if (parsed > INT32_MAX)
        return INT32_MAX;
    if (parsed < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(parsed);
}

float IniStore::GetFloat(const std::string& section, const std::string& key, float def)
{
    std::string value;
    if (!Lookup(section, key, value) || value.empty())
        return def;
    return std::strtof(value.c_str(), nullptr);
}

std::string IniStore::GetString(const std::string& section, const std::string& key, const std::string& def)
{
    std::string value;
    if (!Lookup(section, key, value))
        return def;
    return value;
}

bool IniStore::FindKeyLine(const std::string& section, const std::string& key, std::size_t& valueBegin,
                           std::size_t& valueEnd, std::size_t& sectionEnd, bool& sectionFound) const
{
    bool inWanted = false;
    bool found = false;
    sectionFound = false;
    ini_text::ForEachLine(m_text, [&](std::string_view line, std::size_t begin) {
        std::size_t next = 0;
        (void)ini_text::LineAt(m_text, begin, &next);
        std::string_view name, value;
        if (ini_text::SectionName(line, name)) {
            if (inWanted)
                return false;  // the wanted section ended; only its first occurrence counts
            inWanted = ini_text::EqualNoCase(name, section);
            sectionFound = sectionFound || inWanted;
            if (inWanted)
                sectionEnd = next;
            return true;
        }
        if (!inWanted)
            return true;
        if (!ini_text::Trim(line).empty())
            sectionEnd = next;  // new keys go after the section's last non-blank line
        if (ini_text::KeyLine(line, name, value) && ini_text::EqualNoCase(name, key)) {
            value = ini_text::Trim(value);  // keep the blanks around the value as they were
            valueBegin = static_cast<std::size_t>(value.data() - m_text.data());
            valueEnd = valueBegin + value.size();
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

bool IniStore::SetString(const std::string& section, const std::string& key, const std::string& value,
                         bool* replacedLink)
{
    if (m_gamePath.empty() || section.empty() || key.empty())
        return false;
    Refresh();
    std::string clean;
    for (char c : value)
        if (c != '\r' && c != '\n')
            clean += c;  // a line break would split the entry
    const std::string eol = m_text.find("\r\n") != std::string::npos || m_text.empty() ? "\r\n" : "\n";
    std::size_t valueBegin = 0, valueEnd = 0, sectionEnd = 0;
    bool sectionFound = false;
    if (FindKeyLine(section, key, valueBegin, valueEnd, sectionEnd, sectionFound)) {
        m_text.replace(valueBegin, valueEnd - valueBegin, clean);
    } else if (sectionFound) {
        std::string line = key + "=" + clean + eol;
        if (sectionEnd > 0 && m_text[sectionEnd - 1] != '\n')
            line = eol + line;  // the section's last line had no line break (end of file)
        m_text.insert(sectionEnd, line);
    } else {
        if (!m_text.empty() && m_text.back() != '\n')
            m_text += eol;
        m_text += "[" + section + "]" + eol + key + "=" + clean + eol;
    }
    if (m_hostPath.empty())
        m_hostPath = fs_layer::ResolvePath(m_gamePath);
    host_files::WriteOptions options;
    options.replacedLink = replacedLink;
    const bool ok = fs_layer::WriteWholeFile(m_hostPath, reinterpret_cast<const std::uint8_t*>(m_text.data()),
                                             m_text.size(), options);
    m_bHaveStamp = false;  // re-read next time: the stamp changed, or the write failed
    Index();
    return ok;
}
