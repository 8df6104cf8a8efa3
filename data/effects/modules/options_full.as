// options_full.as: the module "options_full", the options popup (look from screen_kit.as, texts
// 7040-7047 of data/texts/screens.txt).
// - "move_options_full" and its "_p2" shadow: the middle window sliding in;
// - "menu": the window standing still with its labels (the popup shows its first frame);
// - "sl_sound_volume", "sl_music_volume", "sl_ambience": sliders (track 0 the thumb, from the
//   left end in frame 0 to the right end in the last frame; track 1 the bar);
// - "cb_fullscreen", "cb_specialfx", "cb_custcursor", "cb_lcd": check boxes with the sections
//   normal, on, off and disabled; "bt_ok": the OK button.

const int OPTIONS_SLIDER_FRAMES = 21;

// A slider whose bar runs from x0 to x1 at height y.
void OptionsSlider(CFResource@ res, const string &in name, float x0, float x1, float y)
{
    res.CreateEffect(name, OPTIONS_SLIDER_FRAMES, OPTIONS_SLIDER_FRAMES * 100);
    res.CreateObjectGfx("thumb", 0);
    for (int f = 0; f < OPTIONS_SLIDER_FRAMES; f++)
        KitSprite(res, g_sprSliderThumb, x0 + (x1 - x0) * f / (OPTIONS_SLIDER_FRAMES - 1), y, 28, 36, 255, 8);
    res.CreateObjectGfx("bar", 0);
    for (int f = 0; f < OPTIONS_SLIDER_FRAMES; f++)
        //             text sprite            alpha  r    g    b    x                y  sx                         sy   rot hx   hy interp depth blend
        res.AddFrameGfx(-1, g_sprSliderTrack, 255, 255, 255, 255, (x0 + x1) / 2, y, (x1 - x0 + 28) / 3.0f, 100, 0, 150, 8, 0,     7,    0);
}

// A check box at (x, y): frames normal (empty), on, off, disabled.
void OptionsBox(CFResource@ res, const string &in name, float x, float y)
{
    res.CreateEffect(name, 4, 400);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("on", 1, 1, 0);
    res.AddNamedPart("off", 2, 2, 0);
    res.AddNamedPart("disabled", 3, 3, 0);
    res.CreateObjectGfx("box", 0);
    KitSprite(res, g_sprCheckOff, x, y, 32, 32, 255, 8);
    KitSprite(res, g_sprCheckOn, x, y, 32, 32, 255, 8);
    KitSprite(res, g_sprCheckOff, x, y, 32, 32, 255, 8);
    KitSprite(res, g_sprCheckDisabled, x, y, 32, 32, 255, 8);
}

void OptionsLabel(CFResource@ res, const string &in name, int text, float x, float y)
{
    res.CreateObjectGfx(name, 0);
    if (name == "title")
        KitText(res, text, x, y, 255, 232, 160, 6);
    else
        KitText(res, text, x, y, 240, 244, 248, 6);
}

void Declare_options_full(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "options_title", g_fontTitle, 7040, ALIGN_CENTRE);
    int effects = KitNamedText(res, "options_effects", g_fontBold, 7041, ALIGN_LEFT);
    int music = KitNamedText(res, "options_music", g_fontBold, 7042, ALIGN_LEFT);
    int ambient = KitNamedText(res, "options_ambient", g_fontBold, 7043, ALIGN_LEFT);
    int fullScreen = KitNamedText(res, "options_fullscreen", g_fontBold, 7044, ALIGN_LEFT);
    int specialFx = KitNamedText(res, "options_specialfx", g_fontBold, 7045, ALIGN_LEFT);
    int cursor = KitNamedText(res, "options_cursor", g_fontBold, 7046, ALIGN_LEFT);
    int fit = KitNamedText(res, "options_fit", g_fontBold, 7047, ALIGN_LEFT);

    res.CreateModule("options_full");
    KitWindowEffect(res, "move_options_full");
    KitSlideSprite(res, "window", g_sprWindowMiddle, 0, 0, 480, 440);
    KitSlideText(res, "title", title, 0, -181, 255, 232, 160);
    KitShadow(res, "move_options_full", g_sprWindowMiddle, 480, 440);

    res.CreateEffect("menu", 1, 100);
    res.CreateObjectGfx("window", 0);
    KitSprite(res, g_sprWindowMiddle, 0, 0, 480, 440, 255, 0);
    OptionsLabel(res, "title", title, 0, -181);
    OptionsLabel(res, "effects", effects, -200, -114);
    OptionsLabel(res, "music", music, -200, -64);
    OptionsLabel(res, "ambient", ambient, -200, -14);
    OptionsLabel(res, "fullscreen", fullScreen, -164, 56);
    OptionsLabel(res, "specialfx", specialFx, 46, 56);
    OptionsLabel(res, "cursor", cursor, -164, 106);
    OptionsLabel(res, "fit", fit, 46, 106);

    OptionsSlider(res, "sl_sound_volume", -20, 196, -120);
    OptionsSlider(res, "sl_music_volume", -20, 196, -70);
    OptionsSlider(res, "sl_ambience", -20, 196, -20);
    OptionsBox(res, "cb_fullscreen", -184, 50);
    OptionsBox(res, "cb_specialfx", 26, 50);
    OptionsBox(res, "cb_custcursor", -184, 100);
    OptionsBox(res, "cb_lcd", 26, 100);
    KitButton(res, "bt_ok", g_textKitOk, 0, 172);
}
