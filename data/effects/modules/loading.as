// loading.as: the module "loading", shown by the loading screen before any other module is
// loaded: "preloading" (the intro), "back" (background and bar frame), "progress" (the bar's
// fill: frame f shows f / 8 of it, frame 8 is full) and "loading" (the text and a turning spinner).
// Textures come from tools/gen_interface_gfx.py. Positions are relative to the view's centre.
//
// DeclarePlainModule is shared with the stand-in modules of screens whose graphics do not exist
// yet: one effect with one empty object, so that they can be loaded and counted.

int g_texLoading = -1;

void DeclarePlainModule(CFResource@ res, const string &in name)
{
    res.CreateModule(name);
    res.CreateEffect("plain", 1, 1000);
    res.CreateObjectGfx("plain", 0);
    //             text sprite alpha  r    g    b    x  y  sx   sy   rot hx hy interp depth blend
    res.AddFrameGfx(-1,  -1,   255,  255, 255, 255, 0, 0, 100, 100, 0,  0, 0, 0,     0,    0);
}

// The background tile stretched over the whole 800 x 600 view.
void AddBackgroundTrack(CFResource@ res, int sprite, int frames)
{
    res.CreateObjectGfx("background", 0);
    for (int f = 0; f < frames; f++)
        res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, 0, 0, 1250, 937.5f, 0, 32, 32, 0, -10, 0);
}

void Declare_loading(CFResource@ res)
{
    g_texLoading = res.AddTexture("loading", "gfx/interface/loading.png");
    int sprFrame = res.AddSprite("loading_bar_frame", g_texLoading, 0, 0, 420, 48);
    int sprFill = res.AddSprite("loading_bar_fill", g_texLoading, 0, 48, 400, 28);
    int sprEmblem = res.AddSprite("loading_emblem", g_texLoading, 0, 80, 256, 160);
    int sprBack = res.AddSprite("loading_background", g_texLoading, 256, 80, 64, 64);
    int sprSpinner = res.AddSprite("loading_spinner", g_texLoading, 320, 80, 32, 32);

    res.CreateModule("loading");

    // The intro: the emblem fades in and grows a little over 1.2 seconds.
    res.CreateEffect("preloading", 12, 1200);
    AddBackgroundTrack(res, sprBack, 12);
    res.CreateObjectGfx("emblem", 1);
    for (int f = 0; f < 12; f++) {
        int alpha = f * 255 / 11;
        float scale = 90.0f + f * 10.0f / 11.0f;
        res.AddFrameGfx(-1, sprEmblem, alpha, 255, 255, 255, 0, -40, scale, scale, 0, 128, 80, 1, 5, 0);
    }

    res.CreateEffect("back", 1, 1000);
    AddBackgroundTrack(res, sprBack, 1);
    res.CreateObjectGfx("bar_frame", 1);
    res.AddFrameGfx(-1, sprFrame, 255, 255, 255, 255, 0, 200, 100, 100, 0, 210, 24, 0, 0, 0);

    // The fill grows from the bar's left edge: frame f shows f / 8 of it. The bar plays it looped
    // and jumps to frames; a looped range never rests on its last frame, so a tenth frame, full
    // like the ninth, lets frame 8 stand.
    res.CreateEffect("progress", 10, 1000);
    res.CreateObjectGfx("bar_fill", 1);
    for (int f = 0; f < 10; f++)
        res.AddFrameGfx(-1, sprFill, 255, 255, 255, 255, -200, 200, (f < 8 ? f : 8) * 100.0f / 8.0f, 100, 0, 0, 14, 0, 1, 0);

    res.CreateEffect("loading", 8, 800);
    res.CreateObjectGfx("caption", 1);
    for (int f = 0; f < 8; f++)
        res.AddFrameGfx(g_textLoading, -1, 255, 255, 255, 255, 0, 160, 100, 100, 0, 0, 0, 0, 2, 0);
    res.CreateObjectGfx("spinner", 1);
    for (int f = 0; f < 8; f++)
        res.AddFrameGfx(-1, sprSpinner, 255, 255, 255, 255, -236, 200, 100, 100, f * 45.0f, 16, 16, 1, 2, 0);
}
