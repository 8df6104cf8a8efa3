// CInGameMenuClassic.h: the in-game menu of a classic game (module "in_game_menu_classic"): the
// story menu's choices, leaving to the classic selection instead of the story map, and a third
// switch that lets the player use the bonuses or play without them.
#pragma once

#include "screens/CInGameMenu.h"

class CInGameMenuClassic : public CInGameMenu {
public:
    static CInGameMenuClassic* Create(CFAnimationGroup* owner);  // null when memory runs out

    void OnUseBonuses(CFObject* sender, int state);

private:
    static const Variant kClassic;

    explicit CInGameMenuClassic(CFAnimationGroup* owner);
};
