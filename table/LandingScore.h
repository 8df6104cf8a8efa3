// LandingScore.h: the score keeper's verdict on a move, carried by the card's flight to the controller.
#pragma once

// What a landing card shows: its mana sparkles flying to the gauge that took the mana, and the
// combo caption. The default value is an unscored move (the card had moved before): it shows neither.
struct LandingScore {
    static constexpr int kNoGauge = -1;  // every gauge looked full: the mana pays points instead
    static constexpr int kNoCombo = -1;

    int gauge = kNoGauge;       // the gauge that took the mana
    int points = 0;             // combo points and the move's mana; each sparkle stands for some
    int comboTier = kNoCombo;   // the tier of the level's last combo rule, when any rule matched

    bool HasCombo() const { return comboTier != kNoCombo; }
    bool operator==(const LandingScore& o) const
    {
        return gauge == o.gauge && points == o.points && comboTier == o.comboTier;
    }
    bool operator!=(const LandingScore& o) const { return !(*this == o); }
};
