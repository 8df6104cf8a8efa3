// The engine with a real window on an X display (CI runs the tests under Xvfb).
#include "platform/FileSystem.h"
#include "support/HeadlessEngine.h"

#include <cstdlib>

namespace {

int g_nFrames = 0;
int g_nRestores = 0;
bool CountRestore()
{
    ++g_nRestores;
    return false;
}
bool DrawThreeFrames()
{
    IEngine* engine = engine2dCreate(kEngineVersion);
    engine->BeginScene();
    engine->Clear(0xFF102030);
    EngineQuad quad;
    const float xs[4] = {0, 100, 100, 0}, ys[4] = {0, 0, 100, 100};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = xs[i];
        quad.v[i].y = ys[i];
        quad.v[i].col = 0xFFFFFF00;
    }
    engine->RenderQuad(quad);
    engine->EndScene();
    engine->Release();
    return ++g_nFrames == 3;
}

TEST(RealWindow, OpensDrawsPresentsAndClosesOnTheDisplay)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        GTEST_SKIP() << "no X display";
    const std::string root = MakeTempRoot();
    fs_layer::SetRootFolder(root);
    EngineSetOptions(EngineOptions());
    {
        EnginePtr engine(engine2dCreate(kEngineVersion));
        ASSERT_NE(engine, nullptr);
        engine->SetState(EState::Title, "Palmora test");
        engine->SetState(EState::Windowed, true);
        engine->SetState(EState::FrameFunc, &DrawThreeFrames);
        ASSERT_TRUE(engine->Initiate());
        EXPECT_FALSE(engine->IsHeadless());
        int width = 0, height = 0, bpp = 0;
        engine->GetDesktopSize(width, height, bpp);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_TRUE(engine->RunMainLoop());
        EXPECT_EQ(g_nFrames, 3);
        ASSERT_TRUE(engine->SaveScreenshot((root + "/shot.png").c_str()));
        const HTexture shot = engine->TextureLoad("shot.png");
        ASSERT_NE(shot, 0u);
        const std::uint32_t* p = engine->TextureLock(shot, true, 50, 50, 60, 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[0], 0xFFFFFF00u);
        EXPECT_EQ(p[59], 0xFF102030u);
        engine->TextureUnlock(shot);

        // Switching to full screen and back rebuilds like a display reset: the game is told.
        engine->SetState(EState::RestoreFunc, &CountRestore);
        engine->SetState(EState::Windowed, false);
        EXPECT_EQ(engine->GetState(EState::Windowed), 0);
        engine->SetState(EState::Windowed, true);
        EXPECT_EQ(g_nRestores, 2);
        g_nFrames = 0;
        EXPECT_TRUE(engine->RunMainLoop());
        engine->Shutdown();
    }
    fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
    RemoveTree(root);
}

}  // namespace
