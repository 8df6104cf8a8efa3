// congratulatory_windows.as: the module "congratulatory_windows", the story map's four
// congratulations ("move_congr_win1".."4", part "bt_ok2", each with its "_p2" shadow): every story
// level won, every story level gold, everything gold, master mode. Look from screen_kit.as, texts
// 7534-7541 of data/texts/story.txt.
void Declare_congratulatory_windows(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int first = -1;
    for (int i = 0; i < 8; i++) {
        string name = "congratulation_" + (i / 2 + 1) + (i % 2 == 0 ? "" : "_text");
        int text = KitNamedText(res, name, i % 2 == 0 ? g_fontTitle : g_fontMain, 7534 + i, ALIGN_CENTRE);
        if (i == 0)
            first = text;
    }

    res.CreateModule("congratulatory_windows");
    KitButton(res, "bt_ok2", g_textKitOk, 0, 75);
    for (int n = 1; n <= 4; n++)
        KitMessageWindow(res, "congratulatory_windows", "move_congr_win" + n, first + 2 * (n - 1),
                         first + 2 * (n - 1) + 1, "bt_ok2");
}
