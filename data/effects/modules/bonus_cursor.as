// bonus_cursor.as: the module "bonus_cursor", the sign at the cursor while a bonus is armed
// (a cell of the panel texture, tools/gen_game_gfx.py).
void Declare_bonus_cursor(CFResource@ res)
{
    int tex = res.AddTexture("bonus_cursor", "gfx/game/panel.png");
    int sprite = res.AddSprite("bonus_cursor", tex, 432, 104, 48, 48);
    res.CreateModule("bonus_cursor");
    res.CreateEffect("cursor", 1, 100);
    res.CreateObjectGfx("sign", 0);
    //             text sprite  alpha  r    g    b    x   y   sx  sy  rot hx hy interp depth blend
    res.AddFrameGfx(-1,  sprite, 255,  255, 255, 255, 20, 24, 60, 60, 0,  0, 0, 0,     1000, 0);
}
