// rules.as: the module "rules", the rules panel at the bottom of the game screen (texture from
// tools/gen_game_gfx.py, texts data/texts/rules.txt).
// - "move_rules_window_N": the slide of level section N - 1 (the bonus levels use the first), with
//   the sections "show_small" and "show_big"; its part "window_rul" holds "window_rules", which
//   holds the rules button "bt_rules" (sections "normal" and "animation", the glow).
// - "rules_N_short", "rules_N_long": the rules of level section N - 1 in the small and big views;
//   "text_mess_N": the combo messages, six chain lengths for each of four kinds. Texts have the
//   sections "show" and "hide". "text_rules" is the empty text that the panel starts with.
// - "bt_learn": the learn button, with its looping part "but_light".

const int RULES_SECTIONS = 35;
const int COMBO_MESSAGES = 24;

// Where things stand, relative to the panel's rules anchor (400, 530 in the view). The big window
// fills x 286..514 (the help desk's click area) from y 330 to just above the bottom bar; the help
// desk takes its area's top as the slide's top + 212, so the slide's holder stands 212 above it.
// The rules button rides on the holder: in the small view on the bottom bar's left, in the big
// view in the window's top right corner.
const float RULES_WINDOW_TOP = -200;
const float RULES_HOLDER_BIG_X = 0, RULES_HOLDER_BIG_Y = -412;
const float RULES_HOLDER_SMALL_X = -410, RULES_HOLDER_SMALL_Y = -182;
const float RULES_BUTTON_X = 70, RULES_BUTTON_Y = 232;
// The long rules are wrapped (data/texts/rules.txt) to the window's width less its margins.
const float RULES_LONG_X = -104, RULES_LONG_Y = -148;

int g_sprRulesWindow = -1;
int g_sprRulesButton = -1;

// Depths: the window lies under the rules button and the text.
const int RULES_WINDOW_DEPTH = 0;
const int RULES_FACE_DEPTH = 10;

void RulesKeyTinted(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY, int r, int g,
                    int b, int depth)
{
    //             text  sprite  alpha  r  g  b  x  y  sx   sy   rot hx    hy    interp depth  blend
    res.AddFrameGfx(text, sprite, 255,  r, g, b, x, y, 100, 100, 0,  hotX, hotY, 0,     depth, 0);
}

void RulesKey(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY)
{
    RulesKeyTinted(res, text, sprite, x, y, hotX, hotY, 255, 255, 255, RULES_FACE_DEPTH);
}

void RulesPlainTrack(CFResource@ res, int text)
{
    RulesKey(res, text, -1, 0, 0, 0, 0);
}

// An effect of one frame whose only track shows the part `inner`.
void RulesHolder(CFResource@ res, const string &in name, const string &in inner)
{
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx(inner, 0);
    res.SubstituteAnimation("rules", inner);
    RulesPlainTrack(res, -1);
}

// Frame 0 is the small view, frame 1 the big one with its window.
void RulesSlide(CFResource@ res, int number)
{
    res.CreateEffect("move_rules_window_" + number, 2, 200);
    res.AddNamedPart("show_small", 0, 0, 0);
    res.AddNamedPart("show_big", 1, 1, 0);
    res.CreateObjectGfx("window_rul", 0);
    res.SubstituteAnimation("rules", "window_rul");
    RulesKey(res, -1, -1, RULES_HOLDER_SMALL_X, RULES_HOLDER_SMALL_Y, 0, 0);
    RulesKey(res, -1, -1, RULES_HOLDER_BIG_X, RULES_HOLDER_BIG_Y, 0, 0);
    res.CreateObjectGfx("window", 0);
    RulesKeyTinted(res, -1, -1, 0, 0, 0, 0, 255, 255, 255, RULES_WINDOW_DEPTH);
    RulesKeyTinted(res, -1, g_sprRulesWindow, 0, RULES_WINDOW_TOP, 114, 0, 255, 255, 255, RULES_WINDOW_DEPTH);
}

// A text effect showing the text of the same name, number `number` of the text file (-1: none),
// drawn at (x, y) in white, or in dark ink on the big window.
void RulesText(CFResource@ res, const string &in name, int number, int font, int alignment, float x, float y,
               bool onWindow = false)
{
    int text = -1;
    if (number >= 0)
        text = AddNamedText(res, name, font, number, 0, 0, alignment);
    res.CreateEffect(name, 1, 100);
    res.AddNamedPart("show", 0, 0, 0);
    res.AddNamedPart("hide", 0, 0, 0);
    res.CreateObjectGfx("text", 1);
    if (onWindow)
        RulesKeyTinted(res, text, -1, x, y, 0, 0, 60, 40, 20, RULES_FACE_DEPTH);
    else
        RulesKey(res, text, -1, x, y, 0, 0);
}

void Declare_rules(CFResource@ res)
{
    int tex = res.AddTexture("rules", "gfx/game/rules.png");
    g_sprRulesWindow = res.AddSprite("rules_window", tex, 0, 0, 228, 226);
    g_sprRulesButton = res.AddSprite("rules_button", tex, 0, 228, 72, 26);
    res.CreateModule("rules");

    res.CreateEffect("bt_rules", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("animation", 1, 1, 0);
    res.CreateObjectGfx("button", 1);
    for (int f = 0; f < 2; f++)
        RulesKey(res, -1, g_sprRulesButton, RULES_BUTTON_X, RULES_BUTTON_Y, 36, 13);
    RulesHolder(res, "window_rules", "bt_rules");
    RulesHolder(res, "window_rul", "window_rules");

    // Level sections 0..24 and the hardcore sections 30..34; the bonus sections 25..29 use the first.
    for (int n = 1; n <= RULES_SECTIONS; n++) {
        if (n <= 25 || n > 30)
            RulesSlide(res, n);
    }

    RulesText(res, "text_rules", -1, -1, ALIGN_LEFT, 0, 0);
    for (int n = 1; n <= RULES_SECTIONS; n++) {
        // Centred on the panel's middle, so the longest line still fits the view.
        RulesText(res, "rules_" + n + "_short", 5000 + n, g_fontMain, ALIGN_CENTRE, 0, 0);
        RulesText(res, "rules_" + n + "_long", 5100 + n, g_fontMain, ALIGN_LEFT, RULES_LONG_X, RULES_LONG_Y, true);
    }
    for (int n = 1; n <= COMBO_MESSAGES; n++)
        RulesText(res, "text_mess_" + n, 5200 + n, g_fontBold, ALIGN_CENTRE, 0, 0);

    res.CreateEffect("but_light", 1, 100);
    res.CreateObjectGfx("light", 1);
    RulesPlainTrack(res, -1);
    res.CreateEffect("bt_learn", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("show", 1, 1, 0);
    res.CreateObjectGfx("but_light", 1);
    res.SubstituteAnimation("rules", "but_light");
    for (int f = 0; f < 2; f++)
        RulesPlainTrack(res, -1);
}
