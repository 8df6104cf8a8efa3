// Tutorial.as: the module "Tutorial", the tutorial window (look from screen_kit.as, texts 7855-7856
// of data/texts/results.txt): "main", the kit's middle window whose frame glints, looped; "bt_ok".
void Declare_Tutorial(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "tutorial_title", g_fontTitle, 7855, ALIGN_CENTRE);
    int text = KitNamedText(res, "tutorial_text", g_fontMain, 7856, ALIGN_CENTRE);

    res.CreateModule("Tutorial");
    res.CreateEffect("main", 20, 2000);
    res.CreateObjectGfx("window", 0);
    for (int f = 0; f < 20; f++)
        KitSprite(res, g_sprWindowMiddle, 0, 0, 480, 440, 255, 0);
    res.CreateObjectGfx("glint", 0);
    for (int f = 0; f < 20; f++)
        //             text sprite       alpha                              r    g    b    x  y   sx   sy   rot hx   hy   interp depth blend
        res.AddFrameGfx(-1, g_sprGlint, 60 + 60 * (f < 10 ? f : 20 - f) / 10, 255, 255, 255, 0, 0, 112, 142, 0, 210, 150, 0,     1,    0);
    res.CreateObjectGfx("title", 0);
    for (int f = 0; f < 20; f++)
        KitText(res, title, 0, -181, 255, 232, 160, 2);
    res.CreateObjectGfx("text", 0);
    for (int f = 0; f < 20; f++)
        KitText(res, text, 0, -90, 240, 244, 248, 2);
    KitButton(res, "bt_ok", g_textKitOk, 0, 170);
}
