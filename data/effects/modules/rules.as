// rules.as: the module "rules", the rules panel at the bottom of the game screen. Plain
// definitions until its graphics are made: the parts and sections the panel plays, and its texts
// (data/texts/rules.txt).
// - "move_rules_window_N": the slide of level section N - 1 (the bonus levels use the first), with
//   the sections "show_small" and "show_big"; its part "window_rul" holds "window_rules", which
//   holds the rules button "bt_rules" (sections "normal" and "animation", the glow).
// - "rules_N_short", "rules_N_long": the rules of level section N - 1 in the small and big views;
//   "text_mess_N": the combo messages, six chain lengths for each of four kinds. Texts have the
//   sections "show" and "hide". "text_rules" is the empty text that the panel starts with.
// - "bt_learn": the learn button, with its looping part "but_light".

const int RULES_SECTIONS = 35;
const int COMBO_MESSAGES = 24;

void RulesPlainTrack(CFResource@ res, int text)
{
    //             text  sprite alpha  r    g    b    x  y  sx   sy   rot hx hy interp depth blend
    res.AddFrameGfx(text, -1,    255,  255, 255, 255, 0, 0, 100, 100, 0,  0, 0, 0,     0,    0);
}

// An effect of one frame whose only track shows the part `inner`.
void RulesHolder(CFResource@ res, const string &in name, const string &in inner)
{
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx(inner, 0);
    res.SubstituteAnimation("rules", inner);
    RulesPlainTrack(res, -1);
}

void RulesSlide(CFResource@ res, int number)
{
    res.CreateEffect("move_rules_window_" + number, 2, 200);
    res.AddNamedPart("show_small", 0, 0, 0);
    res.AddNamedPart("show_big", 1, 1, 0);
    res.CreateObjectGfx("window_rul", 0);
    res.SubstituteAnimation("rules", "window_rul");
    for (int f = 0; f < 2; f++)
        RulesPlainTrack(res, -1);
}

// A text effect showing the text of the same name, number `number` of the text file (-1: none).
void RulesText(CFResource@ res, const string &in name, int number, int font, int alignment)
{
    int text = -1;
    if (number >= 0)
        text = AddNamedText(res, name, font, number, 0, 0, alignment);
    res.CreateEffect(name, 1, 100);
    res.AddNamedPart("show", 0, 0, 0);
    res.AddNamedPart("hide", 0, 0, 0);
    res.CreateObjectGfx("text", 1);
    RulesPlainTrack(res, text);
}

void Declare_rules(CFResource@ res)
{
    res.CreateModule("rules");

    res.CreateEffect("bt_rules", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("animation", 1, 1, 0);
    res.CreateObjectGfx("button", 1);
    for (int f = 0; f < 2; f++)
        RulesPlainTrack(res, -1);
    RulesHolder(res, "window_rules", "bt_rules");
    RulesHolder(res, "window_rul", "window_rules");

    // Level sections 0..24 and the hardcore sections 30..34; the bonus sections 25..29 use the first.
    for (int n = 1; n <= RULES_SECTIONS; n++) {
        if (n <= 25 || n > 30)
            RulesSlide(res, n);
    }

    RulesText(res, "text_rules", -1, -1, ALIGN_LEFT);
    for (int n = 1; n <= RULES_SECTIONS; n++) {
        // Centred on the panel's middle, so the longest line still fits the view.
        RulesText(res, "rules_" + n + "_short", 5000 + n, g_fontMain, ALIGN_CENTRE);
        RulesText(res, "rules_" + n + "_long", 5100 + n, g_fontMain, ALIGN_LEFT);
    }
    for (int n = 1; n <= COMBO_MESSAGES; n++)
        RulesText(res, "text_mess_" + n, 5200 + n, g_fontBold, ALIGN_CENTRE);

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
