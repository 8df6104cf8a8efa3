// DataLibraryWriter: builds a companion data library (see DataLibrary.h for the layout) from an INI text.
// The result is a shared-object ELF file without code or program headers: it is read, never loaded.
// Used by the build tool and the tests; the client itself only reads such files.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DataLibraryWriter {
public:
    struct Resource {
        std::string Type, Name;
        std::vector<std::uint8_t> Bytes;
    };

    // "bin0.dat" (the text padded with line breaks to whole words and enciphered under the key mixed with
    // originalFilename), "bin0.chk" and "OriginalFilename", in that order.
    static std::vector<Resource> IniResources(std::string_view iniText, std::u16string_view originalFilename);
    static std::vector<std::uint8_t> BuildElf(const std::vector<Resource>& resources);
    [[nodiscard]] static bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
};
