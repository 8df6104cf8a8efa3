// interface.as: the module "interface" of the in-game panel (textures from tools/gen_game_gfx.py,
// texts 6000-6099 of data/texts/game_screen.txt).
// - "panel": the panel, sections "show" (fades in) and "hide" (fades out). Its track 0 holds
//   "scroll_interface_top" (track 0: the buttons "hint_rubin", "undo", "deal", "relax", the light
//   "move_indicator_light" and the anchors "bonus_place_1".."_5"; track 1: the bar) and
//   "scroll_interface_bottom" (track 0: "menu"; track 1: the rules panel's slide and text; track 2:
//   the bar). Positions are offsets from the view's centre, where the panel stands.
// - "relax_msg": the pause message; "b_wood": the frame over an unusable bonus button;
//   "bonus1".."bonus25": the bonus buttons (sections "hide", "select", "shadow");
//   "tooltip_bonus_1".."_25": their tooltips; "snd_bonus_select", "snd_button": button sounds
//   (sections "normal" and "down").
// - "place", "place_count": the frame of an empty place and the stock's badge (main_fire.as).
// - The story level's result, its medals and the rank emblems: see statistic_story.as.

const int PANEL_BONUS_KINDS = 25;
int g_texPanel = -1;
int g_texBonuses = -1;

// One frame with a sprite (its hot spot at its centre) or a text at (x, y).
void PanelKey(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY, int alpha)
{
    //             text  sprite  alpha  r    g    b    x  y  sx   sy   rot hx    hy    interp depth blend
    res.AddFrameGfx(text, sprite, alpha, 255, 255, 255, x, y, 100, 100, 0,  hotX, hotY, 0,     10,   0);
}

// A one-frame effect showing a 48 x 48 cell of the panel texture at (x, y).
void PanelPicture(CFResource@ res, const string &in name, int sprite, float x, float y)
{
    res.CreateEffect(name, 1, 100);
    res.AddNamedPart("normal", 0, 0, 0);
    res.CreateObjectGfx("look", 0);
    PanelKey(res, -1, sprite, x, y, 24, 24, 255);
}

// A button's sound: its "down" section plays the sound (-1: none).
void PanelSound(CFResource@ res, const string &in name, int sound)
{
    res.CreateEffect(name, 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("down", 1, 1, 0);
    res.CreateObjectGfx("none", 0);
    for (int f = 0; f < 2; f++)
        PanelKey(res, -1, -1, 0, 0, 0, 0, 255);
    if (sound < 0)
        return;
    res.CreateObjectSfx("click", 0);
    for (int f = 0; f < 2; f++)
        res.AddFrameSfx(sound, 100, f == 1 ? 1 : 0);
}

void Declare_interface(CFResource@ res)
{
    g_texPanel = res.AddTexture("game_panel", "gfx/game/panel.png");
    g_texBonuses = res.AddTexture("game_bonuses", "gfx/game/bonuses.png");
    int sprTop = res.AddSprite("panel_top", g_texPanel, 0, 0, 800, 64);
    int sprBottom = res.AddSprite("panel_bottom", g_texPanel, 0, 64, 800, 40);
    int sprHint = res.AddSprite("panel_hint", g_texPanel, 0, 104, 48, 48);
    int sprUndo = res.AddSprite("panel_undo", g_texPanel, 48, 104, 48, 48);
    int sprDeal = res.AddSprite("panel_deal", g_texPanel, 96, 104, 48, 48);
    int sprRelax = res.AddSprite("panel_relax", g_texPanel, 144, 104, 48, 48);
    int sprMenu = res.AddSprite("panel_menu", g_texPanel, 192, 104, 48, 48);
    int sprWood = res.AddSprite("panel_wood", g_texPanel, 288, 104, 48, 48);
    int sprLampOff = res.AddSprite("panel_lamp_off", g_texPanel, 336, 104, 48, 48);
    int sprLampOn = res.AddSprite("panel_lamp_on", g_texPanel, 384, 104, 48, 48);
    int sprTipBox = res.AddSprite("panel_tip_box", g_texPanel, 0, 160, 150, 52);
    int fontTip = g_fontSmall;
    int textRelax = AddNamedText(res, "relax_msg", g_fontTitle, 6000, 0, 0, ALIGN_CENTRE);
    int textScore = AddNamedText(res, "scores_0", g_fontBold, 6001, 0, 0, ALIGN_RIGHT);

    int click = AddNamedSound(res, "interface_button", "sfx/sounds/interface_button.ogg");

    res.CreateModule("interface");
    PanelSound(res, "snd_button", click);
    PanelSound(res, "snd_bonus_select", -1);
    DeclareTableCaptions(res);

    PanelPicture(res, "hint_rubin", sprHint, -340, -268);
    PanelPicture(res, "undo", sprUndo, -284, -268);
    DeclareDealButton(res, sprDeal, -228, -268);
    PanelPicture(res, "relax", sprRelax, -172, -268);
    PanelPicture(res, "menu", sprMenu, 340, 280);
    PanelPicture(res, "b_wood", sprWood, 0, 0);

    res.CreateEffect("move_indicator_light", 10, 1000);
    res.AddNamedPart("on", 0, 4, 0);
    res.AddNamedPart("off", 5, 9, 0);
    res.CreateObjectGfx("light", 0);
    for (int f = 0; f < 10; f++)
        PanelKey(res, -1, f < 5 ? sprLampOn : sprLampOff, -100, -268, 24, 24, 255);

    // The anchors the bonus buttons ride on while the panel slides (their Logic.ini places).
    for (int i = 1; i <= 5; i++) {
        res.CreateEffect("bonus_place_" + i, 1, 100);
        res.CreateObjectGfx("anchor", 0);
        PanelKey(res, -1, -1, 100 + 56 * (i - 1), -268, 0, 0, 255);
    }

    for (int k = 1; k <= PANEL_BONUS_KINDS; k++) {
        int icon = res.AddSprite("bonus_icon_" + k, g_texBonuses, 48 * ((k - 1) % 5), 48 * ((k - 1) / 5), 48, 48);
        res.CreateEffect("bonus" + k, 3, 300);
        res.AddNamedPart("normal", 0, 0, 0);
        res.AddNamedPart("select", 1, 1, 0);
        res.AddNamedPart("shadow", 2, 2, 0);
        res.AddNamedPart("hide", 0, 0, 0);
        res.CreateObjectGfx("icon", 0);
        PanelKey(res, -1, icon, 0, 0, 24, 24, 255);
        PanelKey(res, -1, icon, 0, 0, 24, 24, 255);
        PanelKey(res, -1, icon, 0, 0, 24, 24, 120);
        // A framed box hanging below the button's place, its text centred inside.
        int tip = AddNamedText(res, "tooltip_bonus_" + k, fontTip, 6010 + k, 0, 0, ALIGN_CENTRE);
        res.CreateEffect("tooltip_bonus_" + k, 1, 100);
        res.CreateObjectGfx("box", 0);
        PanelKey(res, -1, sprTipBox, 0, 0, 75, 0, 255);
        res.CreateObjectGfx("tip", 0);
        PanelKey(res, tip, -1, 0, 16, 0, 0, 255);
    }

    res.CreateEffect("relax_msg", 1, 100);
    res.CreateObjectGfx("message", 0);
    PanelKey(res, textRelax, -1, 0, 0, 0, 0, 255);

    res.CreateEffect("scroll_interface_top", 1, 100);
    res.CreateObjectGfx("buttons", 0);
    res.SubstituteAnimation("interface", "hint_rubin");
    res.SubstituteAnimation("interface", "undo");
    res.SubstituteAnimation("interface", "deal");
    res.SubstituteAnimation("interface", "relax");
    res.SubstituteAnimation("interface", "move_indicator_light");
    for (int i = 1; i <= 5; i++)
        res.SubstituteAnimation("interface", "bonus_place_" + i);
    PanelKey(res, -1, -1, 0, 0, 0, 0, 255);
    res.CreateObjectGfx("bar", 0);
    PanelKey(res, -1, sprTop, 0, -268, 400, 32, 255);
    res.CreateObjectGfx("score", 0);
    PanelKey(res, textScore, -1, -20, -282, 0, 0, 255);

    res.CreateEffect("scroll_interface_bottom", 1, 100);
    res.CreateObjectGfx("buttons", 0);
    res.SubstituteAnimation("interface", "menu");
    PanelKey(res, -1, -1, 0, 0, 0, 0, 255);
    res.CreateObjectGfx("rules", 0);
    res.SubstituteAnimation("rules", "move_rules_window_1");
    res.SubstituteAnimation("rules", "text_rules");
    PanelKey(res, -1, -1, 0, 230, 0, 0, 255);
    res.CreateObjectGfx("bar", 0);
    PanelKey(res, -1, sprBottom, 0, 280, 400, 20, 255);

    // Frames 0-9 fade the panel in ("show"), 10-19 fade it out ("hide").
    res.CreateEffect("panel", 20, 1000);
    res.AddNamedPart("show", 0, 9, 0);
    res.AddNamedPart("hide", 10, 19, 0);
    res.CreateObjectGfx("scrolls", 0);
    res.SubstituteAnimation("interface", "scroll_interface_top");
    res.SubstituteAnimation("interface", "scroll_interface_bottom");
    for (int f = 0; f < 20; f++)
        PanelKey(res, -1, -1, 0, 0, 0, 0, f < 10 ? 28 * (f + 1) - 25 : (f < 19 ? 255 - 28 * (f - 9) : 0));

    DeclarePlaceDecorations(res);  // the places' frame and counter, in main_fire.as
    DeclareStoryResult(res);
}
