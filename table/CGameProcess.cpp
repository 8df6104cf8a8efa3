#include "table/CGameProcess.h"

#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"
#include "table/CInterface.h"
#include "table/GameMode.h"

#include <new>
#include <string>

namespace {

const char* Medal(int level, int mode)
{
    if (g_pProfileStore == nullptr || level < 0)
        return "";
    const PlayerRecord& player = g_pProfileStore->m_current;
    int state = 0;
    if (IsHardcoreMode(mode)) {
        if (level < PlayerRecord::kLocations)
            state = player.m_hardcoreLevels[static_cast<std::size_t>(level)];
    } else if (IsBonusLevelMode(mode)) {
        if (level < PlayerRecord::kLocations)
            state = player.m_bonusLevels[static_cast<std::size_t>(level)];
    } else if (level < PlayerRecord::kStoryLevels) {
        state = player.m_storyLevels[static_cast<std::size_t>(level)];
    }
    static const char* const kNames[] = {"None", "Bronze", "Silver", "Gold"};
    return state >= 1 && state <= 4 ? kNames[state - 1] : "";
}

}  // namespace

CGameProcess* CGameProcess::Create(int level, int mode, int extra)
{
    return new (std::nothrow) CGameProcess(level, mode, extra);
}

int CGameProcess::MusicLocation(int level, int mode, int extra)
{
    if (IsHardcoreMode(mode) || IsBonusLevelMode(mode))
        return level;
    if (IsClassicMode(mode))
        return extra;
    return level / 5;
}

CGameProcess::CGameProcess(int levelNumber, int modeWord, int extra) : level(levelNumber), mode(modeWord)
{
    for (const char* module : {"interface", "main_fire", "rules"}) {
        if (g_pResource != nullptr && !g_pResource->FindModule(module))
            g_pResource->LoadModule(module, -1);
    }
    m_sName = "GameProcess";
    TraceEvent(GetGameTime(), L"screenGameProcess");
    std::string key = (IsClassicMode(mode) ? "C" : "S") + std::to_string(level);
    if (IsHardcoreMode(mode))
        key += "H";
    if (IsBonusLevelMode(mode))
        key += "B";
    TraceEvent(GetGameTime(), key, Medal(level, mode));
    m_pParent = nullptr;
    m_pChild = nullptr;
    m_pInterface = std::make_unique<CInterface>(level, mode, extra, true);
    sound = CSoundManager::GetInstance();
    if (sound != nullptr) {
        sound->LoadLocationMusic(MusicLocation(level, mode, extra));
        sound->SetMusicMode(CSoundManager::kLocation, 4.0f);
    }
}

CGameProcess::~CGameProcess()
{
    SetGameClockRunning(true);  // the relax pause may have stopped it
    m_pInterface.reset();
    if (m_pChild != nullptr) {
        m_pChild->Release();
        m_pChild = nullptr;
    }
}

void CGameProcess::Update(float dt)
{
    if (IsActive())
        m_pInterface->Update(dt);
    CScreenBase::Update(dt);
}

void CGameProcess::Render()
{
    if (IsVisible())
        m_pInterface->Render();
    CScreenBase::Render();
}

void CGameProcess::Release()
{
    delete this;
}
