// result_kit.as: the pieces that the result popups after a won game and the table's small dialogs
// share (textures from tools/gen_results_gfx.py, texts 7800-7899 of data/texts/results.txt). It
// declares no module of its own; the modules "interface", "bonus_statistic", "classic",
// "new_rank", "new_trophy", "No_more_moves" and "Tutorial" use it. Positions are offsets from the
// view's centre.

// ---- Pictures ------------------------------------------------------------------------------------

int ResultPicture(CFResource@ res, const string &in name, const string &in file, int width, int height)
{
    int texture = res.AddTexture("result_" + name, file);
    return res.AddSprite("result_" + name, texture, 0, 0, width, height);
}

// A sprite held at its centre, scaled in percent.
void ResultSprite(CFResource@ res, int sprite, float x, float y, float w, float h, int alpha, float scale, int depth)
{
    //             text sprite  alpha  r    g    b    x  y  sx     sy     rot hx     hy     interp depth blend
    res.AddFrameGfx(-1, sprite, alpha, 255, 255, 255, x, y, scale, scale, 0,  w / 2, h / 2, 0,     depth, 0);
}

void ResultText(CFResource@ res, int text, float x, float y, int alpha, int red, int green, int blue, int depth)
{
    res.AddFrameGfx(text, -1, alpha, red, green, blue, x, y, 100, 100, 0, 0, 0, 0, depth, 0);
}

// ---- Texts ---------------------------------------------------------------------------------------

// The running figures that the story and the classic results both show.
int g_textStatScore = -1;
int g_textStatCombos = -1;
int g_textStatCombosScore = -1;
int g_textStatChain = -1;
int g_textStatChainScore = -1;
int g_textStatBonuses = -1;
int g_textStatBonusesScore = -1;
int g_textStatBonusesLabel = -1;  // "Statistics_cb": set by the game, empty when bonuses are off
int g_textResultScore = -1;       // the labels
int g_textResultCombos = -1;
int g_textResultChain = -1;

void UseResultTexts(CFResource@ res)
{
    if (g_textStatScore >= 0)
        return;
    g_textStatScore = AddNamedText(res, "statistic_score", g_fontTitle, -1, 0, 0, ALIGN_RIGHT);
    g_textStatCombos = AddNamedText(res, "statistic_nofc", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatCombosScore = AddNamedText(res, "statistic_nofc_score", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatChain = AddNamedText(res, "statistic_mc", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatChainScore = AddNamedText(res, "statistic_mc_score", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatBonuses = AddNamedText(res, "statistic_cb", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatBonusesScore = AddNamedText(res, "statistic_cb_score", g_fontBold, -1, 0, 0, ALIGN_RIGHT);
    g_textStatBonusesLabel = AddNamedText(res, "Statistics_cb", g_fontBold, -1, 0, 0, ALIGN_LEFT);
    g_textResultScore = AddNamedText(res, "result_label_score", g_fontBold, 7801, 0, 0, ALIGN_LEFT);
    g_textResultCombos = AddNamedText(res, "result_label_combos", g_fontBold, 7803, 0, 0, ALIGN_LEFT);
    g_textResultChain = AddNamedText(res, "result_label_chain", g_fontBold, 7804, 0, 0, ALIGN_LEFT);
}

// Light text on the kit's dark windows: labels in gold, figures in white.
void ResultLabel(CFResource@ res, const string &in name, int text, float x, float y)
{
    KitSlideText(res, name, text, x, y, 255, 222, 140);
}

void ResultFigure(CFResource@ res, const string &in name, int text, float x, float y)
{
    KitSlideText(res, name, text, x, y, 255, 255, 255);
}

// The three lines of bonus points: combos, longest chain, collected bonuses (whose label the game
// sets). The counts stand right-aligned at countX, the points at pointsX.
void ResultBonusLines(CFResource@ res, float labelX, float countX, float pointsX, float y, float step)
{
    ResultLabel(res, "label_combos", g_textResultCombos, labelX, y);
    ResultFigure(res, "combos", g_textStatCombos, countX, y);
    ResultFigure(res, "combos_score", g_textStatCombosScore, pointsX, y);
    ResultLabel(res, "label_chain", g_textResultChain, labelX, y + step);
    ResultFigure(res, "chain", g_textStatChain, countX, y + step);
    ResultFigure(res, "chain_score", g_textStatChainScore, pointsX, y + step);
    ResultLabel(res, "label_bonuses", g_textStatBonusesLabel, labelX, y + 2 * step);
    ResultFigure(res, "bonuses", g_textStatBonuses, countX, y + 2 * step);
    ResultFigure(res, "bonuses_score", g_textStatBonusesScore, pointsX, y + 2 * step);
}

// ---- Windows -------------------------------------------------------------------------------------

// The shadow "<move>_p2" whose track 0 carries a part of the module (sliding with the window),
// for popups that take a picture or a button from their shadow.
void ResultShadowWithPart(CFResource@ res, const string &in module, const string &in move, const string &in part,
                          int window, float w, float h)
{
    res.CreateEffect(move + "_p2", KIT_SLIDE_FRAMES, KIT_SLIDE_MS);
    res.CreateObjectGfx("parts", 0);
    res.SubstituteAnimation(module, part);
    for (int f = 0; f < KIT_SLIDE_FRAMES; f++)
        KitKey(res, -1, -1, 0, KitSlideOffset(f), 0, 0, 255, 3);
    KitSlideTrack(res, "shadow", -1, window, 10, 14, w / 2, h / 2, 110, 0, 0, 0, -2);
}

// ---- Medals (module "interface") -------------------------------------------------------------------

string MedalKind(int k)
{
    if (k == 0)
        return "bronze";
    if (k == 1)
        return "silver";
    return "gold";
}

// "award_<kind>": the medal held at the position the popup gives it, gently pulsing, looped.
void ResultMedals(CFResource@ res)
{
    int glow = ResultPicture(res, "medal_glow", "gfx/results/medal_glow.png", 128, 128);
    for (int k = 0; k < 3; k++) {
        string kind = MedalKind(k);
        int medal = ResultPicture(res, "medal_" + kind, "gfx/results/medal_" + kind + ".png", 96, 96);
        res.CreateEffect("award_" + kind, 16, 1600);
        res.CreateObjectGfx("glow", 0);
        for (int f = 0; f < 16; f++)
            // The glow is added to the view (blend 1), so it brightens what lies below.
            res.AddFrameGfx(-1, glow, 120 + 80 * (f < 8 ? f : 16 - f) / 8, 255, 255, 255, 0, 0, 100, 100, 0, 64, 64, 0,
                            11, 1);
        res.CreateObjectGfx("medal", 0);
        for (int f = 0; f < 16; f++)
            ResultSprite(res, medal, 0, 0, 96, 96, 255, 100 + 6 * (f < 8 ? f : 16 - f) / 8, 12);
    }
}

void Declare_result_kit(CFResource@ res)
{
    // Helpers only: the modules that use them call them from their own declarations.
}
