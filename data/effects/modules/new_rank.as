// new_rank.as: the module "new_rank", the popup that presents a new rank (look from screen_kit.as
// and result_kit.as, texts 7820-7841 of data/texts/results.txt).
// - "move_new_rank": the kit's middle window with its title and text;
// - "move_new_rank_p2": its shadow; track 0 carries "Ranks", whose frame r shows the emblem of
//   rank r with the rank's name;
// - "bt_ok": the OK button.
void Declare_new_rank(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int title = KitNamedText(res, "new_rank_title", g_fontTitle, 7840, ALIGN_CENTRE);
    int text = KitNamedText(res, "new_rank_text", g_fontMain, 7841, ALIGN_CENTRE);

    res.CreateModule("new_rank");
    res.CreateEffect("Ranks", 13, 1300);
    res.CreateObjectGfx("emblem", 0);
    for (int r = 0; r < 13; r++)
        ResultSprite(res, ResultPicture(res, "new_rank_" + r, "gfx/common/rank_" + r + ".png", 96, 96), 0, 6, 96, 96,
                     255, 150, 4);
    res.CreateObjectGfx("name", 0);
    for (int r = 0; r < 13; r++)
        ResultText(res, KitNamedText(res, "new_rank_name" + (r + 1), g_fontTitle, 7820 + r, ALIGN_CENTRE), 0, 110,
                   255, 255, 232, 160, 5);

    KitWindowEffect(res, "move_new_rank");
    KitSlideSprite(res, "window", g_sprWindowMiddle, 0, 0, 480, 440);
    KitSlideText(res, "title", title, 0, -181, 255, 232, 160);
    KitSlideText(res, "text", text, 0, -134, 240, 244, 248);
    ResultShadowWithPart(res, "new_rank", "move_new_rank", "Ranks", g_sprWindowMiddle, 480, 440);
    KitButton(res, "bt_ok", g_textKitOk, 0, 170);
}
