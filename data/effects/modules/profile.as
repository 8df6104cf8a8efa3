// profile.as: the module "profile": the yes/no questions, the player selection and the new
// player (look from screen_kit.as, texts 7000-7029 of data/texts/screens.txt).
// - "move_exit_dialog_wind", "move_yes_no_wind": small windows with the parts "bt_yes", "bt_no";
// - "move_selekt_player_wind": the large window with the rows "player_1".."player_10" and the
//   buttons "bt_ok", "bt_1" (new), "bt_2" (delete); the rows are also the row buttons' looks, with
//   the sections normal, over and select (the bar) and the listed name "Player_N";
// - "move_new_player_wind": the small window with the name field (the text "profile_new_name"
//   centred on x 404) and the part "bt_ok2"; "cursor": the blinking text cursor;
// - "move_list_full_wind": the message that the list holds ten players already, part "bt_ok2";
// - every "move_..." has its "_p2" shadow.

const int PROFILE_ROWS = 10;

// A list row: the bar behind the name shows over and select; the name is the text "Player_N".
void ProfileRow(CFResource@ res, int row)
{
    int name = KitNamedText(res, "Player_" + row, g_fontBold, 2, ALIGN_CENTRE);
    float y = -200 + 41 * (row - 1);
    res.CreateEffect("player_" + row, 8, 800);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("leave", 2, 2, 0);
    res.AddNamedPart("over", 3, 3, 0);
    res.AddNamedPart("down", 4, 4, 0);
    res.AddNamedPart("up", 5, 5, 0);
    res.AddNamedPart("disabled", 6, 6, 0);
    res.AddNamedPart("select", 7, 7, 0);
    res.CreateObjectGfx("bar", 0);
    for (int f = 0; f < 8; f++) {
        int sprite = f == 7 ? g_sprRowSelected : g_sprRowOver;
        int alpha = (f == 1 || f == 3 || f == 4 || f == 5 || f == 7) ? 255 : 0;
        KitSprite(res, sprite, 0, y, 381, 41, alpha, 4);
    }
    res.CreateObjectGfx("name", 0);
    for (int f = 0; f < 8; f++) {
        if (f == 7)
            KitText(res, name, 0, y + 6, 60, 30, 0, 5);
        else
            KitText(res, name, 0, y + 6, 255, 250, 235, 5);
    }
}

void ProfileQuestion(CFResource@ res, const string &in move, int title, int body)
{
    KitWindowEffect(res, move);
    KitSlideParts(res, "profile", "bt_yes", "bt_no", "");
    KitSlideSprite(res, "window", g_sprWindowSmall, 0, 0, 420, 240);
    KitSlideText(res, "title", title, 0, body >= 0 ? -50 : -22, 255, 232, 160);
    if (body >= 0)
        KitSlideText(res, "text", body, 0, -12, 240, 244, 248);
    KitShadow(res, move, g_sprWindowSmall, 420, 240);
}

void ProfileSelection(CFResource@ res, int title)
{
    string move = "move_selekt_player_wind";
    KitWindowEffect(res, move);
    res.CreateObjectGfx("parts", 0);
    for (int row = 1; row <= PROFILE_ROWS; row++)
        res.SubstituteAnimation("profile", "player_" + row);
    res.SubstituteAnimation("profile", "bt_ok");
    res.SubstituteAnimation("profile", "bt_1");
    res.SubstituteAnimation("profile", "bt_2");
    for (int f = 0; f < KIT_SLIDE_FRAMES; f++)
        KitKey(res, -1, -1, 0, KitSlideOffset(f), 0, 0, 255, 3);
    KitSlideSprite(res, "window", g_sprWindowLarge, 0, 0, 480, 560);
    KitSlideText(res, "title", title, 0, -241, 255, 232, 160);
    KitShadow(res, move, g_sprWindowLarge, 480, 560);
}

void ProfileNewPlayer(CFResource@ res, int title, int prompt, int name)
{
    string move = "move_new_player_wind";
    KitWindowEffect(res, move);
    KitSlideParts(res, "profile", "bt_ok2", "", "");
    KitSlideSprite(res, "window", g_sprWindowSmall, 0, 0, 420, 240);
    KitSlideText(res, "title", title, 0, -88, 255, 232, 160);
    KitSlideText(res, "prompt", prompt, 0, -48, 240, 244, 248);
    KitSlideSprite(res, "field", g_sprNameField, 4, -13, 300, 40);
    KitSlideText(res, "name", name, 4, -7, 255, 250, 235);
    KitShadow(res, move, g_sprWindowSmall, 420, 240);

    res.CreateEffect("cursor", 2, 800);
    res.CreateObjectGfx("bar", 0);
    // Just right of the cursor's place, so it does not cover the last letter.
    KitKey(res, -1, g_sprTextCursor, 0, 0, -1, 14, 255, 6);
    KitKey(res, -1, g_sprTextCursor, 0, 0, -1, 14, 0, 6);
}

void Declare_profile(CFResource@ res)
{
    UseScreenKit(res);
    UseKitLabels(res);
    int question = KitNamedText(res, "profile_question", g_fontTitle, 7000, ALIGN_CENTRE);
    int deleteTitle = KitNamedText(res, "profile_delete", g_fontTitle, 7004, ALIGN_CENTRE);
    int deleteText = KitNamedText(res, "profile_delete_text", g_fontMain, 7005, ALIGN_CENTRE);
    int chooseTitle = KitNamedText(res, "profile_choose", g_fontTitle, 7010, ALIGN_CENTRE);
    int newLabel = KitNamedText(res, "profile_new", g_fontBold, 7011, ALIGN_CENTRE);
    int deleteLabel = KitNamedText(res, "profile_delete_label", g_fontBold, 7012, ALIGN_CENTRE);
    int newTitle = KitNamedText(res, "profile_new_title", g_fontTitle, 7013, ALIGN_CENTRE);
    int prompt = KitNamedText(res, "profile_prompt", g_fontMain, 7014, ALIGN_CENTRE);
    // Spaced as the popup measures it when it places the text cursor.
    int name = AddNamedText(res, "profile_new_name", g_fontMain, -1, 0, -1, ALIGN_CENTRE);
    int fullTitle = KitNamedText(res, "profile_full", g_fontTitle, 7015, ALIGN_CENTRE);
    int fullText = KitNamedText(res, "profile_full_text", g_fontMain, 7016, ALIGN_CENTRE);

    res.CreateModule("profile");
    KitButton(res, "bt_yes", g_textKitYes, -90, 70);
    KitButton(res, "bt_no", g_textKitNo, 90, 70);
    KitButton(res, "bt_ok", g_textKitOk, -160, 240);
    KitButton(res, "bt_1", newLabel, 0, 240);
    KitButton(res, "bt_2", deleteLabel, 160, 240);
    KitButton(res, "bt_ok2", g_textKitOk, 0, 75);
    for (int row = 1; row <= PROFILE_ROWS; row++)
        ProfileRow(res, row);

    ProfileQuestion(res, "move_exit_dialog_wind", question, -1);
    ProfileQuestion(res, "move_yes_no_wind", deleteTitle, deleteText);
    ProfileSelection(res, chooseTitle);
    ProfileNewPlayer(res, newTitle, prompt, name);
    KitMessageWindow(res, "profile", "move_list_full_wind", fullTitle, fullText, "bt_ok2");
}
