// high_scores.as: the module "high_scores", the high-score popup (look from screen_kit.as, texts
// 7030-7033 of data/texts/screens.txt).
// - "move_high_scores" and its "_p2" shadow: the large window with the title "HS_MODE", the rows
//   "highscores_n<r>", "HS_PLAYER<r>", "HS_SCORE<r>" (r = 1..10) and the parts "bt_story",
//   "bt_classic" and "bt_ok";
// - "border": a bright frame that fades in around the rows once the window stands.
// The titles of the two tables are the texts "HS_MODE_0" and "HS_MODE_1".

void HighScoreRows(CFResource@ res)
{
    int font = g_fontBold;
    for (int r = 1; r <= 10; r++) {
        int number = KitNamedText(res, "highscores_n" + r, font, -1, ALIGN_RIGHT);
        int name = KitNamedText(res, "HS_PLAYER" + r, font, -1, ALIGN_LEFT);
        int score = KitNamedText(res, "HS_SCORE" + r, font, -1, ALIGN_RIGHT);
        float y = -128 + 36 * (r - 1);
        KitSlideText(res, "number" + r, number, -150, y, 255, 232, 160);
        KitSlideText(res, "name" + r, name, -130, y, 255, 250, 235);
        KitSlideText(res, "score" + r, score, 190, y, 255, 250, 235);
    }
}

void Declare_high_scores(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "HS_MODE", g_fontTitle, 7032, ALIGN_CENTRE);
    KitNamedText(res, "HS_MODE_0", g_fontTitle, 7032, ALIGN_CENTRE);
    KitNamedText(res, "HS_MODE_1", g_fontTitle, 7033, ALIGN_CENTRE);
    int story = KitNamedText(res, "hiscores_story", g_fontBold, 7030, ALIGN_CENTRE);
    int classic = KitNamedText(res, "hiscores_classic", g_fontBold, 7031, ALIGN_CENTRE);

    res.CreateModule("high_scores");
    KitButton(res, "bt_story", story, -90, -188);
    KitButton(res, "bt_classic", classic, 90, -188);
    KitButton(res, "bt_ok", g_textKitOk, 0, 240);

    KitWindowEffect(res, "move_high_scores");
    KitSlideParts(res, "high_scores", "bt_story", "bt_classic", "bt_ok");
    KitSlideSprite(res, "window", g_sprWindowLarge, 0, 0, 480, 560);
    KitSlideText(res, "title", title, 0, -241, 255, 232, 160);
    HighScoreRows(res);
    KitShadow(res, "move_high_scores", g_sprWindowLarge, 480, 560);

    res.CreateEffect("border", 10, 500);
    res.CreateObjectGfx("glint", 0);
    for (int f = 0; f < 10; f++)
        //             text sprite       alpha        r    g    b    x  y   sx   sy   rot hx   hy   interp depth blend
        res.AddFrameGfx(-1, g_sprGlint, f * 255 / 9, 255, 255, 255, 0, 28, 105, 125, 0, 210, 150, 0,     6,    0);
}
