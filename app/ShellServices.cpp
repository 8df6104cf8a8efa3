// ShellServices.cpp: the services that start-up and the frame function reach: resource manager,
// first-run conversion, mouse and cursor, loading screen, and the exit question (through the
// screen factory, where the screens put it).
#include "app/ShellServices.h"

#include "app/CEffectsUnpacker.h"
#include "app/CLoadingScreen.h"
#include "app/CScreenFactory.h"
#include "app/CSoundManager.h"
#include "app/GameMain.h"
#include "app/Globals.h"
#include "app/J2kTextureLoader.h"
#include "framework/CFFont.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "platform/EngineRef.h"
#include "progress/CProfileStore.h"

#include <algorithm>

namespace {

void GetEngineMouse(float& x, float& y)
{
    x = 0;
    y = 0;
    CEngineRef engine;
    if (engine != nullptr)
        engine->GetMousePos(x, y);
}

}  // namespace

// ---- Mouse and cursor: the CFMouse singleton ---------------------------------------------------

bool ShellCreateMouse()
{
    if (CFMouse::GetInstance() == nullptr)
        new CFMouse();  // registers itself as the singleton; ShellDeleteMouse deletes it
    return true;
}

void ShellDeleteMouse()
{
    delete CFMouse::GetInstance();
}

void ShellResetCursorShape()
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetShape(CFMouse::kShapeNormal);
}

void ShellUpdateMouse(float dt)
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->Update(dt);
}

void ShellRenderMouse()
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->Render();
}

void ShellUpdateMouseScreenSize()
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->UpdateScreenSize();
}

void ShellGetCursorPos(float& x, float& y)
{
    if (CFMouse* mouse = CFMouse::GetInstance()) {
        mouse->GetPosition(x, y);
        return;
    }
    GetEngineMouse(x, y);
}

void ShellSetupCursor(bool softwareCursor)
{
    CFMouse* mouse = CFMouse::GetInstance();
    if (mouse == nullptr)
        return;
    mouse->SetResource(g_pResource);
    mouse->SetShapeInfo(CFMouse::kShapeNormal, "cursor", "cursor_normal");
    mouse->SetShapeInfo(CFMouse::kShapeDrag, "cursor", "cursor_drag");
    mouse->SetShapeInfo(CFMouse::kShapeFinger, "cursor", "cursor_finger");
    mouse->SetShape(CFMouse::kShapeNormal);
    mouse->SetSoftwareCursor(softwareCursor);
    mouse->SetVisible(true);
}

// ---- Resource manager ----------------------------------------------------------------------------

bool ShellCreateResources(bool highDetail)
{
    CFResource::SetJp2TextureLoader(LoadJ2kTexture);  // textures in modes 1 and 2
    g_pResource = new CFResource("effects/effects.as");
    g_pResource->SetHighDetail(highDetail);
    return true;
}

std::string ShellResourceFailure()
{
    return g_pResource != nullptr ? g_pResource->GetLoadFailure() : std::string();
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

void ShellApplyVolumes()
{
    CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    if (g_pProfileStore != nullptr)
        ShellSetSoundVolume(g_pProfileStore->m_current.m_nEffectVolume);
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
    return CLoadingScreen::Create(g_pResource);
}

CScreenBase* ShellCreateExitDialog()
{
    return CScreenFactory::Create(EScreenKind::ExitQuestion);
}

namespace {

// The reason in the player's words ("a file of yours", as the log's "of this user's"), broken at
// spaces into lines that fit the message window.
std::string PlayersReason(std::string reason)
{
    constexpr std::size_t kLineLength = 40;
    const std::string logWords = "of this user's";
    const std::size_t words = reason.find(logWords);
    if (words != std::string::npos)
        reason.replace(words, logWords.size(), "of yours");
    std::string text;
    std::size_t lineStart = 0;
    std::size_t from = 0;
    while (from < reason.size()) {
        std::size_t end = reason.find(' ', from);
        if (end == std::string::npos)
            end = reason.size();
        if (text.size() > lineStart && text.size() - lineStart + 1 + (end - from) > kLineLength) {
            text += '\n';
            lineStart = text.size();
        } else if (text.size() > lineStart) {
            text += ' ';
        }
        text += reason.substr(from, end - from);
        from = end + 1;
    }
    return text;
}

}  // namespace

CScreenBase* ShellCreateSaveProblemWindow(const store_notices::Notice& notice)
{
    std::string path = notice.gamePath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string text;
    switch (notice.kind) {
    case store_notices::ENotice::kSaveFailed:
        text = "The file " + path + " can't be written:\n" + notice.reason +
               ".\nYou can play on: the game keeps your\nprogress and tries again at the next save.";
        break;
    case store_notices::ENotice::kFolderUnwritable:
        text = "The folder " + path + " can't be written:\n" + notice.reason +
               ".\nYou can play on, but your progress\nis lost when the game ends.";
        break;
    case store_notices::ENotice::kNotRead:
        text = "The file " + path + " was not read:\n" + PlayersReason(notice.reason) +
               ".\nIt stays as it is: until the game starts\nagain, nothing is written over it.";
        break;
    }
    const bool notRead = notice.kind == store_notices::ENotice::kNotRead;
    if (g_pResource != nullptr)
        g_pResource->SetText(notRead ? "informative_unread_text" : "informative_save_text", text.c_str());
    return CScreenFactory::Create(EScreenKind::SaveProblem, notRead ? kUnreadFileWindow : kSaveProblemWindow);
}

int ShellGetDialogAnswer()
{
    return g_nConfirmationAnswer;
}

ConversionResult ShellRunFirstRunConversion()
{
    CEffectsUnpacker unpacker(kGameTitle);
    return unpacker.Run() ? ConversionResult::Done : ConversionResult::Aborted;
}
