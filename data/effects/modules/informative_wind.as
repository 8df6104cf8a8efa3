// informative_wind.as: the module "informative_wind", message windows of the game and the story
// map (look from screen_kit.as, texts 7080-7088, 7096-7099 and 7122-7123 of data/texts/screens.txt):
// - "move_informative_wind_2": the game screen's first full gauge, part "bt_ok2";
// - "move_informative_wind_1": the story map's closed bonus level was clicked, part "bt_ok";
// - "move_inf_wind_unlock0".."4": a closed location was chosen, part "bt_ok";
// - "move_informative_wind_3": the level chosen could not be loaded, part "bt_ok";
// - "move_inf_wind_save": progress could not be saved (the shell sets its text), part "bt_ok";
// - "move_inf_wind_unread": a file of the player's was not read (the shell sets its text), part "bt_ok";
// each with its "_p2" shadow.
void Declare_informative_wind(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int gaugeTitle = KitNamedText(res, "informative_gauge", g_fontTitle, 7080, ALIGN_CENTRE);
    int gaugeText = KitNamedText(res, "informative_gauge_text", g_fontMain, 7081, ALIGN_CENTRE);
    int mapTitle = KitNamedText(res, "informative_map", g_fontTitle, 7082, ALIGN_CENTRE);
    int mapText = KitNamedText(res, "informative_map_text", g_fontMain, 7083, ALIGN_CENTRE);
    int closedTitle = KitNamedText(res, "informative_closed", g_fontTitle, 7084, ALIGN_CENTRE);
    int brokenTitle = KitNamedText(res, "informative_broken", g_fontTitle, 7098, ALIGN_CENTRE);
    int brokenText = KitNamedText(res, "informative_broken_text", g_fontMain, 7099, ALIGN_CENTRE);
    int saveTitle = KitNamedText(res, "informative_save", g_fontTitle, 7096, ALIGN_CENTRE);
    int saveText = KitNamedText(res, "informative_save_text", g_fontMain, 7097, ALIGN_CENTRE);
    int unreadTitle = KitNamedText(res, "informative_unread", g_fontTitle, 7122, ALIGN_CENTRE);
    int unreadText = KitNamedText(res, "informative_unread_text", g_fontMain, 7123, ALIGN_CENTRE);
    // Location L opens through the levels of location L - 1 (location 0 is never closed).
    int closedFirst = -1;
    for (int location = 0; location < 5; location++) {
        int number = 7085 + (location > 0 ? location - 1 : 0);
        int text = KitNamedText(res, "informative_closed_" + location, g_fontMain, number, ALIGN_CENTRE);
        if (location == 0)
            closedFirst = text;
    }

    res.CreateModule("informative_wind");
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
    KitButton(res, "bt_ok2", g_textKitOk, 0, 75);
    KitMessageWindow(res, "informative_wind", "move_informative_wind_2", gaugeTitle, gaugeText, "bt_ok2");
    KitMessageWindow(res, "informative_wind", "move_informative_wind_1", mapTitle, mapText, "bt_ok");
    KitMessageWindow(res, "informative_wind", "move_informative_wind_3", brokenTitle, brokenText, "bt_ok");
    for (int location = 0; location < 5; location++)
        KitMessageWindow(res, "informative_wind", "move_inf_wind_unlock" + location, closedTitle,
                         closedFirst + location, "bt_ok");
    KitMessageWindow(res, "informative_wind", "move_inf_wind_save", saveTitle, saveText, "bt_ok");
    KitMessageWindow(res, "informative_wind", "move_inf_wind_unread", unreadTitle, unreadText, "bt_ok");
}
