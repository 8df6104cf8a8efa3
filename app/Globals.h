// Globals.h: the shell's global values that the screens and the table read.
// Start-up owns them (GameMain.cpp holds the services in one struct); there is no application object.
#pragma once

class CFResource;
class CHiScoreTable;
class CIniFile;
class CProfileStore;
class CScreenManager;

double GetGameTime();              // the game clock, seconds
void UpdateGameClock(float dt);    // grows the clock by dt while it runs
void SetGameClockRunning(bool running);
bool IsGameClockRunning();

extern bool g_bCheatMode;          // the hidden cheat mode, toggled by typing its access code
extern bool g_bExitRequested;      // the window's close request or the main menu's exit button
extern bool g_bMenuReached;        // set by the main menu's constructor
extern bool g_bReportAllKeys;      // cleared while a player name is typed
extern bool g_bModeSwitchAllowed;  // Alt+Enter and window-mode changes; off on a small desktop
// The yes/no dialogs' answer, read by whoever opened the question (the frame function's exit
// question, the table, the screens): -1 while a question waits, 0 yes, 1 no.
extern int g_nConfirmationAnswer;

// Global services, created by start-up in this order and torn down by it; null outside. They
// point into start-up's services while it runs: nobody else deletes or replaces them.
extern CProfileStore* g_pProfileStore;
extern CScreenManager* g_pScreenManager;
extern CFResource* g_pResource;     // the resource manager over "effects/effects.as"
extern CHiScoreTable* g_pHiScoreTable;
extern CIniFile* g_pLogicIni;       // "Logic.ini", for the table and the screens
