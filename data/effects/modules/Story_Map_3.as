// Story_Map_3.as: the module "Story_Map_3", the story map (textures from tools/gen_story_gfx.py,
// texts 7500-7549 of data/texts/story.txt). Positions are relative to the view's centre.
//
// The five locations lie side by side on one chart, in the order the helm turns to reach them
// (bora-bora, barbados, monaco, dubai, fregate), 800 pixels apart:
// - "<key>_b": a location: track 0 holds "<key>" (the buttons layer), track 1 the island picture.
// - "<key>": track 0 the location's name, tracks 2..6 the story levels 5..1 ("enter_level"),
//   7 "enter_bonus", 8 "enter_hardcore", 9..13 the level numbers, then the dotted route.
// - "enter_level", "enter_bonus", "enter_hardcore": a slot button's look (sections "normal",
//   "enter", "over", "leave", "down", "up", "select", "disabled"); track 0 holds "level", "bonus"
//   or "hardcore", whose sections "closed", "opened", "bronze", "silver", "gold", "master" show
//   the entry's state (a closed hardcore level shows nothing).
// - "0-N": arriving at location N - 1 without a journey (a short zoom in).
// - "A-Bz": the journey from location A - 1 to B - 1: its track 0 holds "A-B", which holds all
//   five locations on the chart; the view zooms out, pans and zooms in.
// - The screen's own pieces: "shturval" (helm, sections "left" and "right"), "select_solitaire",
//   "window_0_shadow", "window_1_shadow", "shadow", "master_mode", "particles_top",
//   "window_preview" (part "Ranks_story" shows the rank), "preview_pos", "border", "but_play",
//   "but_play_light", "but_back", "but_trophy", "but_1".."but_5" and "but_N_disabled",
//   "enter_level_2", "enter_bonus_2", "enter_hardcore_2".

const int STORY_LOCATIONS = 5;
const int STORY_JOURNEY_FRAMES = 40;

int g_textStoryRank = -1;
int g_sprStoryWhite = -1;
int g_sprStoryNumber1 = -1;  // the sprites of the numbers 2..5 follow it

string StoryLocationKey(int location)
{
    if (location == 0) return "bora-bora";
    if (location == 1) return "barbados";
    if (location == 2) return "fregate";
    if (location == 3) return "dubai";
    return "monaco";
}

// The location's place on the chart, left to right.
float StoryChartX(int location)
{
    if (location == 0) return 0;
    if (location == 1) return 800;
    if (location == 4) return 1600;
    if (location == 3) return 2400;
    return 3200;
}

// Level p (0..4) of a location, then its bonus (5) and hardcore (6) level: where the button stands.
float StorySlotX(int location, int p)
{
    if (location == 0) { if (p == 0) return -300; if (p == 1) return -190; if (p == 2) return -70; if (p == 3) return 30; if (p == 4) return -40; if (p == 5) return -190; return 70; }
    if (location == 1) { if (p == 0) return -320; if (p == 1) return -220; if (p == 2) return -110; if (p == 3) return -40; if (p == 4) return 60; if (p == 5) return 100; return -20; }
    if (location == 2) { if (p == 0) return -320; if (p == 1) return -220; if (p == 2) return -110; if (p == 3) return -20; if (p == 4) return 60; if (p == 5) return -180; return -60; }
    if (location == 3) { if (p == 0) return -280; if (p == 1) return -150; if (p == 2) return -40; if (p == 3) return 60; if (p == 4) return -30; if (p == 5) return -200; return -320; }
    if (p == 0) return -300; if (p == 1) return -240; if (p == 2) return -120; if (p == 3) return -20; if (p == 4) return 80; if (p == 5) return 20; return -130;
}

float StorySlotY(int location, int p)
{
    if (location == 0) { if (p == 0) return 120; if (p == 1) return 50; if (p == 2) return 110; if (p == 3) return 20; if (p == 4) return -80; if (p == 5) return -120; return -180; }
    if (location == 1) { if (p == 0) return 80; if (p == 1) return 150; if (p == 2) return 100; if (p == 3) return 10; if (p == 4) return 100; if (p == 5) return -40; return -130; }
    if (location == 2) { if (p == 0) return -60; if (p == 1) return 20; if (p == 2) return -40; if (p == 3) return 60; if (p == 4) return 140; if (p == 5) return 140; return -160; }
    if (location == 3) { if (p == 0) return 140; if (p == 1) return 90; if (p == 2) return 140; if (p == 3) return 40; if (p == 4) return -60; if (p == 5) return -40; return -150; }
    if (p == 0) return -140; if (p == 1) return -30; if (p == 2) return 40; if (p == 3) return -60; if (p == 4) return 20; if (p == 5) return 130; return 140;
}

int StoryPicture(CFResource@ res, const string &in name, const string &in file, int width, int height)
{
    int texture = res.AddTexture("story_" + name, file);
    return res.AddSprite("story_" + name, texture, 0, 0, width, height);
}

// One key: a sprite (its hot spot at hx, hy) or a text at (x, y).
void StoryKey(CFResource@ res, int text, int sprite, float x, float y, float hx, float hy, int alpha, float scale,
              float rotation, int interp, int depth, int blend)
{
    res.AddFrameGfx(text, sprite, alpha, 255, 255, 255, x, y, scale, scale, rotation, hx, hy, interp, depth, blend);
}

void StoryTint(CFResource@ res, int text, int sprite, float x, float y, int alpha, int r, int g, int b, int depth)
{
    res.AddFrameGfx(text, sprite, alpha, r, g, b, x, y, 100, 100, 0, 0, 0, 0, depth, 0);
}

void StoryAnchor(CFResource@ res, float x, float y, int depth)
{
    StoryKey(res, -1, -1, x, y, 0, 0, 255, 100, 0, 0, depth, 0);
}

// An effect of one frame showing one sprite.
void StoryStill(CFResource@ res, const string &in name, int sprite, float x, float y, float hx, float hy, int depth)
{
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx("look", 0);
    StoryKey(res, -1, sprite, x, y, hx, hy, 255, 100, 0, 0, depth, 0);
}

// A button of three looks (normal, hover, pressed) and a dimmed fourth for "disabled".
void StoryButton(CFResource@ res, const string &in name, int normal, int hover, int down, float x, float y, float hx,
                 float hy)
{
    res.CreateEffect(name, 4, 400);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.AddNamedPart("disabled", 3, 3, 0);
    res.CreateObjectGfx("look", 0);
    StoryKey(res, -1, normal, x, y, hx, hy, 255, 100, 0, 0, 10, 0);
    StoryKey(res, -1, hover, x, y, hx, hy, 255, 100, 0, 0, 10, 0);
    StoryKey(res, -1, down, x, y, hx, hy, 255, 100, 0, 0, 10, 0);
    StoryKey(res, -1, normal, x, y, hx, hy, 130, 100, 0, 0, 10, 0);
}

// "level", "bonus", "hardcore": the state icon of an entry, one frame per state, with the slot's
// label under it (-1: none). A closed hardcore level shows nothing at all, also on a journey.
void StoryStateIcon(CFResource@ res, const string &in kind, int label)
{
    bool hideClosed = kind == "hardcore";
    res.CreateEffect(kind, 6, 600);
    res.AddNamedPart("closed", 0, 0, 0);
    res.AddNamedPart("opened", 1, 1, 0);
    res.AddNamedPart("bronze", 2, 2, 0);
    res.AddNamedPart("silver", 3, 3, 0);
    res.AddNamedPart("gold", 4, 4, 0);
    res.AddNamedPart("master", 5, 5, 0);
    res.CreateObjectGfx("icon", 0);
    for (int f = 0; f < 6; f++) {
        string state = f == 0 ? "closed" : f == 1 ? "opened" : f == 2 ? "bronze" : f == 3 ? "silver" : f == 4 ? "gold" : "master";
        int icon = StoryPicture(res, kind + "_" + state, "gfx/story/" + kind + "_" + state + ".png", 44, 44);
        StoryKey(res, -1, icon, 0, 0, 22, 22, f == 0 && hideClosed ? 0 : 255, 100, 0, 0, 0, 0);
    }
    if (label < 0)
        return;
    res.CreateObjectGfx("label", 0);
    for (int f = 0; f < 6; f++)
        StoryKey(res, -1, label, 0, 34, 40, 10, f == 0 && hideClosed ? 0 : 255, 100, 0, 0, -1, 0);
}

// "enter_level", "enter_bonus", "enter_hardcore": a slot's button look around its state icon.
// Frames: 0 normal, 1 hover, 2 pressed, 3..10 the selected slot's pulse.
void StorySlotLook(CFResource@ res, const string &in kind, int ring)
{
    res.CreateEffect("enter_" + kind, 11, 880);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("disabled", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.AddNamedPart("select", 3, 10, 0);
    res.CreateObjectGfx(kind, 0);
    res.SubstituteAnimation("Story_Map_3", kind);
    for (int f = 0; f < 11; f++)
        StoryAnchor(res, 0, 0, 5);
    res.CreateObjectGfx("ring", 0);
    StoryKey(res, -1, ring, 0, 0, 28, 28, 0, 100, 0, 0, 6, 0);
    StoryKey(res, -1, ring, 0, 0, 28, 28, 200, 100, 0, 0, 6, 0);
    StoryKey(res, -1, ring, 0, 0, 28, 28, 255, 90, 0, 0, 6, 0);
    for (int f = 0; f < 8; f++) {
        int pulse = f < 4 ? f : 8 - f;
        StoryKey(res, -1, ring, 0, 0, 28, 28, 170 + pulse * 21, 100 + pulse * 3, 0, 1, 6, 0);
    }
}

// "<key>": the buttons layer of a location.
void StoryLocationLayer(CFResource@ res, int location, int dot)
{
    AddNamedText(res, "location_name_" + (location + 1), g_fontTitle, 7501 + location, 0, 0, ALIGN_LEFT);
    int title = StoryPicture(res, "title_" + location, "gfx/story/title_" + location + ".png", 220, 40);
    res.CreateEffect(StoryLocationKey(location), 1, 100);
    res.CreateObjectGfx("title", 0);
    StoryKey(res, -1, title, -385, -270, 0, 20, 255, 100, 0, 0, 4, 0);
    res.CreateObjectGfx("spare", 0);
    StoryAnchor(res, 0, 0, 0);
    // Tracks 2..6 hold levels 5..1, so that slot s (track s + 2) is level 5 - s.
    for (int track = 2; track <= 6; track++) {
        int p = 6 - track;
        res.CreateObjectGfx("level_" + (p + 1), 0);
        res.SubstituteAnimation("Story_Map_3", "enter_level");
        StoryAnchor(res, StorySlotX(location, p), StorySlotY(location, p), 0);
    }
    res.CreateObjectGfx("bonus", 0);
    res.SubstituteAnimation("Story_Map_3", "enter_bonus");
    StoryAnchor(res, StorySlotX(location, 5), StorySlotY(location, 5), 0);
    res.CreateObjectGfx("hardcore", 0);
    res.SubstituteAnimation("Story_Map_3", "enter_hardcore");
    StoryAnchor(res, StorySlotX(location, 6), StorySlotY(location, 6), 0);
    for (int p = 0; p < 5; p++) {
        res.CreateObjectGfx("number_" + (p + 1), 0);
        StoryKey(res, -1, g_sprStoryNumber1 + p, StorySlotX(location, p), StorySlotY(location, p) + 32, 12, 12, 255,
                 100, 0, 0, 4, 0);
    }
    // The route: four dots between each pair of neighbours, from level 1 to the bonus level; the
    // hardcore level stands apart (it is not shown while it is closed).
    for (int p = 0; p < 5; p++) {
        float x0 = StorySlotX(location, p), y0 = StorySlotY(location, p);
        float x1 = StorySlotX(location, p + 1), y1 = StorySlotY(location, p + 1);
        for (int d = 1; d <= 4; d++) {
            res.CreateObjectGfx("route", 0);
            StoryKey(res, -1, dot, x0 + (x1 - x0) * d / 5.0f, y0 + (y1 - y0) * d / 5.0f, 6, 6, 255, 100, 0, 0, 2, 0);
        }
    }
}

// "<key>_b": a location where it lies on the chart.
void StoryLocation(CFResource@ res, int location)
{
    int picture = StoryPicture(res, "island_" + location, "gfx/story/island_" + location + ".png", 800, 600);
    res.CreateEffect(StoryLocationKey(location) + "_b", 1, 100);
    res.CreateObjectGfx("layer", 0);
    res.SubstituteAnimation("Story_Map_3", StoryLocationKey(location));
    StoryAnchor(res, StoryChartX(location), 0, 0);
    res.CreateObjectGfx("island", 0);
    StoryKey(res, -1, picture, StoryChartX(location), 0, 400, 300, 255, 100, 0, 0, 0, 0);
}

// "0-N": the view settles on location N - 1, zooming in a little.
void StoryArrival(CFResource@ res, int location)
{
    res.CreateEffect("0-" + (location + 1), 16, 800);
    res.CreateObjectGfx("view", 0);
    res.SubstituteAnimation("Story_Map_3", StoryLocationKey(location) + "_b");
    for (int f = 0; f < 16; f++) {
        float t = f / 15.0f;
        float scale = 1.0f + 0.12f * (1 - t) * (1 - t);
        StoryKey(res, -1, -1, -StoryChartX(location) * scale, 0, 0, 0, 255, scale * 100, 0, 1, 0, 0);
    }
}

// "A-B" holds the chart; "A-Bz" moves the view over it from location a to location b.
void StoryJourney(CFResource@ res, int a, int b)
{
    string name = (a + 1) + "-" + (b + 1);
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx("chart", 0);
    for (int location = 0; location < STORY_LOCATIONS; location++)
        res.SubstituteAnimation("Story_Map_3", StoryLocationKey(location) + "_b");
    StoryAnchor(res, 0, 0, 0);

    float from = StoryChartX(a), to = StoryChartX(b);
    float distance = to > from ? to - from : from - to;
    float lowest = 0.9f * 800.0f / (distance + 800.0f);
    int frames = STORY_JOURNEY_FRAMES;
    res.CreateEffect(name + "z", frames, 2400);
    res.CreateObjectGfx("view", 0);
    res.SubstituteAnimation("Story_Map_3", name);
    for (int f = 0; f < frames; f++) {
        float t = f / float(frames - 1);
        float ease = t * t * (3 - 2 * t);
        float centre = from + (to - from) * ease;
        float scale = 1 - (1 - lowest) * 4 * t * (1 - t);  // out to `lowest` halfway, back to 1
        StoryKey(res, -1, -1, -centre * scale, 0, 0, 0, 255, scale * 100, 0, 1, 0, 0);
    }
}

void StoryHelm(CFResource@ res)
{
    int helm = StoryPicture(res, "helm", "gfx/story/helm.png", 110, 110);
    res.CreateEffect("shturval", 48, 2400);
    res.AddNamedPart("left", 0, 23, 0);
    res.AddNamedPart("right", 24, 47, 0);
    res.CreateObjectGfx("helm", 0);
    for (int f = 0; f < 48; f++) {
        float angle = f < 24 ? -15.0f * f : 15.0f * (f - 24);
        StoryKey(res, -1, helm, -250, 262, 55, 55, 255, 100, angle, 0, 70, 0);
    }
}

void StoryOverlays(CFResource@ res)
{
    // The curtain that opens the screen, and the light shade over the map during a journey.
    res.CreateEffect("window_0_shadow", 10, 500);
    res.CreateObjectGfx("curtain", 0);
    for (int f = 0; f < 10; f++)
        res.AddFrameGfx(-1, g_sprStoryWhite, 255 - f * 255 / 9, 0, 0, 0, 0, 0, 10000, 7500, 0, 4, 4, 0, 90, 0);
    res.CreateEffect("window_1_shadow", 20, 2400);
    res.CreateObjectGfx("shade", 0);
    for (int f = 0; f < 20; f++) {
        int alpha = f < 10 ? f * 9 : (19 - f) * 9;
        res.AddFrameGfx(-1, g_sprStoryWhite, alpha, 10, 30, 60, -122, -46, 6950, 6350, 0, 4, 4, 0, 90, 0);
    }

    // The bottom bar, and the open sea behind the islands that a journey's wide view shows.
    StoryStill(res, "shadow", StoryPicture(res, "bar", "gfx/story/bar.png", 800, 92), 0, 254, 400, 46, 60);
    res.CreateObjectGfx("sea", 0);
    StoryKey(res, -1, StoryPicture(res, "sea", "gfx/story/sea.png", 800, 600), 0, 0, 400, 300, 255, 100, 0, 0, -100, 0);

    int banner = StoryPicture(res, "master", "gfx/story/master.png", 320, 56);
    res.CreateEffect("master_mode", 10, 500);
    res.CreateObjectGfx("banner", 0);
    for (int f = 0; f < 10; f++)
        StoryKey(res, -1, banner, -120, -322 + f * 100 / 9.0f, 160, 28, 255, 100, 0, 1, 50, 0);

    int twinkle = StoryPicture(res, "twinkle", "gfx/story/twinkle.png", 24, 24);
    res.CreateEffect("particles_top", 16, 1600);
    for (int i = 0; i < 7; i++) {
        res.CreateObjectGfx("twinkle", 0);
        for (int f = 0; f < 16; f++) {
            int phase = (f + i * 5) % 16;
            int glowing = phase < 8 ? phase : 16 - phase;
            StoryKey(res, -1, twinkle, -360 + i * 75, -270 + (i % 3) * 18, 12, 12, 40 + glowing * 26, 60 + glowing * 8,
                     f * 10, 0, 65, 1);
        }
    }

    // The hint at the game's first level: the arrow nods three times and stays.
    int arrow = StoryPicture(res, "pointer", "gfx/story/pointer.png", 150, 64);
    res.CreateEffect("select_solitaire", 30, 1500);
    res.CreateObjectGfx("arrow", 0);
    for (int f = 0; f < 30; f++) {
        int step = f % 10;
        int nod = step < 5 ? step : 10 - step;
        StoryKey(res, -1, arrow, StorySlotX(0, 0) + 28 + nod * 3, StorySlotY(0, 0), 0, 32, 255, 100, 0, 0, 50, 0);
    }
}

void StoryPreviewWindow(CFResource@ res)
{
    res.CreateEffect("Ranks_story", 13, 1300);
    res.CreateObjectGfx("emblem", 0);
    for (int r = 0; r < 13; r++)
        StoryKey(res, -1, StoryPicture(res, "rank_" + r, "gfx/common/rank_" + r + ".png", 96, 96), 0, 0, 48, 48, 255, 100, 0, 0, 0, 0);

    int frame = StoryPicture(res, "preview_frame", "gfx/story/preview_frame.png", 236, 180);
    res.CreateEffect("window_preview", 1, 100);
    res.CreateObjectGfx("rank", 0);
    res.SubstituteAnimation("Story_Map_3", "Ranks_story");
    StoryAnchor(res, 276, 34, 20);
    res.CreateObjectGfx("frame", 0);
    StoryKey(res, -1, frame, 276, -152, 118, 90, 255, 100, 0, 0, 20, 0);
    res.CreateObjectGfx("name", 0);
    res.AddFrameGfx(g_textPreviewName, -1, 255, 60, 36, 16, 276, -262, 100, 100, 0, 0, 0, 0, 20, 0);
    res.CreateObjectGfx("rank_label", 0);
    res.AddFrameGfx(g_textStoryRank, -1, 255, 60, 36, 16, 276, -38, 100, 100, 0, 0, 0, 0, 20, 0);

    // The preview's top-left corner: the picture (224 x 168) sits inside the frame.
    res.CreateEffect("preview_pos", 1, 100);
    res.CreateObjectGfx("corner", 0);
    StoryAnchor(res, 164, -236, 0);
}

void StoryPanel(CFResource@ res)
{
    StoryStill(res, "border", StoryPicture(res, "border", "gfx/story/border.png", 236, 492), 276, -42, 118, 246, 10);
    StoryButton(res, "but_play", StoryPicture(res, "play_0", "gfx/story/play_0.png", 180, 56),
                StoryPicture(res, "play_1", "gfx/story/play_1.png", 180, 56),
                StoryPicture(res, "play_2", "gfx/story/play_2.png", 180, 56), 276, 156, 90, 28);
    int light = StoryPicture(res, "play_light", "gfx/story/play_light.png", 220, 90);
    res.CreateEffect("but_play_light", 20, 2000);
    res.CreateObjectGfx("light", 0);
    for (int f = 0; f < 20; f++) {
        int pulse = f < 10 ? f : 20 - f;
        StoryKey(res, -1, light, 276, 156, 110, 45, 50 + pulse * 10, 100, 0, 1, 30, 1);
    }
    StoryButton(res, "but_back", StoryPicture(res, "back_0", "gfx/story/back_0.png", 96, 40),
                StoryPicture(res, "back_1", "gfx/story/back_1.png", 96, 40),
                StoryPicture(res, "back_2", "gfx/story/back_2.png", 96, 40), -348, 258, 48, 20);
    StoryButton(res, "but_trophy", StoryPicture(res, "trophy_0", "gfx/story/trophy_0.png", 124, 40),
                StoryPicture(res, "trophy_1", "gfx/story/trophy_1.png", 124, 40),
                StoryPicture(res, "trophy_2", "gfx/story/trophy_2.png", 124, 40), 324, 258, 62, 20);
    // The island bar reads in journey order, as the classic selection does; the chart behind it
    // keeps the order the helm turns in.
    for (int location = 0; location < STORY_LOCATIONS; location++) {
        float x = -150 + location * 88;
        string file = "gfx/story/loc_" + location;
        int normal = StoryPicture(res, "loc_" + location + "_0", file + "_0.png", 80, 60);
        int hover = StoryPicture(res, "loc_" + location + "_1", file + "_1.png", 80, 60);
        int locked = StoryPicture(res, "loc_" + location + "_off", file + "_off.png", 80, 60);
        StoryButton(res, "but_" + (location + 1), normal, hover, hover, x, 256, 40, 30);
        StoryButton(res, "but_" + (location + 1) + "_disabled", locked, locked, locked, x, 256, 40, 30);
    }
}

// "enter_level_2" and the others: the light under the selected slot, placed by the screen.
void StorySlotLight(CFResource@ res, const string &in name, int glow)
{
    res.CreateEffect(name, 12, 1200);
    res.CreateObjectGfx("glow", 0);
    for (int f = 0; f < 12; f++) {
        int pulse = f < 6 ? f : 12 - f;
        StoryKey(res, -1, glow, 0, 0, 36, 36, 110 + pulse * 24, 90 + pulse * 5, 0, 1, 40, 1);
    }
}

void Declare_Story_Map_3(CFResource@ res)
{
    g_textStoryRank = AddNamedText(res, "story_rank_label", g_fontSmall, 7510, 0, 0, ALIGN_CENTRE);

    res.CreateModule("Story_Map_3");
    g_sprStoryWhite = StoryPicture(res, "white", "gfx/story/white.png", 8, 8);
    int ring = StoryPicture(res, "ring", "gfx/story/ring.png", 56, 56);
    int dot = StoryPicture(res, "dot", "gfx/story/dot.png", 12, 12);
    int glow = StoryPicture(res, "select_glow", "gfx/story/select_glow.png", 72, 72);
    g_sprStoryNumber1 = StoryPicture(res, "number_1", "gfx/story/number_1.png", 24, 24);
    for (int n = 2; n <= 5; n++)
        StoryPicture(res, "number_" + n, "gfx/story/number_" + n + ".png", 24, 24);
    int bonusLabel = StoryPicture(res, "label_bonus", "gfx/story/label_bonus.png", 80, 20);
    int hardcoreLabel = StoryPicture(res, "label_hardcore", "gfx/story/label_hardcore.png", 80, 20);

    StoryStateIcon(res, "level", -1);
    StoryStateIcon(res, "bonus", bonusLabel);
    StoryStateIcon(res, "hardcore", hardcoreLabel);
    StorySlotLook(res, "level", ring);
    StorySlotLook(res, "bonus", ring);
    StorySlotLook(res, "hardcore", ring);
    for (int location = 0; location < STORY_LOCATIONS; location++) {
        StoryLocationLayer(res, location, dot);
        StoryLocation(res, location);
        StoryArrival(res, location);
    }
    for (int a = 0; a < STORY_LOCATIONS; a++) {
        for (int b = 0; b < STORY_LOCATIONS; b++) {
            if (a != b)
                StoryJourney(res, a, b);
        }
    }
    StoryHelm(res);
    StoryOverlays(res);
    StoryPreviewWindow(res);
    StoryPanel(res);
    StorySlotLight(res, "enter_level_2", glow);
    StorySlotLight(res, "enter_bonus_2", glow);
    StorySlotLight(res, "enter_hardcore_2", glow);
}
