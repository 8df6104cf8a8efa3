// new_bonuslevel.as: the module "new_bonuslevel", the story map's window that announces a bonus
// level ("move_new_bonuslevel", part "bt_ok", with its "_p2" shadow; look from screen_kit.as,
// texts 7530-7531 of data/texts/story.txt).
void Declare_new_bonuslevel(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "new_bonuslevel", g_fontTitle, 7530, ALIGN_CENTRE);
    int text = KitNamedText(res, "new_bonuslevel_text", g_fontMain, 7531, ALIGN_CENTRE);

    res.CreateModule("new_bonuslevel");
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
    KitMessageWindow(res, "new_bonuslevel", "move_new_bonuslevel", title, text, "bt_ok");
}
