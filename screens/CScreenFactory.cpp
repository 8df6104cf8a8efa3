// CScreenFactory.cpp: the built-in makers and the ones put in their place.
#include "screens/CScreenFactory.h"

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "screens/CClassicScreen2.h"
#include "screens/CMenuScreen.h"
#include "screens/CScreenEngine.h"
#include "screens/CStoryScreen2.h"
#include "screens/CTrophyRoom.h"

#include <array>
#include <new>

namespace {

constexpr std::size_t kKinds = static_cast<std::size_t>(EScreenKind::Count);

CScreenBase* MakeStoryMap(int)
{
    return CStoryScreen2::Create();
}

CScreenBase* MakeClassicSelection(int)
{
    return CClassicScreen2::Create();
}

// Its openers come back to the story map; the argument is the award flag.
CScreenBase* MakeTrophyRoom(int award)
{
    return CTrophyRoom::Create(CTrophyRoom::kToStoryMap, award);
}

CScreenBase* MakeMainMenu(int)
{
    return CMenuScreen::Create();
}

CScreenFactory::Maker BuiltInMaker(EScreenKind kind)
{
    switch (kind) {
    case EScreenKind::MainMenu:
        return MakeMainMenu;
    case EScreenKind::StoryMap:
        return MakeStoryMap;
    case EScreenKind::ClassicSelection:
        return MakeClassicSelection;
    case EScreenKind::TrophyRoom:
        return MakeTrophyRoom;
    case EScreenKind::Count:
        break;
    }
    return {};
}

std::array<CScreenFactory::Maker, kKinds>& Makers()
{
    static std::array<CScreenFactory::Maker, kKinds> makers = [] {
        std::array<CScreenFactory::Maker, kKinds> all;
        for (std::size_t i = 0; i < kKinds; ++i)
            all[i] = BuiltInMaker(static_cast<EScreenKind>(i));
        return all;
    }();
    return makers;
}

bool IsKind(EScreenKind kind)
{
    return static_cast<std::size_t>(kind) < kKinds;
}

}  // namespace

const char* CScreenFactory::Name(EScreenKind kind)
{
    static const char* const names[kKinds] = {"MainMenu", "StoryMap", "ClassicSelection", "TrophyRoom"};
    return IsKind(kind) ? names[static_cast<std::size_t>(kind)] : "?";
}

void CScreenFactory::SetMaker(EScreenKind kind, Maker maker)
{
    if (!IsKind(kind))
        return;
    Makers()[static_cast<std::size_t>(kind)] = maker ? std::move(maker) : BuiltInMaker(kind);
}

CScreenBase* CScreenFactory::Create(EScreenKind kind, int argument)
{
    const Maker* maker = IsKind(kind) ? &Makers()[static_cast<std::size_t>(kind)] : nullptr;
    CScreenBase* screen = maker != nullptr && *maker ? (*maker)(argument) : nullptr;
    if (screen == nullptr)
        CScreenEngine().Log("[E] screen %s can't be made", Name(kind));
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
