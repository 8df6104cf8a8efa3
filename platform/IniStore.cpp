// IniStore.cpp: INI parsing and in-place writing with Windows profile semantics.
#include "platform/IniStore.h"

#include "platform/FileSystem.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void TrimRange(const std::string& text, std::size_t& begin, std::size_t& end)
{
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
}

std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end)
{
    TrimRange(text, begin, end);
    return text.substr(begin, end - begin);
}

std::string Unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string MakeKey(const std::string& section, const std::string& key)
{
    return Lower(section) + '\0' + Lower(key);
}

// Calls visit(lineBegin, lineEnd, nextLine) for each line; lineEnd excludes the line break.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = text.find('\n', pos);
        std::size_t end = next == std::string::npos ? text.size() : next;
        next = next == std::string::npos ? text.size() : next + 1;
        if (end > pos && text[end - 1] == '\r')
            --end;
        if (!visit(pos, end, next))
            return;
        pos = next;
    }
}

// A "[name]" line: true and the trimmed name.
bool ParseSection(const std::string& text, std::size_t begin, std::size_t end, std::string& name)
{
    TrimRange(text, begin, end);
    if (begin >= end || text[begin] != '[')
        return false;
    const std::size_t close = text.find(']', begin);
    name = Trimmed(text, begin + 1, close == std::string::npos || close > end ? end : close);
    return true;
}

// A "key=value" line: the key's and the value's ranges (untrimmed value).
bool ParseKey(const std::string& text, std::size_t begin, std::size_t end, std::string& key,
              std::size_t& valueBegin)
{
    std::size_t first = begin;
    while (first < end && IsBlank(text[first]))
        ++first;
    if (first >= end || text[first] == ';')
        return false;
    const std::size_t eq = text.find('=', first);
    if (eq == std::string::npos || eq >= end)
        return false;
    key = Trimmed(text, first, eq);
    valueBegin = eq + 1;
    return !key.empty();
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
    m_text.clear();
    m_values.clear();
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
            m_text.clear();
            m_values.clear();
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
    std::vector<std::uint8_t> bytes;
    if (!fs_layer::ReadWholeFile(m_hostPath, bytes, 64u << 20))
        bytes.clear();
    m_text.assign(bytes.begin(), bytes.end());
    m_bHaveStamp = true;
    m_stampTime = stampTime;
    m_stampSize = stampSize;
    m_stampInode = stampInode;
    Index();
}

void IniStore::Index()
{
    m_values.clear();
    std::string section;
    bool inSection = false;
    ForEachLine(m_text, [&](std::size_t begin, std::size_t end, std::size_t) {
        std::string name;
        if (ParseSection(m_text, begin, end, name)) {
            section = name;
            inSection = true;
            return true;
        }
        std::size_t valueBegin = 0;
        if (inSection && ParseKey(m_text, begin, end, name, valueBegin))
            m_values.emplace(MakeKey(section, name), Unquoted(Trimmed(m_text, valueBegin, end)));
        return true;
    });
}

std::vector<std::string> IniStore::SectionKeys(const std::string& text, const std::string& section,
                                               int* occurrences)
{
    const std::string wanted = Lower(Trimmed(section, 0, section.size()));
    std::vector<std::string> keys;
    bool inWanted = false;
    int found = 0;
    ForEachLine(text, [&](std::size_t begin, std::size_t end, std::size_t) {
        std::string name;
        if (ParseSection(text, begin, end, name)) {
            inWanted = Lower(name) == wanted;
            found += inWanted ? 1 : 0;
            return true;
        }
        std::size_t valueBegin = 0;
        if (inWanted && ParseKey(text, begin, end, name, valueBegin))
            keys.push_back(name);
        return true;
    });
    if (occurrences != nullptr)
        *occurrences = found;
    return keys;
}

bool IniStore::Lookup(const std::string& section, const std::string& key, std::string& value)
{
    Refresh();
    const auto it = m_values.find(MakeKey(Trimmed(section, 0, section.size()), Trimmed(key, 0, key.size())));
    if (it == m_values.end())
        return false;
    value = it->second;
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
    const std::string wantSection = Lower(section);
    const std::string wantKey = Lower(key);
    bool inWanted = false;
    bool found = false;
    sectionFound = false;
    ForEachLine(m_text, [&](std::size_t begin, std::size_t end, std::size_t next) {
        std::string name;
        if (ParseSection(m_text, begin, end, name)) {
            if (inWanted)
                return false;  // the wanted section ended; only its first occurrence counts
            inWanted = Lower(name) == wantSection;
            sectionFound = sectionFound || inWanted;
            if (inWanted)
                sectionEnd = next;
            return true;
        }
        if (!inWanted)
            return true;
        if (Trimmed(m_text, begin, end).size() != 0)
            sectionEnd = next;  // new keys go after the section's last non-blank line
        std::size_t vb = 0;
        if (ParseKey(m_text, begin, end, name, vb) && Lower(name) == wantKey) {
            TrimRange(m_text, vb, end);  // keep the blanks around the value as they were
            valueBegin = vb;
            valueEnd = end;
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
