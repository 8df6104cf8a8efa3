// test-labels: untrusted
#include "feedback/ConfigSource.h"

#include <gtest/gtest.h>

#include "FeedbackTestFolder.h"
#include "feedback/DataLibraryWriter.h"
#include "feedback/WideText.h"

namespace {

std::vector<std::uint8_t> Library(const std::string& ini)
{
    return DataLibraryWriter::BuildElf(DataLibraryWriter::IniResources(ini, u"data.so"));
}

// A source for a library "libNimbraClient.so" in the folder, loaded by the program "solitaire".
ConfigSource SourceIn(const FeedbackTestFolder& folder)
{
    return ConfigSource(folder.File("libNimbraClient.so"), "/opt/games/solitaire");
}

}  // namespace

TEST(ConfigSource, IniPathReplacesTheLibraryExtension)
{
    EXPECT_EQ(ConfigSource("/a/b/libNimbraClient.so", "").GetIniPath(), "/a/b/libNimbraClient.ini");
    EXPECT_EQ(ConfigSource("", "").GetIniPath(), "");
}

TEST(ConfigSource, PlainIniBesideTheLibraryIsChosenFirst)
{
    FeedbackTestFolder folder;
    folder.Write("LIBNIMBRACLIENT.INI", std::string("[Options]\nGameName=raw\n"));  // names compare without case
    folder.Write("libNimbraClientData-solitaire.so", Library("[Options]\nGameName=dll\n"));
    ConfigSource source = SourceIn(folder);
    EXPECT_EQ(source.Type(), ConfigSource::kRaw);
    EXPECT_EQ(source.GetProfileString(u"options", u"gamename", u"none"), u"raw");
}

TEST(ConfigSource, DataLibraryIsChosenByPatternAndHostName)
{
    struct Case {
        const char* what;
        std::vector<std::string> libraries;  // each holds GameName = its own file name
        ConfigSource::SourceType type;
        std::u16string gameName;
    };
    const Case cases[] = {
        {"one library of any host", {"libNimbraClientData-other.so"}, ConfigSource::kDll,
         u"libNimbraClientData-other.so"},
        {"two, one named after the host", {"libNimbraClientData-other.so", "libNimbraClientData-solitaire.so"},
         ConfigSource::kDll, u"libNimbraClientData-solitaire.so"},
        {"two, none named after the host", {"libNimbraClientData-a.so", "libNimbraClientData-b.so"},
         ConfigSource::kNone, u"default"},
        {"none", {}, ConfigSource::kNone, u"default"},
        {"another library's data", {"libOtherData-solitaire.so"}, ConfigSource::kNone, u"default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FeedbackTestFolder folder;
        for (const std::string& name : c.libraries)
            folder.Write(name, Library("[Options]\nGameName=" + name + "\n"));
        ConfigSource source = SourceIn(folder);
        EXPECT_EQ(source.Type(), c.type);
        EXPECT_EQ(source.GetProfileString(u"Options", u"GameName", u"default"), c.gameName);
    }
}

TEST(ConfigSource, DamagedDataLibraryLeavesNoSource)
{
    FeedbackTestFolder folder;
    std::vector<std::uint8_t> bytes = Library("[Options]\nGameName=dll\n");
    bytes[bytes.size() / 3] ^= 0x55;
    folder.Write("libNimbraClientData-solitaire.so", bytes);
    ConfigSource source = SourceIn(folder);
    EXPECT_EQ(source.Type(), ConfigSource::kNone);
    EXPECT_EQ(source.GetProfileInt(u"Options", u"GameVersion", 7), 7);
}

TEST(ConfigSource, SourceIsKeptOnceSelected)
{
    FeedbackTestFolder folder;
    const std::string ini = folder.Write("libNimbraClient.ini", std::string("[A]\nk=first\n"));
    ConfigSource source = SourceIn(folder);
    EXPECT_EQ(source.GetProfileString(u"A", u"k", u""), u"first");
    folder.Write("libNimbraClient.ini", std::string("[A]\nk=second\n"));
    EXPECT_EQ(source.GetProfileString(u"A", u"k", u""), u"first");
}

TEST(ConfigSource, LookupsApplyDefaultsLimitsAndBooleanRules)
{
    FeedbackTestFolder folder;
    folder.Write("libNimbraClient.ini", "[S]\nlong=" + std::string(1500, 'x') +
                                            "\nint=0x20\nemptyint=\nyes=TRUE\nno=False\none=1\nzero=0\n"
                                            "empty=\nother=yes\n");
    ConfigSource source = SourceIn(folder);
    EXPECT_EQ(source.GetProfileString(u"S", u"long", u"").size(), 1023u);
    EXPECT_EQ(source.GetProfileString(u"S", u"missing", u"dflt"), u"dflt");
    EXPECT_EQ(source.GetProfileInt(u"S", u"int", 0), 32);
    EXPECT_EQ(source.GetProfileInt(u"S", u"emptyint", 5), 5);
    EXPECT_EQ(source.GetProfileInt(u"S", u"missing", -3), -3);

    struct Case {
        const char16_t* key;
        bool defaultValue;
        bool expected;
    };
    const Case cases[] = {
        {u"yes", false, true},  {u"no", true, false},    {u"one", false, true},
        {u"zero", true, true},  {u"zero", false, false}, {u"empty", true, true},
        {u"empty", false, false}, {u"other", true, true}, {u"missing", true, true},
        {u"missing", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideText::ToUtf8(c.key) + (c.defaultValue ? " default true" : " default false"));
        EXPECT_EQ(source.ParseBool(c.key, c.defaultValue, u"S"), c.expected);
    }
}

TEST(ConfigSource, SectionListReportsAFullBufferWhenTooLong)
{
    FeedbackTestFolder folder;
    std::string ini = "[First]\n[Second]\n";
    folder.Write("libNimbraClient.ini", ini);
    ConfigSource small = SourceIn(folder);
    std::size_t length = 0;
    EXPECT_EQ(small.GetProfileSectionNames(length), (std::vector<std::u16string>{u"First", u"Second"}));
    EXPECT_EQ(length, 13u);

    FeedbackTestFolder other;
    for (int k = 0; k < 1000; ++k)
        ini += "[Event/Name" + std::to_string(k) + "]\n";
    other.Write("libNimbraClient.ini", ini);
    ConfigSource large = SourceIn(other);
    large.GetProfileSectionNames(length);
    EXPECT_EQ(length, 9998u);
}
