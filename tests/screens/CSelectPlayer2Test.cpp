// CSelectPlayer2Test.cpp: the player selection and the new-player popup on the bundled data:
// the rows, selecting, making and deleting players, the name rules (Enter taken while the window
// slides in) and a full list.
#include "screens/CSelectPlayer2.h"

#include "BundledDataRoot.h"
#include "app/TestScreens.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CNewPlayer.h"

#include <gtest/gtest.h>

namespace {

class CSelectPlayer2Test : public BundledDataRoot {
protected:
    // The selection over a plain top-level screen, once it has slid in.
    CSelectPlayer2* OpenList(std::initializer_list<const char*> players)
    {
        for (const char* name : players)
            g_pProfileStore->NewPlayer(name, true);
        m_pTop = new TestScreen(m_log, "top");
        g_pScreenManager->SwitchTo(m_pTop, true, true);
        Frames(40);
        auto* list = CSelectPlayer2::Create();
        EXPECT_TRUE(CSlideInPopup::Attach(m_pTop, list));
        Frames(40);
        return list;
    }

    int VisibleRows(const CSelectPlayer2& list) const
    {
        int rows = 0;
        for (int row = 0; row < CSelectPlayer2::kRows; ++row)
            rows += list.GetRowButton(row)->IsVisible() && list.GetRowPart(row)->IsVisible() ? 1 : 0;
        return rows;
    }

    std::vector<std::string> SavedNames() const
    {
        CProfileStore saved;  // reads "save.dat" as the next start would
        std::vector<std::string> names;
        saved.GetPlayerNames(names);
        return names;
    }

    ScreenLog m_log;
    TestScreen* m_pTop = nullptr;
};

TEST_F(CSelectPlayer2Test, RowsListThePlayersAndAClickedRowIsSelectedAndSaved)
{
    CSelectPlayer2* list = OpenList({"ANNA", "BOB", "CLARA"});
    EXPECT_FALSE(m_pTop->IsActive());
    EXPECT_EQ(VisibleRows(*list), 3);
    EXPECT_EQ(NarrowString(g_pResource->GetText("Player_2")), "BOB");
    EXPECT_TRUE(list->GetRowButton(2)->IsStateLocked());  // CLARA, made last, is current
    EXPECT_FALSE(list->GetRowButton(0)->IsStateLocked());
    EXPECT_TRUE(list->GetDeleteButton()->IsEnabled());
    EXPECT_TRUE(list->GetNewButton()->IsEnabled());
    Screenshot("players_list");

    Click(*list->GetRowButton(0));
    EXPECT_EQ(g_pProfileStore->m_nCurrentIndex, 0);
    EXPECT_TRUE(list->GetRowButton(0)->IsStateLocked());
    EXPECT_EQ(CProfileStore().m_current.GetName(), "ANNA");
    Click(*list->GetOkButton());
    Frames(2);
    EXPECT_EQ(m_pTop->GetChild(), nullptr);
    EXPECT_TRUE(m_pTop->IsActive());
    ExpectNoProblems();
}

TEST_F(CSelectPlayer2Test, ANewNameIsTrimmedAndStoredWhileAKnownOneIsSelected)
{
    CSelectPlayer2* list = OpenList({"ANNA", "BOB"});
    Click(*list->GetNewButton(), 40);
    auto* entry = dynamic_cast<CNewPlayer*>(list->GetChild());
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->GetOkButton()->IsEnabled());
    Type("   ");
    Frames(1);
    EXPECT_FALSE(entry->GetOkButton()->IsEnabled()) << "spaces alone are no name";
    PressKey(kVkEnter);
    EXPECT_EQ(list->GetChild(), entry);
    Type("DORA ");
    Frames(1);
    EXPECT_TRUE(entry->GetOkButton()->IsEnabled());
    Screenshot("players_new");
    PressKey(kVkEnter, 4);
    EXPECT_EQ(list->GetChild(), nullptr);
    EXPECT_EQ(SavedNames(), (std::vector<std::string>{"ANNA", "BOB", "DORA"}));
    EXPECT_EQ(g_pProfileStore->m_current.GetName(), "DORA");
    EXPECT_EQ(VisibleRows(*list), 3);
    EXPECT_TRUE(list->GetRowButton(2)->IsStateLocked());

    Click(*list->GetNewButton(), 40);
    Type("ANNA");
    PressKey(kVkEnter, 4);
    EXPECT_EQ(g_pProfileStore->GetPlayerCount(), 3);
    EXPECT_EQ(g_pProfileStore->m_nCurrentIndex, 0);

    Click(*list->GetNewButton(), 40);
    Type("ZED");
    PressKey(kVkEscape, 4);
    EXPECT_EQ(list->GetChild(), nullptr);
    EXPECT_EQ(g_pProfileStore->GetPlayerCount(), 3);

    // Typed as the window arrives: a letter, then Enter in the very next frame, while it slides.
    Click(*list->GetNewButton(), 0);
    entry = dynamic_cast<CNewPlayer*>(list->GetChild());
    ASSERT_NE(entry, nullptr);
    Play("1 keydown 81\n2 keyup 81\n2 keydown 13\n", 1);
    ASSERT_TRUE(entry->IsSliding());
    Frames(1);
    EXPECT_EQ(list->GetChild(), nullptr) << "Enter took the name while the window slid in";
    EXPECT_EQ(g_pProfileStore->m_current.GetName(), "Q");
    Play("1 keyup 13\n", 2);
    ExpectNoProblems();
}

TEST_F(CSelectPlayer2Test, DeletingAsksFirstAndYesAlsoRemovesTheHighScores)
{
    g_pHiScoreTable->AddScore(0, "BOB", 1, 500);
    g_pHiScoreTable->AddScore(1, "BOB", 1, 300);
    CSelectPlayer2* list = OpenList({"ANNA", "BOB"});
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        Click(*list->GetDeleteButton(), 40);
        auto* question = dynamic_cast<CDialogConfirmation*>(list->GetChild());
        ASSERT_NE(question, nullptr);
        Screenshot("players_delete");
        Click(*(yes ? question->GetYesButton() : question->GetNoButton()), 4);
        EXPECT_EQ(list->GetChild(), nullptr);
        EXPECT_EQ(g_pProfileStore->GetPlayerCount(), yes ? 1 : 2);
        EXPECT_EQ(g_pHiScoreTable->GetName(0, 0), std::string(yes ? "Player" : "BOB"));
        EXPECT_EQ(g_pHiScoreTable->GetName(1, 0), std::string(yes ? "Player" : "BOB"));
    }
    EXPECT_EQ(SavedNames(), std::vector<std::string>{"ANNA"});
    EXPECT_EQ(VisibleRows(*list), 1);
    EXPECT_FALSE(list->GetDeleteButton()->IsEnabled());
    Click(*list->GetDeleteButton(), 10);
    EXPECT_EQ(list->GetChild(), nullptr) << "the last player cannot be deleted";
    ExpectNoProblems();
}

TEST_F(CSelectPlayer2Test, AFullListRefusesANewPlayerWithAMessage)
{
    CSelectPlayer2* list = OpenList({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
    EXPECT_EQ(VisibleRows(*list), 10);
    EXPECT_FALSE(list->GetNewButton()->IsEnabled());
    Click(*list->GetNewButton(), 40);
    ASSERT_NE(dynamic_cast<CDialogInformation*>(list->GetChild()), nullptr);
    Screenshot("players_full");
    PressKey(kVkEnter);
    EXPECT_EQ(list->GetChild(), nullptr);
    EXPECT_EQ(g_pProfileStore->GetPlayerCount(), 10);
    ExpectNoProblems();
}

}  // namespace
