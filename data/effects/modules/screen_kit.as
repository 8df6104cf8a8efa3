// screen_kit.as: the shared look of the menus, popups and dialogs (gfx/screens/kit.png from
// tools/gen_screens_gfx.py) and the helpers their modules are declared with. It declares no
// module of its own; every module built on it calls UseScreenKit first.
//
// A popup window is an effect "move_<name>" that slides down into place in KIT_SLIDE_FRAMES
// frames, and its shadow "move_<name>_p2" that slides with it. Its buttons are parts of the
// window on track 0 ("bt_ok" and so on), each an effect of the module with the button sections
// normal, enter, leave, over, down, up, disabled and select. Positions are offsets from the
// view's centre, where the window stands once it has slid in.

const int KIT_SLIDE_FRAMES = 12;
const int KIT_SLIDE_MS = 420;

int g_texKit = -1;
int g_sprWindowSmall = -1;    // 420 x 240
int g_sprWindowLarge = -1;    // 480 x 560
int g_sprWindowMiddle = -1;   // 480 x 440
int g_sprButton = -1;         // 140 x 40: normal, over, down, disabled follow in declaration order
int g_sprButtonOver = -1;
int g_sprButtonDown = -1;
int g_sprButtonOff = -1;
int g_sprCheckOff = -1;
int g_sprCheckOn = -1;
int g_sprCheckDisabled = -1;
int g_sprTextCursor = -1;
int g_sprSliderTrack = -1;
int g_sprSliderThumb = -1;
int g_sprRowOver = -1;
int g_sprRowSelected = -1;
int g_sprNameField = -1;
int g_sprTab = -1;
int g_sprTabChosen = -1;
int g_sprGlint = -1;

void UseScreenKit(CFResource@ res)
{
    if (g_texKit >= 0)
        return;
    g_texKit = res.AddTexture("screen_kit", "gfx/screens/kit.png");
    g_sprWindowSmall = res.AddSprite("kit_window_small", g_texKit, 0, 0, 420, 240);
    g_sprWindowLarge = res.AddSprite("kit_window_large", g_texKit, 420, 0, 480, 560);
    g_sprWindowMiddle = res.AddSprite("kit_window_middle", g_texKit, 0, 560, 480, 440);
    g_sprButton = res.AddSprite("kit_button", g_texKit, 0, 240, 140, 40);
    g_sprButtonOver = res.AddSprite("kit_button_over", g_texKit, 140, 240, 140, 40);
    g_sprButtonDown = res.AddSprite("kit_button_down", g_texKit, 280, 240, 140, 40);
    g_sprButtonOff = res.AddSprite("kit_button_off", g_texKit, 0, 280, 140, 40);
    g_sprCheckOff = res.AddSprite("kit_check_off", g_texKit, 140, 280, 32, 32);
    g_sprCheckOn = res.AddSprite("kit_check_on", g_texKit, 180, 280, 32, 32);
    g_sprCheckDisabled = res.AddSprite("kit_check_disabled", g_texKit, 220, 280, 32, 32);
    g_sprTextCursor = res.AddSprite("kit_text_cursor", g_texKit, 260, 280, 4, 28);
    g_sprSliderTrack = res.AddSprite("kit_slider_track", g_texKit, 0, 320, 300, 16);
    g_sprSliderThumb = res.AddSprite("kit_slider_thumb", g_texKit, 300, 320, 28, 36);
    g_sprRowOver = res.AddSprite("kit_row_over", g_texKit, 0, 360, 381, 41);
    g_sprRowSelected = res.AddSprite("kit_row_selected", g_texKit, 0, 401, 381, 41);
    g_sprNameField = res.AddSprite("kit_name_field", g_texKit, 0, 442, 300, 40);
    g_sprTab = res.AddSprite("kit_tab", g_texKit, 0, 482, 160, 36);
    g_sprTabChosen = res.AddSprite("kit_tab_chosen", g_texKit, 160, 482, 160, 36);
    g_sprGlint = res.AddSprite("kit_glint", g_texKit, 480, 560, 420, 300);
}

void Declare_screen_kit(CFResource@ res)
{
    UseScreenKit(res);
}

// ---- Keys ----------------------------------------------------------------------------------------

// One key: a text (-1 none) or a sprite (-1 none) at (x, y), held at (hotX, hotY), in a colour.
void KitKeyColour(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY,
                  int alpha, int red, int green, int blue, int depth)
{
    //             text  sprite  alpha  r    g      b     x  y  sx   sy   rot hx    hy    interp depth blend
    res.AddFrameGfx(text, sprite, alpha, red, green, blue, x, y, 100, 100, 0, hotX, hotY, 0,     depth, 0);
}

void KitKey(CFResource@ res, int text, int sprite, float x, float y, float hotX, float hotY, int alpha, int depth)
{
    KitKeyColour(res, text, sprite, x, y, hotX, hotY, alpha, 255, 255, 255, depth);
}

// A sprite held at its centre.
void KitSprite(CFResource@ res, int sprite, float x, float y, float w, float h, int alpha, int depth)
{
    KitKey(res, -1, sprite, x, y, w / 2, h / 2, alpha, depth);
}

// A text: its x is where the alignment puts it, its y the baseline.
void KitText(CFResource@ res, int text, float x, float y, int red, int green, int blue, int depth)
{
    KitKeyColour(res, text, -1, x, y, 0, 0, 255, red, green, blue, depth);
}

// A text entry of the text file, named so that screens can also set it.
int KitNamedText(CFResource@ res, const string &in name, int font, int number, int alignment)
{
    return AddNamedText(res, name, font, number, 0, 0, alignment);
}

// ---- Slides --------------------------------------------------------------------------------------

// How far above its place the window is in a frame of the slide: it drops fast and settles.
float KitSlideOffset(int frame)
{
    float t = 1.0f - float(frame) / float(KIT_SLIDE_FRAMES - 1);
    return -640.0f * t * t * t;
}

// A track that shows a sprite or a text sliding into (x, y).
void KitSlideTrack(CFResource@ res, const string &in name, int text, int sprite, float x, float y,
                   float hotX, float hotY, int alpha, int red, int green, int blue, int depth)
{
    res.CreateObjectGfx(name, 0);
    for (int f = 0; f < KIT_SLIDE_FRAMES; f++)
        KitKeyColour(res, text, sprite, x, y + KitSlideOffset(f), hotX, hotY, alpha, red, green, blue, depth);
}

void KitSlideSprite(CFResource@ res, const string &in name, int sprite, float x, float y, float w, float h)
{
    KitSlideTrack(res, name, -1, sprite, x, y, w / 2, h / 2, 255, 255, 255, 255, 0);
}

void KitSlideText(CFResource@ res, const string &in name, int text, float x, float y, int red, int green, int blue)
{
    KitSlideTrack(res, name, text, -1, x, y, 0, 0, 255, red, green, blue, 2);
}

// Track 0 of a window: up to three parts of the module, carried along by the slide. Call it
// right after CreateEffect, so that the parts hang on track 0.
void KitSlideParts(CFResource@ res, const string &in module, const string &in a, const string &in b,
                   const string &in c)
{
    res.CreateObjectGfx("parts", 0);
    if (a != "")
        res.SubstituteAnimation(module, a);
    if (b != "")
        res.SubstituteAnimation(module, b);
    if (c != "")
        res.SubstituteAnimation(module, c);
    for (int f = 0; f < KIT_SLIDE_FRAMES; f++)
        KitKey(res, -1, -1, 0, KitSlideOffset(f), 0, 0, 255, 3);
}

void KitWindowEffect(CFResource@ res, const string &in name)
{
    res.CreateEffect(name, KIT_SLIDE_FRAMES, KIT_SLIDE_MS);
}

// The shadow "<move>_p2": the window's picture in black, a little below and to the right.
void KitShadow(CFResource@ res, const string &in move, int window, float w, float h)
{
    res.CreateEffect(move + "_p2", KIT_SLIDE_FRAMES, KIT_SLIDE_MS);
    KitSlideTrack(res, "shadow", -1, window, 10, 14, w / 2, h / 2, 110, 0, 0, 0, -2);
}

// ---- Widgets -------------------------------------------------------------------------------------

// A push button of the kit with its label at (x, y) (its centre), in the sections that CFButton
// plays: normal 0, enter 1, leave 2, over 3, down 4, up 5, disabled 6, select 7.
void KitButton(CFResource@ res, const string &in name, int label, float x, float y)
{
    res.CreateEffect(name, 8, 800);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("leave", 2, 2, 0);
    res.AddNamedPart("over", 3, 3, 0);
    res.AddNamedPart("down", 4, 4, 0);
    res.AddNamedPart("up", 5, 5, 0);
    res.AddNamedPart("disabled", 6, 6, 0);
    res.AddNamedPart("select", 7, 7, 0);
    res.CreateObjectGfx("face", 0);
    KitSprite(res, g_sprButton, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonOver, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButton, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonOver, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonDown, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonOver, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonOff, x, y, 140, 40, 255, 4);
    KitSprite(res, g_sprButtonDown, x, y, 140, 40, 255, 4);
    res.CreateObjectGfx("label", 0);
    for (int f = 0; f < 8; f++) {
        if (f == 6)
            KitText(res, label, x, y + 6, 60, 60, 60, 5);
        else
            KitText(res, label, x, y + 6 + (f == 4 ? 1 : 0), 70, 40, 10, 5);
    }
}

// The label texts of the kit's buttons, shared by every module.
int g_textKitOk = -1;
int g_textKitYes = -1;
int g_textKitNo = -1;

void UseKitLabels(CFResource@ res)
{
    if (g_textKitOk >= 0)
        return;
    g_textKitOk = KitNamedText(res, "kit_ok", g_fontBold, 7003, ALIGN_CENTRE);
    g_textKitYes = KitNamedText(res, "kit_yes", g_fontBold, 7001, ALIGN_CENTRE);
    g_textKitNo = KitNamedText(res, "kit_no", g_fontBold, 7002, ALIGN_CENTRE);
}

// A message window of the small size with a title, a text of up to four lines and one button
// part (whose effect the module declares with KitButton).
void KitMessageWindow(CFResource@ res, const string &in module, const string &in move, int title, int body,
                      const string &in button)
{
    KitWindowEffect(res, move);
    KitSlideParts(res, module, button, "", "");
    KitSlideSprite(res, "window", g_sprWindowSmall, 0, 0, 420, 240);
    KitSlideText(res, "title", title, 0, -90, 255, 232, 160);
    KitSlideText(res, "text", body, 0, -42, 240, 244, 248);
    KitShadow(res, move, g_sprWindowSmall, 420, 240);
}
