// ResultFigures.cpp: the won game's figures from its controller, table, score keeper and gauges.
#include "screens/ResultFigures.h"

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "table/CBonusClock.h"
#include "table/CCardTable.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"

#include <algorithm>
#include <cstdint>

ResultFigures ResultFigures::Read(const CInterface& game)
{
    ResultFigures figures;
    figures.level = game.GetLevelNumber();
    figures.mode = game.GetMode();
    if (const CManaBar* gauges = game.GetManaBar())
        figures.bonusesCollected = gauges->GetReadyCount();
    const CCardTable* table = game.GetTable();
    if (table == nullptr)
        return figures;
    figures.levelName = table->Level().sName;
    figures.baseScore = table->GetScoreKeeper()->GetBase();
    figures.score = table->GetScoreKeeper()->GetScore();
    figures.hintsUsed = table->GetMoveFinder()->GetHintsUsed();
    const ComboCounts& combos = table->GetScoreKeeper()->Combos();
    figures.combos = combos.m_nCombos;
    figures.longestChain = combos.m_nComboBest;
    figures.maxComboValue = table->Scores().m_nScoreMaxCombo;
    const CBonusClock& clock = *table->GetBonusClock();
    for (std::size_t i = 0; i < figures.goals.size(); ++i)
        figures.goals[i] = clock.GoalCount(static_cast<int>(i) + 1);
    figures.time = clock.Goal();
    figures.grade = clock.Grade();
    return figures;
}

int ResultFigures::LevelPoints() const
{
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(score) - baseScore, INT32_MIN, INT32_MAX));
}

CInterface* ResultFigures::CurrentGame()
{
    auto* screen = dynamic_cast<CGameProcess*>(g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr);
    return screen != nullptr ? screen->GetInterface() : nullptr;
}
