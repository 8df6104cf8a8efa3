// statistic_story.as: the story level's result, declared into the module "interface" by
// Declare_interface (look from screen_kit.as and result_kit.as, texts 7800-7832). Positions are
// offsets from the view's centre; the window (640 x 480) stands there once it has slid in.
// - "move_in_statistic_story" and its "_p2" shadow: the window with the title, the level's name
//   "statistic_name", the score "statistic_score", the labels and the bonus lines, the medal's
//   title "statistic_award" and the rank names "statistic_rankname", "statistic_nextrankname";
// - "hints": the five hint lamps coming up; "hints_light": frame f lights f - 1 of them (6: all);
// - "award": the anchor where the medal shows (track 0, no picture); "award_<kind>": the medals;
// - "rank": the rank bar, frame f filled f percent (101 frames); section "win" fills it once more;
// - "rank_1".."rank_13": the rank emblems, section "visible" where the current rank stands and
//   "next" where the next one does;
// - "bt_ok": the OK button.
// The rank bar's middle is where the medal's sparks fly: (108, 114), the view's (508, 414).

const float STORY_RESULT_BAR_X = 108;
const float STORY_RESULT_BAR_Y = 114;
const float STORY_RESULT_MEDAL_X = 190;
const float STORY_RESULT_MEDAL_Y = -66;
const float STORY_RESULT_LAMP_X = -96;
const float STORY_RESULT_LAMP_Y = -76;

void StoryResultLamps(CFResource@ res, const string &in name, int frames, int lamp, bool lit)
{
    res.CreateEffect(name, frames, frames * 60);
    for (int i = 0; i < 5; i++) {
        res.CreateObjectGfx("lamp" + i, 0);
        for (int f = 0; f < frames; f++) {
            // Coming up: lamp i shows from frame 2i on. Lit: frame f lights f - 1 lamps.
            bool shown = lit ? i < f - 1 : f >= 2 * i;
            ResultSprite(res, lamp, STORY_RESULT_LAMP_X + 34 * i, STORY_RESULT_LAMP_Y, 28, 28, shown ? 255 : 0, 100,
                         12 + (lit ? 1 : 0));
        }
    }
}

void StoryResultBar(CFResource@ res)
{
    int frame = ResultPicture(res, "rank_frame", "gfx/results/rank_frame.png", 236, 32);
    int fill = ResultPicture(res, "rank_fill", "gfx/results/rank_fill.png", 216, 16);
    res.CreateEffect("rank", 101, 2020);
    res.AddNamedPart("win", 0, 100, 0);
    res.CreateObjectGfx("frame", 0);
    for (int f = 0; f < 101; f++)
        ResultSprite(res, frame, STORY_RESULT_BAR_X, STORY_RESULT_BAR_Y, 236, 32, 255, 100, 11);
    res.CreateObjectGfx("fill", 0);
    for (int f = 0; f < 101; f++)
        //             text sprite alpha  r    g    b    x                         y                   sx sy   rot hx hy interp depth blend
        res.AddFrameGfx(-1, fill,  255,   255, 255, 255, STORY_RESULT_BAR_X - 108, STORY_RESULT_BAR_Y, f, 100, 0,  0, 8, 0,     12,   0);
}

// Emblem r: frames 0-7 pulse where the current rank stands, frames 8-15 stand dimmed at the next.
void StoryResultEmblems(CFResource@ res)
{
    for (int r = 1; r <= 13; r++) {
        int emblem = ResultPicture(res, "rank_" + r, "gfx/common/rank_" + (r - 1) + ".png", 96, 96);
        res.CreateEffect("rank_" + r, 16, 1600);
        res.AddNamedPart("visible", 0, 7, 0);
        res.AddNamedPart("next", 8, 15, 0);
        res.CreateObjectGfx("emblem", 0);
        for (int f = 0; f < 16; f++) {
            if (f < 8)
                ResultSprite(res, emblem, -44, STORY_RESULT_BAR_Y, 96, 96, 255, 70 + 4 * (f < 4 ? f : 8 - f) / 4, 12);
            else
                ResultSprite(res, emblem, 270, STORY_RESULT_BAR_Y, 96, 96, 170, 66, 12);
        }
    }
}

void StoryResultWindow(CFResource@ res, int window, int slot)
{
    int title = KitNamedText(res, "statistic_title", g_fontTitle, 7800, ALIGN_CENTRE);
    int name = KitNamedText(res, "statistic_name", g_fontBold, -1, ALIGN_CENTRE);
    int hints = KitNamedText(res, "statistic_label_hints", g_fontBold, 7802, ALIGN_LEFT);
    int medal = KitNamedText(res, "statistic_label_medal", g_fontBold, 7805, ALIGN_CENTRE);
    int award = KitNamedText(res, "statistic_award", g_fontTitle, -1, ALIGN_CENTRE);
    int rank = KitNamedText(res, "statistic_label_rank", g_fontBold, 7814, ALIGN_LEFT);
    int rankName = KitNamedText(res, "statistic_rankname", g_fontSmall, -1, ALIGN_CENTRE);
    int nextName = KitNamedText(res, "statistic_nextrankname", g_fontSmall, -1, ALIGN_CENTRE);

    KitWindowEffect(res, "move_in_statistic_story");
    KitSlideSprite(res, "window", window, 0, 0, 640, 480);
    KitSlideText(res, "title", title, 0, -201, 255, 232, 160);
    ResultFigure(res, "name", name, 0, -160);
    ResultLabel(res, "label_score", g_textResultScore, -290, -118);
    ResultFigure(res, "score", g_textStatScore, 70, -114);
    ResultLabel(res, "label_hints", hints, -290, -70);
    ResultBonusLines(res, -290, -10, 70, -30, 34);
    ResultLabel(res, "label_medal", medal, STORY_RESULT_MEDAL_X, -146);
    KitSlideTrack(res, "medal_slot", -1, slot, STORY_RESULT_MEDAL_X, STORY_RESULT_MEDAL_Y, 48, 48, 255, 255, 255, 255, 1);
    KitSlideText(res, "award", award, STORY_RESULT_MEDAL_X, 6, 255, 232, 160);
    ResultLabel(res, "label_rank", rank, -290, 120);
    KitSlideText(res, "rank_name", rankName, -44, 172, 255, 255, 255);
    KitSlideText(res, "next_rank_name", nextName, 270, 172, 220, 220, 220);
    KitShadow(res, "move_in_statistic_story", window, 640, 480);
}

void DeclareStoryResult(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    UseResultTexts(res);
    for (int r = 1; r <= 13; r++)
        AddNamedText(res, "rankname" + r, g_fontSmall, 7819 + r, 0, 0, ALIGN_CENTRE);
    int window = ResultPicture(res, "story_window", "gfx/results/story_window.png", 640, 480);
    int slot = ResultPicture(res, "medal_slot", "gfx/results/medal_slot.png", 96, 96);
    int lampOff = ResultPicture(res, "lamp_off", "gfx/results/lamp_off.png", 28, 28);
    int lampOn = ResultPicture(res, "lamp_on", "gfx/results/lamp_on.png", 28, 28);

    StoryResultWindow(res, window, slot);
    StoryResultLamps(res, "hints", 10, lampOff, false);
    StoryResultLamps(res, "hints_light", 7, lampOn, true);
    res.CreateEffect("award", 1, 100);
    res.CreateObjectGfx("anchor", 0);
    KitKey(res, -1, -1, STORY_RESULT_MEDAL_X, STORY_RESULT_MEDAL_Y, 0, 0, 255, 12);
    ResultMedals(res);
    StoryResultBar(res);
    StoryResultEmblems(res);
    KitButton(res, "bt_ok", g_textKitOk, 0, 206);
}

void Declare_statistic_story(CFResource@ res)
{
    // Declared into the module "interface": Declare_interface calls DeclareStoryResult.
}
