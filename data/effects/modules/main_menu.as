// main_menu.as: the module "main_menu" (gfx/screens/menu.png from tools/gen_screens_gfx.py, texts
// 7060-7070 of data/texts/screens.txt). Positions are offsets from the view's centre.
// - "animations" (sea glitter moving) and "animations_lite" (still): the background, section
//   "all"; the decor "bt_no" (title and cards, hidden during the credits) hangs on track 2 of the
//   first and on track 0 of the second; the text "version" stands in the top left corner.
// - "story_button", "classic": the two big signs; "bt_credits", "hiscores", "player", "Options",
//   "Exit": the planks along the bottom; all with the button sections.
// - "tooltip_Wandrel", "tooltip_classic": bubbles beside the signs, sections "show" and "hide"
//   (frame 0 and the end of "hide" show nothing); "Wandrel_light": the glow around the story sign.
// - "text", "scroll": the credits, still and scrolling, section "all".

const int MENU_FRAMES = 24;
int g_texMenu = -1;
int g_sprMenuBack = -1;
int g_sprMenuSign = -1;    // normal, over, down follow in declaration order
int g_sprMenuPlank = -1;   // likewise
int g_sprMenuBubble = -1;
int g_sprMenuLight = -1;
int g_sprMenuTitle = -1;
int g_sprMenuCards = -1;
int g_sprMenuGlitter = -1;

void UseMenuArt(CFResource@ res)
{
    g_texMenu = res.AddTexture("main_menu", "gfx/screens/menu.png");
    g_sprMenuBack = res.AddSprite("menu_back", g_texMenu, 0, 0, 800, 600);
    g_sprMenuSign = res.AddSprite("menu_sign", g_texMenu, 0, 600, 300, 90);
    res.AddSprite("menu_sign_over", g_texMenu, 300, 600, 300, 90);
    res.AddSprite("menu_sign_down", g_texMenu, 600, 600, 300, 90);
    g_sprMenuPlank = res.AddSprite("menu_plank", g_texMenu, 0, 690, 230, 40);
    res.AddSprite("menu_plank_over", g_texMenu, 230, 690, 230, 40);
    res.AddSprite("menu_plank_down", g_texMenu, 460, 690, 230, 40);
    g_sprMenuBubble = res.AddSprite("menu_bubble", g_texMenu, 0, 730, 280, 100);
    g_sprMenuLight = res.AddSprite("menu_light", g_texMenu, 280, 730, 360, 130);
    g_sprMenuTitle = res.AddSprite("menu_title", g_texMenu, 640, 730, 380, 170);
    g_sprMenuCards = res.AddSprite("menu_cards", g_texMenu, 0, 860, 300, 150);
    g_sprMenuGlitter = res.AddSprite("menu_glitter", g_texMenu, 300, 860, 64, 64);
}

void MenuSections(CFResource@ res)
{
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("leave", 2, 2, 0);
    res.AddNamedPart("over", 3, 3, 0);
    res.AddNamedPart("down", 4, 4, 0);
    res.AddNamedPart("up", 5, 5, 0);
    res.AddNamedPart("disabled", 6, 6, 0);
    res.AddNamedPart("select", 7, 7, 0);
}

// Look of each of the eight section frames: 0 normal, 1 over, 2 down.
int MenuLook(int frame)
{
    if (frame == 1 || frame == 3 || frame == 5)
        return 1;
    if (frame == 4 || frame == 7)
        return 2;
    return 0;
}

// A button of `sprite` (three looks side by side in the declaration order) scaled to w x h and
// centred on (x, y), with its label on top (a text; -1 none).
void MenuButton(CFResource@ res, const string &in name, int sprite, float spriteW, float spriteH,
                float x, float y, float w, float h, int label, float labelDrop)
{
    res.CreateEffect(name, 8, 800);
    MenuSections(res);
    res.CreateObjectGfx("face", 0);
    for (int f = 0; f < 8; f++) {
        int alpha = f == 6 ? 150 : 255;
        //             text sprite                    alpha  r    g    b    x  y  sx                 sy                 rot hx           hy           interp depth blend
        res.AddFrameGfx(-1, sprite + MenuLook(f), alpha, 255, 255, 255, x, y, 100 * w / spriteW, 100 * h / spriteH, 0, spriteW / 2, spriteH / 2, 0, 4, 0);
    }
    res.CreateObjectGfx("label", 0);
    for (int f = 0; f < 8; f++)
        KitText(res, label, x, y + labelDrop + (MenuLook(f) == 2 ? 1 : 0), 255, 244, 214, 5);
}

// The planks' rectangles (x, y, w, h) in the view, as the main menu places its buttons.
void MenuPlank(CFResource@ res, const string &in name, float x, float y, float w, float h, int label)
{
    MenuButton(res, name, g_sprMenuPlank, 230, 40, x + w / 2 - 400, y + h / 2 - 300, w, h, label, 6);
}

void MenuBackgroundTrack(CFResource@ res, int frames)
{
    res.CreateObjectGfx("background", 0);
    for (int f = 0; f < frames; f++)
        KitKey(res, -1, g_sprMenuBack, 0, 0, 400, 300, 255, -10);
}

void MenuDecorTrack(CFResource@ res, int frames)
{
    res.CreateObjectGfx("decor", 0);
    res.SubstituteAnimation("main_menu", "bt_no");
    for (int f = 0; f < frames; f++)
        KitKey(res, -1, -1, 0, 0, 0, 0, 255, 0);
}

void MenuVersionTrack(CFResource@ res, int version, int frames)
{
    res.CreateObjectGfx("version", 0);
    for (int f = 0; f < frames; f++)
        KitText(res, version, -390, -284, 255, 255, 255, 8);
}

void MenuBackgrounds(CFResource@ res)
{
    res.CreateEffect("bt_no", 1, 100);
    res.CreateObjectGfx("title", 0);
    KitKey(res, -1, g_sprMenuTitle, 0, -215, 190, 85, 255, 2);
    res.CreateObjectGfx("cards", 0);
    KitKey(res, -1, g_sprMenuCards, 200, 40, 150, 75, 255, 2);

    res.CreateEffect("animations", MENU_FRAMES, 2400);
    res.AddNamedPart("all", 0, MENU_FRAMES - 1, 0);
    MenuBackgroundTrack(res, MENU_FRAMES);
    res.CreateObjectGfx("glitter", 0);
    for (int f = 0; f < MENU_FRAMES; f++) {
        int phase = f % 12;
        int alpha = phase < 6 ? phase * 40 : (11 - phase) * 40;
        float x = f < 12 ? 40 : -220;
        float y = f < 12 ? 120 : 170;
        KitKey(res, -1, g_sprMenuGlitter, x, y, 32, 32, alpha, -5);
    }
    MenuDecorTrack(res, MENU_FRAMES);
    MenuVersionTrack(res, g_textVersion, MENU_FRAMES);

    res.CreateEffect("animations_lite", 1, 100);
    res.AddNamedPart("all", 0, 0, 0);
    MenuDecorTrack(res, 1);
    MenuBackgroundTrack(res, 1);
    MenuVersionTrack(res, g_textVersion, 1);
}

// A bubble beside a sign: frame 0 shows nothing, "show" fades in (1-6), "hide" fades out (7-12).
void MenuTooltip(CFResource@ res, const string &in name, float y, int text)
{
    res.CreateEffect(name, 13, 650);
    res.AddNamedPart("show", 1, 6, 0);
    res.AddNamedPart("hide", 7, 12, 0);
    res.CreateObjectGfx("bubble", 0);
    for (int f = 0; f < 13; f++)
        KitKey(res, -1, g_sprMenuBubble, 90, y, 140, 50, MenuTooltipAlpha(f), 6);
    res.CreateObjectGfx("text", 0);
    for (int f = 0; f < 13; f++)
        KitKeyColour(res, text, -1, 97, y - 8, 0, 0, MenuTooltipAlpha(f), 70, 40, 10, 7);
}

int MenuTooltipAlpha(int frame)
{
    if (frame == 0)
        return 0;
    if (frame <= 6)
        return frame * 255 / 6;
    return (12 - frame) * 255 / 6;
}

void MenuCredits(CFResource@ res, const string &in name, int text, bool scroll)
{
    int frames = scroll ? 120 : 1;
    res.CreateEffect(name, frames, scroll ? 12000 : 100);
    res.AddNamedPart("all", 0, frames - 1, 0);
    res.CreateObjectGfx("window", 0);
    for (int f = 0; f < frames; f++)
        KitKey(res, -1, g_sprWindowMiddle, 0, -20, 240, 220, 255, 10);
    res.CreateObjectGfx("text", 0);
    for (int f = 0; f < frames; f++) {
        float y = scroll ? 170 - 3.4f * f : -195.0f;
        int alpha = 255;
        if (scroll && f < 10)
            alpha = f * 25;
        if (scroll && f > 110)
            alpha = (119 - f) * 28;
        KitKeyColour(res, text, -1, 0, y, 0, 0, alpha, 255, 244, 214, 11);
    }
}

void Declare_main_menu(CFResource@ res)
{
    UseScreenKit(res);
    UseMenuArt(res);
    int story = KitNamedText(res, "menu_story", g_fontTitle, 7060, ALIGN_CENTRE);
    int classic = KitNamedText(res, "menu_classic", g_fontTitle, 7061, ALIGN_CENTRE);
    int credits = KitNamedText(res, "menu_credits", g_fontBold, 7062, ALIGN_CENTRE);
    int scores = KitNamedText(res, "menu_hiscores", g_fontBold, 7063, ALIGN_CENTRE);
    int options = KitNamedText(res, "menu_options", g_fontBold, 7064, ALIGN_CENTRE);
    int exit = KitNamedText(res, "menu_exit", g_fontBold, 7065, ALIGN_CENTRE);
    int playerCaption = KitNamedText(res, "menu_player", g_fontSmall, 7066, ALIGN_CENTRE);
    int storyTip = KitNamedText(res, "menu_story_tip", g_fontMain, 7067, ALIGN_CENTRE);
    int classicTip = KitNamedText(res, "menu_classic_tip", g_fontMain, 7068, ALIGN_CENTRE);
    int creditsText = KitNamedText(res, "menu_credits_text", g_fontBold, 7069, ALIGN_CENTRE);
    int secretText = KitNamedText(res, "menu_credits_secret", g_fontBold, 7070, ALIGN_CENTRE);

    res.CreateModule("main_menu");
    MenuBackgrounds(res);
    MenuButton(res, "story_button", g_sprMenuSign, 300, 90, -210, -60, 300, 90, story, 9);
    MenuButton(res, "classic", g_sprMenuSign, 300, 90, -210, 50, 300, 90, classic, 9);
    MenuPlank(res, "bt_credits", 13, 542, 114, 33, credits);
    MenuPlank(res, "hiscores", 140, 542, 139, 33, scores);
    MenuPlank(res, "player", 292, 541, 212, 37, g_textPlayer);
    // The caption above the player's plank belongs to the plank's look.
    res.CreateObjectGfx("caption", 0);
    for (int f = 0; f < 8; f++)
        KitText(res, playerCaption, -2, 234, 200, 220, 230, 5);
    MenuPlank(res, "Options", 516, 542, 119, 33, options);
    MenuPlank(res, "Exit", 649, 542, 136, 33, exit);

    MenuTooltip(res, "tooltip_Wandrel", -60, storyTip);
    MenuTooltip(res, "tooltip_classic", 50, classicTip);
    res.CreateEffect("Wandrel_light", 8, 1200);
    res.CreateObjectGfx("glow", 0);
    for (int f = 0; f < 8; f++)
        KitKey(res, -1, g_sprMenuLight, -210, -60, 180, 65, f < 4 ? 120 + f * 40 : 120 + (8 - f) * 40, 3);

    MenuCredits(res, "text", creditsText, false);
    MenuCredits(res, "scroll", secretText, true);
}
