// ResultTestRoot.h: a game screen over the bundled data whose table's figures a test sets, and the
// result popups and dialogs opened over it and run on the test's own clock: each step is the
// screen manager's update with the test's frame time (drawn only when a picture is wanted).
#pragma once

#include "MenuScreenTestRoot.h"
#include "screens/CResultPopup.h"
#include "screens/CSlideInPopup.h"
#include "table/CCardTable.h"
#include "table/CInterface.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"

#include <utility>
#include <vector>

class ResultTestRoot : public MenuScreenTestRoot {
protected:
    static constexpr float kStep = 1.0f / 64.0f;  // the test's clock: exact in binary

    void SetUp() override
    {
        MenuScreenTestRoot::SetUp();
        RegisterGameDialogs();  // the table's questions and results are the real ones
    }

    // The game screen of that level, switched to and dealt.
    CGameProcess* StartGame(int level, int mode, int extra)
    {
        m_pGame = CGameProcess::Create(level, mode, extra);
        Enter(m_pGame);
        Frames(200);
        return m_pGame;
    }

    CInterface& Game() { return *m_pGame->GetInterface(); }
    CCardTable& Table() { return *Game().GetTable(); }

    // The level's points (the score keeper writes them into the mode's total) and its counters.
    void SetPlay(int points, int hints, int combos, int longestChain)
    {
        CScoreKeeper& keeper = *Table().GetScoreKeeper();
        keeper.SetScore(keeper.GetBase() + points, false);
        Table().GetMoveFinder()->ResetHintsUsed();
        for (int i = 0; i < hints; ++i)
            Table().GetMoveFinder()->CountHint();
        ComboCounts counts = keeper.Combos();
        counts.m_nCombos = combos;
        counts.m_nComboBest = longestChain;
        keeper.RestoreCombos(counts);
    }

    template <typename Popup>
    Popup* Open(Popup* popup)
    {
        EXPECT_TRUE(CSlideInPopup::Attach(m_pGame, popup));
        return popup;
    }

    template <typename Popup>
    Popup* Shown() const
    {
        return dynamic_cast<Popup*>(m_pGame->GetChild());
    }

    // Steps of the test's clock; drawn only when asked (a screenshot).
    void Step(int count = 1, bool draw = false)
    {
        for (int i = 0; i < count; ++i) {
            m_pMouse->Update(kStep);
            g_pScreenManager->Update(kStep);
            m_fClock += kStep;
            if (draw && m_pEngine->BeginScene(0)) {
                m_pEngine->Clear(0xFF000000u);
                g_pScreenManager->Render();
                m_pEngine->EndScene();
            }
        }
    }

    // Runs the popup's count until it reaches the phase (bounded by 60 s of the clock), noting the
    // time at which each phase became the current one.
    bool RunToPhase(const CResultPopup& popup, int phase)
    {
        for (int i = 0; i < 60 * 64 && popup.GetCount().GetPhase() < phase; ++i) {
            const int before = popup.GetCount().GetPhase();
            Step();
            if (popup.GetCount().GetPhase() != before)
                m_phaseTimes.push_back({popup.GetCount().GetPhase(), m_fClock});
        }
        return popup.GetCount().GetPhase() >= phase;
    }

    // The clock's time at which the phase became current; -1 when it did not.
    float PhaseTime(int phase) const
    {
        for (const auto& [p, time] : m_phaseTimes)
            if (p == phase)
                return time;
        return -1.0f;
    }

    // Takes the popup away as a closing screen would; its destructor runs on the next step.
    void Dismiss()
    {
        m_pGame->SetChild(nullptr, false, true);
        Step();
    }

    // What another program run would find in the stores' files.
    PlayerRecord SavedRecord()
    {
        CProfileStore store;
        return store.m_current;
    }

    int SavedHighScore(int table, const std::string& name)
    {
        CHiScoreTable scores;
        for (int row = 0; row < CHiScoreTable::kRows; ++row)
            if (scores.GetName(table, row) == name)
                return scores.GetScore(table, row);
        return -1;
    }

    CGameProcess* m_pGame = nullptr;  // owned by the screen manager
    float m_fClock = 0.0f;
    std::vector<std::pair<int, float>> m_phaseTimes;
};
