// previews.as: the module "#previews", a picture of every story entry's dealt table:
// "level_0".."level_34" (entry numbers: story levels 0..24, bonus levels 25..29, hardcore
// levels 30..34), 224 x 168 each, drawn at build time by tools/MakeLevelPreviews.cpp from
// "sol_max.ini". The picture's top-left corner is the instance's position. Sections: "show"
// (fades in) and "idle" (stands).

const int PREVIEW_ENTRIES = 35;

void Declare_previews(CFResource@ res)
{
    res.CreateModule("#previews");
    for (int n = 0; n < PREVIEW_ENTRIES; n++) {
        int texture = res.AddTexture("preview_" + n, "gfx/previews/level_" + n + ".png");
        int sprite = res.AddSprite("preview_" + n, texture, 0, 0, 224, 168);
        res.CreateEffect("level_" + n, 6, 300);
        res.AddNamedPart("show", 0, 5, 0);
        res.AddNamedPart("idle", 5, 5, 0);
        res.CreateObjectGfx("picture", 0);
        for (int f = 0; f < 6; f++)
            res.AddFrameGfx(-1, sprite, f * 51, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 30, 0);
    }
}
