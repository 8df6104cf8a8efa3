#include "feedback/DataLibrary.h"

#include <cstring>
#include <fstream>

#include "feedback/XxteaCipher.h"
#include "platform/bytes/CByteReader.h"

namespace {

constexpr std::uint16_t kElfTypeShared = 3;
constexpr std::uint32_t kSectionNoBits = 8;

// The fields of the ELF header and section headers that the reader needs, for both word sizes.
struct ElfLayout {
    bool wide = true;
    std::size_t shoffAt = 40, shentsizeAt = 58, shnumAt = 60, shstrndxAt = 62;
    std::size_t sectionHeaderBytes = 64, offsetAt = 24, sizeAt = 32;
};

ElfLayout LayoutFor(std::uint8_t elfClass)
{
    ElfLayout layout;
    if (elfClass == 1)
        layout = ElfLayout{false, 32, 46, 48, 50, 40, 16, 20};
    return layout;
}

bool ReadWord(CByteReader& in, bool wide, std::uint64_t& out)
{
    if (wide)
        return in.ReadU64(out);
    std::uint32_t word = 0;
    const bool ok = in.ReadU32(word);
    out = word;
    return ok;
}

struct SectionHeader {
    std::uint32_t name = 0, type = 0;
    std::uint64_t offset = 0, size = 0;
};

bool ReadSectionHeader(const std::vector<std::uint8_t>& file, const ElfLayout& layout, std::uint64_t at,
                       SectionHeader& out)
{
    CByteReader in(file.data(), file.size());
    return in.Seek(at) && in.ReadU32(out.name) && in.ReadU32(out.type) && in.Seek(at + layout.offsetAt) &&
           ReadWord(in, layout.wide, out.offset) && ReadWord(in, layout.wide, out.size);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char ca = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
        const char cb = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
        if (ca != cb)
            return false;
    }
    return true;
}

bool ReadShortText(CByteReader& in, std::size_t maxLength, std::string& out)
{
    std::uint8_t length = 0;
    const std::uint8_t* bytes = nullptr;
    if (!in.ReadU8(length) || length == 0 || length > maxLength || !in.View(length, bytes))
        return false;
    out.assign(reinterpret_cast<const char*>(bytes), length);
    return true;
}

}  // namespace

bool DataLibrary::Open(const std::string& path)
{
    m_file.clear();
    m_entries.clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes)
        return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return false;
    return OpenBytes(std::move(bytes));
}

bool DataLibrary::OpenBytes(std::vector<std::uint8_t> bytes)
{
    m_entries.clear();
    m_file = std::move(bytes);
    std::size_t offset = 0, size = 0;
    if (m_file.size() <= kMaxFileBytes && FindSection(offset, size) && ReadDirectory(offset, size))
        return true;
    m_file.clear();
    m_entries.clear();
    return false;
}

bool DataLibrary::FindSection(std::size_t& offset, std::size_t& size) const
{
    CByteReader in(m_file.data(), m_file.size());
    const std::uint8_t* ident = nullptr;
    if (!in.View(16, ident) || std::memcmp(ident, "\x7F" "ELF", 4) != 0 || (ident[4] != 1 && ident[4] != 2) ||
        ident[5] != 1)
        return false;  // only little-endian files: the directory's numbers are little-endian anyway
    const ElfLayout layout = LayoutFor(ident[4]);
    std::uint16_t type = 0, entrySize = 0, count = 0, namesIndex = 0;
    std::uint64_t tableOffset = 0;
    if (!in.ReadU16(type) || type != kElfTypeShared)
        return false;
    if (!in.Seek(layout.shoffAt) || !ReadWord(in, layout.wide, tableOffset) || !in.Seek(layout.shentsizeAt) ||
        !in.ReadU16(entrySize) || !in.ReadU16(count) || !in.ReadU16(namesIndex))
        return false;
    // A count of 0 with a table would be the extended form; our files never need it, so it is refused.
    if (count == 0 || entrySize < layout.sectionHeaderBytes || namesIndex >= count)
        return false;
    if (tableOffset > m_file.size() || std::uint64_t{count} * entrySize > m_file.size() - tableOffset)
        return false;

    SectionHeader names;
    if (!ReadSectionHeader(m_file, layout, tableOffset + std::uint64_t{namesIndex} * entrySize, names) ||
        names.type == kSectionNoBits || names.offset > m_file.size() || names.size > m_file.size() - names.offset)
        return false;
    const std::size_t wantedLength = std::strlen(kSectionName) + 1;
    for (std::uint16_t k = 0; k < count; ++k) {
        SectionHeader header;
        if (!ReadSectionHeader(m_file, layout, tableOffset + std::uint64_t{k} * entrySize, header))
            return false;
        if (header.name >= names.size || names.size - header.name < wantedLength ||
            std::memcmp(m_file.data() + names.offset + header.name, kSectionName, wantedLength) != 0)
            continue;
        if (header.type == kSectionNoBits || header.offset > m_file.size() ||
            header.size > m_file.size() - header.offset)
            return false;
        offset = static_cast<std::size_t>(header.offset);
        size = static_cast<std::size_t>(header.size);
        return true;
    }
    return false;
}

bool DataLibrary::ReadDirectory(std::size_t offset, std::size_t size)
{
    CByteReader in(m_file.data() + offset, size);
    const std::uint8_t* magic = nullptr;
    std::uint32_t version = 0, count = 0;
    if (!in.View(4, magic) || std::memcmp(magic, "NRES", 4) != 0 || !in.ReadU32(version) ||
        version != kDirectoryVersion || !in.ReadU32(count) || count == 0 || count > kMaxEntries)
        return false;
    for (std::uint32_t k = 0; k < count; ++k) {
        Entry entry;
        std::uint32_t at = 0, length = 0;
        if (!ReadShortText(in, 32, entry.Type) || !ReadShortText(in, 64, entry.Name) || !in.ReadU32(at) ||
            !in.ReadU32(length))
            return false;
        if (at > size || length > size - at)
            return false;
        entry.Offset = offset + at;
        entry.Size = length;
        m_entries.push_back(std::move(entry));
    }
    return true;
}

bool DataLibrary::Find(std::string_view type, std::string_view name, const std::uint8_t*& data,
                       std::size_t& size) const
{
    for (const Entry& entry : m_entries) {
        if (EqualsNoCase(entry.Type, type) && EqualsNoCase(entry.Name, name)) {
            data = m_file.data() + entry.Offset;
            size = entry.Size;
            return true;
        }
    }
    return false;
}

std::u16string DataLibrary::OriginalFilename() const
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::u16string out;
    if (!Find("VERSION", "OriginalFilename", data, size))
        return out;
    CByteReader in(data, size);
    for (std::uint16_t unit = 0; in.ReadU16(unit) && unit != 0;)
        out += static_cast<char16_t>(unit);
    return out;
}

bool DataLibrary::LoadIni(const std::string& path, std::vector<std::uint8_t>& text)
{
    text.clear();
    DataLibrary library;
    if (!library.Open(path))
        return false;
    const std::uint8_t* cipher = nullptr;
    const std::uint8_t* check = nullptr;
    std::size_t cipherSize = 0, checkSize = 0;
    if (!library.Find("DATA", "bin0.dat", cipher, cipherSize) || cipherSize == 0)
        return false;
    // A last piece of 1-3 bytes holds no whole word: such a resource was not written by our tool.
    const std::size_t tail = cipherSize % XxteaCipher::kPieceBytes;
    if (tail != 0 && tail < 4)
        return false;
    if (!library.Find("DATA", "bin0.chk", check, checkSize) || checkSize != 8)
        return false;
    CByteReader checkIn(check, checkSize);
    std::uint32_t plainLength = 0, checksum = 0;
    if (!checkIn.ReadU32(plainLength) || !checkIn.ReadU32(checksum) || plainLength > cipherSize)
        return false;

    XxteaCipher::Key key = XxteaCipher::BaseKey();
    XxteaCipher::MixKey(key, library.OriginalFilename());
    std::vector<std::uint8_t> plain(cipher, cipher + cipherSize);
    XxteaCipher::DecipherStream(plain.data(), plain.size(), key);
    if (XxteaCipher::Checksum(plain.data(), plainLength) != checksum)
        return false;
    text = std::move(plain);
    return true;
}
