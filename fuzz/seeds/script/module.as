void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("cards", "gfx/cards.png");
    int card = res.AddSprite("card", tex, 0, 0, 16, 8);
    res.AddSound("click", "sfx/click.ogg");
    res.CreateModule("menu");
    res.CreateEffect("idle", 2, 500);
    for (int i = 0; i < 3; i++) {
        res.CreateObjectGfx("track", 0);
        res.AddFrameGfx(-1, card, 255, 255, 255, 255, 1, 2, 50, 200, 90, 0, 0, 0, i, 0);
    }
    res.CreateObjectSfx("sounds", 0);
    res.AddFrameSfx(0, 80, 1);
    res.AddNamedPart("show", 0, 1, 0);
}
