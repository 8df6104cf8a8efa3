// WidgetTestRoot.h: a small module of widget looks over a fake engine and a temporary game
// folder, with a mouse scripted frame by frame and an object controller.
//
// Module "widgets":
// - "button" and "check": 10 frames, one 40x20 face at (300, 300); the command sections
//   normal, enter, leave, over, down, up, disabled, on, off, select each show one frame of
//   their own (0..9 in that order), so the first frame of the range tells which one played;
// - "slider": 11 frames; track 0 is the 10x20 thumb, from (100, 50) in frame 0 to (300, 50)
//   in frame 10; track 1 the 210x20 area at (100, 50);
// - "flat": a slider whose thumb does not move (a track of no length).
// Module "interface": "snd_button", the button sound: its "down" section plays "click".
// Text "player_name" starts as "ANNA".
#pragma once

#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "ResourceTestRoot.h"
#include "ScriptedMouse.h"
#include "support/Utf16Text.h"

#include <memory>
#include <string>

namespace widget_test {

// The ten sections of a widget look, frame 0..9 in this order, and the button sound; other test
// scripts share them.
inline const char* const kSectionsScript = R"(
void Sections(CFResource@ res)
{
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("enter", 1, 1, 0);
    res.AddNamedPart("leave", 2, 2, 0);
    res.AddNamedPart("over", 3, 3, 0);
    res.AddNamedPart("down", 4, 4, 0);
    res.AddNamedPart("up", 5, 5, 0);
    res.AddNamedPart("disabled", 6, 6, 0);
    res.AddNamedPart("on", 7, 7, 0);
    res.AddNamedPart("off", 8, 8, 0);
    res.AddNamedPart("select", 9, 9, 0);
}
// Module "interface" with the button sound "snd_button": its "down" section plays sound 0.
void ButtonSoundModule(CFResource@ res)
{
    res.CreateModule("interface");
    res.CreateEffect("snd_button", 10, 1000);
    Sections(res);
    res.CreateObjectSfx("sound", 0);
    for (int i = 0; i < 10; i++)
        res.AddFrameSfx(0, 100, i == 4 ? 1 : 0);
}
)";

inline const std::string kScript = std::string(kSectionsScript) + R"(
void Face(CFResource@ res, const string &in name, int sprite)
{
    res.CreateEffect(name, 10, 1000);
    Sections(res);
    res.CreateObjectGfx("face", 0);
    for (int i = 0; i < 10; i++)
        res.AddFrameGfx(-1, sprite, 255, 255, 255, 255, -100, 0, 100, 100, 0, 0, 0, 0, 0, 0);
}
void Slider(CFResource@ res, const string &in name, int thumb, int area, int step)
{
    res.CreateEffect(name, 11, 1100);
    res.CreateObjectGfx("thumb", 0);
    for (int i = 0; i < 11; i++)
        res.AddFrameGfx(-1, thumb, 255, 255, 255, 255, -300 + step * i, -250, 100, 100, 0, 0, 0, 0, 1, 0);
    res.CreateObjectGfx("area", 0);
    for (int i = 0; i < 11; i++)
        res.AddFrameGfx(-1, area, 255, 255, 255, 255, -300, -250, 100, 100, 0, 0, 0, 0, 0, 0);
}
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("widgets", "gfx/widgets.png");
    int face = res.AddSprite("face", tex, 0, 0, 40, 20);
    int thumb = res.AddSprite("thumb", tex, 0, 20, 10, 20);
    int area = res.AddSprite("area", tex, 0, 40, 210, 20);
    res.AddSound("click", "sfx/click.ogg");
    res.AddTextFile("data/texts/game.txt");
    res.AddText("player_name", -1, 1, 0, 0, 0);

    res.CreateModule("widgets");
    Face(res, "button", face);
    Face(res, "check", face);
    Slider(res, "slider", thumb, area, 20);
    Slider(res, "flat", thumb, area, 0);
    ButtonSoundModule(res);
}
)";

// The section a widget's animation played last, from the frame it shows.
inline const char* SectionOf(int firstFrame)
{
    static const char* const names[] = {"normal", "enter", "leave", "over", "down",
                                        "up", "disabled", "on", "off", "select"};
    return firstFrame >= 0 && firstFrame < 10 ? names[firstFrame] : "?";
}

}  // namespace widget_test

class WidgetTestRoot : public ResourceTestRoot {
protected:
    void SetUp() override
    {
        ResourceTestRoot::SetUp();
        m_fake->AddTextureFile("gfx/widgets.png", 256, 256);
        WriteFile("data/texts/game.txt", Utf16(L"$00001= ANNA\n"));
        WriteFile("effects/effects.as", widget_test::kScript);
        m_pResource = std::make_unique<CFResource>("effects/effects.as");
        ASSERT_TRUE(m_pResource->LoadModule("widgets", -1));
        ASSERT_TRUE(m_pResource->LoadModule("interface", -1));
        m_pMouse = std::make_unique<CFMouse>();
        m_pScript = std::make_unique<ScriptedMouse>(m_fake.Get(), *m_pMouse);
        m_pController = std::make_unique<CFObjectController>(m_pMouse.get());
    }

    void TearDown() override
    {
        m_pController.reset();
        m_pScript.reset();
        m_pMouse.reset();
        m_pResource.reset();
        ResourceTestRoot::TearDown();
    }

    // One frame: the mouse at (x, y) with the action, then the controller's update.
    void Frame(float x, float y, ScriptedMouse::EAction action = ScriptedMouse::kMove, float dt = 0.02f)
    {
        m_pScript->Frame(x, y, action, 1, dt);
        m_pController->Update(dt);
    }

    // One frame in which the engine reports `key` as the key pressed this frame.
    void KeyFrame(int key, float dt = 0.02f)
    {
        m_fake->frameKey = key;
        m_pController->Update(dt);
        m_fake->frameKey = 0;
    }

    int ChannelsPlaying(const char* sound) { return m_fake->ChannelsOf(m_pResource->GetSound(sound)); }

    std::unique_ptr<CFResource> m_pResource;
    std::unique_ptr<CFMouse> m_pMouse;  // before the widgets: the slider takes the mouse singleton
    std::unique_ptr<ScriptedMouse> m_pScript;
    std::unique_ptr<CFObjectController> m_pController;
};
