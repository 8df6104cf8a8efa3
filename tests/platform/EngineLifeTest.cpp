// The engine's life: references, start-up options, the headless loop, the log and randomness.
#include "platform/FileSystem.h"
#include "support/HeadlessEngine.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

std::string ReadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Sets an environment variable (null: removes it) for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name), m_bHad(std::getenv(name) != nullptr)
    {
        m_old = m_bHad ? std::getenv(name) : "";
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_bHad ? setenv(m_name.c_str(), m_old.c_str(), 1) : unsetenv(m_name.c_str()); }

private:
    std::string m_name, m_old;
    bool m_bHad;
};

class EngineLife : public ::testing::Test {
protected:
    void SetUp() override { m_root = MakeTempRoot(); }
    void TearDown() override
    {
        EngineSetOptions(EngineOptions());
        fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
        RemoveTree(m_root);
    }
    std::string m_root;
};

TEST_F(EngineLife, OnlyTheKnownVersionIsServed)
{
    EXPECT_EQ(engine2dCreate(0x152), nullptr);
    EXPECT_EQ(engine2dCreate(0), nullptr);
}

TEST_F(EngineLife, LastReleaseShutsDownAndANewEngineStartsCleanly)
{
    HTexture previous = 0;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        EnginePtr engine = CreateHeadlessEngine(m_root);
        ASSERT_NE(engine, nullptr);
        IEngine* second = engine2dCreate(kEngineVersion);
        EXPECT_EQ(second, engine.get());  // one engine per process
        second->Release();                // not the last reference: still running
        const HTexture tex = engine->TextureCreate(4, 4);
        EXPECT_NE(tex, 0u);
        EXPECT_NE(tex, previous);         // not even a new engine reuses a handle
        previous = tex;
        ASSERT_TRUE(engine->BeginScene());
        engine->Clear(0xFF00FF00);
        engine->EndScene();
    }
}

int g_nFrames = 0;
bool CountingFrame()
{
    ++g_nFrames;
    IEngine* engine = engine2dCreate(kEngineVersion);
    // Each frame fills the screen with its own colour: frame n is red n * 10.
    engine->BeginScene();
    engine->Clear(0xFF000000u | static_cast<std::uint32_t>(g_nFrames * 10) << 16);
    engine->EndScene();
    const bool stop = g_nFrames == 100;
    engine->Release();
    return stop;
}

TEST_F(EngineLife, HeadlessRunStopsAfterTheFramesAndShootsTheChosenFrame)
{
    const struct {
        int frames, shotFrame, expectedFrames, expectedRed;
    } cases[] = {{5, 3, 5, 30}, {5, 0, 5, 50}, {0, 0, 100, 1000 % 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + " frames, shot " + std::to_string(c.shotFrame));
        EngineOptions options;
        options.frames = c.frames;
        options.screenshotFile = m_root + "/shot.png";
        options.screenshotFrame = c.shotFrame;
        EnginePtr engine = CreateHeadlessEngine(m_root, options);
        ASSERT_NE(engine, nullptr);
        g_nFrames = 0;
        engine->SetState(EState::FrameFunc, &CountingFrame);
        EXPECT_TRUE(engine->RunMainLoop());
        EXPECT_EQ(g_nFrames, c.expectedFrames);
        EXPECT_FLOAT_EQ(engine->GetDelta(), 1.0f / 60.0f);
        EXPECT_NEAR(engine->GetTime(), c.expectedFrames / 60.0f, 1e-3);
        const HTexture shot = engine->TextureLoad((m_root + "/shot.png").c_str());
        ASSERT_NE(shot, 0u);
        const std::uint32_t* p = engine->TextureLock(shot, true, 10, 10, 1, 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(*p, 0xFF000000u | static_cast<std::uint32_t>(c.expectedRed) << 16);
        engine->TextureUnlock(shot);
    }
}

TEST_F(EngineLife, CommandLineOptionsAreTakenOutOfArgv)
{
    char a0[] = "solitaire", a1[] = "--headless", a2[] = "--frames", a3[] = "12", a4[] = "--level",
         a5[] = "--dt", a6[] = "0.05", a7[] = "--input", a8[] = "in.txt", a9[] = "--screenshot", a10[] = "s.png",
         a11[] = "--screenshot-frame", a12[] = "7", a13[] = "--root", a14[] = "/tmp/x", a15[] = "last";
    char* argv[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, nullptr};
    int argc = 16;
    ASSERT_TRUE(EngineParseCommandLine(argc, argv));
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[1], "--level");
    EXPECT_STREQ(argv[2], "last");
    EXPECT_EQ(argv[3], nullptr);
    const EngineOptions& options = EngineGetOptions();
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.frames, 12);
    EXPECT_FLOAT_EQ(options.dt, 0.05f);
    EXPECT_EQ(options.inputFile, "in.txt");
    EXPECT_EQ(options.screenshotFile, "s.png");
    EXPECT_EQ(options.screenshotFrame, 7);
    EXPECT_EQ(fs_layer::GetRootFolder(), "/tmp/x");

    const std::vector<std::vector<const char*>> bad = {
        {"p", "--frames"}, {"p", "--frames", "x"}, {"p", "--frames", "-1"}, {"p", "--dt", "0"}, {"p", "--dt", "1e9"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(std::string(args[1]) + " " + (args.size() > 2 ? args[2] : ""));
        std::vector<char*> v;
        std::vector<std::string> store(args.begin(), args.end());
        for (std::string& s : store)
            v.push_back(&s[0]);
        v.push_back(nullptr);
        int n = static_cast<int>(store.size());
        EXPECT_FALSE(EngineParseCommandLine(n, v.data()));
    }
}

TEST_F(EngineLife, LogFileIsTruncatedWhenChosenAndGetsOneLinePerCall)
{
    {
        std::ofstream(m_root + "/palmora.log") << "old run\n";
    }
    EnginePtr engine = CreateHeadlessEngine(m_root);
    ASSERT_NE(engine, nullptr);
    engine->SetState(EState::LogFile, "Palmora.log");
    engine->Log("[I] Image {%s}, loaded with code {%d}", "a.png", 0);
    engine->Log("COMPILE DATE: %s", "Jun 20 2006");
    EXPECT_EQ(ReadHostFile(m_root + "/palmora.log"), "[I] Image {a.png}, loaded with code {0}\nCOMPILE DATE: Jun 20 2006\n");
}

TEST_F(EngineLife, AWindowWithNoDisplayToShowItOnIsAFailedStart)
{
    // No X display and no Wayland socket: SDL would settle for a driver that shows nothing.
    const ScopedEnv display("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", m_root.c_str());
    fs_layer::SetRootFolder(m_root);
    EngineSetOptions(EngineOptions());
    std::vector<std::string> lines;
    EngineSetLogHook([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                     &lines);
    EnginePtr engine(engine2dCreate(kEngineVersion));
    engine->SetState(EState::Windowed, true);
    EXPECT_FALSE(engine->Initiate());
    engine.reset();
    EngineSetLogHook(nullptr, nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("[E] Engine: can't start video (", 0), 0u) << lines[0];
}

TEST_F(EngineLife, RandomNumbersStayInBoundsAndRepeatForASeed)
{
    EnginePtr engine = CreateHeadlessEngine(m_root);
    ASSERT_NE(engine, nullptr);
    engine->RandomSeed(1234);
    std::vector<int> first;
    bool seenMin = false, seenMax = false;
    for (int i = 0; i < 1000; ++i) {
        const int value = engine->RandomInt(-2, 3);
        ASSERT_GE(value, -2);
        ASSERT_LE(value, 3);
        seenMin = seenMin || value == -2;
        seenMax = seenMax || value == 3;
        first.push_back(value);
        const float f = engine->RandomFloat(0.5f, 1.5f);
        ASSERT_GE(f, 0.5f);
        ASSERT_LE(f, 1.5f);
    }
    EXPECT_TRUE(seenMin && seenMax);  // both bounds are included
    engine->RandomSeed(1234);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(engine->RandomInt(-2, 3), first[i]);
        engine->RandomFloat(0.5f, 1.5f);
    }
    EXPECT_EQ(engine->RandomInt(5, 5), 5);
    EXPECT_EQ(engine->RandomInt(9, 1), 9);  // an empty range gives its minimum, not a division by zero
    const int wide = engine->RandomInt(INT32_MIN, INT32_MAX);
    (void)wide;
}

TEST_F(EngineLife, ResourceLoadReadsAWholeFileByGamePath)
{
    EnginePtr engine = CreateHeadlessEngine(m_root);
    ASSERT_NE(engine, nullptr);
    std::ofstream(m_root + "/effects.as") << "void LoadAnimations(CFResource@ r) {}";
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(engine->ResourceLoad("EFFECTS.AS", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "void LoadAnimations(CFResource@ r) {}");
    EXPECT_FALSE(engine->ResourceLoad("none.as", bytes));
}

}  // namespace
