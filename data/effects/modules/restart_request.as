// restart_request.as: the module "restart_request", the window the options show when a display
// change waits for the next start ("move_restart_request_wind", part "bt_ok", with its "_p2"
// shadow; look from screen_kit.as, texts 7048-7049 of data/texts/screens.txt).
void Declare_restart_request(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "restart_title", g_fontTitle, 7048, ALIGN_CENTRE);
    int text = KitNamedText(res, "restart_text", g_fontMain, 7049, ALIGN_CENTRE);

    res.CreateModule("restart_request");
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
    KitMessageWindow(res, "restart_request", "move_restart_request_wind", title, text, "bt_ok");
}
