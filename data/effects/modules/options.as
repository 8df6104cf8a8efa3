// options.as: the module "options", the smaller options screen that nothing opens (look from
// screen_kit.as, texts 7040-7042 of data/texts/screens.txt): "move_options" and its "_p2"
// shadow (the small window with the labels), the sliders "sl_volume_select" (effects) and
// "sl_ambient_music" (music) as in options_full.as, and "bt_ok".
void Declare_options(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "options2_title", g_fontTitle, 7040, ALIGN_CENTRE);
    int effects = KitNamedText(res, "options2_effects", g_fontBold, 7041, ALIGN_LEFT);
    int music = KitNamedText(res, "options2_music", g_fontBold, 7042, ALIGN_LEFT);

    res.CreateModule("options");
    KitWindowEffect(res, "move_options");
    KitSlideSprite(res, "window", g_sprWindowSmall, 0, 0, 420, 240);
    KitSlideText(res, "title", title, 0, -88, 255, 232, 160);
    KitSlideText(res, "effects", effects, -180, -34, 240, 244, 248);
    KitSlideText(res, "music", music, -180, 16, 240, 244, 248);
    KitShadow(res, "move_options", g_sprWindowSmall, 420, 240);

    OptionsSlider(res, "sl_volume_select", -20, 170, -40);
    OptionsSlider(res, "sl_ambient_music", -20, 170, 10);
    KitButton(res, "bt_ok", g_textKitOk, 0, 75);
}
