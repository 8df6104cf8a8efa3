// ShellServices.cpp: the services that exist so far; the others log once that they are missing.
#include "app/ShellServices.h"

#include "app/CPlaceholderScreen.h"
#include "app/CSoundManager.h"
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
    LogLine("[W] Mouse and cursor not available in this build");
    return false;
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

void ShellSetupCursor(bool) {}

bool ShellCreateResources(bool)
{
    return false;
}

void ShellDeleteResources() {}

bool ShellLoadModule(const char*)
{
    return false;
}

void ShellSetSoundVolume(int) {}

void ShellApplyVolumes(int effectVolume)
{
    CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    ShellSetSoundVolume(effectVolume);
}

void ShellDrawCheatMessage(const std::string&, std::uint32_t) {}

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
    LogLine("[W] First-run conversion not available in this build");
    return ConversionResult::Unavailable;
}
