// effects.as: the resource script's shared part. tools/gen_script.py writes the game's
// "effects/effects.as" from this file, then every data/effects/modules/*.as in name order, then a
// LoadAnimations that calls DeclareShared and each module file's Declare_<file name> in that order.
//
// Declarations only: nothing here loads a picture (sounds and the text file excepted). The game
// addresses table rows by the index that their Add call gave, in declaration order, so the
// helpers below count the rows whose Add method returns nothing and hand their index back.
//
// To add a graphics module, create data/effects/modules/<name>.as with
//     void Declare_<name>(CFResource@ res) { res.CreateModule("<name>"); ... }
// and declare its textures and sprites there. Texts go in data/texts/*.txt and are named here.

// ---- Fonts (made by tools/gen_fonts.py from data/fonts/fonts.txt) ------------------------------
int g_fontMain = -1;
int g_fontSmall = -1;
int g_fontBold = -1;
int g_fontTitle = -1;

// ---- Row counters for the Add methods that return nothing --------------------------------------
int g_textCount = 0;
int g_soundCount = 0;
int g_psiCount = 0;

int AddNamedText(CFResource@ res, const string &in name, int font, int number, int lineSpacing,
                 int letterSpacing, int alignment)
{
    res.AddText(name, font, number, lineSpacing, letterSpacing, alignment);
    return g_textCount++;
}

int AddNamedSound(CFResource@ res, const string &in name, const string &in file)
{
    res.AddSound(name, file);
    return g_soundCount++;
}

int AddNamedPsi(CFResource@ res, const string &in name, const string &in file)
{
    res.AddPsiFile(name, file);
    return g_psiCount++;
}

// Alignment of texts, as the font draws them.
const int ALIGN_CENTRE = 0;
const int ALIGN_RIGHT = 1;
const int ALIGN_LEFT = 2;

// ---- Particles (made by tools/gen_psi.py from data/particles/particles.ini) --------------------
int g_psiSparkle = -1;
int g_psiTrail = -1;
int g_psiRain = -1;
int g_psiBurst = -1;
int g_texParticles = -1;
int g_sprParticleDot = -1;
int g_sprParticleStar = -1;

// ---- Texts (data/texts/*.txt) -------------------------------------------------------------------
int g_textVersion = -1;
int g_textPlayer = -1;
int g_textLoading = -1;
int g_textPreviewName = -1;  // "preview_name": the level under the mouse, on the story map and the classic selection

void DeclareShared(CFResource@ res)
{
    g_fontMain = res.AddFont("font1", "data/fonts/font1.fgchst11");
    g_fontSmall = res.AddFont("font_small", "data/fonts/font_small.fgchst11");
    g_fontBold = res.AddFont("font_bold", "data/fonts/font_bold.fgchst11");
    g_fontTitle = res.AddFont("font_title", "data/fonts/font_title.fgchst11");

    res.AddTextFile("data/texts/game.txt");
    g_textVersion = AddNamedText(res, "version", g_fontSmall, 1, 0, 0, ALIGN_LEFT);
    g_textPlayer = AddNamedText(res, "profile_player", g_fontBold, 2, 0, 0, ALIGN_CENTRE);
    g_textLoading = AddNamedText(res, "loading", g_fontMain, 3, 0, 0, ALIGN_CENTRE);
    g_textPreviewName = AddNamedText(res, "preview_name", g_fontBold, -1, 0, 0, ALIGN_CENTRE);

    g_psiSparkle = AddNamedPsi(res, "sparkle", "gfx/particles/sparkle.psi");
    g_psiTrail = AddNamedPsi(res, "trail", "gfx/particles/trail.psi");
    g_psiRain = AddNamedPsi(res, "rain", "gfx/particles/rain.psi");
    g_psiBurst = AddNamedPsi(res, "burst", "gfx/particles/burst.psi");
    g_texParticles = res.AddTexture("particles", "gfx/particles/particles.png");
    g_sprParticleDot = res.AddSprite("particle_dot", g_texParticles, 0, 0, 32, 32);
    g_sprParticleStar = res.AddSprite("particle_star", g_texParticles, 32, 0, 32, 32);
}
