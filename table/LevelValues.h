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
