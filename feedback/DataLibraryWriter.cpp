#include "feedback/DataLibraryWriter.h"

#include "feedback/DataLibrary.h"
#include "feedback/XxteaCipher.h"
#include "platform/bytes/CByteWriter.h"
#include "platform/files/HostFiles.h"

namespace {

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
    CByteWriter entries(directory);
    entries.WriteU32(DataLibrary::kDirectoryVersion);
    entries.WriteU32(static_cast<std::uint32_t>(resources.size()));
    std::size_t directorySize = directory.size();
    for (const auto& r : resources)
        directorySize += 2 + r.Type.size() + r.Name.size() + 8;
    std::size_t at = (directorySize + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> data;
    for (const auto& r : resources) {
        entries.WriteU8(static_cast<std::uint8_t>(r.Type.size()));
        entries.WriteBytes(r.Type.data(), r.Type.size());
        entries.WriteU8(static_cast<std::uint8_t>(r.Name.size()));
        entries.WriteBytes(r.Name.data(), r.Name.size());
        entries.WriteU32(static_cast<std::uint32_t>(at + data.size()));
        entries.WriteU32(static_cast<std::uint32_t>(r.Bytes.size()));
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
    CByteWriter header(out);
    header.WriteU32(name);
    header.WriteU32(type);
    header.WriteU64(0);  // flags
    header.WriteU64(0);  // address: never mapped
    header.WriteU64(offset);
    header.WriteU64(size);
    header.WriteU32(0);  // link
    header.WriteU32(0);  // info
    header.WriteU64(alignment);
    header.WriteU64(0);  // entry size
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

    std::vector<std::uint8_t> check, name;
    CByteWriter checkOut(check), nameOut(name);
    checkOut.WriteU32(plainLength);
    checkOut.WriteU32(checksum);
    for (char16_t c : originalFilename)
        nameOut.WriteU16(c);
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
    CByteWriter header(out);
    header.WriteU16(3);  // shared object
    header.WriteU16(HostMachine());
    header.WriteU32(1);  // version
    header.WriteU64(0);  // entry
    header.WriteU64(0);  // program headers: none
    header.WriteU64(tableOffset);
    header.WriteU32(0);  // flags
    header.WriteU16(64);
    header.WriteU16(0);
    header.WriteU16(0);
    header.WriteU16(64);
    header.WriteU16(3);  // null section, resources, section names
    header.WriteU16(2);
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
    return host_files::WriteAtomically(path, bytes.data(), bytes.size());
}
