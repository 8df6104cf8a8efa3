// Globals.cpp: the game clock and the shell's flags.
#include "app/Globals.h"

namespace {
double g_dGameTime = 0.0;
bool g_bClockRunning = true;
}  // namespace

bool g_bCheatMode = false;
bool g_bExitRequested = false;
bool g_bMenuReached = false;
bool g_bReportAllKeys = true;
bool g_bModeSwitchAllowed = true;
int g_nConfirmationAnswer = -1;

CProfileStore* g_pProfileStore = nullptr;
CScreenManager* g_pScreenManager = nullptr;
CFResource* g_pResource = nullptr;
CHiScoreTable* g_pHiScoreTable = nullptr;
CIniFile* g_pLogicIni = nullptr;

double GetGameTime()
{
    return g_dGameTime;
}

void UpdateGameClock(float dt)
{
    if (g_bClockRunning)
        g_dGameTime += dt;
}

void SetGameClockRunning(bool running)
{
    g_bClockRunning = running;
}

bool IsGameClockRunning()
{
    return g_bClockRunning;
}
