// test-lock: x-display
// test-cost: 80
// The game program itself on the X display (CI runs the tests under Xvfb at 1024x768, with no
// window manager and no sound device): full screen as a player starts it (as `make play` does),
// up to the main menu with the first start's new-player window, a second start, and the stop
// signals that end it on the menu and in a level.
#include "app/GameMain.h"
#include "platform/FileSystem.h"
#include "platform/ImageCodec.h"
#include "platform/SingleInstance.h"
#include "progress/CProfileStore.h"
#include "support/GameProcess.h"
#include "support/HeadlessEngine.h"
#include "support/TempPath.h"
#include "support/XDisplayHold.h"
#include "support/XPointer.h"
#include "support/XScreenShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Starts the game with its stderr going to a file.
bool StartGame(GameProcess& game, const fs::path& root, const fs::path& errors)
{
    return game.Start({"--root", root.string()}, (root.parent_path() / "run").string(), "/dev/null", errors.string());
}

// SIGTERM, SIGINT or SIGHUP ends the game promptly with 0, its data folder unlocked.
void ExpectStoppedBy(GameProcess& game, int signal, const fs::path& root)
{
    const GameProcess::StopCost stop = game.StopWith(signal, std::chrono::seconds(30));
    EXPECT_EQ(stop.code, 0);
    EXPECT_LT(stop.cpu.count(), StopCpuLimit(stop).count()) << "ms of processor time from the signal to the end";
    EXPECT_LT(stop.wall.count(), StopWallLimit().count()) << "ms from the signal to the end";
    CSingleInstance lock(kGameTitle, root.string());
    EXPECT_TRUE(lock.Acquire()) << "the data folder's lock is released";
}

struct ViewPoint {
    int x, y;
};

// A place of the 800 x 600 view on the full-screen X screen (scaled evenly and centred).
ViewPoint OnScreen(const XScreenShot& shot, int x, int y)
{
    const double scale = std::min(shot.width / 800.0, shot.height / 600.0);
    return {static_cast<int>((shot.width - 800 * scale) / 2 + x * scale),
            static_cast<int>((shot.height - 600 * scale) / 2 + y * scale)};
}

std::uint32_t ViewPixel(const XScreenShot& shot, int x, int y)
{
    const ViewPoint at = OnScreen(shot, x, y);
    return shot.At(at.x, at.y);
}

// Clicks the view's place and then watches the screen until `done` holds, clicking again every
// 10 s: a click during a fade is not taken, and one during the map's opening only hurries it
// along. False after four minutes.
template <typename Done>
bool ClickUntil(XPointer& pointer, XScreenShot& shot, ViewPoint place, Done done)
{
    for (int attempt = 0; attempt < 480; ++attempt) {
        if (attempt % 20 == 0) {
            const ViewPoint at = OnScreen(shot, place.x, place.y);
            pointer.Click(at.x, at.y);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (GrabXScreen(shot) && done())
            return true;
    }
    return false;
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

// The main menu stands with the first start's new-player window over it: the window's gold frame
// at its top and left edges, where the full-screen view (800 x 600 scaled evenly onto the screen
// and centred) puts them, and the menu's dark bar of planks below.
bool MainMenuShown(XScreenShot& shot)
{
    if (!GrabXScreen(shot))
        return false;
    const double scale = std::min(shot.width / 800.0, shot.height / 600.0);
    const int left = static_cast<int>((shot.width - 800 * scale) / 2), top = static_cast<int>((shot.height - 600 * scale) / 2);
    auto gold = [&](int x, int y) {
        const std::uint32_t rgb = shot.At(left + static_cast<int>(x * scale), top + static_cast<int>(y * scale));
        return (rgb >> 16 & 0xFF) > 180 && (rgb & 0xFF) < 130;
    };
    const std::uint32_t bar = shot.At(left + static_cast<int>(400 * scale), top + static_cast<int>(590 * scale));
    return gold(400, 182) && gold(192, 312) && (bar >> 16 & 0xFF) < 60 && (bar & 0xFF) < 90;
}

// Keeps the picture to look at when SOL_SCREENSHOT_DIR is set.
void KeepShot(const XScreenShot& shot, const char* name)
{
    const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0' || shot.rgb.empty())
        return;
    std::vector<std::uint32_t> argb(shot.rgb.size());
    for (std::size_t i = 0; i < argb.size(); ++i)
        argb[i] = 0xFF000000u | shot.rgb[i];
    EXPECT_TRUE(image_codec::WritePng(std::string(dir) + "/" + name + ".png", shot.width, shot.height, argb.data()));
}

}  // namespace

TEST(GameWindow, FullScreenCoversTheDisplayAndASecondStartSaysWhereTheLockIs)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        GTEST_SKIP() << "no X display";
    XDisplayHold hold;  // the server does not start over between the two games, nor under them
    ASSERT_TRUE(hold.Open()) << "the X display takes no connection";
    const fs::path root = fs::path(UniqueTempPath("palmora-game-window"));
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(BundledDataFolder(), root / "game", fs::copy_options::recursive);
    fs::create_directories(root / "run");
    ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);

    GameProcess first;
    ASSERT_TRUE(StartGame(first, root / "game", root / "first.err"));
    XScreenShot shot;
    bool covered = false;
    for (int attempt = 0; attempt < 120 && !covered && first.Wait(std::chrono::milliseconds(0)) == -1; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        covered = ViewCoversTheScreen(shot);
    }
    EXPECT_TRUE(covered);
    if (!covered && !shot.rgb.empty()) {
        ADD_FAILURE() << "corners " << std::hex << shot.At(0, 0) << " " << shot.At(shot.width - 1, shot.height - 1)
                      << ", centre " << shot.At(shot.width / 2, shot.height / 2);
    }
    bool menu = false;
    // Loading takes some 3 s; a busy machine is slower.
    for (int attempt = 0; attempt < 480 && !menu && first.Wait(std::chrono::milliseconds(0)) == -1; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        menu = MainMenuShown(shot);
    }
    KeepShot(shot, "game_window_main_menu");
    EXPECT_TRUE(menu) << "the main menu with the new-player window";

    GameProcess second;
    ASSERT_TRUE(StartGame(second, root / "game", root / "second.err"));
    EXPECT_EQ(second.Wait(std::chrono::seconds(120)), 1);
    EXPECT_EQ(ReadText(root / "second.err"),
              "Palmora is already running (its lock is " + (root / "run" / "Palmora.lock").string() + ")\n");

    EXPECT_EQ(first.Wait(std::chrono::milliseconds(0)), -1) << "the first one runs on";
    ExpectStoppedBy(first, SIGTERM, root / "game");
    EXPECT_TRUE(fs::exists(root / "game" / "data" / "hiscores.dat")) << "saved as the exit saves";
    // No sound device here, yet the game's stderr stayed empty: its one log line says so.
    EXPECT_EQ(ReadText(root / "first.err"), "");
    EXPECT_NE(ReadText(root / "game" / "Palmora.log").find("[W] Engine: no audio device"), std::string::npos);
    std::error_code error;
    fs::remove_all(root, error);
}

// A level in play in the real window: SIGINT ends it without the exit question, with the exit's
// saves. The clicks come through the X server, as a player's would.
TEST(GameWindow, SigintEndsALevelInPlayWithoutAQuestion)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        GTEST_SKIP() << "no X display";
    XDisplayHold hold;  // waits out a start-over of the server left by the previous test
    ASSERT_TRUE(hold.Open()) << "the X display takes no connection";
    XPointer pointer(hold);
    if (!pointer.Open())
        GTEST_SKIP() << "no X test extension to click with";
    const fs::path root = fs::path(UniqueTempPath("palmora-game-window-level"));
    fs::remove_all(root);
    fs::create_directories(root / "run");
    fs::copy(BundledDataFolder(), root / "game", fs::copy_options::recursive);
    fs_layer::SetRootFolder((root / "game").string());
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);  // the menu opens without the new-player window
    }

    GameProcess game;
    ASSERT_TRUE(StartGame(game, root / "game", root / "game.err"));
    XScreenShot shot;
    bool menu = false;
    for (int attempt = 0; attempt < 480 && !menu && game.Wait(std::chrono::milliseconds(0)) == -1; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::uint32_t bar = GrabXScreen(shot) ? shot.At(shot.width / 2, shot.height - 8) : 0xFFFFFF;
        menu = (bar >> 16 & 0xFF) < 60 && (bar & 0xFF) < 90 && shot.At(shot.width / 2, shot.height / 4) != 0;
    }
    ASSERT_TRUE(menu) << "the main menu";
    // Clicks wait for what they lead to, since a busy machine slows the game down: the story sign
    // to the map with its green Play button, Play to the table with its top bar of planks.
    auto playShown = [&] {
        const std::uint32_t rgb = ViewPixel(shot, 605, 445);
        return (rgb >> 8 & 0xFF) > 120 && (rgb >> 16 & 0xFF) < 110;
    };
    auto tableShown = [&] {
        const std::uint32_t rgb = ViewPixel(shot, 400, 30);
        return (rgb >> 16 & 0xFF) > 60 && (rgb >> 16 & 0xFF) < 160 && (rgb & 0xFF) < 90;
    };
    EXPECT_TRUE(ClickUntil(pointer, shot, {190, 240}, playShown)) << "the story map";
    EXPECT_TRUE(ClickUntil(pointer, shot, {676, 460}, tableShown)) << "a level";
    KeepShot(shot, "game_window_level");
    ExpectStoppedBy(game, SIGINT, root / "game");

    fs_layer::SetRootFolder((root / "game").string());
    {
        CProfileStore store;  // it saves when it goes: before the root folder is given back
        EXPECT_EQ(store.m_current.m_bStoryLevelPlayed, 1) << "a level was started";
        EXPECT_EQ(store.m_current.m_nCardBack, 0) << "a game screen was built";
    }
    EXPECT_EQ(ReadText(root / "game.err"), "");
    fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
    std::error_code error;
    fs::remove_all(root, error);
}
