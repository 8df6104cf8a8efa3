// Shell.h: the frame function, the engine's window callbacks and the display set-up.
//
// Start-up (GameMain) creates the global services and hands the loop to the engine, which calls
// FrameFunc once per frame and the callbacks on window events. The state below belongs to the
// shell; tests read it to check what a frame did.
#pragma once

#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CRenderStates;
class CScreenBase;
class CSprite;

struct ShellState {
    EnginePtr pEngine;                  // start-up's reference
    int desktopWidth = 800;
    int desktopHeight = 600;
    int desktopBpp = 32;
    float scaleX = 1.0f;                // view to screen
    float scaleY = 1.0f;
    CTargetOwner target;                // the 800x600 view every frame is drawn into
    std::unique_ptr<CSprite> pTargetSprite;
    std::unique_ptr<CRenderStates> pRenderStates;
    bool bInitialised = false;          // every global service exists
    bool bModeSwitchGuard = false;      // up while the windowed state changes
    bool bExitDialogShown = false;
    CScreenBase* pSaveProblemWindow = nullptr;  // the one shown last; compared only, never used
    const CScreenBase* pSettledScreen = nullptr;  // the top-level screen, and how long it stood
    float settledTime = 0.0f;
    std::string cheatMessage;
    float cheatTimer = 0.0f;            // seconds left; the message shows while not 0
    std::uint32_t cheatColour = 0;      // the colour the message was last drawn in
    std::string typedKeys;              // the last eight keys, as characters
    std::vector<int> heldKeys;
};

ShellState& GetShell();
void ResetShell();                      // back to the state before start-up (tests)

bool FrameFunc();                       // true ends the engine's loop
bool ExitFunc();
bool FocusLostFunc();
bool RestoreFunc();

bool SetupDisplay();                    // false when the engine cannot open its window
void ShutdownDisplay();
void ApplyWindowMode();
void HandleAltEnter();
void CheckCheatCode();
void TrackKeys();
void UpdateCheatMessage(float dt);      // fades and draws the cheat mode message
void ShowSaveProblem(float dt);         // opens the window of a store's notice when one waits

constexpr const char* kCheatCode = "BRISKORN";
