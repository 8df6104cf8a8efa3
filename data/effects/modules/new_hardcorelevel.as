// new_hardcorelevel.as: the module "new_hardcorelevel", the story map's window that announces a
// hardcore level ("move_new_hardcorelevel", part "bt_ok", with its "_p2" shadow; look from
// screen_kit.as, texts 7532-7533 of data/texts/story.txt).
void Declare_new_hardcorelevel(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "new_hardcorelevel", g_fontTitle, 7532, ALIGN_CENTRE);
    int text = KitNamedText(res, "new_hardcorelevel_text", g_fontMain, 7533, ALIGN_CENTRE);

    res.CreateModule("new_hardcorelevel");
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
    KitMessageWindow(res, "new_hardcorelevel", "move_new_hardcorelevel", title, text, "bt_ok");
}
