// CGlobalOptionsTest.cpp: the options popups on the bundled data: volumes that act while the
// sliders move, the display flags, the changes that wait for the next start, and the keys.
#include "screens/CGlobalOptions.h"

#include "BundledDataRoot.h"
#include "app/TestScreens.h"
#include "framework/CFCheckBox.h"
#include "framework/CFFrameImage.h"
#include "framework/CFSlider.h"
#include "screens/CDialogInformation.h"
#include "screens/COptionsMenu2.h"

#include <gtest/gtest.h>

namespace {

class CGlobalOptionsTest : public BundledDataRoot {
protected:
    void SetUp() override
    {
        BundledDataRoot::SetUp();
        if (HasFatalFailure())
            return;
        g_pProfileStore->NewPlayer("ANNA", true);
        g_bModeSwitchAllowed = true;
        m_pTop = new TestScreen(m_log, "top");
        g_pScreenManager->SwitchTo(m_pTop, true, true);
        Frames(40);
    }

    void TearDown() override
    {
        g_bModeSwitchAllowed = true;
        BundledDataRoot::TearDown();
    }

    CGlobalOptions* Open()
    {
        auto* options = CGlobalOptions::Create();
        EXPECT_TRUE(CSlideInPopup::Attach(m_pTop, options));
        Frames(60);  // slid in, and the first music fade is over
        return options;
    }

    // Drags the slider's thumb by dx pixels.
    void Drag(const CFSlider& slider, int dx)
    {
        const CFObject& thumb = *slider.GetThumb();
        const int x = static_cast<int>(thumb.GetX() + thumb.GetWidth() / 2);
        const int y = static_cast<int>(thumb.GetY() + thumb.GetHeight() / 2);
        std::string script = "1 move " + std::to_string(x) + " " + std::to_string(y) + "\n2 down 1\n";
        for (int i = 1; i <= 5; ++i)
            script += std::to_string(2 + i) + " move " + std::to_string(x + dx * i / 5) + " " + std::to_string(y) + "\n";
        script += "9 up 1\n";
        Play(script, 10);
    }

    const PlayerRecord& Record() const { return g_pProfileStore->m_current; }
    float FadeLeft() const { return CSoundManager::GetInstance()->GetFadeTimeLeft(); }

    ScreenLog m_log;
    TestScreen* m_pTop = nullptr;
};

TEST_F(CGlobalOptionsTest, VolumesFollowTheSlidersAndOnlyMusicOrAmbienceFadesTheMusic)
{
    CGlobalOptions* options = Open();
    EXPECT_TRUE(options->GetWindowObject()->IsVisible());
    Screenshot("options");
    ASSERT_FLOAT_EQ(FadeLeft(), 0.0f);
    Drag(*options->GetSlider(CGlobalOptions::kEffects), -400);
    EXPECT_EQ(Record().m_nEffectVolume, 0);
    EXPECT_FLOAT_EQ(FadeLeft(), 0.0f) << "the effects alone never restart the music fade";
    Drag(*options->GetSlider(CGlobalOptions::kMusic), -100);
    EXPECT_LT(Record().m_nMusicVolume, 60);
    EXPECT_GT(FadeLeft(), 0.0f);
    Frames(40);
    Drag(*options->GetSlider(CGlobalOptions::kAmbient), 400);
    EXPECT_EQ(Record().m_nAmbientVolume, 100);
    EXPECT_GT(FadeLeft(), 0.0f);
    Screenshot("options_moved");
    ExpectNoProblems();
}

TEST_F(CGlobalOptionsTest, FlagsActAtOnceUnlessFittedAndFittingWaitsForTheNextStart)
{
    CProfileStore& store = *g_pProfileStore;
    store.m_bFullScreen = 0;
    CGlobalOptions* options = Open();
    EXPECT_FALSE(options->GetBox(CGlobalOptions::kFitToDesktop)->IsEnabled()) << "no fitting in a window";
    Click(*options->GetBox(CGlobalOptions::kFitToDesktop));
    EXPECT_EQ(store.m_nPendingFit, 0);

    Click(*options->GetBox(CGlobalOptions::kCustomCursor));
    EXPECT_EQ(store.m_bSoftwareCursor, 1);
    EXPECT_TRUE(m_pMouse->IsSoftwareCursor());
    Click(*options->GetBox(CGlobalOptions::kSpecialEffects));
    EXPECT_EQ(store.m_bHighDetail, 0);
    Click(*options->GetBox(CGlobalOptions::kFullScreen));
    EXPECT_EQ(store.m_bFullScreen, 1);
    Frames(1);
    EXPECT_TRUE(options->GetBox(CGlobalOptions::kFitToDesktop)->IsEnabled());

    // The first change of fitting asks for a restart; later clicks only flip what waits.
    Click(*options->GetBox(CGlobalOptions::kFitToDesktop), 40);
    EXPECT_EQ(store.m_nPendingFit, 1);
    ASSERT_NE(dynamic_cast<CDialogInformation*>(options->GetChild()), nullptr);
    Screenshot("options_restart");
    PressKey(kVkEnter);
    EXPECT_EQ(options->GetChild(), nullptr);
    Click(*options->GetBox(CGlobalOptions::kFitToDesktop));
    EXPECT_EQ(store.m_nPendingFit, -1);
    EXPECT_EQ(options->GetChild(), nullptr);
    EXPECT_EQ(store.m_bFitToDesktop, 0);

    // Full screen while fitted waits as well: odd clicks turn it off at the next start.
    store.m_bFitToDesktop = 1;
    for (int click = 1; click <= 3; ++click) {
        Click(*options->GetBox(CGlobalOptions::kFullScreen), 40);
        EXPECT_EQ(store.m_nPendingFullScreen, click % 2 == 1 ? -1 : 1);
        if (options->GetChild() != nullptr)
            PressKey(kVkEnter);
    }
    EXPECT_EQ(store.m_bFullScreen, 1);

    g_bModeSwitchAllowed = false;  // a desktop no larger than the view
    Frames(1);
    EXPECT_FALSE(options->GetBox(CGlobalOptions::kFullScreen)->IsEnabled());
    EXPECT_FALSE(options->GetBox(CGlobalOptions::kFitToDesktop)->IsEnabled());
    ExpectNoProblems();
}

TEST_F(CGlobalOptionsTest, EscapeWaitsHalfASecondAndEnterClosesAtOnce)
{
    struct Case {
        const char* name;
        bool small;  // the smaller options screen
        int key;
        int framesBefore;
        bool closes;
    };
    const Case cases[] = {
        {"Escape at once", false, kVkEscape, 10, false},
        {"Escape later", false, kVkEscape, 40, true},
        {"Enter", false, kVkEnter, 40, true},
        {"small: Escape at once", true, kVkEscape, 10, false},
        {"small: Escape later", true, kVkEscape, 40, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScreenBase* options = c.small ? static_cast<CScreenBase*>(COptionsMenu2::Create()) : CGlobalOptions::Create();
        ASSERT_TRUE(CSlideInPopup::Attach(m_pTop, options));
        Frames(c.framesBefore);
        if (c.small && c.closes)
            Screenshot("options_small");
        PressKey(c.key);
        EXPECT_EQ(m_pTop->GetChild() == nullptr, c.closes);
        m_pTop->SetChild(nullptr, true, true);
        Frames(1);
    }
    ExpectNoProblems();
}

}  // namespace
