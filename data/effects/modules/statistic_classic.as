// statistic_classic.as: the classic game's result and the use-bonus question, declared into the
// module "classic" by Declare_classic (look from screen_kit.as and result_kit.as, texts
// 7801-7806 and 7853-7854). Positions are offsets from the view's centre.
// - "move_classic_statistics" and its "_p2": the kit's middle window with the game's name
//   "classic_name", the score "statistic_score" and the bonus lines; "bt_ok_stat": its OK.
// - "use_bonuses_wind": the question's window (a still picture); "bt_yes", "bt_no": the answers.
// The classic result sparkles around its score, at the view's (520, 200).

void ClassicResultWindow(CFResource@ res)
{
    int title = KitNamedText(res, "classic_result_title", g_fontTitle, 7806, ALIGN_CENTRE);
    int name = KitNamedText(res, "classic_name", g_fontBold, -1, ALIGN_CENTRE);
    KitWindowEffect(res, "move_classic_statistics");
    KitSlideSprite(res, "window", g_sprWindowMiddle, 0, 0, 480, 440);
    KitSlideText(res, "title", title, 0, -181, 255, 232, 160);
    ResultFigure(res, "name", name, 0, -140);
    ResultLabel(res, "label_score", g_textResultScore, -200, -96);
    ResultFigure(res, "score", g_textStatScore, 180, -92);
    ResultBonusLines(res, -200, 60, 180, -36, 40);
    KitShadow(res, "move_classic_statistics", g_sprWindowMiddle, 480, 440);
    KitButton(res, "bt_ok_stat", g_textKitOk, 0, 176);
}

void UseBonusWindow(CFResource@ res)
{
    int title = KitNamedText(res, "use_bonuses_title", g_fontTitle, 7853, ALIGN_CENTRE);
    int text = KitNamedText(res, "use_bonuses_text", g_fontMain, 7854, ALIGN_CENTRE);
    res.CreateEffect("use_bonuses_wind", 1, 100);
    res.CreateObjectGfx("window", 0);
    KitSprite(res, g_sprWindowSmall, 0, 0, 420, 240, 255, 0);
    res.CreateObjectGfx("title", 0);
    KitText(res, title, 0, -90, 255, 232, 160, 2);
    res.CreateObjectGfx("text", 0);
    KitText(res, text, 0, -42, 240, 244, 248, 2);
    KitButton(res, "bt_yes", g_textKitYes, -90, 70);
    KitButton(res, "bt_no", g_textKitNo, 90, 70);
}

void DeclareClassicResult(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    UseResultTexts(res);
    ClassicResultWindow(res);
    UseBonusWindow(res);
}

void Declare_statistic_classic(CFResource@ res)
{
    // Declared into the module "classic": Declare_classic calls DeclareClassicResult.
}
