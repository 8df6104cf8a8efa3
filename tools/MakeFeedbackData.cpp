// MakeFeedbackData: builds the feedback client's companion data library from an INI file.
//   MakeFeedbackData <input.ini> <output.so> [original-file-name]
// The original file name (default: the output's file name) is mixed into the cipher key, so a data library
// renamed after it was built still reads, while one given another original name does not.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "feedback/DataLibraryWriter.h"
#include "feedback/WideText.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s <input.ini> <output.so> [original-file-name]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "[E] Can't read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string original = argc == 4 ? argv[3] : std::filesystem::path(argv[2]).filename().string();
    const auto resources = DataLibraryWriter::IniResources(text, WideText::FromUtf8(original));
    if (!DataLibraryWriter::WriteFile(argv[2], DataLibraryWriter::BuildElf(resources))) {
        std::fprintf(stderr, "[E] Can't write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
