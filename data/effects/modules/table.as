// table.as: the module "table" (the table view "table" and its shadow "table_shad", full-screen
// pictures), and the card graphics the in-game controller takes by name: the faces
// "set_S/s_u_r.png" (S = set + 1, s = set 0..2, u = suit 0..3, r = rank 0..12), the backs
// "GFX/Interface/GENERAL/CARDS/cards_back_S.png", the shadows, the bonus fill, the mana gauge and
// the controller's font. Textures from tools/gen_game_gfx.py.

void TablePicture(CFResource@ res, const string &in name, int sprite)
{
    res.CreateEffect(name, 1, 1000);
    res.CreateObjectGfx("picture", 0);
    //             text sprite  alpha  r    g    b    x  y  sx   sy   rot hx   hy   interp depth blend
    res.AddFrameGfx(-1,  sprite, 255,  255, 255, 255, 0, 0, 100, 100, 0,  400, 300, 0,     0,    0);
}

void Declare_table(CFResource@ res)
{
    for (int set = 0; set < 3; set++) {
        int tex = res.AddTexture("cards_" + (set + 1), "gfx/game/cards_" + (set + 1) + ".png");
        for (int suit = 0; suit < 4; suit++)
            for (int rank = 0; rank < 13; rank++)
                res.AddSprite("set_" + (set + 1) + "/" + set + "_" + suit + "_" + rank + ".png", tex, 80 * rank,
                              107 * suit, 80, 107);
    }
    int parts = res.AddTexture("card_parts", "gfx/game/card_parts.png");
    for (int set = 0; set < 3; set++)
        res.AddSprite("GFX/Interface/GENERAL/CARDS/cards_back_" + (set + 1) + ".png", parts, 80 * set, 0, 80, 107);
    res.AddSprite("GFX/Interface/GENERAL/CARDS/shadow.png", parts, 240, 0, 84, 111);
    res.AddSprite("GFX/Interface/GENERAL/CARDS/shadow_mid.png", parts, 330, 0, 84, 111);
    res.AddSprite("GFX/Interface/GENERAL/CARDS/shadow_big.png", parts, 420, 0, 84, 111);
    res.AddSprite("GFX/Interface/GENERAL/CARDS/bonus_fill.png", parts, 510, 0, 80, 107);
    int gauge = res.AddTexture("mana_gauge", "gfx/game/mana_gauge.png");
    res.AddSprite("GFX/Interface/GENERAL/BONUSES/bar.png", gauge, 0, 0, 48, 48);
    res.AddFont("DATA/FONTS/font1.fgchst11", "data/fonts/font1.fgchst11");

    int table = res.AddTexture("table", "gfx/game/table.png");
    int shadow = res.AddTexture("table_shad", "gfx/game/table_shad.png");
    int sprTable = res.AddSprite("table", table, 0, 0, 800, 600);
    int sprShadow = res.AddSprite("table_shad", shadow, 0, 0, 800, 600);
    res.CreateModule("table");
    TablePicture(res, "table", sprTable);
    TablePicture(res, "table_shad", sprShadow);
}
