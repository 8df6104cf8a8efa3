// CClassicStatistic.h: the result of a won classic game.
//
// Counts the player's classic total up line by line once the window stands: the game's points,
// then the bonuses for combos, for the longest chain and, for a player who plays with bonuses,
// for the gauges filled. OK at the end leads back to the classic selection. Its phases run in
// the order of EPhase.
#pragma once

#include "screens/CResultPopup.h"

#include <memory>

class CFlyingEffects;

class CClassicStatistic : public CResultPopup {
public:
    // Where the module shows the running total: each batch sparkles there while it counts.
    static constexpr float kScoreX = 520.0f;
    static constexpr float kScoreY = 200.0f;

    static CClassicStatistic* Create(int gameKind);  // null when out of memory
    ~CClassicStatistic() override;
    void Release() override;

    const CFlyingEffects* GetScoreSparks() const { return m_pSparks.get(); }

private:
    explicit CClassicStatistic(int gameKind);

    bool IsCountHeld() const override { return IsSliding(); }
    void OnUpdateStart(float dt) override;
    void OnSlideEnded() override;
    enum EPhase : int {
        kPhaseWait,
        kPhaseName,
        kPhaseGamePoints,
        kPhaseCombos,
        kPhaseLongestChain,
        kPhaseGauges,       // only for a player who plays with bonuses
        kPhaseCommit,
        kPhaseWaitForOk,
    };
    void RunPhase(int phase) override;
    void CountBatch(int points, float seconds);
    bool CountsBonuses() const;
    void End();

    std::unique_ptr<CFlyingEffects> m_pSparks;
};
