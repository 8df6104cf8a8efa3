// ShellServices.h: start-up's one seam to the services that later parts of the game bring
// (resource manager, mouse and cursor, loading screen, exit dialog, first-run conversion).
//
// Until a service exists its functions do nothing (or return null / false) and start-up logs
// what is missing; wiring a service in means filling in its functions in ShellServices.cpp.
#pragma once

#include "progress/StoreNotices.h"

#include <cstdint>
#include <string>

class CScreenBase;

// ---- Mouse and cursor ------------------------------------------------------------------------
bool ShellCreateMouse();                   // false when the mouse object is not available
void ShellDeleteMouse();
void ShellResetCursorShape();              // normal shape, when the mouse exists
void ShellUpdateMouse(float dt);
void ShellRenderMouse();
void ShellUpdateMouseScreenSize();
void ShellGetCursorPos(float& x, float& y);  // view pixels; the engine's mouse without a mouse object
void ShellSetupCursor(bool softwareCursor);  // shapes from module "cursor", shape 0, visible

// ---- Resource manager ------------------------------------------------------------------------
bool ShellCreateResources(bool highDetail);  // false when no resource manager exists afterwards
// Why the resource manager holds no graphics module (its logged error, CFResource::GetLoadFailure);
// empty when it does, or when a stop signal left the script's compile.
std::string ShellResourceFailure();
void ShellDeleteResources();
bool ShellLoadModule(const char* name);      // loads the whole module
void ShellSetSoundVolume(int percent);       // volume of animation frame sounds
// The current player's volumes: the music re-fades in its current mode, and animation sounds
// take the effect volume. The player stores know nothing of sound; the screens call this.
void ShellApplyVolumes();
void ShellDrawCheatMessage(const std::string& text, std::uint32_t colour);

// ---- Screens ---------------------------------------------------------------------------------
CScreenBase* ShellCreateLoadingScreen();
CScreenBase* ShellCreateExitDialog();        // the factory's exit question; null (logged) without one
int ShellGetDialogAnswer();                  // the shared answer: -1 pending, 0 yes, 1 no
// The window that says what could not be saved and why; null (logged) without one.
CScreenBase* ShellCreateSaveProblemWindow(const store_notices::Notice& notice);

// ---- First-run conversion --------------------------------------------------------------------
enum class ConversionResult { Unavailable, Done, Aborted };
ConversionResult ShellRunFirstRunConversion();
