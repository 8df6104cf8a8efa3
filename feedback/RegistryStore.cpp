#include "feedback/RegistryStore.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "feedback/WideText.h"
#include "platform/bytes/CByteReader.h"
#include "platform/bytes/CByteWriter.h"
#include "platform/feedback_sys/FeedbackFileLock.h"
#include "platform/files/HostFiles.h"

namespace {

constexpr std::size_t kMaxLineChars = 16384;

template <typename Entries>
auto FindNoCase(Entries& entries, std::u16string_view name) -> decltype(entries.begin())
{
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (WideText::EqualsNoCase(it->first, name))
            return it;
    }
    return entries.end();
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexNumber(std::string_view text, std::size_t digits, std::uint64_t& out)
{
    if (text.size() != digits)
        return false;
    out = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        out = out << 4 | static_cast<std::uint64_t>(d);
    }
    return true;
}

bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (text.empty())
        return true;
    for (std::size_t pos = 0;; pos += 3) {
        std::uint64_t byte = 0;
        if (out.size() >= RegistryStore::kMaxBinaryBytes || pos + 2 > text.size() ||
            !ParseHexNumber(text.substr(pos, 2), 2, byte))
            return false;
        out.push_back(static_cast<std::uint8_t>(byte));
        if (pos + 2 == text.size())
            return true;
        if (text[pos + 2] != ',')
            return false;
    }
}

// A quoted text at the start of line; its end is returned in end.
bool ParseQuoted(std::string_view line, std::string& out, std::size_t& end)
{
    out.clear();
    if (line.empty() || line[0] != '"')
        return false;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            end = i + 1;
            return true;
        }
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        out += line[i];
    }
    return false;
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n' || c == '\r')
            c = ' ';  // a value never breaks the line structure
        out += c;
    }
    return out + "\"";
}

// An odd last byte is dropped.
std::u16string Utf16FromBytes(const std::vector<std::uint8_t>& data)
{
    std::u16string text;
    CByteReader in(data.data(), data.size());
    for (std::uint16_t unit = 0; in.ReadU16(unit);)
        text += static_cast<char16_t>(unit);
    return text;
}

bool ParseValue(std::string_view text, RegistryStore::Value& value)
{
    std::uint64_t number = 0;
    if (text.substr(0, 6) == "dword:") {
        if (!ParseHexNumber(text.substr(6), 8, number))
            return false;
        value = RegistryStore::Dword(static_cast<std::uint32_t>(number));
        return true;
    }
    if (text.substr(0, 6) == "qword:") {
        if (!ParseHexNumber(text.substr(6), 16, number))
            return false;
        value = RegistryStore::Qword(number);
        return true;
    }
    if (text.substr(0, 4) == "hex:") {
        value.Type = RegistryStore::kBinary;
        return ParseHexBytes(text.substr(4), value.Data);
    }
    std::string quoted;
    std::size_t end = 0;
    if (!ParseQuoted(text, quoted, end) || end != text.size())
        return false;
    value = RegistryStore::String(WideText::FromUtf8(quoted));
    return true;
}

std::string FormatHex(std::uint64_t value, int digits)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
    return out;
}

std::string FormatValue(const RegistryStore::Value& value)
{
    CByteReader in(value.Data.data(), value.Data.size());
    std::uint32_t dword = 0;
    std::uint64_t qword = 0;
    switch (value.Type) {
    case RegistryStore::kDword:
        if (value.Data.size() == 4 && in.ReadU32(dword))
            return "dword:" + FormatHex(dword, 8);
        break;
    case RegistryStore::kQword:
        if (value.Data.size() == 8 && in.ReadU64(qword))
            return "qword:" + FormatHex(qword, 16);
        break;
    case RegistryStore::kString:
        return Quoted(WideText::ToUtf8(Utf16FromBytes(value.Data)));
    case RegistryStore::kBinary:
        break;
    }
    std::string out = "hex:";  // binary, and a number of an odd size, keep their bytes
    for (std::size_t i = 0; i < value.Data.size(); ++i)
        out += (i == 0 ? "" : ",") + FormatHex(value.Data[i], 2);
    return out;
}

}  // namespace

std::string RegistryStore::DefaultPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0')
            return {};
        folder = host_files::Join(home, ".config");
    }
    return host_files::Join(host_files::Join(folder, "NimbraClient"), "registry.txt");
}

RegistryStore::RegistryStore(std::string path) : m_path(std::move(path)) {}

bool RegistryStore::EnsureFolder() const
{
    if (m_path.empty())
        return false;
    const std::string folder = host_files::ParentFolder(m_path);
    // The user's consent is nobody else's business: a new folder is the user's alone.
    return folder.empty() || host_files::CreateFolders(folder, true);
}

bool RegistryStore::Load(Keys& keys) const
{
    keys.clear();
    const std::optional<bool> exists = host_files::Exists(m_path);
    if (!exists.value_or(false))
        return exists.has_value();  // no file yet: an empty store
    std::ifstream in(m_path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes)
        return false;
    in.seekg(0);
    std::string line;
    Values* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line.size() > kMaxLineChars)
            continue;
        if (line[0] == '[') {
            current = nullptr;
            if (line.back() != ']' || line.size() < 3)
                continue;
            const std::u16string key = WideText::FromUtf8(std::string_view(line).substr(1, line.size() - 2));
            auto it = FindNoCase(keys, key);
            if (it == keys.end())
                it = keys.insert(keys.end(), {key, Values()});
            current = &it->second;
            continue;
        }
        std::string name;
        std::size_t end = 0;
        Value value;
        if (current == nullptr || !ParseQuoted(line, name, end) || end >= line.size() || line[end] != '=' ||
            !ParseValue(std::string_view(line).substr(end + 1), value))
            continue;
        const std::u16string wideName = WideText::FromUtf8(name);
        auto it = FindNoCase(*current, wideName);
        if (it == current->end())
            current->emplace_back(wideName, std::move(value));
        else
            it->second = std::move(value);
    }
    return !in.bad();
}

bool RegistryStore::Save(const Keys& keys) const
{
    std::ostringstream out;
    out << "; NimbraClient per-user settings. Keys in brackets; values dword:, qword:, hex: or quoted text.\n";
    for (const auto& [key, values] : keys) {
        out << '[' << WideText::ToUtf8(key) << "]\n";
        for (const auto& [name, value] : values)
            out << Quoted(WideText::ToUtf8(name)) << '=' << FormatValue(value) << '\n';
    }
    return FeedbackFileLock::ReplaceFile(m_path, out.str());
}

template <class Change>
bool RegistryStore::Update(Change change)
{
    FeedbackFileLock lock(LockPath());
    if (!lock.Locked())
        return false;
    Keys keys;
    if (!Load(keys))
        return false;
    return !change(keys) || Save(keys);
}

bool RegistryStore::CreateKey(std::u16string_view key)
{
    return EnsureFolder() && Update([&](Keys& keys) {
        if (FindNoCase(keys, key) != keys.end())
            return false;
        keys.emplace_back(std::u16string(key), Values());
        return true;
    });
}

bool RegistryStore::KeyExists(std::u16string_view key) const
{
    FeedbackFileLock lock(LockPath());
    Keys keys;
    (void)Load(keys);  // an unreadable file reads as empty
    return FindNoCase(keys, key) != keys.end();
}

std::optional<RegistryStore::Value> RegistryStore::Read(std::u16string_view key, std::u16string_view name) const
{
    FeedbackFileLock lock(LockPath());
    Keys keys;
    (void)Load(keys);  // an unreadable file reads as empty
    const auto k = FindNoCase(keys, key);
    if (k == keys.end())
        return std::nullopt;
    const auto v = FindNoCase(k->second, name);
    if (v == k->second.end())
        return std::nullopt;
    return v->second;
}

bool RegistryStore::Write(std::u16string_view key, std::u16string_view name, const Value& value)
{
    return EnsureFolder() && Update([&](Keys& keys) {
        auto k = FindNoCase(keys, key);
        if (k == keys.end())
            k = keys.insert(keys.end(), {std::u16string(key), Values()});
        auto v = FindNoCase(k->second, name);
        if (v == k->second.end())
            k->second.emplace_back(std::u16string(name), value);
        else
            v->second = value;
        return true;
    });
}

bool RegistryStore::Delete(std::u16string_view key, std::u16string_view name)
{
    return Update([&](Keys& keys) {
        auto k = FindNoCase(keys, key);
        if (k == keys.end())
            return false;
        auto v = FindNoCase(k->second, name);
        if (v == k->second.end())
            return false;
        k->second.erase(v);
        return true;
    });
}

std::optional<std::uint32_t> RegistryStore::ReadDword(std::u16string_view key, std::u16string_view name) const
{
    const std::optional<Value> value = Read(key, name);
    std::uint32_t number = 0;
    if (!value || value->Type != kDword || value->Data.size() != 4 ||
        !CByteReader(value->Data.data(), value->Data.size()).ReadU32(number))
        return std::nullopt;
    return number;
}

std::optional<std::uint64_t> RegistryStore::ReadQword(std::u16string_view key, std::u16string_view name) const
{
    const std::optional<Value> value = Read(key, name);
    std::uint64_t number = 0;
    if (!value || value->Type != kQword || value->Data.size() != 8 ||
        !CByteReader(value->Data.data(), value->Data.size()).ReadU64(number))
        return std::nullopt;
    return number;
}

std::optional<std::vector<std::uint8_t>> RegistryStore::ReadBinary(std::u16string_view key,
                                                                   std::u16string_view name, std::size_t size) const
{
    std::optional<Value> value = Read(key, name);
    if (!value || value->Type != kBinary || value->Data.size() != size)
        return std::nullopt;
    return std::move(value->Data);
}

RegistryStore::Value RegistryStore::Dword(std::uint32_t value)
{
    Value out{kDword, {}};
    CByteWriter(out.Data).WriteU32(value);
    return out;
}

RegistryStore::Value RegistryStore::Qword(std::uint64_t value)
{
    Value out{kQword, {}};
    CByteWriter(out.Data).WriteU64(value);
    return out;
}

RegistryStore::Value RegistryStore::Binary(const std::uint8_t* data, std::size_t size)
{
    return Value{kBinary, std::vector<std::uint8_t>(data, data + size)};
}

RegistryStore::Value RegistryStore::String(std::u16string_view text)
{
    Value out{kString, {}};
    CByteWriter data(out.Data);
    for (char16_t c : text)
        data.WriteU16(c);
    return out;
}
