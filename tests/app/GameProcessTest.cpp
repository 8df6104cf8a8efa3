// test-cost: 30
// GameProcessTest.cpp: the program as a player or a script runs it, from the outside: the command
// line, one game per data folder, stop signals on the menu and in a level, and saves on a full disk.
#include "GameRunRoot.h"
#include "platform/SingleInstance.h"
#include "progress/CProfileStore.h"
#include "support/FileFaults.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr ScreenPoint kStorySign{190, 240}, kPlay{676, 460}, kWindowOk{400, 375};

// How long a run may take to reach what a test waits for (a frame of its script, its end): far
// more than even a busy machine needs, since the frames, not the time, decide what happens and
// a wait ends as soon as its condition holds.
constexpr seconds kRunDeadline(600);

// Every file under the folder with its bytes, to prove that a run changed nothing; the pictures
// the running game's script takes in the folder itself are the test's, not the game's.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::path relative = fs::relative(entry.path(), folder);
        if (entry.is_regular_file() && !(relative.parent_path().empty() && relative.extension() == ".png"))
            files[relative.string()] = ReadText(entry.path());
    }
    return files;
}

// A process's state letter (and parent) from /proc/PID/stat; '\0' when it is gone.
char StateOf(const std::string& pid, long* parent = nullptr)
{
    const std::string stat = ReadText("/proc/" + pid + "/stat");
    const std::size_t nameEnd = stat.rfind(')');  // the name may hold spaces and brackets
    char state = '\0';
    long ppid = 0;
    if (nameEnd == std::string::npos || std::sscanf(stat.c_str() + nameEnd + 1, " %c %ld", &state, &ppid) != 2)
        return '\0';
    if (parent != nullptr)
        *parent = ppid;
    return state;
}

bool IsRunning(pid_t pid)
{
    const char state = StateOf(std::to_string(pid));
    return state != '\0' && state != 'Z';  // a zombie has ended; nobody may reap it here
}

std::vector<pid_t> ChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        long ppid = 0;
        if (pid.find_first_not_of("0123456789") == std::string::npos && StateOf(pid, &ppid) != '\0' && ppid == parent)
            children.push_back(static_cast<pid_t>(std::stol(pid)));
    }
    return children;
}

std::string ProgramOf(pid_t pid)
{
    std::error_code error;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error).string();
}

// Runs the program on a file system without locks; a sanitized program is told that the library
// comes before its runtime on purpose. LD_PRELOAD splits at spaces, so the library is preloaded
// from a copy in `folder`, a temporary one, wherever the build tree is.
std::vector<std::string> NoFileLocks(const std::string& folder)
{
    const fs::path library = fs::path(folder) / "libno_file_locks.so";
    std::error_code error;
    fs::create_directories(folder, error);
    fs::copy_file(fs::path(GameProcess::Program()).parent_path() / "libno_file_locks.so", library,
                  fs::copy_options::overwrite_existing, error);
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {"env", "LD_PRELOAD=" + library.string(),
            "ASAN_OPTIONS=" + std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0"};
}

class GameProcessTest : public GameRunRoot {
protected:
    void SetUp() override
    {
        GameRunRoot::SetUp();
        fs::create_directories(m_root + "/run2");
    }

    // A headless run with no frame limit, its input script's frames counted from the start.
    bool StartHeadless(GameProcess& game, const std::string& script = "", const std::string& runtime = "/run",
                       const std::string& name = "game")
    {
        std::ofstream(m_root + "/" + name + ".txt") << script;
        return game.Start({"--headless", "--root", m_root, "--input", m_root + "/" + name + ".txt", "--screenshot",
                           m_root + "/" + name + ".png"},
                          m_root + runtime, Out(name), Err(name));
    }

    // For copies of the program and its preloaded library, beside the data folder, whose
    // snapshots would read them: gone with the test.
    std::string ProgramFolder() const { return m_root + "/../" + Leaf() + "-bin"; }

    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(ProgramFolder(), error);
        GameRunRoot::TearDown();
    }

    std::string Out(const std::string& name) const { return m_root + "/../" + Leaf() + "-" + name + ".out"; }
    std::string Err(const std::string& name) const { return m_root + "/../" + Leaf() + "-" + name + ".err"; }
    std::string Leaf() const { return fs::path(m_root).filename().string(); }

    bool Exists(const std::string& relative) const { return fs::exists(m_root + "/" + relative); }

    // The script's picture is written whole (its PNG trailer is there).
    bool ShotTaken(const std::string& name) const
    {
        const std::string bytes = ReadText(m_root + "/" + name + ".png");
        return bytes.size() > 12 && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
    }

    // The stop signal ends the run promptly with 0, as the exit question's yes would.
    void ExpectStoppedBy(GameProcess& game, int signal)
    {
        const GameProcess::StopCost stop = game.StopWith(signal, kRunDeadline);
        EXPECT_EQ(stop.code, 0);
        EXPECT_LT(stop.cpu.count(), StopCpuLimit(stop).count()) << "ms of processor time from the signal to the end";
        EXPECT_LT(stop.wall.count(), StopWallLimit().count()) << "ms from the signal to the end";
        CSingleInstance lock(kGameTitle, m_root);
        EXPECT_TRUE(lock.Acquire()) << "the data folder's lock is released";
    }

    // The pictures the script took, kept to look at when SOL_SCREENSHOT_DIR is set.
    void KeepShots() const
    {
        const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
        if (dir == nullptr || *dir == '\0')
            return;
        for (const auto& entry : fs::directory_iterator(m_root)) {
            if (entry.path().extension() == ".png")
                fs::copy_file(entry.path(), fs::path(dir) / entry.path().filename(), fs::copy_options::overwrite_existing);
        }
    }

    void RemoveOutputs(const std::vector<std::string>& names)
    {
        for (const std::string& name : names) {
            fs::remove(Out(name));
            fs::remove(Err(name));
        }
    }
};

}  // namespace

TEST_F(GameProcessTest, HelpAndBadOptionsEndBeforeTheDataFolderIsTouched)
{
    // A first start would convert the effect images in place and write the log and the stores.
    std::ofstream(m_root + "/config.ini") << "[System]\r\ncnv=1\r\n";
    fs::create_directories(m_root + "/empty");
    const auto before = Snapshot(m_root);
    const std::string missing = m_root + "/missing";
    const std::string big = m_root + "/../" + Leaf() + "-big.txt";  // sparse: no disk taken
    std::ofstream(big).close();
    fs::resize_file(big, kMaxInputScriptBytes + 1);
    const std::string pipe = m_root + "/../" + Leaf() + "-pipe";  // a read would wait for a writer
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string shotLink = m_root + "/../" + Leaf() + "-shot.png";  // never written through
    fs::create_symlink(m_root + "/../" + Leaf() + "-elsewhere.png", shotLink);
    const std::string help = "Try 'solitaire --help'\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string firstLine;  // of stdout for --help, of stderr otherwise
        std::string then;       // what follows the line: the usage's options (for --help), where to look
    } cases[] = {
        {{"--root", m_root, "--help"}, 0, "Usage: solitaire [options]", "usage"},
        {{"--help", "--root", m_root}, 0, "Usage: solitaire [options]", "usage"},
        {{"--root", m_root, "--bogus"}, 2, "unknown option --bogus", help},
        {{"--root", m_root, "--headless", "--frames"}, 2, "option --frames needs a value", help},
        {{"--root", m_root, "--frames", "ten"}, 2, "bad value for --frames: ten", help},
        // Empty, the root would be the program's own data folder; the files would be none.
        {{"--root", "", "--headless"}, 2, "bad value for --root: \"\"", help},
        {{"--root", m_root, "--headless", "--input", ""}, 2, "bad value for --input: \"\"", help},
        {{"--root", m_root, "--headless", "--screenshot", ""}, 2, "bad value for --screenshot: \"\"", help},
        {{"--root", m_root, "--headless", "--input", missing + ".txt"}, 2,
         "can't read input file " + missing + ".txt (No such file or directory)", ""},
        {{"--root", m_root, "--headless", "--input", m_root + "/data"}, 2,
         "can't read input file " + m_root + "/data (Is a directory)", ""},
        {{"--root", m_root, "--headless", "--input", big}, 2, "can't read input file " + big + " (larger than 16 MB)",
         ""},
        {{"--root", m_root, "--headless", "--input", pipe}, 2, "can't read input file " + pipe + " (not a regular file)",
         ""},
        {{"--root", m_root, "--headless", "--input", "/dev/zero"}, 2,
         "can't read input file /dev/zero (not a regular file)", ""},
        {{"--root", m_root, "--headless", "--screenshot", missing + "/shot.png"}, 2,
         "can't write screenshot " + missing + "/shot.png (No such file or directory)", ""},
        {{"--root", m_root, "--headless", "--screenshot", shotLink}, 2,
         "can't write screenshot " + shotLink + " (a link stands at its name)", ""},
        {{"--root", m_root, "--headless", "--screenshot", pipe}, 2, "can't write screenshot " + pipe + " (not a regular file)",
         ""},
        {{"--root", missing, "--headless"}, 2, "folder " + missing + " does not exist", ""},
        {{"--root", m_root + "/config.ini", "--headless"}, 2, m_root + "/config.ini is not a folder", ""},
        {{"--root", m_root + "/empty", "--headless"}, 1,
         "folder " + m_root + "/empty holds no game data (no effects/effects.as or sol_max.ini)", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstLine);
        GameProcess game;
        ASSERT_TRUE(game.Start(c.args, m_root + "/run", Out("cli"), Err("cli")));
        EXPECT_EQ(game.Wait(kRunDeadline), c.code);
        const std::string out = ReadText(Out("cli")), err = ReadText(Err("cli"));
        const std::string& said = c.code == 0 ? out : err;
        const std::size_t lineEnd = said.find('\n');
        EXPECT_EQ(said.substr(0, lineEnd), c.firstLine);
        EXPECT_EQ(c.code == 0 ? err : out, "");
        if (c.then != "usage") {
            EXPECT_EQ(said.substr(lineEnd + 1), c.then);
        }
        for (const char* option : {"--headless", "--frames N", "--dt SECONDS", "--input FILE", "--screenshot FILE",
                                   "--screenshot-frame N", "--root DIR", "--full-redraw"})
            EXPECT_EQ(said.find(option) != std::string::npos, c.then == "usage") << option;
        EXPECT_TRUE(Snapshot(m_root) == before) << "the data folder is byte for byte as it was";
        EXPECT_TRUE(fs::is_empty(m_root + "/empty"));
    }
    EXPECT_FALSE(fs::exists(m_root + "/../" + Leaf() + "-elsewhere.png"));
    fs::remove(big);
    fs::remove(pipe);
    fs::remove(shotLink);

    // A root this user may not search holds nothing it could open: that is what is said.
    const std::vector<std::string> asNobody = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    const std::string locked = m_root + "/locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_all);
    fs::permissions(m_root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    if (::getuid() == 0) {
        GameProcess game;
        game.runner = asNobody;
        game.program = GameProcess::CopyProgramTo(ProgramFolder());  // wherever the build tree is
        ASSERT_FALSE(game.program.empty());
        ASSERT_TRUE(game.Start({"--root", locked, "--headless"}, m_root + "/run", "/dev/null", Err("cli")));
        EXPECT_EQ(game.Wait(kRunDeadline), 2);
        EXPECT_EQ(ReadText(Err("cli")), "can't open folder " + locked + " (Permission denied)\n");
    }

    // A script refused once the engine starts (here a line of 10 MB) is said on stderr in one
    // line, and neither that line nor the log quotes more than a few hundred bytes of it.
    const std::string script = m_root + "/../" + Leaf() + "-long.txt";
    std::ofstream(script) << "1 move " << std::string(10 << 20, '7') << "\n";
    GameProcess longLine;
    ASSERT_TRUE(longLine.Start({"--root", m_root, "--headless", "--frames", "1", "--input", script}, m_root + "/run",
                               Out("cli"), Err("cli")));
    EXPECT_EQ(longLine.Wait(kRunDeadline), 1);
    const std::string err = ReadText(Err("cli"));
    EXPECT_EQ(err.rfind("bad input script, line 1: 1 move 7777", 0), 0u) << err.substr(0, 200);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_LT(err.size(), 300u);
    std::ifstream log(m_root + "/Palmora.log");
    bool told = false;
    for (std::string line; std::getline(log, line);) {
        EXPECT_LT(line.size(), 500u);
        told = told || line == "[E] Engine: " + err.substr(0, err.size() - 1);
    }
    EXPECT_TRUE(told) << ReadText(m_root + "/Palmora.log").substr(0, 1000);
    fs::remove(script);
    RemoveOutputs({"cli"});
    if (::getuid() != 0)
        GTEST_SKIP() << "the unsearchable root's case needs root to run as nobody";
}

// The README's input-script example, as it stands there, plays headless: every line it shows is
// read as the README says, and its pictures are written.
TEST_F(GameProcessTest, TheReadmesInputScriptExamplePlays)
{
    const char* source = std::getenv("SOL_SOURCE_DIR");  // set by CTest
    std::ifstream readme(std::string(source != nullptr ? source : "../../..") + "/README.md");
    std::string line, script;
    int lastFrame = 0;
    std::vector<std::string> shots;
    // The first block of the command line's section that names no language.
    for (bool section = false, fenced = false, wanted = false; std::getline(readme, line);) {
        section = section || line == "## The command line";
        if (line.rfind("```", 0) == 0) {
            if (wanted)
                break;
            fenced = !fenced;
            wanted = fenced && section && line == "```";
            continue;
        }
        if (!wanted)
            continue;
        script += line + "\n";
        std::istringstream words(line);
        int frame = 0;
        std::string event, name;
        words >> frame >> event >> name;
        lastFrame = std::max(lastFrame, frame);
        if (event == "shot")
            shots.push_back(name);
    }
    ASSERT_GT(lastFrame, 0) << "no input script in README.md's command line section";
    std::ofstream(m_root + "/readme.txt") << script;
    GameProcess game;
    ASSERT_TRUE(game.Start({"--headless", "--root", m_root, "--frames", std::to_string(lastFrame + 5), "--input",
                            m_root + "/readme.txt", "--screenshot", m_root + "/shot.png"},
                           m_root + "/run", Out("readme"), Err("readme")));
    EXPECT_EQ(game.Wait(kRunDeadline), 0) << script;
    EXPECT_EQ(ReadText(Err("readme")), "");
    EXPECT_TRUE(ShotTaken("shot"));
    for (const std::string& shot : shots)
        EXPECT_TRUE(ShotTaken(shot)) << shot;
    KeepShots();
    RemoveOutputs({"readme"});
}

// A start that can't go on ends with 1 and says why in one line on stderr, the line the log has
// too: no display for a window, a resource script that is missing, does not compile or declares
// nothing (the game would show a black window). Each way a compile fails is CFResourceTest's.
TEST_F(GameProcessTest, AStartThatCanNotGoOnSaysWhyInOneLine)
{
    const std::string script = ReadText(m_root + "/effects/effects.as");
    const std::string added = std::to_string(std::count(script.begin(), script.end(), '\n') + 1);  // the line added
    const std::string cant = "Can't compile AngelScript file effects/effects.as: line ";
    const std::vector<std::string> noDisplay = {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};
    const struct {
        const char* what;
        std::string text;  // of the resource script (none: removed)
        bool window;       // started for a window, without a display
        std::string err;   // the line, or its beginning when it ends with "..."
        std::string logged;
    } cases[] = {
        {"no display", script, true, "can't start video (...", "[E] Engine: "},
        {"a syntax error", script + "int Broken( {\n", false, cant + added + ", column 13: Expected data type",
         "[E] Resource: "},
        {"no script", "", false, "Can't load AngelScript file effects/effects.as", "[E] Resource: "},
        {"a script that declares nothing", "void LoadAnimations(CFResource@ res) {}\n", false,
         "Script effects/effects.as declares no graphics module", "[E] Resource: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(m_root + "/effects/effects.bc");
        fs::remove(m_root + "/effects/effects.as");
        if (!c.text.empty())
            std::ofstream(m_root + "/effects/effects.as", std::ios::binary) << c.text;
        GameProcess game;
        if (c.window)
            game.runner = noDisplay;
        ASSERT_TRUE(game.Start(c.window ? std::vector<std::string>{"--root", m_root}
                                        : std::vector<std::string>{"--headless", "--frames", "5", "--root", m_root},
                               m_root + "/run", Out("start"), Err("start")));
        EXPECT_EQ(game.Wait(kRunDeadline), 1);
        const std::string err = ReadText(Err("start"));
        const bool open = c.err.size() > 3 && c.err.compare(c.err.size() - 3, 3, "...") == 0;
        if (open)
            EXPECT_EQ(err.rfind(c.err.substr(0, c.err.size() - 3), 0), 0u) << err;
        else
            EXPECT_EQ(err, c.err + "\n");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(ReadText(m_root + "/Palmora.log").find(c.logged + err), std::string::npos) << err;
    }
    std::ofstream(m_root + "/effects/effects.as", std::ios::binary) << script;
    RemoveOutputs({"start"});
}

// A picture the command line asks for that can't be written (a folder took its name during the
// run, a full device or disk) is said on stderr, the run ends with 1 instead of 0, and no empty
// or partial picture is left.
TEST_F(GameProcessTest, AScreenshotThatCanNotBeWrittenIsToldAndTheRunEndsWithOne)
{
    GameProcess game;
    ASSERT_TRUE(StartHeadless(game, Shot(5, "early"), "/run", "shot"));
    ASSERT_TRUE(game.WaitUntil([&] { return ShotTaken("early"); }, kRunDeadline)) << ReadText(Err("shot"));
    fs::create_directory(m_root + "/shot.png");
    ASSERT_TRUE(game.Signal(SIGTERM));
    EXPECT_EQ(game.Wait(kRunDeadline), 1);
    EXPECT_EQ(ReadText(Err("shot")), "can't write screenshot " + m_root + "/shot.png (not a regular file)\n");

    const std::string disk = m_root + "/../" + Leaf() + "-full";
    fs::create_directories(disk);
    {
        ScopedTmpfs tmpfs(disk, 64);
        std::ofstream(disk + "/filler", std::ios::binary) << std::string(64 * 1024, 'x');  // up to the last byte
        for (const std::string& shot : {std::string("/dev/full"), disk + "/shot.png"}) {
            SCOPED_TRACE(shot);
            if (!tmpfs.IsMounted() || ::getuid() != 0)
                continue;  // a small disk needs root, and so does a device's folder
            GameProcess full;
            ASSERT_TRUE(full.Start({"--headless", "--frames", "3", "--root", m_root, "--screenshot", shot},
                                   m_root + "/run", Out("shot"), Err("shot")));
            EXPECT_EQ(full.Wait(kRunDeadline), 1);
            EXPECT_EQ(ReadText(Err("shot")), "can't write screenshot " + shot + " (No space left on device)\n");
        }
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(disk))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"filler"}) << "no empty picture, no temporary file";
    }
    fs::remove_all(disk);
    RemoveOutputs({"shot"});
}

// Two runs on one data folder, each with a runtime folder of its own: the second ends with 1 and
// writes nothing; SIGHUP ends the first on the menu with everything saved.
TEST_F(GameProcessTest, ASecondRunOnAFolderInUseEndsAndTheFirstStopsOnSighup)
{
    GameProcess first;
    ASSERT_TRUE(StartHeadless(first, Shot(MenuFrame() + 5, "menu")));
    ASSERT_TRUE(first.WaitUntil([&] { return ShotTaken("menu"); }, kRunDeadline)) << ReadText(Err("game"));
    const auto before = Snapshot(m_root);

    GameProcess second;
    ASSERT_TRUE(second.Start({"--headless", "--frames", "50", "--root", m_root}, m_root + "/run2", Out("second"),
                             Err("second")));
    EXPECT_EQ(second.Wait(kRunDeadline), 1);
    EXPECT_EQ(ReadText(Err("second")), "Palmora is already running (its lock is " + m_root + "/Palmora.lock)\n");
    const auto after = Snapshot(m_root);
    for (const auto& [name, bytes] : after) {
        EXPECT_TRUE(before.count(name) == 1 && before.at(name) == bytes) << name << " changed";
    }
    EXPECT_EQ(after.size(), before.size()) << "the second run wrote nothing";

    ExpectStoppedBy(first, SIGHUP);
    EXPECT_TRUE(Exists("data/hiscores.dat"));
    EXPECT_NE(ReadText(m_root + "/Palmora.log").find("COMPILE DATE"), std::string::npos);
    EXPECT_EQ(ReadText(Err("game")), "");
    RemoveOutputs({"game", "second"});
}

// SIGINT in a level in play: no question, the exit's saves, the lock released.
TEST_F(GameProcessTest, SigintEndsALevelInPlayAndSavesAsTheExitDoes)
{
    fs_layer::SetRootFolder(m_root);
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);
    }
    const int menu = MenuFrame();
    GameProcess game;
    ASSERT_TRUE(StartHeadless(game, Click(menu + 5, kStorySign) + Click(menu + 480, kPlay) + Shot(menu + 800, "level")));
    ASSERT_TRUE(game.WaitUntil([&] { return ShotTaken("level"); }, kRunDeadline)) << ReadText(Err("game"));
    ExpectStoppedBy(game, SIGINT);

    fs_layer::SetRootFolder(m_root);
    CProfileStore store;
    EXPECT_EQ(store.m_current.GetName(), "ANNA");
    EXPECT_EQ(store.m_current.m_bStoryLevelPlayed, 1);
    EXPECT_EQ(store.m_current.m_nCardBack, 0) << "a game screen was built";
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
    RemoveOutputs({"game"});
}

// A full disk under a level won: the save fails, the player is told in a window and on stderr,
// the old file stays whole, the game plays on from memory, and once space returns the win is
// saved (here by the exit that SIGTERM brings).
TEST_F(GameProcessTest, AWinOnAFullDiskIsToldKeptAndSavedOnceSpaceReturns)
{
    const std::string data = m_root + "/data";
    fs::copy(data, m_root + "/data-copy", fs::copy_options::recursive);
    ScopedTmpfs disk(data, 1024);
    if (!disk.IsMounted())
        GTEST_SKIP() << "no right to mount a small disk here; the stores' tests inject the failure";
    fs::copy(m_root + "/data-copy", data, fs::copy_options::recursive);
    fs_layer::SetRootFolder(m_root);
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);
    }
    const std::string saved = ReadText(data + "/save.dat");
    std::ofstream(data + "/filler", std::ios::binary) << std::string(1024 * 1024, 'x');  // up to the last byte

    // The map's first visit saves (and fails); OK; Play; the cheat code and End win the level.
    const int menu = MenuFrame();
    std::string script = Click(menu + 5, kStorySign) + Shot(menu + 200, "full_disk_window") +
                         Click(menu + 210, kWindowOk) + Click(menu + 700, kPlay);
    script += Type(menu + 1000, "BRISKORN") + Key(menu + 1040, 35) + Shot(menu + 1900, "full_disk_won");
    GameProcess game;
    ASSERT_TRUE(StartHeadless(game, script));
    ASSERT_TRUE(game.WaitUntil([&] { return ShotTaken("full_disk_won"); }, kRunDeadline)) << ReadText(Err("game"));
    const std::string line = "[E] Can't save file data\\save.dat (No space left on device)";
    EXPECT_EQ(ReadText(Err("game")), line + "\n") << "once, though the win saved again";
    EXPECT_EQ(ReadText(data + "/save.dat"), saved) << "the old file is whole";
    KeepShots();

    fs::remove(data + "/filler");
    ExpectStoppedBy(game, SIGTERM);
    fs_layer::SetRootFolder(m_root);
    CProfileStore store;
    EXPECT_EQ(store.m_current.GetName(), "ANNA");
    EXPECT_GE(store.m_current.m_storyLevels[0], 2) << "the win";
    const std::string log = ReadText(m_root + "/Palmora.log");
    EXPECT_NE(log.find(line), std::string::npos);
    EXPECT_NE(log.find("[I] File data\\save.dat saved again"), std::string::npos);
    RemoveOutputs({"game"});
}

// A data folder nobody can write: said at start on stderr and in a window over the menu; the game
// plays on and leaves every file as it was.
TEST_F(GameProcessTest, AReadOnlyDataFolderIsToldAtStartAndLeftAsItWas)
{
    fs_layer::SetRootFolder(m_root);
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);  // no new-player window: the one at the window's place is ours
    }
    const int frames = MenuFrame() + 90;  // reads the data set, and makes its cache key and cache
    const auto before = Snapshot(m_root);
    const std::string shot = m_root + "/../" + Leaf() + "-read-only.png";
    {
        ScopedReadOnlyFolder readOnly(m_root);
        if (!readOnly.IsMounted())
            GTEST_SKIP() << "no right to mount here";
        GameProcess game;
        ASSERT_TRUE(game.Start({"--headless", "--frames", std::to_string(frames), "--root", m_root, "--screenshot", shot},
                               m_root + "/run", Out("read-only"), Err("read-only")));
        EXPECT_EQ(game.Wait(kRunDeadline), 0);
        EXPECT_EQ(ReadText(Err("read-only")),
                  "[E] Folder data can't be written (Read-only file system); progress will not be kept\n"
                  "[E] Log Palmora.log can't be written (Read-only file system); this run keeps none\n");
        EXPECT_TRUE(Snapshot(m_root) == before);
    }
    fs::copy_file(shot, m_root + "/read-only.png");
    const std::uint32_t frame = ShotPixel(400, 182, "read-only");
    EXPECT_TRUE((frame >> 16 & 0xFF) > 180 && (frame & 0xFF) < 130) << std::hex << frame << ": the window's gold frame";
    fs::remove(shot);
    RemoveOutputs({"read-only"});
}

// A game killed while its resource script compiles in a child: the child holds no lock (the next
// start is not told "already running") and ends with the game instead of finishing the compile.
// A stop signal then ends the game at once as its exit does: the compile is left, not done again
// in the game (a start in a shared folder compiles every time). A compile killed from outside
// leaves the game without resources: it ends with 1 and says so.
TEST_F(GameProcessTest, AGameStoppedDuringItsScriptCompileLeavesTheFolderFreeAndTheCompileEnds)
{
    {
        std::ofstream script(m_root + "/effects/effects.as", std::ios::app);  // a compile of a second or two
        script << "\nint Pad(int y)\n{\n    int x = 0;\n";
        for (int i = 0; i < 150000; ++i)
            script << "    x = x + " << i << " * y;\n";
        script << "    return x;\n}\n";
    }
    // The game killed, the game stopped, and the compile's child killed from outside (the game
    // then has no resources: it ends with 1 and says so).
    for (const auto& [signal, atCompile] : {std::pair{SIGKILL, false}, std::pair{SIGTERM, false}, std::pair{SIGKILL, true}}) {
        SCOPED_TRACE(std::string(strsignal(signal)) + (atCompile ? " to the compile" : " to the game"));
        fs::remove(m_root + "/effects/effects.bc");
        fs::remove(m_root + "/Palmora.log");
        GameProcess game;
        ASSERT_TRUE(game.Start({"--headless", "--root", m_root}, m_root + "/run", Out("stopped"), Err("stopped")));
        // The compile's child is a copy of the game that works; a helper some library starts is a
        // copy too until it runs its own program, and works for none of it, however long a busy
        // machine keeps it waiting.
        pid_t compile = 0;
        std::string others;
        const auto compiling = [&] {
            for (const pid_t child : ChildrenOf(game.Pid())) {
                const std::string program = ProgramOf(child);
                if (program == ProgramOf(game.Pid()) && ProcCpuTime(child, false) >= milliseconds(50) && IsRunning(child))
                    return (compile = child) > 0;
                others += program + " ";
            }
            return false;
        };
        ASSERT_TRUE(game.WaitUntil(compiling, kRunDeadline))
            << "other children: " << others << "\n" << ReadText(Err("stopped")) << ReadText(m_root + "/Palmora.log");
        if (atCompile) {
            ASSERT_EQ(::kill(compile, signal), 0);
            EXPECT_EQ(game.Wait(kRunDeadline), 1);
            const std::string line = "Can't compile AngelScript file effects/effects.as: the compile was killed (signal 9, Killed)";
            EXPECT_EQ(ReadText(Err("stopped")), line + "\n");
            EXPECT_NE(ReadText(m_root + "/Palmora.log").find("[E] Resource: " + line + "\n"), std::string::npos);
        } else if (signal == SIGKILL) {
            ASSERT_TRUE(game.Signal(SIGKILL));
            EXPECT_EQ(game.Wait(kRunDeadline), -2);
        } else {
            ExpectStoppedBy(game, SIGTERM);  // a compile done again would cost seconds
            const std::string log = ReadText(m_root + "/Palmora.log");
            EXPECT_NE(log.find("[I] Resource: The compile of effects/effects.as is left: the program is asked to end"),
                      std::string::npos)
                << log;
            EXPECT_EQ(log.find("[E]"), std::string::npos) << "the start ends there, with nothing more to tell";
        }
        CSingleInstance lock(kGameTitle, m_root);
        EXPECT_TRUE(lock.Acquire()) << "the compile's child holds no lock";
        // A second while each processor has one task to run, longer on a busy machine: a compile
        // left running would take a second of its own work at least.
        const auto until = std::chrono::steady_clock::now() + StopWallLimit();
        while (IsRunning(compile) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(milliseconds(5));
        EXPECT_FALSE(IsRunning(compile)) << "the compile ends with the game";
    }
    RemoveOutputs({"stopped"});
}

// The folder's lock keeps out a second copy, and nobody else: another user who may not write the
// folder starts read-only whatever lock file is there; one who may write it but not open the lock
// is told why; a file system without locks warns once and plays.
TEST_F(GameProcessTest, TheFolderLockKeepsOutOnlyASecondCopy)
{
    const std::string readOnlyLine = "[E] Folder data can't be written (Permission denied); progress will not be kept\n"
                                     "[E] Log Palmora.log can't be written (Permission denied); this run keeps none\n";
    const std::string lockFile = m_root + "/Palmora.lock";
    const std::string noLocksLine =
        "[W] Can't lock " + lockFile + " (No locks available); a second copy of the game will not be kept out";
    const std::vector<std::string> asNobody = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    fs::create_directories(m_root + "/run-nobody");
    GameProcess probe;  // nobody may run the program, wherever the build tree is
    probe.runner = asNobody;
    probe.program = GameProcess::CopyProgramTo(ProgramFolder());
    const bool canSwitchUser = ::getuid() == 0 && ::chown((m_root + "/run-nobody").c_str(), 65534, 65534) == 0 &&
                               probe.Start({"--help"}, m_root + "/run-nobody", "/dev/null", "/dev/null") &&
                               probe.Wait(kRunDeadline) == 0;
    EXPECT_TRUE(canSwitchUser || ::getuid() != 0) << "root runs the program as nobody, wherever the build is";
    const auto rw = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                    fs::perms::others_exec;
    const struct {
        const char* what;
        bool otherUser;            // run as nobody, who does not own the folder
        int lockMode;              // the lock file before the run: -1 none, 0 as the previous run left it
        fs::perms folderMode;
        int code;
        std::string err;
    } cases[] = {
        {"no locks on this file system", false, -1, rw, 0, noLocksLine + "\n"},
        {"the owner's lock file, readable by all", true, 0, rw, 0, readOnlyLine},
        {"an older lock file private to the owner", true, 0600, rw, 0, readOnlyLine},
        {"a folder this user may write, with a lock it may not open", true, 0600, fs::perms::all, 1,
         "Palmora can't take its lock " + lockFile + " (Permission denied)\n"},
        {"no lock file", true, -1, rw, 0, readOnlyLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.otherUser && !canSwitchUser)
            continue;
        if (c.lockMode < 0)
            fs::remove(lockFile);
        else if (c.lockMode > 0)
            fs::permissions(lockFile, static_cast<fs::perms>(c.lockMode));
        fs::permissions(m_root, c.folderMode);
        const auto before = Snapshot(m_root);
        GameProcess game;
        game.runner = c.otherUser ? asNobody : NoFileLocks(ProgramFolder());
        game.program = probe.program;
        ASSERT_TRUE(game.Start({"--headless", "--frames", "5", "--root", m_root},
                               m_root + (c.otherUser ? "/run-nobody" : "/run"), Out("lock"), Err("lock")));
        EXPECT_EQ(game.Wait(kRunDeadline), c.code);
        EXPECT_EQ(ReadText(Err("lock")), c.err);
        fs::permissions(m_root, rw);
        if (c.otherUser) {
            EXPECT_TRUE(Snapshot(m_root) == before) << "the folder is byte for byte as it was";
            continue;
        }
        const std::string log = ReadText(m_root + "/Palmora.log");
        EXPECT_NE(log.find(noLocksLine + "\n"), std::string::npos);
        EXPECT_EQ(log.find(noLocksLine), log.rfind(noLocksLine)) << "once";
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_TRUE((mask & S_IROTH) != 0 || (fs::status(lockFile).permissions() & fs::perms::others_read) != fs::perms::none)
            << "the lock file is readable by all";
    }
    RemoveOutputs({"lock"});
    if (!canSwitchUser)
        GTEST_SKIP() << "the other user's cases need root and setpriv to nobody";
}
