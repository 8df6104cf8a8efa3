// test-lock: x-display
// The game program itself on the X display (CI runs the tests under Xvfb at 1024x768, with no
// window manager and no sound device): full screen as a player starts it, and a second start.
#include "app/GameMain.h"
#include "platform/http/ChildProcess.h"
#include "support/XScreenShot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Starts the game with its stderr going to a file (exec keeps the shell out of the way).
bool StartGame(http_layer::ChildProcess& game, const fs::path& root, const fs::path& errors)
{
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "solitaire";
    return game.Start("/bin/sh", {"-c", "exec \"$0\" --root \"$1\" 2> \"$2\"", program.string(), root.string(),
                                  errors.string()});
}

// The X screen once the game's view covers it: the centre and all four corners show the view
// (the menu's sky and sea, lit), not the black root window around a window that stayed small.
bool ViewCoversTheScreen(XScreenShot& shot)
{
    if (!GrabXScreen(shot))
        return false;
    return shot.At(shot.width / 2, shot.height / 2) != 0 && shot.At(0, 0) != 0 && shot.At(shot.width - 1, 0) != 0 &&
           shot.At(0, shot.height - 1) != 0 && shot.At(shot.width - 1, shot.height - 1) != 0;
}

}  // namespace

TEST(GameWindow, FullScreenCoversTheDisplayAndASecondStartSaysWhereTheLockIs)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        GTEST_SKIP() << "no X display";
    const fs::path root = fs::temp_directory_path() / "palmora-game-window";
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(fs::read_symlink("/proc/self/exe").parent_path() / "data", root / "game", fs::copy_options::recursive);
    fs::create_directories(root / "run");
    ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);

    http_layer::ChildProcess first;
    ASSERT_TRUE(StartGame(first, root / "game", root / "first.err"));
    XScreenShot shot;
    bool covered = false;
    for (int attempt = 0; attempt < 40 && !covered && first.IsRunning(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        covered = ViewCoversTheScreen(shot);
    }
    EXPECT_TRUE(covered);
    if (!covered && !shot.rgb.empty()) {
        ADD_FAILURE() << "corners " << std::hex << shot.At(0, 0) << " " << shot.At(shot.width - 1, shot.height - 1)
                      << ", centre " << shot.At(shot.width / 2, shot.height / 2);
    }

    http_layer::ChildProcess second;
    ASSERT_TRUE(StartGame(second, root / "game", root / "second.err"));
    EXPECT_EQ(second.Wait(30000), http_layer::ChildProcess::WaitResult::Exited);
    EXPECT_EQ(second.ExitCode(), 1);
    EXPECT_EQ(ReadText(root / "second.err"),
              "Palmora is already running (its lock is " + (root / "run" / "Palmora.lock").string() + ")\n");

    EXPECT_TRUE(first.IsRunning());
    first.Kill();
    // No sound device here, yet the game's stderr stayed empty: its one log line says so.
    EXPECT_EQ(ReadText(root / "first.err"), "");
    EXPECT_NE(ReadText(root / "game" / "Palmora.log").find("[W] Engine: no audio device"), std::string::npos);
    std::error_code error;
    fs::remove_all(root, error);
}
