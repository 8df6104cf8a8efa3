// A small screen built the way the game builds its screens: widgets from a graphics module,
// handlers bound as member delegates, one object controller. It runs on the real engine,
// headless, and is driven by scripted input.
#include "framework/CFButton.h"
#include "framework/CFCheckBox.h"
#include "framework/CFEdit.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/CFScreen.h"
#include "framework/CFSlider.h"
#include "framework/TraceEvent.h"
#include "support/HeadlessEngine.h"
#include "support/Utf16Text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Module "demo": an OK button at (300, 300) 40x20, a check box at (300, 350) 40x20, a slider
// whose 10x20 thumb runs from (100, 50) to (300, 50); the name text starts as "ANNA".
const char* const kDemoScript = R"(
void Sections(CFResource@ res)
{
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("down", 2, 2, 0);
    res.AddNamedPart("on", 3, 3, 0);
    res.AddNamedPart("off", 4, 4, 0);
}
void Face(CFResource@ res, const string &in name, int sprite, float y)
{
    res.CreateEffect(name, 5, 500);
    Sections(res);
    res.CreateObjectGfx("face", 0);
    for (int i = 0; i < 5; i++)
        res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, -100, y, 100, 100, 0, 0, 0, 0, 0, 0);
}
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("demo", "gfx/demo.tga");
    int face = res.AddSprite("face", tex, 0, 0, 40, 20);
    int thumb = res.AddSprite("thumb", tex, 0, 20, 10, 20);
    int area = res.AddSprite("area", tex, 0, 40, 210, 20);
    res.AddTextFile("data/texts/demo.txt");
    res.AddText("player_name", -1, 1, 0, 0, 0);

    res.CreateModule("demo");
    Face(res, "bt_ok", face, 0);
    Face(res, "cb_sound", face, 50);
    res.CreateEffect("sl_volume", 11, 1100);
    res.CreateObjectGfx("thumb", 0);
    for (int i = 0; i < 11; i++)
        res.AddFrameGfx(-1, thumb, 255, 255, 255, 255, -300 + 20 * i, -250, 100, 100, 0, 0, 0, 0, 1, 0);
    res.CreateObjectGfx("area", 0);
    for (int i = 0; i < 11; i++)
        res.AddFrameGfx(-1, area, 255, 255, 255, 255, -300, -250, 100, 100, 0, 0, 0, 0, 0, 0);
}
)";

// A 64x64 32-bit TGA, top row first, every pixel opaque grey.
std::string GreyTga()
{
    std::string tga(18, '\0');
    tga[2] = 2;                                    // uncompressed true colour
    tga[12] = 64;                                  // width
    tga[14] = 64;                                  // height
    tga[16] = 32;                                  // bits per pixel
    tga[17] = 0x28;                                // top-left origin, 8 alpha bits
    for (int i = 0; i < 64 * 64; ++i)
        tga += std::string("\x80\x80\x80\xFF", 4);  // B G R A
    return tga;
}

// The demonstration screen: it owns its widgets and binds their events to its handlers.
class CDemoScreen : public CFScreen {
public:
    explicit CDemoScreen(CFResource* res)
    {
        m_ok.SetResource(res);
        m_ok.AddAnimation("demo", "bt_ok");
        m_ok.SetEnterKey(true);
        m_ok.OnClick += MakeDelegate(this, &CDemoScreen::OnOk);

        m_sound.SetResource(res);
        m_sound.AddAnimation("demo", "cb_sound");
        m_sound.SetChecked(false);
        m_sound.OnClick += MakeDelegate(this, &CDemoScreen::OnSound);

        m_name.SetResource(res);
        m_name.SetRect(100, 200, 120, 20);
        m_name.SetTextKey("player_name");

        m_volume.SetResource(res);
        m_volume.AddAnimation("demo", "sl_volume");
        m_volume.OnDragEnd += MakeDelegate(this, &CDemoScreen::OnVolume);

        for (CFObject* widget : {static_cast<CFObject*>(&m_ok), static_cast<CFObject*>(&m_sound),
                                 static_cast<CFObject*>(&m_name), static_cast<CFObject*>(&m_volume)})
            GetController()->Add(widget);
        OnUpdate += MakeDelegate(this, &CDemoScreen::OnFrame);
    }

    ~CDemoScreen() override
    {
        for (CFObject* widget : {static_cast<CFObject*>(&m_ok), static_cast<CFObject*>(&m_sound),
                                 static_cast<CFObject*>(&m_name), static_cast<CFObject*>(&m_volume)})
            GetController()->Remove(widget);
    }

    int okClicks = 0;
    bool soundOn = false;
    float volume = -1;
    int lastEditKey = 0;
    CFEdit& Name() { return m_name; }

private:
    void OnOk(CFObject*, int button)
    {
        if (button != 1)
            return;
        ++okClicks;
        TraceEvent(m_clock, std::wstring(L"demoOk"));
    }
    void OnSound(CFObject*, int button)
    {
        if (button == 1)
            soundOn = m_sound.IsChecked();
    }
    void OnVolume(CFObject*) { volume = m_volume.GetValue(); }
    void OnFrame(float dt)
    {
        m_clock += dt;
        if (const int key = m_name.TakeLastKey())
            lastEditKey = key;
    }

    CFButton m_ok;
    CFCheckBox m_sound;
    CFEdit m_name;
    CFSlider m_volume;
    double m_clock = 0;
};

class DemoScreenTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        WriteDataFile("gfx/demo.tga", GreyTga());
        WriteDataFile("data/texts/demo.txt", Utf16(L"$00001= ANNA\n"));
        WriteDataFile("effects/demo.as", kDemoScript);
        m_pResource.reset(new CFResource("effects/demo.as"));
        ASSERT_TRUE(m_pResource->LoadModule("demo", -1));
        m_pMouse = std::make_unique<CFMouse>();
        m_pScreen = std::make_unique<CDemoScreen>(m_pResource.get());
    }

    void TearDown() override
    {
        m_pScreen.reset();
        m_pMouse.reset();
        m_pResource.reset();
        HeadlessEngineTest::TearDown();
    }

    // Frames as the game runs them: mouse, screen update, then the screen drawn in a scene.
    void Run(int frames)
    {
        RunFrames(frames, [this] {
            const float dt = m_pEngine->GetDelta();
            m_pMouse->Update(dt);
            m_pScreen->Update(dt);
            if (m_pEngine->BeginScene(0)) {
                m_pScreen->Render();
                m_pEngine->EndScene();
            }
        });
    }

    struct ResourceReleaser {
        void operator()(CFResource* res) const { res->Release(); }
    };
    std::unique_ptr<CFResource, ResourceReleaser> m_pResource;
    std::unique_ptr<CFMouse> m_pMouse;
    std::unique_ptr<CDemoScreen> m_pScreen;
};

}  // namespace

TEST_F(DemoScreenTest, ScriptedInputDrivesEveryWidget)
{
    ASSERT_TRUE(EngineQueueInput(
        "1 move 310 310\n2 down 1\n3 up 1\n"              // click OK
        "5 move 310 360\n6 down 1\n7 up 1\n"              // tick the check box
        "9 move 105 60\n10 down 1\n11 move 155 60\n"      // drag the volume thumb...
        "12 move 205 60\n13 move 205 400\n14 up 1\n"      // ...and let go off the slider
        "16 keydown 66\n16 keyup 66\n17 keydown 79\n17 keyup 79\n"
        "18 keydown 8\n18 keyup 8\n"                      // type B, O, Backspace
        "20 keydown 13\n20 keyup 13\n"));                  // Enter presses OK
    Run(24);

    EXPECT_EQ(m_pScreen->okClicks, 2);
    EXPECT_TRUE(m_pScreen->soundOn);
    EXPECT_NEAR(m_pScreen->volume, 0.5f, 1e-5f);
    EXPECT_EQ(m_pScreen->Name().GetText(), "ANNAB");
    EXPECT_EQ(std::wstring(m_pResource->GetText("player_name")), L"ANNAB");
    EXPECT_EQ(m_pScreen->lastEditKey, kVkEnter);
    // The demo's text entry has no font; nothing else may complain.
    for (const std::string& line : LogLines())
        if (line.rfind("[E] ", 0) == 0 || line.rfind("[W] ", 0) == 0) {
            EXPECT_EQ(line, "[E] Resource: AddText: font index -1 out of range");
        }
}

TEST_F(DemoScreenTest, DisabledInputIgnoresTheMouseButKeepsTheKeyboard)
{
    m_pScreen->DisableInput();
    ASSERT_TRUE(EngineQueueInput("1 move 310 310\n2 down 1\n3 up 1\n5 keydown 90\n5 keyup 90\n"));
    Run(6);
    EXPECT_EQ(m_pScreen->okClicks, 0);
    EXPECT_EQ(m_pScreen->Name().GetText(), "ANNAZ");  // edits poll the keyboard on every update
}
