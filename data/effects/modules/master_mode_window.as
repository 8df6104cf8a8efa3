// master_mode_window.as: the module "master_mode_window", the window that announces master mode
// ("move_rules_window", part "bt_ok", with its "_p2" shadow; look from screen_kit.as, texts
// 7094-7095 of data/texts/screens.txt).
void Declare_master_mode_window(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "master_mode", g_fontTitle, 7094, ALIGN_CENTRE);
    int text = KitNamedText(res, "master_mode_text", g_fontMain, 7095, ALIGN_CENTRE);

    res.CreateModule("master_mode_window");
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
    KitMessageWindow(res, "master_mode_window", "move_rules_window", title, text, "bt_ok");
}
