// ShellServices.cpp: the services that exist so far; the others log once that they are missing.
// Present: resource manager, first-run conversion. Missing: mouse and cursor, loading screen,
// exit dialog.
#include "app/ShellServices.h"

#include "app/CEffectsUnpacker.h"
#include "app/CPlaceholderScreen.h"
#include "app/CSoundManager.h"
#include "app/GameMain.h"
#include "app/Globals.h"
#include "framework/CFFont.h"
#include "framework/CFResource.h"
#include "platform/Engine.h"

namespace {

void LogLine(const char* line)
{
    IEngine* engine = engine2dCreate(kEngineVersion);
    if (engine == nullptr)
        return;
    engine->Log("%s", line);
    engine->Release();
}

void GetEngineMouse(float& x, float& y)
{
    x = 0;
    y = 0;
    IEngine* engine = engine2dCreate(kEngineVersion);
    if (engine == nullptr)
        return;
    engine->GetMousePos(x, y);
    engine->Release();
}

}  // namespace

bool ShellCreateMouse()
{
    return false;  // reported by ShellSetupCursor, once the log file is set
}

void ShellDeleteMouse() {}
void ShellResetCursorShape() {}
void ShellUpdateMouse(float) {}
void ShellRenderMouse() {}
void ShellUpdateMouseScreenSize() {}

void ShellGetCursorPos(float& x, float& y)
{
    GetEngineMouse(x, y);
}

void ShellSetupCursor(bool)
{
    LogLine("[W] Mouse and cursor not available in this build");
}

bool ShellCreateResources(bool highDetail)
{
    g_pResource = new CFResource("effects/effects.as");
    g_pResource->SetHighDetail(highDetail);
    return true;
}

void ShellDeleteResources()
{
    if (g_pResource != nullptr)
        g_pResource->Release();  // the manager counts references and deletes itself at 0
    g_pResource = nullptr;
}

bool ShellLoadModule(const char* name)
{
    return g_pResource != nullptr && g_pResource->LoadModule(name, -1);
}

void ShellSetSoundVolume(int percent)
{
    if (g_pResource != nullptr)
        g_pResource->SetSoundVolume(percent);
}

void ShellApplyVolumes(int effectVolume)
{
    CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    ShellSetSoundVolume(effectVolume);
}

void ShellDrawCheatMessage(const std::string& text, std::uint32_t colour)
{
    CFFont* font = g_pResource != nullptr ? g_pResource->GetFont("DATA/FONTS/font1.fgchst11") : nullptr;
    if (font == nullptr)
        return;
    font->SetColor(colour);
    font->DrawText(400.0f, 85.0f, text.c_str(), 0);
}

CScreenBase* ShellCreateLoadingScreen()
{
    LogLine("[W] Loading screen not available in this build, showing a placeholder");
    return new CPlaceholderScreen();
}

CScreenBase* ShellCreateExitDialog()
{
    LogLine("[W] Exit dialog not available in this build");
    return nullptr;
}

int ShellGetDialogAnswer()
{
    return 0;
}

ConversionResult ShellRunFirstRunConversion()
{
    CEffectsUnpacker unpacker(kGameTitle);
    return unpacker.Run() ? ConversionResult::Done : ConversionResult::Aborted;
}
