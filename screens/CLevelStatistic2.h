// CLevelStatistic2.h: the result of a won story or hardcore level.
//
// Counts the level's points up into the player's total, shows the hints used and awards the
// medal they earn (stored for the level when it beats the one stored), adds the combo, longest
// chain and collected-bonus points, moves the rank bar and raises the rank. OK at the end leads
// to the new-rank popup when the rank rose, else to the new-trophy popup when a trophy is due,
// else to the story map. Its phases run in the order of EPhase.
#pragma once

#include "screens/CResultPopup.h"

#include <memory>
#include <string>

class CFAnimationInstance;
class CFlyingEffects;

class CLevelStatistic2 : public CResultPopup {
public:
    static constexpr float kRankBarX = 508.0f;  // where the medal's sparks fly: the rank bar
    static constexpr float kRankBarY = 414.0f;

    // gameKind: 0 story (high-score table 0); 1 counts into the classic total and table 1.
    static CLevelStatistic2* Create(int gameKind);  // null when out of memory
    ~CLevelStatistic2() override;
    void Release() override;

    int GetMedal() const { return m_nMedal; }
    int GetPreviousRank() const { return m_nPreviousRank; }
    CFAnimationInstance* GetRankBar() const { return m_pRankBar.get(); }
    CFAnimationInstance* GetHintsLight() const { return m_pHintsLight.get(); }
    CFAnimationInstance* GetAward() const { return m_pAward.get(); }
    CFAnimationInstance* GetRankEmblem(bool next) const { return (next ? m_pNextEmblem : m_pEmblem).get(); }
    const CFlyingEffects* GetSparks() const { return m_pSparks.get(); }

private:
    explicit CLevelStatistic2(int gameKind);

    std::unique_ptr<CFAnimationInstance> MakeInstance(const char* effect);
    void ClearTexts();
    void SetUpRankBar();
    void SetUpEmblems();
    void OnSlideEnded() override;
    void OnUpdateEnd(float dt) override;
    void ApplyCheatKey(int key);
    bool CountsBonuses() const;

    enum EPhase : int {
        kPhaseWait,
        kPhaseName,
        kPhaseLevelPoints,
        kPhaseHints,
        kPhaseHintsLight,   // after the hint counter
        kPhaseMedal,        // after the hint light
        kPhaseMedalShown,
        kPhaseCombos,
        kPhaseLongestChain,
        kPhaseBonuses,      // collected bonuses, when the game counts them
        kPhaseMedalSparks,
        kPhaseRankStep,
        kPhaseCommit,
        kPhaseWaitForOk,
    };
    void RunPhase(int phase) override;
    void ShowHintsLight();
    void AwardMedal();
    void ShowMedal();
    void CountCombos();
    void CountLongestChain();
    void CountBonuses();
    void SpawnMedalSparks();
    void StepRank();
    void End();

    int m_nGameKind;
    int m_nMedal = 2;
    std::string m_sMedalKey = "bronze";
    float m_fAwardX = 0.0f;
    float m_fAwardY = 0.0f;
    int m_nPreviousRank = -1;
    std::unique_ptr<CFlyingEffects> m_pSparks;  // before the instances: it draws into the base's particles
    std::unique_ptr<CFAnimationInstance> m_pHints;
    std::unique_ptr<CFAnimationInstance> m_pHintsLight;
    std::unique_ptr<CFAnimationInstance> m_pAward;
    std::unique_ptr<CFAnimationInstance> m_pRankBar;
    std::unique_ptr<CFAnimationInstance> m_pEmblem;
    std::unique_ptr<CFAnimationInstance> m_pNextEmblem;
};
