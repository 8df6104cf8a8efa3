// bonus_statistic.as: the module "bonus_statistic", the result of a won bonus level (look from
// screen_kit.as and result_kit.as, texts 7801-7816 of data/texts/results.txt). Positions are
// offsets from the view's centre, where the window (the kit's middle one) stands.
// - "move_bonus_statistics" and its "_p2": the goal layout: the name "bonus_statistic_name", the
//   score "bonus_statistic_scores", the goals "bonus_statistic_a1".."_a3" (won or lost) with their
//   points "bonus_statistic_a1score".."_a3score" and the medal "bonus_statistic_youaward". The
//   shadow's track 0 carries "main_1", whose section "award" or "no_award" the popup plays.
// - "move_bonus_statistics2" and its "_p2": the time layout: the time "bonus_statistic2_time" and
//   its bonus "bonus_statistic2_time_score" in place of the goals.
// - "award": the anchor where the medal shows (the medals are the module "interface"'s);
// - "bt_ok": the OK button.

const float BONUS_RESULT_MEDAL_X = 140;
const float BONUS_RESULT_MEDAL_Y = -36;
int g_textStatBonusScoreText = -1;
int g_textBonusYourMedal = -1;
int g_textBonusYouAward = -1;

void BonusResultCommon(CFResource@ res, const string &in move, int title, int name, int slot)
{
    KitWindowEffect(res, move);
    KitSlideSprite(res, "window", g_sprWindowMiddle, 0, 0, 480, 440);
    KitSlideText(res, "title", title, 0, -181, 255, 232, 160);
    ResultFigure(res, "name", name, 0, -140);
    ResultLabel(res, "label_score", g_textResultScore, -210, -100);
    ResultFigure(res, "score", g_textStatBonusScoreText, 40, -96);
    ResultLabel(res, "label_medal", g_textBonusYourMedal, -210, 110);
    KitSlideText(res, "award", g_textBonusYouAward, -40, 110, 255, 232, 160);
    KitSlideTrack(res, "medal_slot", -1, slot, BONUS_RESULT_MEDAL_X, BONUS_RESULT_MEDAL_Y, 48, 48, 255, 255, 255, 255, 1);
}

// "main_1": frames 0-3 "award", a star behind "Medal won!"; frames 4-7 "no_award".
void BonusResultBanner(CFResource@ res, int star)
{
    int won = KitNamedText(res, "bonus_statistic_won", g_fontBold, 7812, ALIGN_CENTRE);
    int lost = KitNamedText(res, "bonus_statistic_lost", g_fontBold, 7813, ALIGN_CENTRE);
    res.CreateEffect("main_1", 8, 800);
    res.AddNamedPart("award", 0, 3, 0);
    res.AddNamedPart("no_award", 4, 7, 0);
    res.CreateObjectGfx("star", 0);
    for (int f = 0; f < 8; f++)
        ResultSprite(res, star, BONUS_RESULT_MEDAL_X, 44, 64, 64, f < 4 ? 150 + 30 * f : 0, 100 + 5 * (f % 4), 4);
    res.CreateObjectGfx("won", 0);
    for (int f = 0; f < 8; f++)
        ResultText(res, won, BONUS_RESULT_MEDAL_X, 50, f < 4 ? 255 : 0, 255, 232, 160, 5);
    res.CreateObjectGfx("lost", 0);
    for (int f = 0; f < 8; f++)
        ResultText(res, lost, BONUS_RESULT_MEDAL_X, 50, f < 4 ? 0 : 255, 200, 200, 200, 5);
}

void BonusResultGoals(CFResource@ res, int title, int name, int slot)
{
    BonusResultCommon(res, "move_bonus_statistics", title, name, slot);
    for (int g = 1; g <= 3; g++) {
        int label = KitNamedText(res, "bonus_statistic_goal" + g, g_fontBold, 7807 + g, ALIGN_LEFT);
        int result = KitNamedText(res, "bonus_statistic_a" + g, g_fontBold, -1, ALIGN_CENTRE);
        int points = KitNamedText(res, "bonus_statistic_a" + g + "score", g_fontBold, -1, ALIGN_RIGHT);
        float y = -56 + 36 * (g - 1);
        ResultLabel(res, "label_goal" + g, label, -210, y);
        KitSlideText(res, "goal" + g, result, -60, y, 255, 232, 160);
        ResultFigure(res, "goal_score" + g, points, 40, y);
    }
    ResultShadowWithPart(res, "bonus_statistic", "move_bonus_statistics", "main_1", g_sprWindowMiddle, 480, 440);
}

void BonusResultTime(CFResource@ res, int title, int name, int slot)
{
    int time = KitNamedText(res, "bonus_statistic2_time", g_fontBold, -1, ALIGN_LEFT);
    int points = KitNamedText(res, "bonus_statistic2_time_score", g_fontBold, -1, ALIGN_LEFT);
    KitNamedText(res, "bonus_statistic2_time_template", g_fontBold, 7815, ALIGN_LEFT);
    KitNamedText(res, "bonus_statistic2_time_score_template", g_fontBold, 7816, ALIGN_LEFT);
    BonusResultCommon(res, "move_bonus_statistics2", title, name, slot);
    ResultFigure(res, "time", time, -210, -46);
    ResultFigure(res, "time_score", points, -210, -8);
    KitShadow(res, "move_bonus_statistics2", g_sprWindowMiddle, 480, 440);
}

void Declare_bonus_statistic(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    UseResultTexts(res);
    int title = KitNamedText(res, "bonus_statistic_title", g_fontTitle, 7807, ALIGN_CENTRE);
    int name = KitNamedText(res, "bonus_statistic_name", g_fontBold, -1, ALIGN_CENTRE);
    g_textStatBonusScoreText = KitNamedText(res, "bonus_statistic_scores", g_fontTitle, -1, ALIGN_RIGHT);
    g_textBonusYourMedal = KitNamedText(res, "bonus_statistic_label_medal", g_fontBold, 7811, ALIGN_LEFT);
    g_textBonusYouAward = KitNamedText(res, "bonus_statistic_youaward", g_fontTitle, -1, ALIGN_CENTRE);
    int slot = ResultPicture(res, "bonus_medal_slot", "gfx/results/medal_slot.png", 96, 96);
    int star = ResultPicture(res, "bonus_star", "gfx/results/star.png", 64, 64);

    res.CreateModule("bonus_statistic");
    BonusResultBanner(res, star);
    BonusResultGoals(res, title, name, slot);
    BonusResultTime(res, title, name, slot);
    res.CreateEffect("award", 1, 100);
    res.CreateObjectGfx("anchor", 0);
    KitKey(res, -1, -1, BONUS_RESULT_MEDAL_X, BONUS_RESULT_MEDAL_Y, 0, 0, 255, 12);
    KitButton(res, "bt_ok", g_textKitOk, 0, 176);
}
