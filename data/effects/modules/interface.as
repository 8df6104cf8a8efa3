// interface.as: the module "interface" of the in-game panel. For now only "snd_button", the
// animation that every panel and window button carries for its sounds (sections "normal" and
// "down"); the panel's own effects join this file when the panel is built.
void Declare_interface(CFResource@ res)
{
    res.CreateModule("interface");
    res.CreateEffect("snd_button", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("down", 1, 1, 0);
    res.CreateObjectGfx("none", 0);
    for (int f = 0; f < 2; f++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
}
