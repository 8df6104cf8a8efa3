// Trophy.as: the module "Trophy", the trophy room (textures from tools/gen_classic_trophy_gfx.py, texts
// 7700-7749 of data/texts/trophy.txt). Positions are relative to the view's centre.
// - "Window": the room; "Ranks": the rank emblems, frame r for rank index r; "medals": the three
//   medals with the texts "golds_medals_count", "silver_medals_count", "bronze_medals_count" and
//   "game_complite_count".
// - "Trophy_1".."Trophy_10": the trophies where the room shows them (sections "normal", "down":
//   a shine runs over it, "up": it stands in a light, the selected one).
// - "hint_trophy_1".."_10": the hint shown while the mouse rests on a trophy's place.
// - "bt_ok", "bt_left", "bt_right".

int TrophyPicture(CFResource@ res, const string &in name, const string &in file, int width, int height)
{
    int texture = res.AddTexture("trophy_" + name, file);
    return res.AddSprite("trophy_" + name, texture, 0, 0, width, height);
}

void TrophyKey(CFResource@ res, int sprite, float x, float y, float hx, float hy, int alpha, float scale, int depth,
               int blend)
{
    res.AddFrameGfx(-1, sprite, alpha, 255, 255, 255, x, y, scale, scale, 0, hx, hy, 0, depth, blend);
}

// Trophy n's place: left, top, width, height in the view.
float TrophyRect(int n, int part)
{
    int x = 0, y = 0, w = 0, h = 0;
    if (n == 1) { x = 79; y = 65; w = 137; h = 144; }
    else if (n == 2) { x = 225; y = 83; w = 104; h = 129; }
    else if (n == 3) { x = 352; y = 75; w = 97; h = 87; }
    else if (n == 4) { x = 464; y = 89; w = 113; h = 118; }
    else if (n == 5) { x = 584; y = 66; w = 135; h = 135; }
    else if (n == 6) { x = 227; y = 241; w = 104; h = 105; }
    else if (n == 7) { x = 85; y = 240; w = 118; h = 110; }
    else if (n == 8) { x = 469; y = 245; w = 106; h = 100; }
    else if (n == 9) { x = 609; y = 250; w = 82; h = 86; }
    else { x = 341; y = 191; w = 123; h = 123; }
    if (part == 0) return x;
    if (part == 1) return y;
    if (part == 2) return w;
    return h;
}

// Frames: 0 normal, 1..8 the shine crossing it ("down"), 9 in its light ("up").
void TrophyItem(CFResource@ res, int n, int shine, int glow)
{
    float w = TrophyRect(n, 2), h = TrophyRect(n, 3);
    float cx = TrophyRect(n, 0) + w / 2 - 400, cy = TrophyRect(n, 1) + h / 2 - 300;
    int picture = TrophyPicture(res, "cup_" + n, "gfx/trophy/trophy_" + n + ".png", int(w), int(h));
    res.CreateEffect("Trophy_" + n, 10, 1000);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("down", 1, 8, 0);
    res.AddNamedPart("up", 9, 9, 0);
    res.CreateObjectGfx("trophy", 0);
    for (int f = 0; f < 10; f++)
        TrophyKey(res, picture, cx, cy, w / 2, h / 2, 255, f == 9 ? 106 : 100, 10, 0);
    res.CreateObjectGfx("shine", 0);
    for (int f = 0; f < 10; f++) {
        bool crossing = f >= 1 && f <= 7;
        TrophyKey(res, shine, cx - w / 2 + w * (f - 1) / 6.0f, cy, 20, 80, crossing ? 200 : 0, h / 1.6f, 11, 1);
    }
    res.CreateObjectGfx("light", 0);
    for (int f = 0; f < 10; f++)
        TrophyKey(res, glow, cx, cy, 80, 80, f == 9 ? 200 : 0, (w > h ? w : h) / 1.2f, 9, 1);
}

void TrophyHint(CFResource@ res, int n, int box)
{
    int text = AddNamedText(res, "hint_trophy_" + n, g_fontMain, 7700 + n, 0, 0, ALIGN_CENTRE);
    res.CreateEffect("hint_trophy_" + n, 1, 100);
    res.CreateObjectGfx("box", 0);
    TrophyKey(res, box, 0, -268, 300, 22, 255, 100, 40, 0);
    res.CreateObjectGfx("text", 0);
    res.AddFrameGfx(text, -1, 255, 48, 34, 20, 0, -262, 100, 100, 0, 0, 0, 0, 41, 0);
}

// Frames: 0 normal, 1 hover, 2 pressed.
void TrophyButton(CFResource@ res, const string &in name, const string &in file, int width, int height, float x, float y)
{
    int normal = TrophyPicture(res, name + "_0", file + "_0.png", width, height);
    int hover = TrophyPicture(res, name + "_1", file + "_1.png", width, height);
    int down = TrophyPicture(res, name + "_2", file + "_2.png", width, height);
    res.CreateEffect(name, 4, 400);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.AddNamedPart("disabled", 3, 3, 0);
    res.CreateObjectGfx("look", 0);
    TrophyKey(res, normal, x, y, width / 2, height / 2, 255, 100, 20, 0);
    TrophyKey(res, hover, x, y, width / 2, height / 2, 255, 100, 20, 0);
    TrophyKey(res, down, x, y, width / 2, height / 2, 255, 100, 20, 0);
    TrophyKey(res, normal, x, y, width / 2, height / 2, 120, 100, 20, 0);
}

void Declare_Trophy(CFResource@ res)
{
    int golds = AddNamedText(res, "golds_medals_count", g_fontBold, -1, 0, 0, ALIGN_CENTRE);
    int silvers = AddNamedText(res, "silver_medals_count", g_fontBold, -1, 0, 0, ALIGN_CENTRE);
    int bronzes = AddNamedText(res, "bronze_medals_count", g_fontBold, -1, 0, 0, ALIGN_CENTRE);
    int complete = AddNamedText(res, "game_complite_count", g_fontBold, -1, 0, 0, ALIGN_LEFT);

    res.CreateModule("Trophy");
    int room = TrophyPicture(res, "room", "gfx/trophy/room.png", 800, 600);
    res.CreateEffect("Window", 1, 100);
    res.CreateObjectGfx("room", 0);
    TrophyKey(res, room, 0, 0, 400, 300, 255, 100, 0, 0);

    res.CreateEffect("Ranks", 13, 1300);
    res.CreateObjectGfx("emblem", 0);
    for (int r = 0; r < 13; r++)
        TrophyKey(res, TrophyPicture(res, "rank_" + r, "gfx/common/rank_" + r + ".png", 96, 96), -200, 186, 48, 48, 255,
                  100, 10, 0);

    res.CreateEffect("medals", 1, 100);
    res.CreateObjectGfx("gold", 0);
    TrophyKey(res, TrophyPicture(res, "medal_gold", "gfx/trophy/medal_gold.png", 56, 56), 70, 166, 28, 28, 255, 100, 10, 0);
    res.CreateObjectGfx("silver", 0);
    TrophyKey(res, TrophyPicture(res, "medal_silver", "gfx/trophy/medal_silver.png", 56, 56), 160, 166, 28, 28, 255, 100, 10, 0);
    res.CreateObjectGfx("bronze", 0);
    TrophyKey(res, TrophyPicture(res, "medal_bronze", "gfx/trophy/medal_bronze.png", 56, 56), 250, 166, 28, 28, 255, 100, 10, 0);
    res.CreateObjectGfx("golds", 0);
    res.AddFrameGfx(golds, -1, 255, 48, 34, 20, 70, 222, 100, 100, 0, 0, 0, 0, 11, 0);
    res.CreateObjectGfx("silvers", 0);
    res.AddFrameGfx(silvers, -1, 255, 48, 34, 20, 160, 222, 100, 100, 0, 0, 0, 0, 11, 0);
    res.CreateObjectGfx("bronzes", 0);
    res.AddFrameGfx(bronzes, -1, 255, 48, 34, 20, 250, 222, 100, 100, 0, 0, 0, 0, 11, 0);
    res.CreateObjectGfx("complete", 0);
    res.AddFrameGfx(complete, -1, 255, 48, 34, 20, 206, 258, 100, 100, 0, 0, 0, 0, 11, 0);

    int shine = TrophyPicture(res, "shine", "gfx/trophy/shine.png", 40, 160);
    int glow = TrophyPicture(res, "glow", "gfx/trophy/glow.png", 160, 160);
    int box = TrophyPicture(res, "hint", "gfx/trophy/hint.png", 600, 44);
    for (int n = 1; n <= 10; n++) {
        TrophyItem(res, n, shine, glow);
        TrophyHint(res, n, box);
    }

    TrophyButton(res, "bt_ok", "gfx/trophy/ok", 100, 44, 312, 252);
    TrophyButton(res, "bt_left", "gfx/trophy/left", 44, 44, -290, 186);
    TrophyButton(res, "bt_right", "gfx/trophy/right", 44, 44, -110, 186);
}
