// in_game_menu.as: the module "in_game_menu", the menu over a story, bonus or hardcore level, and
// the helpers that in_game_menu_classic.as builds its twin with. Texture gfx/menus/in_game_menu.png
// from tools/gen_in_game_menu_gfx.py; texts 7100-7119 of data/texts/screens.txt; the check boxes
// and their labels are those of options_full.as.
// - "move_in_game_menu" and its "_p2" shadow: the window (296 x 446, standing over the view's
//   rectangle 250, 90 to 546, 536) sliding in with its title;
// - "place": what stands on the window once it has slid in: the plate of the card sets and the
//   labels of the card sets and of the check boxes;
// - "bt_back_to_game", "bt_deal", "bt_learn", "bt_options", "bt_quit_to_map", "bt_exitgame": the
//   long buttons, top to bottom, with the button sections;
// - "bt_card_1", "bt_card_2", "bt_card_3": the card sets, a small card back each (the second
//   button shows the third set and the third the second); section "select" rings the chosen one;
// - "cb_hint", "cb_playdesk": check boxes with the sections normal, on, off and disabled.
// Positions are offsets from the view's centre; on the window, (x - 150, y - 210) is the window's
// own point (x, y).

int g_texInGameMenu = -1;
int g_sprIgmWindow = -1;
int g_sprIgmButton = -1;      // normal, over, down, disabled follow in declaration order
int g_sprIgmButtonOver = -1;
int g_sprIgmButtonDown = -1;
int g_sprIgmButtonOff = -1;
int g_sprIgmCardBack1 = -1;   // the three card sets
int g_sprIgmCardBack2 = -1;
int g_sprIgmCardBack3 = -1;
int g_sprIgmRingChosen = -1;
int g_sprIgmRingOver = -1;
int g_sprIgmPlate = -1;
int g_textIgmTitle = -1;
int g_textIgmCards = -1;
int g_textIgmHints = -1;
int g_textIgmTable = -1;
int g_textIgmBonuses = -1;
int g_textIgmFirstButton = -1;  // the button labels 7101-7106 and 7111, declared in that order

const float IGM_X = -150;     // the window's own origin, as an offset from the view's centre
const float IGM_Y = -210;

void UseInGameMenuArt(CFResource@ res)
{
    UseScreenKit(res);
    if (g_texInGameMenu >= 0)
        return;
    g_texInGameMenu = res.AddTexture("in_game_menu", "gfx/menus/in_game_menu.png");
    g_sprIgmWindow = res.AddSprite("igm_window", g_texInGameMenu, 0, 0, 296, 446);
    g_sprIgmButton = res.AddSprite("igm_button", g_texInGameMenu, 300, 0, 236, 34);
    g_sprIgmButtonOver = res.AddSprite("igm_button_over", g_texInGameMenu, 300, 34, 236, 34);
    g_sprIgmButtonDown = res.AddSprite("igm_button_down", g_texInGameMenu, 300, 68, 236, 34);
    g_sprIgmButtonOff = res.AddSprite("igm_button_off", g_texInGameMenu, 300, 102, 236, 34);
    g_sprIgmCardBack1 = res.AddSprite("igm_card_back_1", g_texInGameMenu, 300, 140, 40, 54);
    g_sprIgmCardBack2 = res.AddSprite("igm_card_back_2", g_texInGameMenu, 344, 140, 40, 54);
    g_sprIgmCardBack3 = res.AddSprite("igm_card_back_3", g_texInGameMenu, 388, 140, 40, 54);
    g_sprIgmRingChosen = res.AddSprite("igm_ring_chosen", g_texInGameMenu, 300, 200, 52, 66);
    g_sprIgmRingOver = res.AddSprite("igm_ring_over", g_texInGameMenu, 360, 200, 52, 66);
    g_sprIgmPlate = res.AddSprite("igm_plate", g_texInGameMenu, 300, 270, 260, 76);
    g_textIgmTitle = KitNamedText(res, "igm_title", g_fontTitle, 7100, ALIGN_CENTRE);
    g_textIgmCards = KitNamedText(res, "igm_cards", g_fontBold, 7107, ALIGN_LEFT);
    g_textIgmHints = KitNamedText(res, "igm_hints", g_fontBold, 7108, ALIGN_LEFT);
    g_textIgmTable = KitNamedText(res, "igm_table", g_fontBold, 7109, ALIGN_LEFT);
    g_textIgmBonuses = KitNamedText(res, "igm_use_bonuses", g_fontBold, 7110, ALIGN_LEFT);
    g_textIgmFirstButton = KitNamedText(res, "igm_button_1", g_fontBold, 7101, ALIGN_CENTRE);
    for (int i = 2; i <= 6; i++)
        KitNamedText(res, "igm_button_" + i, g_fontBold, 7100 + i, ALIGN_CENTRE);
    KitNamedText(res, "igm_button_7", g_fontBold, 7111, ALIGN_CENTRE);
}

// The label of the long button n (1..7).
int InGameMenuLabel(int n)
{
    return g_textIgmFirstButton + n - 1;
}

// The window and its title sliding in, and the shadow that slides with it.
void InGameMenuWindow(CFResource@ res, const string &in move)
{
    KitWindowEffect(res, move);
    KitSlideSprite(res, "window", g_sprIgmWindow, IGM_X + 148, IGM_Y + 223, 296, 446);
    KitSlideText(res, "title", g_textIgmTitle, IGM_X + 148, IGM_Y + 42, 255, 232, 160);
    res.CreateEffect(move + "_p2", KIT_SLIDE_FRAMES, KIT_SLIDE_MS);
    KitSlideTrack(res, "shadow", -1, g_sprIgmWindow, IGM_X + 158, IGM_Y + 237, 148, 223, 110, 0, 0, 0, -2);
}

// A long button centred on the window at height y, in the sections normal 0, enter 1, leave 2,
// over 3, down 4, up 5, disabled 6 and select 7.
void InGameMenuButton(CFResource@ res, const string &in name, int label, float y)
{
    float x = IGM_X + 148;
    y += IGM_Y;
    res.CreateEffect(name, 8, 800);
    InGameMenuSections(res);
    res.CreateObjectGfx("face", 0);
    for (int f = 0; f < 8; f++)
        KitSprite(res, InGameMenuFace(f), x, y, 236, 34, 255, 4);
    res.CreateObjectGfx("label", 0);
    for (int f = 0; f < 8; f++) {
        if (f == 6)
            KitText(res, label, x, y + 6, 70, 70, 70, 5);
        else
            KitText(res, label, x, y + 6 + (f == 4 ? 1 : 0), 70, 40, 10, 5);
    }
}

int InGameMenuFace(int frame)
{
    if (frame == 4 || frame == 7)
        return g_sprIgmButtonDown;
    if (frame == 6)
        return g_sprIgmButtonOff;
    return frame % 2 == 1 ? g_sprIgmButtonOver : g_sprIgmButton;
}

void InGameMenuSections(CFResource@ res)
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

// A card set's button: its small card back at the window's point (x, y), a light ring while the
// mouse is over it and the gold ring while it is the chosen set.
void InGameMenuCardButton(CFResource@ res, const string &in name, int back, float x, float y)
{
    x += IGM_X;
    y += IGM_Y;
    res.CreateEffect(name, 8, 800);
    InGameMenuSections(res);
    res.CreateObjectGfx("card", 0);
    for (int f = 0; f < 8; f++)
        KitSprite(res, back, x, y + (f == 4 ? 1 : 0), 40, 54, 255, 5);
    res.CreateObjectGfx("ring", 0);
    for (int f = 0; f < 8; f++) {
        bool chosen = f == 4 || f == 7;  // down, select
        bool over = f == 1 || f == 3 || f == 5;  // enter, over, up
        KitSprite(res, chosen ? g_sprIgmRingChosen : g_sprIgmRingOver, x, y, 52, 66, chosen || over ? 255 : 0, 4);
    }
}

// The plate of the card sets with its label, and the labels of the check boxes (the third, the
// classic menu's, when its text is not -1).
void InGameMenuPlace(CFResource@ res, int bonusesLabel)
{
    res.CreateEffect("place", 1, 100);
    res.CreateObjectGfx("plate", 0);
    KitSprite(res, g_sprIgmPlate, IGM_X + 148, IGM_Y + 320, 260, 76, 255, 3);
    OptionsLabel(res, "cards", g_textIgmCards, IGM_X + 32, IGM_Y + 326);
    OptionsLabel(res, "hints", g_textIgmHints, IGM_X + 62, IGM_Y + 384);
    OptionsLabel(res, "table", g_textIgmTable, IGM_X + 178, IGM_Y + 384);
    if (bonusesLabel >= 0)
        OptionsLabel(res, "use_bonuses", bonusesLabel, IGM_X + 62, IGM_Y + 418);
}

// The widgets of a menu: the quit button is the twins' own, and the classic menu's third check
// box comes with its label (-1: none).
void InGameMenuWidgets(CFResource@ res, const string &in quitButton, int quitLabel, int bonusesLabel)
{
    InGameMenuPlace(res, bonusesLabel);
    InGameMenuButton(res, "bt_back_to_game", InGameMenuLabel(1), 74);
    InGameMenuButton(res, "bt_deal", InGameMenuLabel(2), 112);
    InGameMenuButton(res, "bt_learn", InGameMenuLabel(3), 150);
    InGameMenuButton(res, "bt_options", InGameMenuLabel(4), 188);
    InGameMenuButton(res, quitButton, quitLabel, 226);
    InGameMenuButton(res, "bt_exitgame", InGameMenuLabel(6), 264);
    InGameMenuCardButton(res, "bt_card_1", g_sprIgmCardBack1, 140, 320);
    InGameMenuCardButton(res, "bt_card_2", g_sprIgmCardBack3, 196, 320);
    InGameMenuCardButton(res, "bt_card_3", g_sprIgmCardBack2, 252, 320);
    OptionsBox(res, "cb_hint", IGM_X + 40, IGM_Y + 378);
    OptionsBox(res, "cb_playdesk", IGM_X + 156, IGM_Y + 378);
    if (bonusesLabel >= 0)
        OptionsBox(res, "cb_use_bonuses", IGM_X + 40, IGM_Y + 412);
}

void Declare_in_game_menu(CFResource@ res)
{
    UseInGameMenuArt(res);
    res.CreateModule("in_game_menu");
    InGameMenuWindow(res, "move_in_game_menu");
    InGameMenuWidgets(res, "bt_quit_to_map", InGameMenuLabel(5), -1);
}
