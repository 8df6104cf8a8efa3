// DataLibrary: reads the companion data library (a shared-object file) as plain bytes, without loading it, and
// finds its resources. The resources sit in the ELF section ".nimbra_rsrc", which holds this directory
// (all numbers little-endian, offsets from the start of the section):
//   "NRES", u32 version 1, u32 entry count (1..64), then per entry:
//   u8 type length (1..32), type (ASCII), u8 name length (1..64), name (ASCII), u32 offset, u32 size.
// Resources of a configuration: type "DATA" names "bin0.dat" (enciphered INI text) and "bin0.chk"
// (u32 plain length N, u32 checksum), and type "VERSION" name "OriginalFilename" (UTF-16LE, no terminator).
// Every offset and length is checked against the section and the file; a bad file is refused without a word.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DataLibrary {
public:
    static constexpr const char* kSectionName = ".nimbra_rsrc";
    static constexpr std::uint32_t kDirectoryVersion = 1;
    static constexpr std::size_t kMaxFileBytes = 64u << 20;
    static constexpr std::size_t kMaxEntries = 64;

    [[nodiscard]] bool Open(const std::string& path);
    // Same as Open on bytes already in memory (the object keeps its own copy).
    [[nodiscard]] bool OpenBytes(std::vector<std::uint8_t> bytes);

    // Type and name compare without regard to ASCII case, as resource names do.
    [[nodiscard]] bool Find(std::string_view type, std::string_view name, const std::uint8_t*& data,
                            std::size_t& size) const;
    // Up to its first NUL; empty when the library has no such resource.
    std::u16string OriginalFilename() const;

    // The deciphered configuration text, length S of "bin0.dat" (not the checked length N).
    [[nodiscard]] static bool LoadIni(const std::string& path, std::vector<std::uint8_t>& text);

private:
    struct Entry {
        std::string Type, Name;
        std::size_t Offset = 0, Size = 0;  // from the start of the file, already checked
    };
    bool FindSection(std::size_t& offset, std::size_t& size) const;
    bool ReadDirectory(std::size_t offset, std::size_t size);

    std::vector<std::uint8_t> m_file;
    std::vector<Entry> m_entries;
};
