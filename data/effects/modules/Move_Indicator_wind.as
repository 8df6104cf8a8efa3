// Move_Indicator_wind.as: the module "Move_Indicator_wind", the two windows that explain the
// game screen's move lamp ("move_move_indicator_wind1" and "2", part "bt_ok2", with their "_p2"
// shadows; look from screen_kit.as, texts 7090-7093 and 7120-7121 of data/texts/screens.txt).
// Both open while the lamp is lit: the second at a player's second level start, the first when
// the lamp comes on for the third time, so each says what lit and dark mean. The game puts the
// words for the table into "move_lamp_again_text" and "move_lamp_text" before it opens them:
// those of "_plain", or of "_cells" (which speak of free cells) on a table with free cells.
void Declare_Move_Indicator_wind(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int firstTitle = KitNamedText(res, "move_lamp_again", g_fontTitle, 7090, ALIGN_CENTRE);
    int firstText = KitNamedText(res, "move_lamp_again_text", g_fontMain, 7091, ALIGN_CENTRE);
    int secondTitle = KitNamedText(res, "move_lamp", g_fontTitle, 7092, ALIGN_CENTRE);
    int secondText = KitNamedText(res, "move_lamp_text", g_fontMain, 7093, ALIGN_CENTRE);
    KitNamedText(res, "move_lamp_again_plain", g_fontMain, 7091, ALIGN_CENTRE);
    KitNamedText(res, "move_lamp_again_cells", g_fontMain, 7120, ALIGN_CENTRE);
    KitNamedText(res, "move_lamp_plain", g_fontMain, 7093, ALIGN_CENTRE);
    KitNamedText(res, "move_lamp_cells", g_fontMain, 7121, ALIGN_CENTRE);

    res.CreateModule("Move_Indicator_wind");
    KitButton(res, "bt_ok2", g_textKitOk, 0, 75);
    KitMessageWindow(res, "Move_Indicator_wind", "move_move_indicator_wind1", firstTitle, firstText, "bt_ok2");
    KitMessageWindow(res, "Move_Indicator_wind", "move_move_indicator_wind2", secondTitle, secondText, "bt_ok2");
}
