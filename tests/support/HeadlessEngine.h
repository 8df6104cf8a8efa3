// HeadlessEngine.h: the real engine, started headless for tests (offscreen video, dummy audio,
// fixed 1/60 s frames) over a temporary root folder of its own, with every log line captured.
//
// Use the fixture `HeadlessEngineTest`, or `CreateHeadlessEngine` for a bare engine. The fixture
// holds one engine reference; code under test that takes its own references gets the same engine.
#pragma once

#include "platform/Engine.h"
#include "platform/EngineRef.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

std::string MakeTempRoot();                  // a new empty folder under the system's temp folder
void RemoveTree(const std::string& hostDir);

// The data set as the build makes it (target game_data), which no game run writes to: the folder
// beside the programs is where the game plays, so it may hold a player's saves, log and cache.
std::string BundledDataFolder();
// Copies the bundled data set into a test's root folder; false when it is not built.
bool CopyBundledData(const std::string& root);
// The lines that report a problem: "[E]", "[W]" and "[Fatal Error]".
std::vector<std::string> ProblemLines(const std::vector<std::string>& logLines);

// Sets the root folder and the options (headless forced on) and returns an initiated engine,
// or null. `options.inputScript` etc. may be set by the caller.
EnginePtr CreateHeadlessEngine(const std::string& root, EngineOptions options = EngineOptions());

class HeadlessEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Override to change the options (an input script, a screenshot) before the engine starts.
    virtual void AdjustOptions(EngineOptions& /*options*/) {}

    std::string HostPath(const std::string& relPath) const;  // relPath under the root folder
    void WriteDataFile(const std::string& relPath, const std::string& bytes);
    std::string ReadDataFile(const std::string& relPath) const;  // empty when missing
    bool LogHasLine(const std::string& exactLine) const;
    const std::vector<std::string>& LogLines() const { return m_logLines; }
    void ClearLog() { m_logLines.clear(); }

    // Runs `count` frames of the engine's loop; `perFrame` (may be empty) runs inside each frame.
    void RunFrames(int count, const std::function<void()>& perFrame = {});
    // Reads back `count` pixels from x of a texture's row `y` and of the `rows` - 1 rows below it
    // (ARGB, row after row) in one lock, which reads the whole texture; empty on failure.
    std::vector<std::uint32_t> ReadTexturePixels(HTexture texture, int x, int y, int count, int rows = 1);

    std::string m_root;
    EnginePtr m_pEngine;

private:
    static void CaptureLog(const char* line, void* user);
    std::vector<std::string> m_logLines;
};

// A headless engine over a copy of the bundled data set, for tests of what the game ships.
class BundledDataTest : public HeadlessEngineTest {
protected:
    void SetUp() override;
    std::vector<std::string> ProblemLines() const { return ::ProblemLines(LogLines()); }
    // Keeps the last drawn frame as "<name>.png" in the folder SOL_SCREENSHOT_DIR names, if any:
    // pictures to look at, not to compare.
    void KeepScreenshot(const std::string& name);
};
