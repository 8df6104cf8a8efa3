// test-labels: untrusted
#include "feedback/DataLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "FeedbackTestFolder.h"
#include "feedback/DataLibraryWriter.h"

namespace {

const std::string kIni = "[Flags]\nUNATTENDED_MODE=1\n[Options]\nGameName=\"Palmora\"\nGameVersion=0x0102\n";

std::vector<std::uint8_t> BuildLibrary(const std::string& ini, const std::u16string& original)
{
    return DataLibraryWriter::BuildElf(DataLibraryWriter::IniResources(ini, original));
}

bool LoadsFromBytes(const FeedbackTestFolder& folder, const std::vector<std::uint8_t>& bytes,
                    std::vector<std::uint8_t>* text = nullptr)
{
    std::vector<std::uint8_t> out;
    const bool ok = DataLibrary::LoadIni(folder.Write("libXData-host.so", bytes), out);
    if (text != nullptr)
        *text = out;
    return ok;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
}

void PutU64(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value)
{
    PutU32(bytes, at, static_cast<std::uint32_t>(value));
    PutU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

std::uint64_t SectionTable(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t value = 0;
    for (int k = 7; k >= 0; --k)
        value = value << 8 | bytes[40 + k];
    return value;
}

// The same resources in a 32-bit ELF file, as a 32-bit build of the data library would hold them.
std::vector<std::uint8_t> AsElf32(const std::vector<std::uint8_t>& elf64)
{
    const std::size_t table = SectionTable(elf64);
    std::uint64_t sectionSize = 0;
    for (int k = 7; k >= 0; --k)
        sectionSize = sectionSize << 8 | elf64[table + 64 + 32 + k];
    const std::vector<std::uint8_t> section(elf64.begin() + 64, elf64.begin() + 64 + sectionSize);
    static const char kNames[] = "\0.nimbra_rsrc\0.shstrtab";
    const std::size_t namesAt = 52 + section.size();
    const std::size_t tableAt = (namesAt + sizeof kNames + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> out(tableAt + 3 * 40, 0);
    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', 1, 1, 1};
    std::copy(std::begin(ident), std::end(ident), out.begin());
    auto put16 = [&out](std::size_t at, std::uint16_t v) { out[at] = v & 0xFF; out[at + 1] = v >> 8; };
    put16(16, 3);
    put16(18, 3);
    PutU32(out, 20, 1);
    PutU32(out, 32, static_cast<std::uint32_t>(tableAt));
    put16(40, 52);
    put16(46, 40);
    put16(48, 3);
    put16(50, 2);
    std::copy(section.begin(), section.end(), out.begin() + 52);
    std::copy(kNames, kNames + sizeof kNames, out.begin() + namesAt);
    const std::uint32_t headers[2][4] = {{1, 1, 52, static_cast<std::uint32_t>(section.size())},
                                         {14, 3, static_cast<std::uint32_t>(namesAt), sizeof kNames}};
    for (int h = 0; h < 2; ++h) {
        const std::size_t at = tableAt + 40 * (h + 1);
        PutU32(out, at, headers[h][0]);
        PutU32(out, at + 4, headers[h][1]);
        PutU32(out, at + 16, headers[h][2]);
        PutU32(out, at + 20, headers[h][3]);
    }
    return out;
}

}  // namespace

TEST(DataLibrary, ReadsBackTheIniTextItWasBuiltFrom)
{
    FeedbackTestFolder folder;
    std::vector<std::uint8_t> text;
    ASSERT_TRUE(LoadsFromBytes(folder, BuildLibrary(kIni, u"libXData-host.so"), &text));
    ASSERT_GE(text.size(), kIni.size());
    EXPECT_EQ(std::string(text.begin(), text.begin() + kIni.size()), kIni);
    for (std::size_t i = kIni.size(); i < text.size(); ++i)
        EXPECT_EQ(text[i], '\n');  // padding reads as empty lines
}

TEST(DataLibrary, ThirtyTwoBitFilesReadTheSameAndTheirTruncationsAreRefused)
{
    FeedbackTestFolder folder;
    const std::vector<std::uint8_t> elf32 = AsElf32(BuildLibrary(kIni, u"x"));
    std::vector<std::uint8_t> text;
    ASSERT_TRUE(LoadsFromBytes(folder, elf32, &text));
    EXPECT_EQ(std::string(text.begin(), text.begin() + kIni.size()), kIni);
    for (std::size_t size = 0; size < elf32.size(); ++size) {
        DataLibrary library;
        EXPECT_FALSE(library.OpenBytes(std::vector<std::uint8_t>(elf32.begin(), elf32.begin() + size)));
    }
}

TEST(DataLibrary, TextsOfEveryLengthAndSeveralPiecesRoundTrip)
{
    FeedbackTestFolder folder;
    const std::size_t lengths[] = {0, 1, 2, 3, 5, 7, 8, 65535, 65536, 65537, 65539, 200000};
    for (std::size_t length : lengths) {
        SCOPED_TRACE("length " + std::to_string(length));
        std::string ini(length, ';');
        std::vector<std::uint8_t> text;
        ASSERT_TRUE(LoadsFromBytes(folder, BuildLibrary(ini, u"x"), &text));
        EXPECT_EQ(std::string(text.begin(), text.begin() + length), ini);
    }
}

TEST(DataLibrary, BuildToolWritesALibraryTheClientReads)
{
    FeedbackTestFolder folder;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                       "MakeFeedbackData";
    ASSERT_TRUE(std::filesystem::exists(tool));
    const std::string ini = folder.Write("game.ini", kIni);
    const std::string out = folder.File("libNimbraClientData-solitaire.so");
    ASSERT_EQ(std::system(("\"" + tool.string() + "\" \"" + ini + "\" \"" + out + "\"").c_str()), 0);
    std::vector<std::uint8_t> text;
    ASSERT_TRUE(DataLibrary::LoadIni(out, text));
    EXPECT_EQ(std::string(text.begin(), text.begin() + kIni.size()), kIni);

    // The original name is part of the key: renaming the file keeps it readable.
    std::filesystem::rename(out, folder.File("renamed.so"));
    EXPECT_TRUE(DataLibrary::LoadIni(folder.File("renamed.so"), text));
}

TEST(DataLibrary, WrongKeyOrChecksumOrCheckRecordIsRefused)
{
    FeedbackTestFolder folder;
    auto resources = DataLibraryWriter::IniResources(kIni, u"a.so");
    ASSERT_EQ(resources.size(), 3u);
    struct Case {
        const char* what;
        void (*change)(std::vector<DataLibraryWriter::Resource>&);
    };
    const Case cases[] = {
        {"other original name (wrong key)", [](auto& r) { r[2].Bytes = {'b', 0, '.', 0, 's', 0, 'o', 0}; }},
        {"no original name (wrong key)", [](auto& r) { r.pop_back(); }},
        {"checksum off by one", [](auto& r) { r[1].Bytes[4] ^= 1; }},
        {"check record of 7 bytes", [](auto& r) { r[1].Bytes.pop_back(); }},
        {"check record of 9 bytes", [](auto& r) { r[1].Bytes.push_back(0); }},
        {"checked length beyond the data", [](auto& r) { r[1].Bytes[0] = 0xFF; r[1].Bytes[1] = 0xFF; }},
        {"no check record", [](auto& r) { r.erase(r.begin() + 1); }},
        {"no data", [](auto& r) { r.erase(r.begin()); }},
        {"empty data", [](auto& r) { r[0].Bytes.clear(); }},
        {"last piece of 1 byte", [](auto& r) { r[0].Bytes.resize(65537, 0); }},
        {"last piece of 3 bytes", [](auto& r) { r[0].Bytes.resize(3, 0); }},
        {"data under another type", [](auto& r) { r[0].Type = "RCDATA"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto changed = resources;
        c.change(changed);
        EXPECT_FALSE(LoadsFromBytes(folder, DataLibraryWriter::BuildElf(changed)));
    }
    EXPECT_TRUE(LoadsFromBytes(folder, DataLibraryWriter::BuildElf(resources)));
}

TEST(DataLibrary, EveryTruncatedFileIsRefused)
{
    const std::vector<std::uint8_t> bytes = BuildLibrary(kIni, u"x");
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        DataLibrary library;
        EXPECT_FALSE(library.OpenBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + size)));
    }
}

TEST(DataLibrary, HeaderAndDirectoryFieldsOutsideTheFileAreRefused)
{
    const std::vector<std::uint8_t> good = BuildLibrary(kIni, u"x");
    const std::size_t table = SectionTable(good);
    const std::size_t resources = table + 64;  // section header 1
    struct Case {
        const char* what;
        std::size_t at;
        bool wide;
        std::uint64_t value;
    };
    const Case cases[] = {
        {"section table beyond the file", 40, true, good.size()},
        {"section table at the top of the address space", 40, true, ~0ull - 10},
        {"section count beyond the file", 60, false, 0xFFFF},
        {"section names index out of range", 62, false, 3},
        {"section offset beyond the file", resources + 24, true, ~0ull - 2},
        {"section size beyond the file", resources + 32, true, good.size()},
        {"section name beyond the names", resources + 0, false, 0x7FFFFFFF},
        {"directory count too large", 64 + 8, false, 65},
        {"directory count of zero", 64 + 8, false, 0},
        {"resource offset beyond the section", 64 + 12 + 1 + 4 + 1 + 8, false, 0xFFFFFFF0u},
        {"resource size beyond the section", 64 + 12 + 1 + 4 + 1 + 8 + 4, false, 0xFFFFFFF0u},
        {"directory version", 64 + 4, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> bytes = good;
        if (c.wide) {
            PutU64(bytes, c.at, c.value);
        } else if (c.at == 60 || c.at == 62) {
            bytes[c.at] = static_cast<std::uint8_t>(c.value);
            bytes[c.at + 1] = static_cast<std::uint8_t>(c.value >> 8);
        } else {
            PutU32(bytes, c.at, static_cast<std::uint32_t>(c.value));
        }
        DataLibrary library;
        EXPECT_FALSE(library.OpenBytes(bytes));
    }
    DataLibrary library;
    EXPECT_TRUE(library.OpenBytes(good));
}

TEST(DataLibrary, RandomAndDamagedFilesNeverCrash)
{
    std::mt19937 random(12);
    const std::vector<std::uint8_t> good = BuildLibrary(kIni, u"x");
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes = good;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < flips; ++k)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        DataLibrary library;
        if (library.OpenBytes(bytes)) {
            const std::uint8_t* data = nullptr;
            std::size_t size = 0;
            if (library.Find("DATA", "bin0.dat", data, size) && size > 0) {
                EXPECT_NE(data, nullptr);
            }
            (void)library.OriginalFilename();
        }
    }
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> bytes(random() % 1024);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        DataLibrary library;
        EXPECT_FALSE(library.OpenBytes(bytes));
    }
}

TEST(DataLibrary, MissingOrNonElfFilesAreRefused)
{
    FeedbackTestFolder folder;
    std::vector<std::uint8_t> text;
    EXPECT_FALSE(DataLibrary::LoadIni(folder.File("missing.so"), text));
    EXPECT_FALSE(DataLibrary::LoadIni(folder.Write("plain.so", kIni), text));
    EXPECT_FALSE(DataLibrary::LoadIni(folder.Write("empty.so", std::string()), text));
    EXPECT_TRUE(text.empty());
}
