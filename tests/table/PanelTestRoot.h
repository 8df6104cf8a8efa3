// PanelTestRoot.h: a small in-game panel for the rules panel and move indicator tests, over a fake
// engine, a temporary game folder, a scripted mouse and a profile store.
//
// Module "interface": "panel", whose track 0 holds "scroll_interface_top" (track 0: the light
// "move_indicator_light", sections "on" 0..4 and "off" 5..9, a 20x10 sprite) and
// "scroll_interface_bottom" (track 1: the slide "move_rules_window_1" and the text "text_rules");
// "snd_button", the button sound.
// Module "rules": slides "move_rules_window_1", "_2", "_31" (sections "show_small" 0..4 and
// "show_big" 5..9) with the rules button "window_rul" > "window_rules" > "bt_rules" (a 40x20
// face, sections "normal" and "animation"); texts "rules_1_short" (a link @b04 on "AB"),
// "rules_1_long" (the same text, and a part "link_05" with a "question_mark"), "text_mess_1" and
// "text_mess_12"; the learn button "bt_learn" (a face, then its part "but_light" on track 1).
#pragma once

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/FontFileBuilder.h"
#include "framework/ResourceTestRoot.h"
#include "framework/ScriptedMouse.h"
#include "progress/CProfileStore.h"
#include "support/Utf16Text.h"
#include "table/GameMode.h"
#include "table/IGameController.h"

#include <memory>
#include <string>
#include <vector>

namespace panel_test {

inline const char* const kScript = R"(
void Frames(CFResource@ res, int count, int text, int sprite, float x, float y)
{
    for (int i = 0; i < count; i++)
        res.AddFrameGfx(text, sprite, 255, 255, 255, 255, x, y, 100, 100, 0, 0, 0, 0, 0, 0);
}
void Holder(CFResource@ res, const string &in name, const string &in inner, float x, float y)
{
    res.CreateEffect(name, 1, 100);
    res.CreateObjectGfx("holder", 0);
    res.SubstituteAnimation("rules", inner);
    Frames(res, 1, -1, -1, x, y);
}
void Slide(CFResource@ res, const string &in name)
{
    res.CreateEffect(name, 10, 1000);
    res.AddNamedPart("show_small", 0, 4, 0);
    res.AddNamedPart("show_big", 5, 9, 0);
    res.CreateObjectGfx("window", 0);
    res.SubstituteAnimation("rules", "window_rul");
    Frames(res, 10, -1, -1, 0, 0);
}
void Text(CFResource@ res, const string &in name, int text)
{
    res.CreateEffect(name, 4, 400);
    res.AddNamedPart("show", 0, 3, 0);
    res.AddNamedPart("hide", 0, 3, 0);
    res.CreateObjectGfx("text", 0);
    Frames(res, 4, text, -1, 0, 0);
}
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("ui", "gfx/ui.png");
    int face = res.AddSprite("face", tex, 0, 0, 40, 20);
    int light = res.AddSprite("light", tex, 0, 20, 20, 10);
    int font = res.AddFont("font1", "data/fonts/test.fgchst11");
    res.AddTextFile("data/texts/game.txt");
    res.AddText("rules_text", font, 1, 0, 0, 2);
    res.AddText("mess_text", font, 2, 0, 0, 2);

    res.CreateModule("rules");
    res.CreateEffect("bt_rules", 5, 500);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("animation", 1, 4, 0);
    res.CreateObjectGfx("face", 0);
    Frames(res, 5, -1, face, 0, 0);
    Holder(res, "window_rules", "bt_rules", 10, 20);
    Holder(res, "window_rul", "window_rules", 0, 0);
    Slide(res, "move_rules_window_1");
    Slide(res, "move_rules_window_2");
    Slide(res, "move_rules_window_31");
    res.CreateEffect("text_rules", 1, 100);
    res.CreateObjectGfx("text", 0);
    Frames(res, 1, -1, -1, 0, 0);
    Text(res, "rules_1_short", 0);
    Text(res, "rules_1_long", 0);
    res.CreateObjectGfx("link", 0);
    res.SubstituteAnimation("rules", "link_05");
    Frames(res, 4, -1, -1, 0, 100);
    Text(res, "text_mess_1", 1);
    Text(res, "text_mess_12", 1);
    res.CreateEffect("question_mark", 1, 100);
    res.AddNamedPart("normal", 0, 0, 0);
    res.CreateObjectGfx("face", 0);
    Frames(res, 1, -1, face, 0, 0);
    Holder(res, "link_05", "question_mark", 0, 0);
    res.CreateEffect("but_light", 4, 400);
    res.CreateObjectGfx("light", 0);
    Frames(res, 4, -1, light, 0, 0);
    res.CreateEffect("bt_learn", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("show", 1, 1, 0);
    res.CreateObjectGfx("face", 0);
    Frames(res, 2, -1, face, 0, 250);
    res.CreateObjectGfx("light", 0);
    res.SubstituteAnimation("rules", "but_light");
    Frames(res, 2, -1, -1, 0, 250);

    res.CreateModule("interface");
    res.CreateEffect("snd_button", 1, 100);
    res.AddNamedPart("normal", 0, 0, 0);
    res.CreateObjectGfx("none", 0);
    Frames(res, 1, -1, -1, 0, 0);
    res.CreateEffect("move_indicator_light", 10, 1000);
    res.AddNamedPart("on", 0, 4, 0);
    res.AddNamedPart("off", 5, 9, 0);
    res.CreateObjectGfx("light", 0);
    Frames(res, 10, -1, light, 0, 0);
    res.CreateEffect("scroll_interface_top", 1, 100);
    res.CreateObjectGfx("lamp", 0);
    res.SubstituteAnimation("interface", "move_indicator_light");
    Frames(res, 1, -1, -1, 100, -250);
    res.CreateEffect("scroll_interface_bottom", 1, 100);
    res.CreateObjectGfx("menu", 0);
    Frames(res, 1, -1, -1, 0, 0);
    res.CreateObjectGfx("rules", 0);
    res.SubstituteAnimation("rules", "move_rules_window_1");
    res.SubstituteAnimation("rules", "text_rules");
    Frames(res, 1, -1, -1, 0, -100);
    res.CreateEffect("panel", 1, 100);
    res.CreateObjectGfx("scrolls", 0);
    res.SubstituteAnimation("interface", "scroll_interface_top");
    res.SubstituteAnimation("interface", "scroll_interface_bottom");
    Frames(res, 1, -1, -1, 0, 0);
}
)";

}  // namespace panel_test

// Records what the rules panel and the move indicator ask of the controller.
class RecordingController : public IGameController {
public:
    CCardTable* GetTable() const override { return table; }
    unsigned GetMode() const override { return mode; }
    bool IsReplaying() const override { return replaying; }
    bool IsModal() const override { return modal; }
    bool IsPanelPlaying() const override { return panelPlaying; }
    bool RequestInfoWindow(int kind, float, int) override
    {
        windows.push_back(kind);
        return acceptWindows;
    }
    bool IsHintDeferred() const override { return hintDeferred; }
    void SetHintDeferred(bool deferred) override { hintDeferred = deferred; }
    void SetAutoHintTimer(float seconds) override { autoHintTimers.push_back(seconds); }
    float GetAutoHintDelay() const override { return 7.5f; }
    void ShowHint() override { ++hints; }
    void StartLearn() override { ++learnStarts; }
    float ShowPlaceFire(int type) override
    {
        fireTypes.push_back(type);
        return fireSeconds;
    }

    CCardTable* table = nullptr;
    unsigned mode = kModeStory;
    bool replaying = false, modal = false, panelPlaying = false, acceptWindows = true, hintDeferred = false;
    std::vector<int> windows;
    std::vector<float> autoHintTimers;
    int hints = 0, learnStarts = 0;
    std::vector<int> fireTypes;
    float fireSeconds = 3.0f;
};

class PanelTestRoot : public ResourceTestRoot {
protected:
    void SetUp() override
    {
        ResourceTestRoot::SetUp();
        m_fake->AddTextureFile("gfx/ui.png", 256, 256);
        m_fake->AddTextureFile("data/fonts/test_000.png", 64, 64);
        WriteFile("data/fonts/test.fgchst11", BuildFont(StandardGlyphs()));
        WriteFile("data/texts/game.txt", Utf16(L"$00001= A @b04AB. A\n$00002= BA\n"));
        WriteFile("effects/effects.as", panel_test::kScript);
        m_pResource = std::make_unique<CFResource>("effects/effects.as");
        ASSERT_TRUE(m_pResource->LoadModule("rules", -1));
        ASSERT_TRUE(m_pResource->LoadModule("interface", -1));
        g_pResource = m_pResource.get();
        m_pStore = std::make_unique<CProfileStore>();
        g_pProfileStore = m_pStore.get();
        m_pMouse = std::make_unique<CFMouse>();
        m_pMouse->SetResource(m_pResource.get());
        for (int shape = 0; shape < 3; ++shape)
            m_pMouse->SetShapeInfo(shape, "interface", "snd_button");  // any effect: only the shape is read
        m_pScript = std::make_unique<ScriptedMouse>(m_fake.Get(), *m_pMouse);
        m_pPanelGroup = std::make_unique<CFAnimationGroup>();
        m_pPanel = std::make_unique<CFAnimationInstance>(m_pPanelGroup.get(), 400.0f, 300.0f);
        ASSERT_TRUE(m_pPanel->LoadEffect(m_pResource.get(), "interface", "panel"));
        m_pPanel->SetVisible(true);
        m_pPanel->SetPlayParts(false);
        m_pPanelGroup->Update(0.0f);
    }

    void TearDown() override
    {
        m_pPanel.reset();
        m_pPanelGroup.reset();
        m_pScript.reset();
        m_pMouse.reset();
        g_pProfileStore = nullptr;
        m_pStore.reset();
        g_pResource = nullptr;
        m_pResource.reset();
        ResourceTestRoot::TearDown();
    }

    PlayerRecord& Player() { return m_pStore->m_current; }

    std::unique_ptr<CFResource> m_pResource;
    std::unique_ptr<CProfileStore> m_pStore;
    std::unique_ptr<CFMouse> m_pMouse;
    std::unique_ptr<ScriptedMouse> m_pScript;
    std::unique_ptr<CFAnimationGroup> m_pPanelGroup;
    std::unique_ptr<CFAnimationInstance> m_pPanel;
    RecordingController m_controller;
};
