// CBonusStatistic2.h: the result of a won bonus level.
//
// A bonus level is graded either by up to three goals or by its time. The popup counts the
// level's points into the story total, then shows each goal won or lost with its bonus (goal
// layout) or the time taken with its time bonus (time layout), announces the grade's medal and
// stores it for the bonus level when it beats the stored one. It leaves the rank alone: the
// medal counts at the next rank step. OK at the end leads to the new-trophy popup when a trophy
// is due, else to the story map. Phases: 0 wait, 1 name, 2 level points, 3-8 the three goals
// (a title, then its points; a goal the level lacks takes no time), 9-10 the time and its bonus,
// 11 the medal, 12 waiting for OK.
#pragma once

#include "screens/CResultPopup.h"

#include <memory>
#include <string>

class CFAnimationInstance;

class CBonusStatistic2 : public CResultPopup {
public:
    enum ELayout { kGoals = 0, kTime = 1 };

    static CBonusStatistic2* Create(int gameKind);  // null when out of memory
    ~CBonusStatistic2() override;
    void Release() override;

    static ELayout LayoutOf(const ResultFigures& figures);  // goals when the level has any
    // The time bonus of a grade: 1000 gold, 700 silver, 400 bronze; none (0) without a medal.
    static int TimeBonus(int grade);
    // The template's first "%d" or "%s" becomes the value; nothing else in it is read.
    static std::wstring FillTemplate(const std::wstring& text, const std::wstring& value);

    int GetLayout() const { return m_nLayout; }
    CFAnimationInstance* GetAward() const { return m_pAward.get(); }

private:
    explicit CBonusStatistic2(int gameKind);
    CBonusStatistic2(int gameKind, ELayout layout);

    static ELayout CurrentLayout();
    void ClearTexts();
    enum EPhase : int {
        kPhaseWait,
        kPhaseName,
        kPhaseLevelPoints,
        kPhaseGoal1,        // each goal shown, then counted; a goal the level lacks takes no time
        kPhaseGoal1Points,
        kPhaseGoal2,
        kPhaseGoal2Points,
        kPhaseGoal3,
        kPhaseGoal3Points,
        kPhaseTime,         // the time layout only
        kPhaseTimeBonus,
        kPhaseMedal,        // with the result committed
        kPhaseWaitForOk,
    };
    void RunPhase(int phase) override;
    PhaseTurn ShowGoal(int goal);
    PhaseTurn CountGoal(int goal);
    PhaseTurn ShowTime();
    PhaseTurn CountTimeBonus();
    void AwardMedal();
    void End();

    int m_nLayout;
    std::string m_sMedalKey;  // empty without a medal
    float m_fAwardX = 0.0f;
    float m_fAwardY = 0.0f;
    std::unique_ptr<CFAnimationInstance> m_pAward;
};
