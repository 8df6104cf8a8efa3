// No_more_moves.as: the module "No_more_moves", the window that tells the player no move is left
// (look from screen_kit.as, texts 7850-7852 of data/texts/results.txt).
// - "no_more_moves1" and its "_p2": a bonus, an undo or dealing again can help;
// - "no_more_moves2" and its "_p2": a classic game without bonuses: an undo or dealing again;
// - "bt_ok": the OK button, where the window comes to rest.
void NoMovesWindow(CFResource@ res, const string &in move, int title, int text)
{
    KitWindowEffect(res, move);
    KitSlideSprite(res, "window", g_sprWindowSmall, 0, 0, 420, 240);
    KitSlideText(res, "title", title, 0, -90, 255, 232, 160);
    KitSlideText(res, "text", text, 0, -36, 240, 244, 248);
    KitShadow(res, move, g_sprWindowSmall, 420, 240);
}

void Declare_No_more_moves(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "no_more_moves_title", g_fontTitle, 7850, ALIGN_CENTRE);
    int withBonuses = KitNamedText(res, "no_more_moves_text1", g_fontMain, 7851, ALIGN_CENTRE);
    int withoutBonuses = KitNamedText(res, "no_more_moves_text2", g_fontMain, 7852, ALIGN_CENTRE);

    res.CreateModule("No_more_moves");
    NoMovesWindow(res, "no_more_moves1", title, withBonuses);
    NoMovesWindow(res, "no_more_moves2", title, withoutBonuses);
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
}
