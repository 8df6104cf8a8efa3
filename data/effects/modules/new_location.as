// new_location.as: the module "new_location", the window that offers a newly opened location
// (textures from tools/gen_story_gfx.py). Positions are relative to the view's centre.
// - "move_new_location": the window slides down into the view.
// - "move_new_location_p2": its contents slide with it: track 0 the photo "foto" (sections
//   "foto_1".."foto_5", one per location), track 1 the text "New location_name".
// - "bt_nloc_yes", "bt_nloc_no": the answers, where the window comes to rest.

const int NEW_LOCATION_FRAMES = 12;

int NewLocationPicture(CFResource@ res, const string &in name, const string &in file, int width, int height)
{
    int texture = res.AddTexture("new_location_" + name, file);
    return res.AddSprite("new_location_" + name, texture, 0, 0, width, height);
}

// The window's height in frame f of the slide: from above the view down to its place.
float NewLocationSlide(int f)
{
    float t = f / float(NEW_LOCATION_FRAMES - 1);
    return -520 * (1 - t) * (1 - t);
}

void NewLocationButton(CFResource@ res, const string &in name, const string &in file, float x)
{
    int normal = NewLocationPicture(res, name + "_0", file + "_0.png", 120, 44);
    int hover = NewLocationPicture(res, name + "_1", file + "_1.png", 120, 44);
    int down = NewLocationPicture(res, name + "_2", file + "_2.png", 120, 44);
    res.CreateEffect(name, 3, 300);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("leave", 0, 0, 0);
    res.AddNamedPart("disabled", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("over", 1, 1, 0);
    res.AddNamedPart("up", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.CreateObjectGfx("look", 0);
    res.AddFrameGfx(-1, normal, 255, 255, 255, 255, x, 138, 100, 100, 0, 60, 22, 0, 20, 0);
    res.AddFrameGfx(-1, hover, 255, 255, 255, 255, x, 138, 100, 100, 0, 60, 22, 0, 20, 0);
    res.AddFrameGfx(-1, down, 255, 255, 255, 255, x, 138, 100, 100, 0, 60, 22, 0, 20, 0);
}

void Declare_new_location(CFResource@ res)
{
    int name = AddNamedText(res, "New location_name", g_fontTitle, -1, 0, 0, ALIGN_CENTRE);
    res.CreateModule("new_location");

    res.CreateEffect("foto", 5, 500);
    for (int location = 1; location <= 5; location++)
        res.AddNamedPart("foto_" + location, location - 1, location - 1, 0);
    res.CreateObjectGfx("photo", 0);
    for (int location = 0; location < 5; location++) {
        int photo = NewLocationPicture(res, "foto_" + location, "gfx/new_location/foto_" + location + ".png", 220, 150);
        res.AddFrameGfx(-1, photo, 255, 255, 255, 255, 0, 0, 100, 100, 0, 110, 75, 0, 0, 0);
    }

    int window = NewLocationPicture(res, "window", "gfx/new_location/window.png", 440, 340);
    res.CreateEffect("move_new_location", NEW_LOCATION_FRAMES, 600);
    res.CreateObjectGfx("window", 0);
    for (int f = 0; f < NEW_LOCATION_FRAMES; f++)
        res.AddFrameGfx(-1, window, 255, 255, 255, 255, 0, NewLocationSlide(f), 100, 100, 0, 220, 170, 1, 10, 0);

    res.CreateEffect("move_new_location_p2", NEW_LOCATION_FRAMES, 600);
    res.CreateObjectGfx("foto", 0);
    res.SubstituteAnimation("new_location", "foto");
    for (int f = 0; f < NEW_LOCATION_FRAMES; f++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, -4 + NewLocationSlide(f), 100, 100, 0, 0, 0, 1, 12, 0);
    res.CreateObjectGfx("name", 0);
    for (int f = 0; f < NEW_LOCATION_FRAMES; f++)
        res.AddFrameGfx(name, -1, 255, 110, 50, 20, 0, -92 + NewLocationSlide(f), 100, 100, 0, 0, 0, 1, 12, 0);

    NewLocationButton(res, "bt_nloc_yes", "gfx/new_location/yes", -70);
    NewLocationButton(res, "bt_nloc_no", "gfx/new_location/no", 70);
}
