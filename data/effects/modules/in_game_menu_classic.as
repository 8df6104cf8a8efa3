// in_game_menu_classic.as: the module "in_game_menu_classic", the menu over a classic game: the
// story menu's window and widgets (in_game_menu.as), with the quit button "bt_quit_to_classic"
// that leads to the classic selection, and a third check box "cb_use_bonuses" (labelled on
// "place") under the first two.

void Declare_in_game_menu_classic(CFResource@ res)
{
    UseInGameMenuArt(res);
    res.CreateModule("in_game_menu_classic");
    InGameMenuWindow(res, "move_in_game_menu_classic");
    InGameMenuWidgets(res, "bt_quit_to_classic", InGameMenuLabel(7), g_textIgmBonuses);
}
