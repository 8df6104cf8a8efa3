// CScreenFactory.cpp: the makers by kind.
#include "app/CScreenFactory.h"

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "platform/EngineRef.h"

#include <array>

namespace {

constexpr std::size_t kKinds = static_cast<std::size_t>(EScreenKind::Count);

std::array<CScreenFactory::Maker, kKinds>& Makers()
{
    static std::array<CScreenFactory::Maker, kKinds> makers;
    return makers;
}

bool IsKind(EScreenKind kind)
{
    return static_cast<std::size_t>(kind) < kKinds;
}

}  // namespace

const char* CScreenFactory::Name(EScreenKind kind)
{
    static const char* const names[kKinds] = {"MainMenu", "StoryMap", "ClassicSelection", "TrophyRoom", "ExitQuestion",
                                                 "SaveProblem"};
    return IsKind(kind) ? names[static_cast<std::size_t>(kind)] : "?";
}

void CScreenFactory::SetMaker(EScreenKind kind, Maker maker)
{
    if (IsKind(kind))
        Makers()[static_cast<std::size_t>(kind)] = std::move(maker);
}

CScreenFactory::Maker CScreenFactory::GetMaker(EScreenKind kind)
{
    return IsKind(kind) ? Makers()[static_cast<std::size_t>(kind)] : Maker();
}

CScreenBase* CScreenFactory::Create(EScreenKind kind, int argument)
{
    const Maker maker = GetMaker(kind);
    CScreenBase* screen = maker ? maker(argument) : nullptr;
    if (screen == nullptr)
        CEngineRef().Log("[E] screen %s can't be made", Name(kind));
    return screen;
}

bool CScreenFactory::SwitchTo(EScreenKind kind, int argument)
{
    if (g_pScreenManager == nullptr)
        return false;
    CScreenBase* screen = Create(kind, argument);
    if (screen == nullptr)
        return false;
    g_pScreenManager->SwitchTo(screen, true, true);
    return true;
}
