// main_fire.as: the module "main_fire" (the fire that lights a place, effect "place_fire") and the
// places' own effects of the module "interface", declared by DeclarePlaceDecorations from there:
// - "place": the frame of an empty place; section "place" is the plain frame, "place_R" (R = 0..12)
//   the frame with the rank R that the empty place takes (frames 0 and 1 + R).
// - "place_count": the stock's badge of passes left, one frame each: 0 no limit, 1 + n for n left
//   (n = 0..19; frame 20 stands for 19 and more).
// Textures from tools/gen_game_gfx.py: gfx/game/places.png.

const int PLACE_FRAMES = 14;
const int PLACE_COUNTS = 21;
const int PLACE_FIRE_FRAMES = 12;

int g_texPlaces = -1;

int PlacesTexture(CFResource@ res)
{
    if (g_texPlaces < 0)
        g_texPlaces = res.AddTexture("game_places", "gfx/game/places.png");
    return g_texPlaces;
}

// One key of a place effect: the sprite centred on the place's anchor.
void PlaceKey(CFResource@ res, int sprite, int alpha, float hotX, float hotY, int depth)
{
    //             text sprite  alpha  r    g    b    x  y  sx   sy   rot hx    hy    interp depth  blend
    res.AddFrameGfx(-1,  sprite, alpha, 255, 255, 255, 0, 0, 100, 100, 0,  hotX, hotY, 0,     depth, 0);
}

// Called at the end of Declare_interface, while "interface" is the module being declared.
void DeclarePlaceDecorations(CFResource@ res)
{
    int tex = PlacesTexture(res);
    res.CreateEffect("place", PLACE_FRAMES, 100 * PLACE_FRAMES);
    res.AddNamedPart("place", 0, 0, 0);
    for (int r = 0; r < 13; r++)
        res.AddNamedPart("place_" + r, r + 1, r + 1, 0);
    res.CreateObjectGfx("frame", 0);
    for (int f = 0; f < PLACE_FRAMES; f++)
        PlaceKey(res, res.AddSprite("place_frame_" + f, tex, 80 * f, 0, 80, 107), 255, 40, 53.5, 1);

    res.CreateEffect("place_count", PLACE_COUNTS, 100 * PLACE_COUNTS);
    res.CreateObjectGfx("badge", 0);
    for (int f = 0; f < PLACE_COUNTS; f++)
        PlaceKey(res, res.AddSprite("place_count_" + f, tex, 40 * f, 107, 40, 40), 255, 20, 20, 2);
}

void Declare_main_fire(CFResource@ res)
{
    int tex = PlacesTexture(res);
    res.CreateModule("main_fire");
    // A golden glow round the card's place that flares up and fades out in 1.8 seconds.
    res.CreateEffect("place_fire", PLACE_FIRE_FRAMES, 1800);
    res.CreateObjectGfx("fire", 0);
    for (int f = 0; f < PLACE_FIRE_FRAMES; f++) {
        int sprite = res.AddSprite("place_fire_" + f, tex, 96 * (f % 6), 147 + 123 * (f / 6), 96, 123);
        int alpha = f < 3 ? 120 + 45 * f : 255 - 25 * (f - 2);
        //             text sprite  alpha  r    g    b    x  y  sx   sy   rot hx  hy    interp depth blend
        res.AddFrameGfx(-1,  sprite, alpha, 255, 255, 255, 0, 0, 100, 100, 0,  48, 61.5, 0,     50,   0);
    }
}
