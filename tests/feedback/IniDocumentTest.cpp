// test-labels: untrusted
#include "feedback/IniDocument.h"

#include <gtest/gtest.h>

#include <random>

#include "FeedbackTestFolder.h"
#include "feedback/WideText.h"

static IniDocument Parsed(const std::string& text)
{
    IniDocument document;
    document.Parse(text.data(), text.size());
    return document;
}

TEST(IniDocument, LinesFollowTheSectionEntryAndCommentRules)
{
    const IniDocument document = Parsed(
        "top=before any section\r\n"
        "  [Flags]  \r\n"
        "; UNATTENDED_MODE=1\n"
        "// DEBUG_MODE=1\n"
        "\tUnattended_Mode = true \n"
        "NoEquals\n"
        "[Broken\n"
        "[Options]\n"
        "GameName = \"Palmora \"\"Gold\"\"\"\n"
        "Url = a=b=c\n"
        "Empty =\n"
        "[flags]\n"
        "debug_mode=0\n"
        "last=no newline at end");
    struct Case {
        const char16_t* section;
        const char16_t* key;
        std::optional<std::u16string> expected;
    };
    const Case cases[] = {
        {u"", u"top", u"before any section"},
        {u"FLAGS", u"unattended_mode", u"true"},
        {u"Flags", u"NoEquals", u""},
        {u"Flags", u"[Broken", std::nullopt},  // ignored, not a key
        {u"Flags", u"; UNATTENDED_MODE", std::nullopt},
        {u"Flags", u"// DEBUG_MODE", std::nullopt},
        {u"Options", u"GameName", u"Palmora \"\"Gold"},
        {u"Options", u"Url", u"a=b=c"},
        {u"Options", u"Empty", u""},
        {u"Flags", u"DEBUG_MODE", u"0"},  // a section opened twice adds to the first
        {u"flags", u"LAST", u"no newline at end"},
        {u"Options", u"last", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideText::ToUtf8(c.section) + "/" + WideText::ToUtf8(c.key));
        EXPECT_EQ(document.Find(c.section, c.key), c.expected);
    }
    EXPECT_EQ(document.SectionNames(), (std::vector<std::u16string>{u"Flags", u"Options"}));
}

TEST(IniDocument, LaterDuplicateKeyReplacesTheEarlier)
{
    const IniDocument document = Parsed("[A]\nkey=1\nKEY=2\n");
    EXPECT_EQ(document.Find(u"a", u"key"), u"2");
}

TEST(IniDocument, Utf8AndLatin1TextBothRead)
{
    const IniDocument document = Parsed("[Options]\nGameName=Caf\xC3\xA9\nBuildConfig=Caf\xE9\n");
    EXPECT_EQ(document.Find(u"Options", u"GameName"), u"Caf\u00E9");
    EXPECT_EQ(document.Find(u"Options", u"BuildConfig"), u"Caf\u00E9");
}

TEST(IniDocument, MissingFileLeavesAnEmptyDocumentAndEmptyPathFails)
{
    FeedbackTestFolder folder;
    IniDocument document;
    EXPECT_FALSE(document.LoadFile(""));
    EXPECT_TRUE(document.LoadFile(folder.File("missing.ini")));
    EXPECT_TRUE(document.SectionNames().empty());
    EXPECT_TRUE(document.LoadFile(folder.Write("x.ini", std::string("[S]\nk=v\n"))));
    EXPECT_EQ(document.Find(u"S", u"k"), u"v");
}

TEST(IniDocument, RandomBytesNeverCrashTheParser)
{
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 512, '\0');
        for (char& b : bytes) {
            const unsigned pick = random() % 8;
            b = pick == 0 ? '\n' : pick == 1 ? '[' : pick == 2 ? ']' : pick == 3 ? '=' : static_cast<char>(random());
        }
        IniDocument document;
        document.Parse(bytes.data(), bytes.size());
        for (const std::u16string& section : document.SectionNames())
            (void)document.Find(section, u"key");
    }
}
