// classic.as: the module "classic", the classic selection (textures from tools/gen_classic_trophy_gfx.py
// and tools/gen_story_gfx.py, texts 7600-7649 of data/texts/classic.txt). Positions are relative
// to the view's centre.
// - "classic": the room behind everything; "menu": the list panel; "window_preview": the preview
//   window with the text "preview_name"; "preview_pos": the preview's top-left corner.
// - "l_1".."l_30": the entries, fifteen rows a page (sections "normal", "enter", "over", "leave",
//   "down", "up", "disabled": a locked hardcore entry).
// - "foto_1".."foto_5": the location pictures that choose the table's look (sections as the
//   entries', and "select", "closed").
// - "bt_arrow_up", "bt_arrow_down": the pages; "bt_mainmenu": back to the main menu.
// - The classic result and the use-bonus question: see statistic_classic.as.

const int CLASSIC_ENTRIES = 30;
const int CLASSIC_ROWS = 15;

int ClassicPicture(CFResource@ res, const string &in name, const string &in file, int width, int height)
{
    int texture = res.AddTexture("classic_" + name, file);
    return res.AddSprite("classic_" + name, texture, 0, 0, width, height);
}

void ClassicKey(CFResource@ res, int text, int sprite, float x, float y, float hx, float hy, int alpha, int depth)
{
    res.AddFrameGfx(text, sprite, alpha, 255, 255, 255, x, y, 100, 100, 0, hx, hy, 0, depth, 0);
}

void ClassicStill(CFResource@ res, const string &in name, int sprite, float x, float y, float hx, float hy)
{
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx("look", 0);
    ClassicKey(res, -1, sprite, x, y, hx, hy, 255, 0);
}

// Frames: 0 normal, 1 hover, 2 pressed, 3 selected, 4 locked.
void ClassicButton(CFResource@ res, const string &in name, int normal, int hover, int down, int selected, int locked,
                   float x, float y, float hx, float hy)
{
    res.CreateEffect(name, 5, 500);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.AddNamedPart("select", 3, 3, 0);
    res.AddNamedPart("closed", 4, 4, 0);
    res.AddNamedPart("disabled", 4, 4, 0);
    res.CreateObjectGfx("look", 0);
    ClassicKey(res, -1, normal, x, y, hx, hy, 255, 10);
    ClassicKey(res, -1, hover, x, y, hx, hy, 255, 10);
    ClassicKey(res, -1, down, x, y, hx, hy, 255, 10);
    ClassicKey(res, -1, selected, x, y, hx, hy, 255, 10);
    ClassicKey(res, -1, locked, x, y, hx, hy, 255, 10);
}

float ClassicRowY(int row)
{
    return -187 + row * 28;
}

// An entry: its bar and its name; a locked entry shows a padlock and a dim name.
void ClassicEntry(CFResource@ res, int entry, int bar, int barLit, int lock)
{
    int label = AddNamedText(res, "classic_entry_" + entry, g_fontMain, 7600 + entry, 0, 0, ALIGN_LEFT);
    float y = ClassicRowY((entry - 1) % CLASSIC_ROWS);
    res.CreateEffect("l_" + entry, 3, 300);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 1, 1, 0);
    res.AddNamedPart("disabled", 2, 2, 0);
    res.CreateObjectGfx("bar", 0);
    ClassicKey(res, -1, bar, -196, y, 172, 13, 255, 10);
    ClassicKey(res, -1, barLit, -196, y, 172, 13, 255, 10);
    ClassicKey(res, -1, bar, -196, y, 172, 13, 90, 10);
    res.CreateObjectGfx("name", 0);
    for (int f = 0; f < 3; f++)
        res.AddFrameGfx(label, -1, f == 2 ? 130 : 255, 48, 34, 20, -356, y + 6, 100, 100, 0, 0, 0, 0, 11, 0);
    res.CreateObjectGfx("lock", 0);
    for (int f = 0; f < 3; f++)
        ClassicKey(res, -1, lock, -46, y, 9, 9, f == 2 ? 255 : 0, 11);
}

void Declare_classic(CFResource@ res)
{
    int tableLabel = AddNamedText(res, "classic_table_label", g_fontBold, 7640, 0, 0, ALIGN_CENTRE);
    res.CreateModule("classic");
    int back = ClassicPicture(res, "back", "gfx/classic/back.png", 800, 600);
    res.CreateEffect("classic", 1, 100);
    res.CreateObjectGfx("room", 0);
    ClassicKey(res, -1, back, 0, 0, 400, 300, 255, 0);
    res.CreateObjectGfx("table_label", 0);
    res.AddFrameGfx(tableLabel, -1, 255, 255, 240, 200, 202, 52, 100, 100, 0, 0, 0, 0, 1, 0);

    ClassicStill(res, "menu", ClassicPicture(res, "menu", "gfx/classic/menu.png", 380, 560), -196, 0, 190, 280);

    int frame = ClassicPicture(res, "preview", "gfx/classic/preview.png", 364, 300);
    res.CreateEffect("window_preview", 1, 100);
    res.CreateObjectGfx("frame", 0);
    ClassicKey(res, -1, frame, 202, -130, 182, 150, 255, 0);
    res.CreateObjectGfx("name", 0);
    res.AddFrameGfx(g_textPreviewName, -1, 255, 48, 34, 20, 202, -238, 100, 100, 0, 0, 0, 0, 1, 0);
    res.CreateEffect("preview_pos", 1, 100);
    res.CreateObjectGfx("corner", 0);
    ClassicKey(res, -1, -1, 90, -222, 0, 0, 255, 30);

    int bar = ClassicPicture(res, "row_0", "gfx/classic/row_0.png", 344, 26);
    int barLit = ClassicPicture(res, "row_1", "gfx/classic/row_1.png", 344, 26);
    int lock = ClassicPicture(res, "lock", "gfx/classic/lock.png", 18, 18);
    for (int entry = 1; entry <= CLASSIC_ENTRIES; entry++)
        ClassicEntry(res, entry, bar, barLit, lock);

    int up0 = ClassicPicture(res, "up_0", "gfx/classic/up_0.png", 150, 30);
    int up1 = ClassicPicture(res, "up_1", "gfx/classic/up_1.png", 150, 30);
    int up2 = ClassicPicture(res, "up_2", "gfx/classic/up_2.png", 150, 30);
    ClassicButton(res, "bt_arrow_up", up0, up1, up2, up1, up0, -196, -218, 75, 15);
    int down0 = ClassicPicture(res, "down_0", "gfx/classic/down_0.png", 150, 30);
    int down1 = ClassicPicture(res, "down_1", "gfx/classic/down_1.png", 150, 30);
    int down2 = ClassicPicture(res, "down_2", "gfx/classic/down_2.png", 150, 30);
    ClassicButton(res, "bt_arrow_down", down0, down1, down2, down1, down0, -196, 245, 75, 15);
    int menu0 = ClassicPicture(res, "menu_0", "gfx/classic/menu_0.png", 120, 44);
    int menu1 = ClassicPicture(res, "menu_1", "gfx/classic/menu_1.png", 120, 44);
    int menu2 = ClassicPicture(res, "menu_2", "gfx/classic/menu_2.png", 120, 44);
    ClassicButton(res, "bt_mainmenu", menu0, menu1, menu2, menu1, menu0, 320, 256, 60, 22);

    // Three pictures in the first row, two in the second.
    for (int location = 0; location < 5; location++) {
        float x = location < 3 ? 90 + location * 112 : 146 + (location - 3) * 112;
        float y = location < 3 ? 100 : 190;
        string file = "gfx/classic/foto_" + location;
        string name = "foto_" + location;
        int normal = ClassicPicture(res, name + "_0", file + "_0.png", 112, 84);
        int hover = ClassicPicture(res, name + "_1", file + "_1.png", 112, 84);
        int selected = ClassicPicture(res, name + "_2", file + "_2.png", 112, 84);
        int locked = ClassicPicture(res, name + "_off", file + "_off.png", 112, 84);
        ClassicButton(res, "foto_" + (location + 1), normal, hover, hover, selected, locked, x, y, 56, 42);
    }

    DeclareClassicResult(res);
}
