// HeadlessEngine.cpp: the headless engine fixture for tests of every area.
#include "support/HeadlessEngine.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

std::function<void()> g_perFrame;
int g_nFramesLeft = 0;

bool CountedFrame()
{
    if (g_perFrame)
        g_perFrame();
    return --g_nFramesLeft <= 0;
}

}  // namespace

std::string MakeTempRoot()
{
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto dir = base / ("sol-test-" + std::to_string(device()) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(dir, error))
            return dir.string();
    }
    return std::string();
}

void RemoveTree(const std::string& hostDir)
{
    std::error_code error;
    if (!hostDir.empty())
        std::filesystem::remove_all(hostDir, error);
}

std::string BundledDataFolder()
{
    return SOL_BUNDLED_DATA_DIR;
}

bool CopyBundledData(const std::string& root)
{
    const std::filesystem::path bundled = BundledDataFolder();
    if (!std::filesystem::exists(bundled / "effects" / "effects.as") || !std::filesystem::exists(bundled / "sol_max.ini"))
        return false;
    std::error_code error;
    std::filesystem::copy(bundled, root,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          error);
    return !error;
}

std::vector<std::string> ProblemLines(const std::vector<std::string>& logLines)
{
    std::vector<std::string> problems;
    for (const std::string& line : logLines)
        if (line.rfind("[E]", 0) == 0 || line.rfind("[W]", 0) == 0 || line.rfind("[Fatal", 0) == 0)
            problems.push_back(line);
    return problems;
}

EnginePtr CreateHeadlessEngine(const std::string& root, EngineOptions options)
{
    options.headless = true;
    EngineSetOptions(options);
    fs_layer::SetRootFolder(root);
    EnginePtr engine(engine2dCreate(kEngineVersion));
    if (engine == nullptr || !engine->Initiate())
        return nullptr;
    return engine;
}

void HeadlessEngineTest::SetUp()
{
    m_root = MakeTempRoot();
    ASSERT_FALSE(m_root.empty());
    EngineSetLogHook(&HeadlessEngineTest::CaptureLog, this);
    EngineOptions options;
    AdjustOptions(options);
    m_pEngine = CreateHeadlessEngine(m_root, options);
    ASSERT_NE(m_pEngine, nullptr) << "the headless engine did not start";
}

void HeadlessEngineTest::TearDown()
{
    m_pEngine.reset();
    EngineSetLogHook(nullptr, nullptr);
    EngineSetOptions(EngineOptions());
    fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
    RemoveTree(m_root);
}

void HeadlessEngineTest::CaptureLog(const char* line, void* user)
{
    static_cast<HeadlessEngineTest*>(user)->m_logLines.emplace_back(line);
}

std::string HeadlessEngineTest::HostPath(const std::string& relPath) const
{
    return m_root + "/" + relPath;
}

void HeadlessEngineTest::WriteDataFile(const std::string& relPath, const std::string& bytes)
{
    const std::filesystem::path path = HostPath(relPath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "can't write " << path;
}

std::string HeadlessEngineTest::ReadDataFile(const std::string& relPath) const
{
    std::ifstream in(HostPath(relPath), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool HeadlessEngineTest::LogHasLine(const std::string& exactLine) const
{
    return std::find(m_logLines.begin(), m_logLines.end(), exactLine) != m_logLines.end();
}

void HeadlessEngineTest::RunFrames(int count, const std::function<void()>& perFrame)
{
    if (count <= 0)
        return;
    g_perFrame = perFrame;
    g_nFramesLeft = count;
    m_pEngine->SetState(EState::FrameFunc, &CountedFrame);
    EXPECT_TRUE(m_pEngine->RunMainLoop());
    g_perFrame = nullptr;
}

std::vector<std::uint32_t> HeadlessEngineTest::ReadTexturePixels(HTexture texture, int x, int y, int count, int rows)
{
    std::vector<std::uint32_t> pixels;
    const std::uint32_t* p = m_pEngine->TextureLock(texture, true, x, y, count, rows);
    if (p == nullptr)
        return pixels;
    const std::size_t stride = static_cast<std::size_t>(m_pEngine->TextureGetWidth(texture));
    for (std::size_t row = 0; row < static_cast<std::size_t>(rows); ++row)
        pixels.insert(pixels.end(), p + row * stride, p + row * stride + count);
    m_pEngine->TextureUnlock(texture);
    return pixels;
}

void BundledDataTest::SetUp()
{
    HeadlessEngineTest::SetUp();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(CopyBundledData(m_root)) << "the data set is made by the game_data target";
}

void BundledDataTest::KeepScreenshot(const std::string& name)
{
    const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
    if (dir != nullptr && *dir != '\0') {
        EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(dir) + "/" + name + ".png").c_str())) << name;
    }
}
