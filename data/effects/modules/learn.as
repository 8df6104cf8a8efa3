// learn.as: the module "learn", the tutorial's windows (texture from tools/gen_learn_gfx.py, texts
// 8000-8999 of data/texts/learn.txt).
// - "tip_N" (N = 1 .. LEARN_TIPS): a window with text 8000 + N and the OK button "bt_ok"; its
//   section "show" fades it in. The tutorial files name these windows (data/learn/lessons.txt).
// - "bt_ok": the OK button, sections "normal", "enter" and "over" (lit), "leave", "down".
// - "tutorial_mode": the banner shown while a tutorial plays, sections "show" and "play".

const int LEARN_TIPS = 87;
const int LEARN_SHOW_FRAMES = 6;

// Depths: the panel lies under its text and its button.
const int LEARN_PANEL_DEPTH = 20;
const int LEARN_FACE_DEPTH = 30;
const int LEARN_LABEL_DEPTH = 31;

// One key of a learn track: a sprite (hot spot at its centre) or a text at (x, y).
void LearnKey(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY, int alpha, int depth)
{
    //             text  sprite  alpha  r    g    b    x  y  sx   sy   rot hx    hy    interp depth  blend
    res.AddFrameGfx(text, sprite, alpha, 255, 255, 255, x, y, 100, 100, 0,  hotX, hotY, 0,     depth, 0);
}

int LearnFadeAlpha(int frame)
{
    return frame >= LEARN_SHOW_FRAMES - 1 ? 255 : 40 + 215 * frame / (LEARN_SHOW_FRAMES - 1);
}

void LearnOkButton(CFResource@ res, int tex, int label)
{
    int normal = res.AddSprite("learn_ok", tex, 0, 160, 96, 36);
    int lit = res.AddSprite("learn_ok_lit", tex, 100, 160, 96, 36);
    int down = res.AddSprite("learn_ok_down", tex, 200, 160, 96, 36);
    res.CreateEffect("bt_ok", 3, 300);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.CreateObjectGfx("face", 0);
    LearnKey(res, -1, normal, 0, 0, 48, 18, 255, LEARN_FACE_DEPTH);
    LearnKey(res, -1, lit, 0, 0, 48, 18, 255, LEARN_FACE_DEPTH);
    LearnKey(res, -1, down, 0, 0, 48, 18, 255, LEARN_FACE_DEPTH);
    res.CreateObjectGfx("label", 0);
    for (int f = 0; f < 3; f++)
        LearnKey(res, label, -1, 0, 0, 0, 0, 255, LEARN_LABEL_DEPTH);
}

// The OK button is the window's first track: the tutorial looks for it there.
void LearnWindow(CFResource@ res, int number, int panel)
{
    int text = AddNamedText(res, "tip_" + number, g_fontMain, 8000 + number, 4, 0, ALIGN_CENTRE);
    res.CreateEffect("tip_" + number, LEARN_SHOW_FRAMES, 300);
    res.AddNamedPart("show", 0, LEARN_SHOW_FRAMES - 1, 0);
    res.CreateObjectGfx("button", 0);
    res.SubstituteAnimation("learn", "bt_ok");
    for (int f = 0; f < LEARN_SHOW_FRAMES; f++)
        LearnKey(res, -1, -1, 0, 32, 0, 0, LearnFadeAlpha(f), LEARN_FACE_DEPTH);
    res.CreateObjectGfx("panel", 0);
    for (int f = 0; f < LEARN_SHOW_FRAMES; f++)
        LearnKey(res, -1, panel, 0, 0, 220, 56, LearnFadeAlpha(f), LEARN_PANEL_DEPTH);
    res.CreateObjectGfx("text", 0);
    for (int f = 0; f < LEARN_SHOW_FRAMES; f++)
        LearnKey(res, text, -1, 0, -28, 0, 0, LearnFadeAlpha(f), LEARN_FACE_DEPTH);
}

void Declare_learn(CFResource@ res)
{
    int tex = res.AddTexture("learn", "gfx/learn/learn.png");
    int panel = res.AddSprite("learn_panel", tex, 0, 0, 440, 112);
    int banner = res.AddSprite("learn_banner", tex, 0, 200, 300, 40);
    int label = AddNamedText(res, "learn_ok", g_fontBold, 8900, 0, 0, ALIGN_CENTRE);
    int bannerText = AddNamedText(res, "tutorial_mode", g_fontSmall, 8901, 0, 0, ALIGN_CENTRE);

    res.CreateModule("learn");
    LearnOkButton(res, tex, label);
    for (int n = 1; n <= LEARN_TIPS; n++)
        LearnWindow(res, n, panel);

    res.CreateEffect("tutorial_mode", 1, 100);
    res.AddNamedPart("show", 0, 0, 0);
    res.AddNamedPart("play", 0, 0, 0);  // the table loops it while the tutorial plays
    res.CreateObjectGfx("banner", 0);
    // On the bottom bar: every place a lesson plays to lies above it.
    LearnKey(res, -1, banner, 0, 280, 150, 20, 255, LEARN_PANEL_DEPTH);
    res.CreateObjectGfx("text", 0);
    LearnKey(res, bannerText, -1, 0, 286, 0, 0, 255, LEARN_FACE_DEPTH);
}
