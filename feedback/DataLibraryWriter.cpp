#include "feedback/DataLibraryWriter.h"

#include <fstream>

#include "feedback/DataLibrary.h"
#include "feedback/XxteaCipher.h"

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    PutU32(out, static_cast<std::uint32_t>(v));
    PutU32(out, static_cast<std::uint32_t>(v >> 32));
}

void PadTo(std::vector<std::uint8_t>& out, std::size_t alignment)
{
    while (out.size() % alignment != 0)
        out.push_back(0);
}

std::uint16_t HostMachine()
{
#if defined(__x86_64__)
    return 62;
#elif defined(__aarch64__)
    return 183;
#else
    return 0;  // EM_NONE: the reader does not look at the machine
#endif
}

std::vector<std::uint8_t> BuildSection(const std::vector<DataLibraryWriter::Resource>& resources)
{
    std::vector<std::uint8_t> directory = {'N', 'R', 'E', 'S'};
    PutU32(directory, DataLibrary::kDirectoryVersion);
    PutU32(directory, static_cast<std::uint32_t>(resources.size()));
    std::size_t directorySize = directory.size();
    for (const auto& r : resources)
        directorySize += 2 + r.Type.size() + r.Name.size() + 8;
    std::size_t at = (directorySize + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> data;
    for (const auto& r : resources) {
        directory.push_back(static_cast<std::uint8_t>(r.Type.size()));
        directory.insert(directory.end(), r.Type.begin(), r.Type.end());
        directory.push_back(static_cast<std::uint8_t>(r.Name.size()));
        directory.insert(directory.end(), r.Name.begin(), r.Name.end());
        PutU32(directory, static_cast<std::uint32_t>(at + data.size()));
        PutU32(directory, static_cast<std::uint32_t>(r.Bytes.size()));
        data.insert(data.end(), r.Bytes.begin(), r.Bytes.end());
        PadTo(data, 4);
    }
    PadTo(directory, 4);
    directory.insert(directory.end(), data.begin(), data.end());
    return directory;
}

void PutSectionHeader(std::vector<std::uint8_t>& out, std::uint32_t name, std::uint32_t type, std::uint64_t offset,
                      std::uint64_t size, std::uint64_t alignment)
{
    PutU32(out, name);
    PutU32(out, type);
    PutU64(out, 0);  // flags
    PutU64(out, 0);  // address: never mapped
    PutU64(out, offset);
    PutU64(out, size);
    PutU32(out, 0);  // link
    PutU32(out, 0);  // info
    PutU64(out, alignment);
    PutU64(out, 0);  // entry size
}

}  // namespace

std::vector<DataLibraryWriter::Resource> DataLibraryWriter::IniResources(std::string_view iniText,
                                                                         std::u16string_view originalFilename)
{
    std::vector<std::uint8_t> text(iniText.begin(), iniText.end());
    const auto plainLength = static_cast<std::uint32_t>(text.size());
    const std::uint32_t checksum = XxteaCipher::Checksum(text.data(), text.size());
    // Whole words, at least two, so every piece is enciphered; extra line breaks are empty INI lines.
    while (text.size() % 4 != 0 || text.size() < 8)
        text.push_back('\n');
    XxteaCipher::Key key = XxteaCipher::BaseKey();
    XxteaCipher::MixKey(key, originalFilename);
    XxteaCipher::EncipherStream(text.data(), text.size(), key);

    std::vector<std::uint8_t> check;
    PutU32(check, plainLength);
    PutU32(check, checksum);
    std::vector<std::uint8_t> name;
    for (char16_t c : originalFilename)
        PutU16(name, c);
    return {Resource{"DATA", "bin0.dat", std::move(text)}, Resource{"DATA", "bin0.chk", std::move(check)},
            Resource{"VERSION", "OriginalFilename", std::move(name)}};
}

std::vector<std::uint8_t> DataLibraryWriter::BuildElf(const std::vector<Resource>& resources)
{
    static const char kNames[] = "\0.nimbra_rsrc\0.shstrtab";  // offsets 1 and 14
    const std::vector<std::uint8_t> section = BuildSection(resources);
    const std::uint64_t sectionOffset = 64;
    const std::uint64_t namesOffset = sectionOffset + section.size();
    const std::uint64_t tableOffset = (namesOffset + sizeof kNames + 7) & ~std::uint64_t{7};

    std::vector<std::uint8_t> out = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(out, 3);  // shared object
    PutU16(out, HostMachine());
    PutU32(out, 1);  // version
    PutU64(out, 0);  // entry
    PutU64(out, 0);  // program headers: none
    PutU64(out, tableOffset);
    PutU32(out, 0);  // flags
    PutU16(out, 64);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, 64);
    PutU16(out, 3);  // null section, resources, section names
    PutU16(out, 2);
    out.insert(out.end(), section.begin(), section.end());
    out.insert(out.end(), kNames, kNames + sizeof kNames);
    PadTo(out, 8);
    out.insert(out.end(), 64, 0);
    PutSectionHeader(out, 1, 1, sectionOffset, section.size(), 4);
    PutSectionHeader(out, 14, 3, namesOffset, sizeof kNames, 1);
    return out;
}

bool DataLibraryWriter::WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}
