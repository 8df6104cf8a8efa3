#include "framework/CFEdit.h"

#include "WidgetTestRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An edit of the text "player_name" (which starts as "ANNA"), fed one key per frame.
class CFEditTest : public WidgetTestRoot {
protected:
    void SetUp() override
    {
        WidgetTestRoot::SetUp();
        m_edit.SetResource(m_pResource.get());
        m_edit.SetTextKey("player_name");
        m_pController->Add(&m_edit);
    }

    void TearDown() override
    {
        m_pController->Remove(&m_edit);
        WidgetTestRoot::TearDown();
    }

    void Type(const std::vector<int>& keys)
    {
        for (int key : keys)
            KeyFrame(key);
    }

    std::wstring Stored() const
    {
        const wchar_t* text = m_pResource->GetText("player_name");
        return text != nullptr ? text : L"(none)";
    }

    CFEdit m_edit;
};

}  // namespace

TEST_F(CFEditTest, TakesTheTextOfItsKeyWithTheCursorAtTheEnd)
{
    EXPECT_EQ(m_edit.GetText(), "ANNA");
    EXPECT_EQ(m_edit.GetCursor(), 4);
}

TEST_F(CFEditTest, KeysEditTheTextAndTheStoredEntry)
{
    struct Row {
        const char* what;
        std::vector<int> keys;
        const char* text;
        int cursor;
    } rows[] = {
        {"letters and digits append", {'B', 'E', 'L', '7'}, "ANNABEL7", 8},
        {"space and the codes 58..64 are characters", {kVkSpace, 58, 64}, "ANNA :@", 7},
        {"backspace deletes before the cursor", {kVkBackspace, kVkBackspace}, "AN", 2},
        {"left then insert", {kVkLeft, kVkLeft, 'X'}, "ANXNA", 3},
        {"left then delete", {kVkLeft, kVkLeft, kVkDelete}, "ANA", 2},
        {"backspace at the start changes nothing", {kVkLeft, kVkLeft, kVkLeft, kVkLeft, kVkLeft, kVkBackspace}, "ANNA", 0},
        {"delete at the end changes nothing", {kVkRight, kVkDelete}, "ANNA", 4},
        {"other keys are ignored", {kVkEnter, kVkEscape, 'a', 91, 47}, "ANNA", 4},
        {"the limit holds but editing keys still work", {'1', '2', '3', '4', '5', '6', '7', kVkBackspace, 'Z'}, "ANNA12345Z", 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_edit.SetText("ANNA");
        Type(row.keys);
        EXPECT_EQ(m_edit.GetText(), row.text);
        EXPECT_EQ(m_edit.GetCursor(), row.cursor);
        EXPECT_EQ(Stored(), std::wstring(row.text, row.text + std::string(row.text).size()));
    }
}

// Keyboard text comes as a character, alone (a script's "char") or with the key that typed it.
TEST_F(CFEditTest, TypedCharactersAreTakenAsTheirKeysAreAndDecideOverTheKeyThatTypedThem)
{
    struct Frame {
        int key, chr;
    };
    struct Row {
        const char* what;
        std::vector<Frame> frames;
        const char* text;
    } rows[] = {
        {"characters alone, small letters as capitals", {{0, 'b'}, {0, 'E'}, {0, ' '}, {0, '7'}}, "ANNABE 7"},
        {"a key with its character types once", {{'B', 'b'}, {'1', '1'}}, "ANNAB1"},
        {"a refused character types nothing, nor does its key", {{'1', '!'}, {0, 0xE9}, {0, '['}}, "ANNA"},
        {"editing keys still edit beside characters", {{kVkBackspace, 0}, {0, 'x'}}, "ANNX"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_edit.SetText("ANNA");
        for (const Frame& frame : row.frames) {
            m_fake->frameChar = frame.chr;
            KeyFrame(frame.key);
            m_fake->frameChar = 0;
        }
        EXPECT_EQ(m_edit.GetText(), row.text);
    }
}

TEST_F(CFEditTest, EnterIsLeftForTheScreenToRead)
{
    KeyFrame(kVkEnter);
    EXPECT_EQ(m_edit.GetText(), "ANNA");
    EXPECT_EQ(m_edit.TakeLastKey(), kVkEnter);
    EXPECT_EQ(m_edit.TakeLastKey(), 0);
}

TEST_F(CFEditTest, ShorterLimitStopsTyping)
{
    m_edit.SetMaxLength(5);
    Type({'X', 'Y', 'Z'});
    EXPECT_EQ(m_edit.GetText(), "ANNAX");
}

TEST_F(CFEditTest, EditsEvenWhenDisabledOrInvisible)
{
    m_edit.SetEnabled(false);
    m_edit.SetVisible(false);
    KeyFrame('S');
    EXPECT_EQ(m_edit.GetText(), "ANNAS");
}

TEST(CFEditWithoutResources, EditWithoutResourceManagerKeepsItsOwnText)
{
    ScopedFakeEngine fake;
    CFEdit edit;
    edit.SetTextKey("player_name");
    EXPECT_EQ(edit.GetText(), "");
    edit.SetText("BO");
    fake->frameKey = 'B';
    edit.Update(0.02f);
    EXPECT_EQ(edit.GetText(), "BOB");
    edit.SetText(nullptr);
    EXPECT_EQ(edit.GetText(), "");
}
