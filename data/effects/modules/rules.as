// rules.as: the module "rules", the rules panel at the bottom of the game screen (texture from
// tools/gen_game_gfx.py, texts data/texts/rules.txt).
// - "move_rules_window_N": the slide of level section N - 1 (the bonus levels use the first), with
//   the sections "show_small" and "show_big"; its part "window_rul" holds "window_rules", which
//   holds the rules button "bt_rules" (sections "normal" and "animation", the glow). The big
//   view's frame draws the section's window.
// - "rules_N_short", "rules_N_long": the rules of level section N - 1 in the small and big views;
//   "text_mess_N": the combo messages, six chain lengths for each of four kinds. Texts have the
//   sections "show" and "hide". "text_rules" is the empty text that the panel starts with.
// - "bt_learn": the learn button, with its looping part "but_light".

const int RULES_SECTIONS = 35;
const int COMBO_MESSAGES = 24;

// Where things stand. The panel's rules anchor is (400, 530) in the view; keys are relative to it.
// In the small view the rules button rides on the bottom bar's left. The big view draws each
// level section's window (PickRulesWindow) from nine stretched pieces, with the rules button in
// its top right corner, a line left of it saying that the button closes the window, and the long
// rules below them. The help desk takes the window's drawn box as its click area and wraps the
// long rules to the window's width less the text's margin on either side.
const float RULES_ANCHOR_X = 400, RULES_ANCHOR_Y = 530;
const float RULES_HOLDER_SMALL_X = -410, RULES_HOLDER_SMALL_Y = -182;
const float RULES_BUTTON_X = 70, RULES_BUTTON_Y = 232;       // in the holder
const float RULES_BUTTON_W = 72, RULES_BUTTON_H = 26;
const float RULES_BUTTON_RIGHT = 8, RULES_BUTTON_TOP = 7;     // from the window's corner
const float RULES_TEXT_X = 10;                                // the long rules' margin
const float RULES_PIECE = 16;                                 // the window's pieces are square
const float RULES_HINT_GAP = 4;                               // between the line and the button
const float RULES_HINT_WIDE_W = 150, RULES_HINT_WIDE_H = 18;  // "Click Rules to close", one line
const float RULES_HINT_TALL_W = 96, RULES_HINT_TALL_H = 32;   // the same on two lines

int g_sprRulesPieces = -1;  // the first of nine, row by row: corners, edges and middle
int g_sprRulesHintWide = -1;
int g_sprRulesHintTall = -1;
int g_sprRulesButton = -1;

// Depths: the window lies under the rules button, the line beside it and the text.
const int RULES_WINDOW_DEPTH = 0;
const int RULES_FACE_DEPTH = 10;

// The big window of the level section being declared, in view pixels.
float g_fRulesWinX = 0, g_fRulesWinY = 0, g_fRulesWinW = 0, g_fRulesWinH = 0;

// Whether "Click Rules to close" fits on one line left of the rules button.
bool RulesHintOnOneLine()
{
    return g_fRulesWinW - RULES_TEXT_X >= RULES_HINT_WIDE_W + RULES_HINT_GAP + RULES_BUTTON_W + RULES_BUTTON_RIGHT;
}

// The long rules' first line, below the rules button and the line beside it.
float RulesTextBaseline()
{
    return RulesHintOnOneLine() ? 52 : 58;
}

void RulesWindowAt(float x, float y, float w, float h)
{
    g_fRulesWinX = x;
    g_fRulesWinY = y;
    g_fRulesWinW = w;
    g_fRulesWinH = h;
}

// Each section's window covers no card of its table as dealt (the section layout test measures
// it), stands above the bottom bar and is tall enough for its rules with a line or two to spare.
void PickRulesWindow(int section)
{
    switch (section) {
    case 1: RulesWindowAt(502, 330, 228, 226); break;             // Golf: right of the waste
    case 3: case 10: case 32: RulesWindowAt(60, 430, 680, 126); break;  // FreeCells: under the columns
    case 4: case 31: RulesWindowAt(262, 412, 380, 144); break;    // Pyramids: between stock and piles
    case 6: RulesWindowAt(120, 410, 560, 146); break;             // Eight Off
    case 7: case 17: case 20: RulesWindowAt(120, 392, 560, 164); break;  // the Yukons
    case 11: case 21: RulesWindowAt(604, 330, 190, 226); break;   // Castles: right of the rows
    case 12: case 19: RulesWindowAt(120, 420, 560, 136); break;   // Penguin, Whitehead
    case 14: RulesWindowAt(120, 400, 560, 156); break;            // Seahaven Towers
    case 22: RulesWindowAt(573, 330, 224, 226); break;            // Fortress: right of the houses
    default: RulesWindowAt(286, 330, 228, 226); break;            // under the middle of the table
    }
}

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

// One piece of the big window: nothing in the small view; in the big one the piece's sprite at
// (x, y) of the view, stretched to w x h.
void RulesWindowPiece(CFResource@ res, int sprite, float x, float y, float w, float h)
{
    res.CreateObjectGfx("window", 0);
    RulesKeyTinted(res, -1, -1, 0, 0, 0, 0, 255, 255, 255, RULES_WINDOW_DEPTH);
    //             text  sprite  alpha  r    g    b    x                    y
    res.AddFrameGfx(-1,  sprite, 255,   255, 255, 255, x - RULES_ANCHOR_X, y - RULES_ANCHOR_Y,
                    100 * w / RULES_PIECE, 100 * h / RULES_PIECE, 0, 0, 0, 0, RULES_WINDOW_DEPTH, 0);
}

// Where piece i of a row or column (0 start, 1 middle, 2 end) starts, and how long it is.
float RulesPieceAt(int i, float start, float length)
{
    return i == 0 ? start : (i == 1 ? start + RULES_PIECE : start + length - RULES_PIECE);
}

float RulesPieceLength(int i, float length)
{
    return i == 1 ? length - 2 * RULES_PIECE : RULES_PIECE;
}

void RulesWindow(CFResource@ res)
{
    for (int row = 0; row < 3; row++) {
        for (int col = 0; col < 3; col++) {
            RulesWindowPiece(res, g_sprRulesPieces + row * 3 + col, RulesPieceAt(col, g_fRulesWinX, g_fRulesWinW),
                             RulesPieceAt(row, g_fRulesWinY, g_fRulesWinH), RulesPieceLength(col, g_fRulesWinW),
                             RulesPieceLength(row, g_fRulesWinH));
        }
    }
}

// "Click Rules to close" left of the rules button, with an arrow to it: the button is the one way
// to close the window, and a player looks for a close mark first.
void RulesCloseHint(CFResource@ res, float buttonLeft, float buttonMiddle)
{
    const bool oneLine = RulesHintOnOneLine();
    const int sprite = oneLine ? g_sprRulesHintWide : g_sprRulesHintTall;
    const float w = oneLine ? RULES_HINT_WIDE_W : RULES_HINT_TALL_W;
    const float h = oneLine ? RULES_HINT_WIDE_H : RULES_HINT_TALL_H;
    res.CreateObjectGfx("close_hint", 0);
    RulesPlainTrack(res, -1);
    RulesKey(res, -1, sprite, buttonLeft - RULES_HINT_GAP - RULES_ANCHOR_X, buttonMiddle - RULES_ANCHOR_Y, w, h / 2);
}

// Frame 0 is the small view, frame 1 the big one with the section's window.
void RulesSlide(CFResource@ res, int number)
{
    PickRulesWindow(number - 1);
    const float buttonLeft = g_fRulesWinX + g_fRulesWinW - RULES_BUTTON_RIGHT - RULES_BUTTON_W;
    const float buttonMiddle = g_fRulesWinY + RULES_BUTTON_TOP + RULES_BUTTON_H / 2;
    res.CreateEffect("move_rules_window_" + number, 2, 200);
    res.AddNamedPart("show_small", 0, 0, 0);
    res.AddNamedPart("show_big", 1, 1, 0);
    res.CreateObjectGfx("window_rul", 0);
    res.SubstituteAnimation("rules", "window_rul");
    RulesKey(res, -1, -1, RULES_HOLDER_SMALL_X, RULES_HOLDER_SMALL_Y, 0, 0);
    RulesKey(res, -1, -1, buttonLeft + RULES_BUTTON_W / 2 - RULES_ANCHOR_X - RULES_BUTTON_X,
             buttonMiddle - RULES_ANCHOR_Y - RULES_BUTTON_Y, 0, 0);
    RulesWindow(res);
    RulesCloseHint(res, buttonLeft, buttonMiddle);
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
    for (int row = 0; row < 3; row++) {
        for (int col = 0; col < 3; col++) {
            const int sprite = res.AddSprite("rules_window_" + (row * 3 + col), tex, col * 24, row * 24, RULES_PIECE,
                                             RULES_PIECE);
            if (row == 0 && col == 0)
                g_sprRulesPieces = sprite;
        }
    }
    g_sprRulesHintWide = res.AddSprite("rules_close_line", tex, 0, 70, RULES_HINT_WIDE_W, RULES_HINT_WIDE_H);
    g_sprRulesHintTall = res.AddSprite("rules_close_lines", tex, 0, 92, RULES_HINT_TALL_W, RULES_HINT_TALL_H);
    g_sprRulesButton = res.AddSprite("rules_button", tex, 0, 228, RULES_BUTTON_W, RULES_BUTTON_H);
    res.CreateModule("rules");

    res.CreateEffect("bt_rules", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("animation", 1, 1, 0);
    res.CreateObjectGfx("button", 1);
    for (int f = 0; f < 2; f++)
        RulesKey(res, -1, g_sprRulesButton, RULES_BUTTON_X, RULES_BUTTON_Y, RULES_BUTTON_W / 2, RULES_BUTTON_H / 2);
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
        PickRulesWindow(n - 1);
        RulesText(res, "rules_" + n + "_long", 5100 + n, g_fontMain, ALIGN_LEFT,
                  g_fRulesWinX + RULES_TEXT_X - RULES_ANCHOR_X, g_fRulesWinY + RulesTextBaseline() - RULES_ANCHOR_Y, true);
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
