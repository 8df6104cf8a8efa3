// MenuScreenTestRoot.h: the bundled data set with a saved player "TESTER", for tests of the story
// map, the classic selection, the trophy room and their windows. The screens they switch to are
// plain test screens, recorded by kind; the mouse is driven through the engine's input script,
// in view pixels.
#pragma once

#include "BundledDataRoot.h"
#include "app/CScreenFactory.h"
#include "app/TestScreens.h"
#include "framework/CFObject.h"
#include "screens/GameScreens.h"
#include "table/CGameProcess.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

class MenuScreenTestRoot : public BundledDataRoot {
protected:
    static constexpr int kClickGap = 40;  // frames after a click, so that the next is not a double-click

    void SetUp() override
    {
        BundledDataRoot::SetUp();
        if (HasFatalFailure())
            return;
        g_pProfileStore->NewPlayer("TESTER", true);
        Record().m_introShown.fill(1);  // no first-play windows when a game starts
        Record().m_bUseBonusAdvice = 0;  // nor the first classic game's question
        Record().m_bMasterWindowShown = 1;
        for (EScreenKind kind : kKinds)
            CScreenFactory::SetMaker(kind, [this, kind](int argument) -> CScreenBase* {
                m_madeKinds.push_back({kind, argument});
                return new TestScreen(m_log, CScreenFactory::Name(kind));
            });
    }

    void TearDown() override
    {
        RegisterGameScreens();  // the game's makers again
        BundledDataRoot::TearDown();
        g_bCheatMode = false;
        SetGameClockRunning(true);
    }

    static PlayerRecord& Record() { return g_pProfileStore->m_current; }

    // Switches to the screen as a menu would (from a plain screen, through the fade), and runs
    // the frames until it is the current screen and has had its first update.
    void Enter(CScreenBase* screen)
    {
        ASSERT_NE(screen, nullptr);
        if (g_pScreenManager->GetCurrent() == nullptr)
            g_pScreenManager->SwitchTo(new TestScreen(m_log, "before"), true, true);
        g_pScreenManager->SwitchTo(screen, true, true);
        for (int i = 0; i < 200 && (g_pScreenManager->GetCurrent() != screen || g_pScreenManager->GetPhase() != -1); ++i)
            Frames(1);
        Frames(1);
    }

    void MoveTo(float x, float y) { Play("1 move " + At(x, y) + "\n", 2); }
    void ClickAt(float x, float y) { Play("1 move " + At(x, y) + "\n2 down 1\n3 up 1\n", 4 + kClickGap); }

    static void Centre(const CFObject& object, float& x, float& y)
    {
        x = object.GetX() + object.GetWidth() / 2;
        y = object.GetY() + object.GetHeight() / 2;
    }

    // A click that the next one cannot join into a double-click.
    void Tap(const CFObject& object) { Click(object, kClickGap); }

    void MoveOnto(const CFObject& object)
    {
        float x = 0, y = 0;
        Centre(object, x, y);
        MoveTo(x, y);
    }

    // A text variable of the resource manager, "?" when there is none.
    static std::wstring Text(const char* name)
    {
        const wchar_t* text = g_pResource->GetText(name);
        return text != nullptr ? text : L"?";
    }

    // The game screen a screen switched to, once the switch has gone through; null if none.
    CGameProcess* GameStarted()
    {
        Frames(60);
        return dynamic_cast<CGameProcess*>(g_pScreenManager->GetCurrent());
    }

    // Whether a screen of that kind was made (and switched to) with that argument.
    bool Made(EScreenKind kind, int argument = 0) const
    {
        return std::any_of(m_madeKinds.begin(), m_madeKinds.end(),
                           [&](const auto& made) { return made.first == kind && made.second == argument; });
    }

    ScreenLog m_log;
    std::vector<std::pair<EScreenKind, int>> m_madeKinds;

private:
    static constexpr EScreenKind kKinds[] = {EScreenKind::MainMenu, EScreenKind::StoryMap,
                                             EScreenKind::ClassicSelection, EScreenKind::TrophyRoom};

    static std::string At(float x, float y)
    {
        return std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y));
    }
};
