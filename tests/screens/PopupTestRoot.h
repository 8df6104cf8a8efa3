// PopupTestRoot.h: a small module of popup windows over a fake engine, a scripted mouse and an
// opener screen, for the popup base and the dialogs.
//
// Module "dialogs" (every window slides in 3 frames over 0.3 s, from 100 pixels above the centre):
// - "bt_yes", "bt_no", "bt_ok": 40 x 20 button faces with the ten widget sections;
// - "move_ask" (parts "bt_yes" and "bt_no"), "move_info" (part "bt_ok"), "move_bare" (no part),
//   each with its "_p2"; "move_info_p2" has a second track whose part "glow" loops.
// Module "interface": "snd_button", whose "down" section plays "click".
#pragma once

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "app/TestScreens.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/ResourceTestRoot.h"
#include "framework/ScriptedMouse.h"
#include "framework/WidgetTestRoot.h"

#include <memory>

namespace popup_test {

inline const std::string kScript = std::string(widget_test::kSectionsScript) + R"(
void Face(CFResource@ res, const string &in name, int sprite, float x)
{
    res.CreateEffect(name, 10, 1000);
    Sections(res);
    res.CreateObjectGfx("face", 0);
    for (int i = 0; i < 10; i++)
        res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, x, 40, 100, 100, 0, 0, 0, 0, 0, 0);
}
// A window sliding down to the centre, its track 0 carrying the given parts.
void Window(CFResource@ res, const string &in name, int panel, const string &in part1, const string &in part2)
{
    res.CreateEffect(name, 3, 300);
    res.CreateObjectGfx("buttons", 0);
    if (part1 != "")
        res.SubstituteAnimation("dialogs", part1);
    if (part2 != "")
        res.SubstituteAnimation("dialogs", part2);
    for (int f = 0; f < 3; f++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, -100 + 50 * f, 100, 100, 0, 0, 0, 0, 1, 0);
    res.CreateObjectGfx("panel", 0);
    for (int f = 0; f < 3; f++)
        res.AddFrameGfx(-1, panel, 255, 255, 255, 255, -100, -150 + 50 * f, 100, 100, 0, 0, 0, 0, 0, 0);
}
void Shadow(CFResource@ res, const string &in name, int panel, bool glow)
{
    res.CreateEffect(name, 3, 300);
    res.CreateObjectGfx("shadow", 0);
    for (int f = 0; f < 3; f++)
        res.AddFrameGfx(-1, panel, 80, 0, 0, 0, -96, -146 + 50 * f, 100, 100, 0, 0, 0, 0, -1, 0);
    if (!glow)
        return;
    res.CreateObjectGfx("glow", 0);
    res.SubstituteAnimation("dialogs", "glow");
    for (int f = 0; f < 3; f++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 2, 0);
}
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("dialogs", "gfx/dialogs.png");
    int face = res.AddSprite("face", tex, 0, 0, 40, 20);
    int panel = res.AddSprite("panel", tex, 0, 20, 200, 100);
    res.AddSound("click", "sfx/click.ogg");

    res.CreateModule("dialogs");
    Face(res, "bt_yes", face, -60);
    Face(res, "bt_no", face, 20);
    Face(res, "bt_ok", face, -20);
    res.CreateEffect("glow", 4, 400);
    res.CreateObjectGfx("light", 0);
    for (int f = 0; f < 4; f++)
        res.AddFrameGfx(-1, face, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 3, 0);
    Window(res, "move_ask", panel, "bt_yes", "bt_no");
    Shadow(res, "move_ask_p2", panel, false);
    Window(res, "move_info", panel, "bt_ok", "");
    Shadow(res, "move_info_p2", panel, true);
    Window(res, "move_bare", panel, "", "");
    Shadow(res, "move_bare_p2", panel, false);
    ButtonSoundModule(res);
}
)";

}  // namespace popup_test

// The opener is a plain test screen; popups are attached to it and driven through its frames.
class PopupTestRoot : public ResourceTestRoot {
protected:
    static constexpr float kFrame = 0.02f;

    void SetUp() override
    {
        ResourceTestRoot::SetUp();
        m_fake->AddTextureFile("gfx/dialogs.png", 256, 256);
        WriteFile("effects/effects.as", popup_test::kScript);
        m_pMouse = std::make_unique<CFMouse>();
        m_pScript = std::make_unique<ScriptedMouse>(m_fake.Get(), *m_pMouse);
        g_pResource = new CFResource("effects/effects.as");
        ASSERT_TRUE(g_pResource->LoadModule("dialogs", -1));
        ASSERT_TRUE(g_pResource->LoadModule("interface", -1));
        m_pOpener = new TestScreen(m_log, "opener");
    }

    void TearDown() override
    {
        if (m_pOpener != nullptr)
            m_pOpener->Release();
        g_pResource->Release();
        g_pResource = nullptr;
        m_pScript.reset();
        m_pMouse.reset();
        ResourceTestRoot::TearDown();
    }

    // One frame of the program: the mouse (at (x, y), with the action), the key pressed in this
    // frame, then the opener's update and drawing (which reach its popup).
    void Frame(float x = 0, float y = 0, ScriptedMouse::EAction action = ScriptedMouse::kMove, int key = 0)
    {
        m_pScript->Frame(x, y, action, 1, kFrame);
        if (key != 0)
            m_fake->frameKey = key;
        m_pOpener->Update(kFrame);
        m_pOpener->Render();
        m_fake->frameKey = 0;
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }

    void KeyFrame(int key) { Frame(0, 0, ScriptedMouse::kMove, key); }

    // Presses and releases the left button at the centre of the object.
    void Click(const CFObject& object)
    {
        const float x = object.GetX() + object.GetWidth() / 2;
        const float y = object.GetY() + object.GetHeight() / 2;
        Frame(x, y);
        Frame(x, y, ScriptedMouse::kPress);
        Frame(x, y, ScriptedMouse::kRelease);
    }

    ScreenLog m_log;
    std::unique_ptr<CFMouse> m_pMouse;
    std::unique_ptr<ScriptedMouse> m_pScript;
    TestScreen* m_pOpener = nullptr;
};
