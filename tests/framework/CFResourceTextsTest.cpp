// test-labels: untrusted
#include "framework/CFResource.h"

#include "ResourceTestRoot.h"
#include "support/Utf16Text.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const char* const kTextFile = "data/texts/game.txt";

class CFResourceTextsTest : public ResourceTestRoot {
protected:
    // A manager without a script: the texts are loaded by calling the script method directly.
    std::unique_ptr<CFResource> LoadTexts(const std::string& bytes)
    {
        WriteFile(kTextFile, bytes);
        auto res = std::make_unique<CFResource>("effects/none.as");
        res->AddTextFile(kTextFile);
        return res;
    }
};

TEST_F(CFResourceTextsTest, NumberedLinesFillTheStore)
{
    auto res = LoadTexts(Utf16(L"$00012= Hello\n"
                               L"ignored line\n"
                               L"$00003= two\\nlines\n"
                               L"\n\n"
                               L"$   07= spaced number\r\n"
                               L"$00012= Hello again\n"
                               L"$short\n"
                               L"$-0001= negative\n"
                               L"$00004= ends with a backslash\\"));
    const std::vector<std::wstring>& store = res->GetTextStore();
    ASSERT_EQ(store.size(), 13u);
    EXPECT_EQ(store[12], L"Hello again");  // the later line replaces the earlier
    EXPECT_EQ(store[3], L"two\nlines");
    EXPECT_EQ(store[7], L"spaced number\r");  // a carriage return stays part of its line
    EXPECT_EQ(store[4], L"ends with a backslash\\");
    EXPECT_EQ(store[0], L"");
    EXPECT_EQ(store[5], L"");
}

TEST_F(CFResourceTextsTest, FileProblemsAreLoggedAndLeaveTheStoreAlone)
{
    const struct {
        const char* name;
        std::string bytes;
        const char* line;
    } cases[] = {
        {"two bytes", std::string("\xFF\xFE", 2), "[W] Resource: File data/texts/game.txt too small"},
        {"no bom", Utf16(L"$00001= x", false), "[E] Resource: File data/texts/game.txt is not in UTF-16 format"},
        {"big endian bom", std::string("\xFE\xFF\0$", 4), "[E] Resource: File data/texts/game.txt is not in UTF-16 format"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_fake->logLines.clear();
        auto res = LoadTexts(c.bytes);
        EXPECT_TRUE(m_fake->HasLogLine(c.line));
        EXPECT_TRUE(res->GetTextStore().empty());
    }
    auto res = std::make_unique<CFResource>("effects/none.as");
    res->AddTextFile("data/texts/missing.txt");
    EXPECT_TRUE(m_fake->HasLogLine("[E] Resource: Can't load data from file data/texts/missing.txt"));
}

TEST_F(CFResourceTextsTest, ThreeByteFileWithBomGivesEmptyStoreAndOddByteIsDropped)
{
    EXPECT_TRUE(LoadTexts(std::string("\xFF\xFE\x41", 3))->GetTextStore().empty());
    auto res = LoadTexts(Utf16(L"$00001= odd") + "\x41");
    ASSERT_EQ(res->GetTextStore().size(), 2u);
    EXPECT_EQ(res->GetTextStore()[1], L"odd");
}

TEST_F(CFResourceTextsTest, SecondTextFileIsRefused)
{
    auto res = LoadTexts(Utf16(L"$00001= first"));
    WriteFile("data/texts/other.txt", Utf16(L"$00001= second\n$00002= more"));
    res->AddTextFile("data/texts/other.txt");
    EXPECT_TRUE(m_fake->HasLogLine("[W] Resource: Text data already loaded"));
    ASSERT_EQ(res->GetTextStore().size(), 2u);
    EXPECT_EQ(res->GetTextStore()[1], L"first");
}

TEST_F(CFResourceTextsTest, NamedTextsCopyStoreAndCanBeReplaced)
{
    WriteFile(kTextFile, Utf16(L"$00002= Player\n"));
    WriteFile("effects/effects.as", R"(
void LoadAnimations(CFResource@ res)
{
    int font = res.AddFont("f", "data/fonts/f.fnt");
    res.AddTextFile("data/texts/game.txt");
    res.AddText("profile_player", font, 2, 3, 4, 1);
    res.AddText("beyond", font, 99, 0, 0, 0);
    res.AddText("profile_player", font, 0, 0, 0, 0);
})");
    CFResource res("effects/effects.as");
    EXPECT_STREQ(res.GetText("profile_player"), L"Player");
    EXPECT_STREQ(res.GetText("beyond"), L"");
    EXPECT_EQ(res.GetText("none"), nullptr);
    const CFTextEntry* entry = res.GetTextEntry(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->lineSpacing, 3);
    EXPECT_EQ(entry->letterSpacing, 4);
    EXPECT_EQ(entry->alignment, 1);

    EXPECT_TRUE(res.SetText("profile_player", "Ann\xE9"));
    EXPECT_EQ(std::wstring(res.GetText("profile_player")), std::wstring(L"Ann") + wchar_t(0xFFE9));
    EXPECT_TRUE(res.SetTextW("profile_player", L"Bob"));
    EXPECT_STREQ(res.GetText("profile_player"), L"Bob");
    EXPECT_STREQ(res.GetTextEntry(2)->text.c_str(), L"");  // only the first entry of the name
    EXPECT_FALSE(res.SetText("none", "x"));
}

TEST_F(CFResourceTextsTest, RandomAndTruncatedFilesNeverCrash)
{
    std::mt19937 random(1234);
    const std::string valid = Utf16(L"$00001= one\n$00002= two\\n\n$99999= last");
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string bytes;
        if (round < static_cast<int>(valid.size())) {
            bytes = valid.substr(0, static_cast<std::size_t>(round));
        } else {
            bytes = std::string("\xFF\xFE", 2);
            const int size = static_cast<int>(random() % 200);
            for (int i = 0; i < size; ++i)
                bytes.push_back(static_cast<char>(i % 5 == 0 ? '$' : random() % 256));
        }
        auto res = LoadTexts(bytes);
        EXPECT_LE(res->GetTextStore().size(), 100000u);
    }
}

}  // namespace
