// table_captions.as: the card table's own effects, declared into the module "interface" by
// Declare_interface (text 6090 of data/texts/game_screen.txt, sound from
// tools/gen_game_sounds.py, the glow's cell of gfx/game/panel.png from tools/gen_game_gfx.py).
// - "combo": the caption "combo x%d" (track 0, frame 0 holds its text, which the game writes)
//   that rises from a landed card and fades out;
// - "snd_level_complete": section "normal" plays the jingle of a won level;
// - "deal": the deal button's picture; its first part, "deal_glow", is the highlight the game
//   shows on a stuck table.

const int COMBO_FRAMES = 12;

void DeclareTableCaptions(CFResource@ res)
{
    int caption = AddNamedText(res, "combo_caption", g_fontTitle, 6090, 0, 0, ALIGN_CENTRE);
    res.CreateEffect("combo", COMBO_FRAMES, 1200);
    res.CreateObjectGfx("caption", 0);
    for (int f = 0; f < COMBO_FRAMES; f++) {
        int alpha = f < COMBO_FRAMES - 4 ? 255 : 255 * (COMBO_FRAMES - 1 - f) / 3;
        //             text     sprite alpha  r    g    b    x  y           sx   sy   rot hx hy interp depth blend
        res.AddFrameGfx(caption, -1,    alpha, 255, 230, 120, 0, -20 - 5 * f, 100, 100, 0,  0, 0, 1,     50,   0);
    }

    int jingle = AddNamedSound(res, "game_level_complete", "sfx/sounds/game_level_complete.ogg");
    res.CreateEffect("snd_level_complete", 2, 200);
    res.AddNamedPart("normal", 0, 1, 0);
    res.CreateObjectGfx("none", 0);
    for (int f = 0; f < 2; f++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.CreateObjectSfx("jingle", 0);
    for (int f = 0; f < 2; f++)
        res.AddFrameSfx(jingle, 100, f == 0 ? 1 : 0);
}

// The deal button with its highlight: a golden ring round the button, drawn under it.
void DeclareDealButton(CFResource@ res, int sprite, float x, float y)
{
    int glow = res.AddSprite("panel_deal_glow", g_texPanel, 480, 104, 48, 48);
    res.CreateEffect("deal_glow", 1, 100);
    res.CreateObjectGfx("glow", 0);
    res.AddFrameGfx(-1, glow, 255, 255, 255, 255, 0, 0, 140, 140, 0, 24, 24, 0, -1, 0);

    res.CreateEffect("deal", 1, 100);
    res.AddNamedPart("normal", 0, 0, 0);
    res.CreateObjectGfx("look", 0);
    res.SubstituteAnimation("interface", "deal_glow");
    PanelKey(res, -1, sprite, x, y, 24, 24, 255);
}

void Declare_table_captions(CFResource@ res)
{
    // Everything here belongs to the module "interface": Declare_interface declares it.
}
