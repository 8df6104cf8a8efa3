// cursor.as: the module "cursor": the software cursor's three shapes, one frame each. The hot
// spot of each key is the point that stands on the mouse position (tip, fingertip, fist).
// Texture from tools/gen_interface_gfx.py.

void DeclareCursorEffect(CFResource@ res, const string &in name, int sprite, float hotX, float hotY)
{
    res.CreateEffect(name, 1, 1000);
    res.CreateObjectGfx("shape", 0);
    res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, 0, 0, 100, 100, 0, hotX, hotY, 0, 1000, 0);
}

void Declare_cursor(CFResource@ res)
{
    int tex = res.AddTexture("cursor", "gfx/interface/cursor.png");
    int sprNormal = res.AddSprite("cursor_normal", tex, 0, 0, 32, 32);
    int sprFinger = res.AddSprite("cursor_finger", tex, 32, 0, 32, 32);
    int sprDrag = res.AddSprite("cursor_drag", tex, 64, 0, 32, 32);

    res.CreateModule("cursor");
    DeclareCursorEffect(res, "cursor_normal", sprNormal, 0, 0);
    DeclareCursorEffect(res, "cursor_finger", sprFinger, 8, 1);
    DeclareCursorEffect(res, "cursor_drag", sprDrag, 16, 16);
}
