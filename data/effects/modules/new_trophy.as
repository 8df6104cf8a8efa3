// new_trophy.as: the module "new_trophy", the popup that presents a trophy now due (look from
// screen_kit.as and result_kit.as, texts 7701-7710 of data/texts/trophy.txt and 7842).
// - "move_new_trophy": the kit's middle window with its title;
// - "move_new_trophy_p2": its shadow; track 0 carries the OK button "bt_ok";
// - "trophy_1".."trophy_10": the trophy growing into place, with what it was won for.
void NewTrophyItem(CFResource@ res, int n)
{
    float w = TrophyRect(n, 2), h = TrophyRect(n, 3);
    int picture = ResultPicture(res, "new_trophy_" + n, "gfx/trophy/trophy_" + n + ".png", int(w), int(h));
    int text = KitNamedText(res, "new_trophy_text_" + n, g_fontMain, 7700 + n, ALIGN_CENTRE);
    float scale = 150 * 100 / (w > h ? w : h);
    res.CreateEffect("trophy_" + n, 10, 500);
    res.CreateObjectGfx("trophy", 0);
    for (int f = 0; f < 10; f++)
        ResultSprite(res, picture, 0, -20, w, h, 255, scale * (0.4f + 0.6f * f / 9), 4);
    res.CreateObjectGfx("text", 0);
    for (int f = 0; f < 10; f++)
        ResultText(res, text, 0, 96, f * 255 / 9, 255, 255, 255, 5);
}

void Declare_new_trophy(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "new_trophy_title", g_fontTitle, 7842, ALIGN_CENTRE);

    res.CreateModule("new_trophy");
    KitButton(res, "bt_ok", g_textKitOk, 0, 170);
    for (int n = 1; n <= 10; n++)
        NewTrophyItem(res, n);
    KitWindowEffect(res, "move_new_trophy");
    KitSlideSprite(res, "window", g_sprWindowMiddle, 0, 0, 480, 440);
    KitSlideText(res, "title", title, 0, -181, 255, 232, 160);
    ResultShadowWithPart(res, "new_trophy", "move_new_trophy", "bt_ok", g_sprWindowMiddle, 480, 440);
}
