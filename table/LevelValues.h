// LevelValues.h: the values of one level as the level file gives them.
#pragma once
#include "framework/StringUtils.h"

#include <string>
#include <vector>

struct LevelValues {
    float fZoom = 0;
    std::vector<int> vBonuses;
    std::string sName;
    int nDifficulty = 0, nSkill = 0, nChance = 0;
    int nHOffsetVisible = 0, nVOffsetVisible = 0;
    int nHOffsetHidden = 0, nVOffsetHidden = 0;
    int nDecksCount = 0, nSuits = 0, nPlaceCount = 0;
    std::vector<PlaceRequirement> vCombos;
    bool bAutoFinish = false;
};

// The mana gauges' lengths and the mana each kind of move pays (bar_* of the level file).
struct GaugeValues {
    int m_nBarLength = 0, m_nBarBonusLength = 0, m_nBarUndoLength = 0, m_nBarResultTurn = 0,
        m_nBarHintLength = 0, m_nBarCombo3 = 0, m_nBarCombo2 = 0, m_nBarCombo1 = 0;
};

// The points each kind of move pays (score_* of the level file).
struct ScoreValues {
    static constexpr int kBonuses = 5;
    int m_nScoreMaxCombo = 0, m_nScoreUndo = 0, m_nScoreBonus[kBonuses] = {0, 0, 0, 0, 0};
    int m_nScorePlaceToHouse = 0, m_nScorePlaceToPlace = 0, m_nScoreOpenCard = 0,
        m_nScorePopdeckToPlace = 0, m_nScorePopdeckToHouse = 0, m_nScoreCombo3 = 0,
        m_nScoreCombo2 = 0, m_nScoreCombo1 = 0, m_nScoreLevelInc = 0;
};
