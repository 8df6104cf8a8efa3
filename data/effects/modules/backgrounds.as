// backgrounds.as: the location backgrounds of the game screen, modules "back_1".."back_5" (high
// detail) and "back_1_lite".."back_5_lite", each with the looping effect "main": one full-screen
// picture (tools/gen_game_gfx.py; the lite ones share one smaller picture, stretched).

void BackgroundModule(CFResource@ res, const string &in module, int sprite, float scale)
{
    res.CreateModule(module);
    res.CreateEffect("main", 1, 1000);
    res.CreateObjectGfx("picture", 0);
    //             text sprite  alpha  r    g    b    x  y  sx     sy     rot hx          hy          interp depth blend
    res.AddFrameGfx(-1,  sprite, 255,  255, 255, 255, 0, 0, scale, scale, 0,  40000 / scale, 30000 / scale, 0, 0, 0);
}

void Declare_backgrounds(CFResource@ res)
{
    int lite = res.AddTexture("back_lite", "gfx/game/back_lite.png");
    int sprLite = res.AddSprite("back_lite", lite, 0, 0, 400, 300);
    for (int n = 1; n <= 5; n++) {
        int tex = res.AddTexture("back_" + n, "gfx/game/back_" + n + ".png");
        int sprite = res.AddSprite("back_" + n, tex, 0, 0, 800, 600);
        BackgroundModule(res, "back_" + n, sprite, 100);
        BackgroundModule(res, "back_" + n + "_lite", sprLite, 200);
    }
}
