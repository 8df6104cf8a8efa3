// test-lock: x-display
// test-cost: 10
// WindowLockTest.cpp: the lock that keeps a player to one window, with two members of a group that
// shares a data folder running the game in a real window (the tests hold the X display).
#include "SharedFolderTest.h"
#include "support/GameProcess.h"
#include "support/XDisplayHold.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// The lock that keeps a player to one window, where no runtime folder is named (su and sudo
// shells, cron, some remote sessions), with the game in a real window. Each game runs in a mount
// namespace of its own with a /tmp of its own (what the other member makes there is made there
// too) and the test's folder of homes as /home, so that runs of these tests beside each other, and
// every other user of the machine, keep their own.
class WindowLockTest : public SharedFolderTest {
protected:
    void SetUp() override
    {
        SharedFolderTest::SetUp();
        if (IsSkipped())
            return;
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || display[0] == '\0')
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(m_hold.Open()) << "the X display takes no connection";
        ShareFolder(02775);
        fs::create_directories(m_root + "/homes");
        const char* cookies = std::getenv("XAUTHORITY");  // xvfb-run's, which only root may read
        if (cookies != nullptr && cookies[0] != '\0') {
            m_cookies = m_root + "/xauthority";
            fs::copy_file(cookies, m_cookies, fs::copy_options::overwrite_existing);
            ASSERT_EQ(::chown(m_cookies.c_str(), Uid(kVictim), m_group), 0);
            ASSERT_EQ(::chmod(m_cookies.c_str(), 0600), 0);
        }
    }

    // The victim's home in the test's folder of homes, or none.
    void GiveHome(bool home) const
    {
        const std::string path = m_root + "/homes/" + kVictim;
        fs::remove_all(path);
        if (!home)
            return;
        fs::create_directory(path);
        ASSERT_EQ(::chown(path.c_str(), Uid(kVictim), m_group), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0700), 0);
    }

    // The victim's game in a window on the shared folder, with no XDG_RUNTIME_DIR, after the other
    // member has done `first` (shell commands, run as him) in the game's /tmp.
    bool StartWindowed(GameProcess& game, const std::string& first, const std::string& name)
    {
        const std::string asOther =
            std::string("setpriv --reuid=") + kOther + " --regid=" + kGroup + " --init-groups --pdeathsig KILL ";
        // The test's folders and the members' copy of the program are under the real /tmp, which
        // the game's own /tmp hides: they are reached under /mnt/tmp there.
        const std::string script =
            "set -e\n"
            "inside() { case \"$1\" in /tmp/*) echo \"/mnt$1\";; *) echo \"$1\";; esac; }\n"
            "mount -t tmpfs tmpfs /mnt && mkdir /mnt/tmp && mount --rbind /tmp /mnt/tmp\n"
            "mount -t tmpfs -o mode=1777 tmpfs /tmp\n"
            "if [ -d /mnt/tmp/.X11-unix ]; then mkdir /tmp/.X11-unix && mount --bind /mnt/tmp/.X11-unix /tmp/.X11-unix; fi\n"
            "mount --bind \"$(inside \"$HOMES\")\" /home\n"
            "OTHER='" + asOther + "'\n" + first + "\n"
            "root=$(inside \"$ROOT\")\n"
            "cookies=${COOKIES:+$(inside \"$COOKIES\")}\n"
            "program=$(inside \"$1\")\n"
            "shift\n"
            "exec env -u XDG_RUNTIME_DIR HOME=/home/" + kVictim + " ${cookies:+XAUTHORITY=$cookies} setpriv --reuid=" +
            kVictim + " --regid=" + kGroup + " --init-groups \"$program\" \"$@\" --root \"$root\"\n";
        game.runner = {"env", "HOMES=" + m_root + "/homes", "ROOT=" + m_root, "COOKIES=" + m_cookies,
                       "unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sh"};
        game.program = m_program;
        return game.Start({}, m_root + "/run-" + std::string(kVictim), Out(name), Err(name));
    }

    // Its log once the engine is up, past both locks; empty when it ended first.
    bool WaitForTheEngine(GameProcess& game)
    {
        return game.WaitUntil([&] { return ReadText(m_root + "/Palmora.log").find("COMPILE DATE") != std::string::npos; },
                              seconds(600));
    }

    std::string HomeLock() const { return m_root + "/homes/" + kVictim + "/.cache/palmora/Palmora.lock"; }

    XDisplayHold m_hold;  // the server does not start over between the games
    std::string m_cookies;
};

}  // namespace

// What the other member makes first where the lock used to go when the runtime folder was
// another's (/tmp/palmora-<uid>, then /tmp/Palmora.lock) keeps nothing from starting: a lock he
// holds there, a link he leaves there. The lock is in the victim's home, a folder of hers alone,
// where it keeps her second window out; without a home of hers she plays and is told that a
// second window is not kept out.
TEST_F(WindowLockTest, NothingAnotherMemberMakesFirstKeepsTheGameFromStarting)
{
    const std::string squat = "$OTHER mkdir /tmp/palmora-" + std::to_string(Uid(kVictim)) + "\n";
    const std::string hold = "$OTHER sh -c 'exec 9>>/tmp/Palmora.lock && flock -n 9 && touch /tmp/held && exec sleep 600' &\n"
                             "while [ ! -e /tmp/held ]; do sleep 0.05; done\n";
    const struct {
        const char* what;
        std::string first;  // what the other member does first
        bool home;          // the victim has a home of her own
        std::string err;    // the start's stderr, or its beginning when it ends with "..."
    } cases[] = {
        {"nothing made first", "", true, ""},
        {"his runtime folder and a lock he holds", squat + hold, true, ""},
        {"his runtime folder and a link at the lock's name", squat + "$OTHER ln -s /tmp/elsewhere /tmp/Palmora.lock\n",
         true, ""},
        {"no home of hers", squat + hold, false,
         "[W] No folder of this user's own holds the window's lock (no XDG_RUNTIME_DIR; /run/user/" +
             std::to_string(Uid(kVictim)) + ": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GiveHome(c.home);
        fs::remove(m_root + "/Palmora.log");
        GameProcess game;
        ASSERT_TRUE(StartWindowed(game, c.first, "window"));
        ASSERT_TRUE(WaitForTheEngine(game)) << ReadText(Err("window"));
        EXPECT_EQ(fs::exists(HomeLock()), c.home);
        if (c.home) {
            EXPECT_EQ(OwnerOf(HomeLock()), Uid(kVictim));
            EXPECT_EQ(ModeOf(m_root + "/homes/" + kVictim + "/.cache/palmora"), 0700u);
            GameProcess second;  // her second window
            ASSERT_TRUE(StartWindowed(second, "", "second"));
            EXPECT_EQ(second.Wait(seconds(600)), 1);
            EXPECT_EQ(ReadText(Err("second")), "Palmora is already running (its lock is /home/" + std::string(kVictim) +
                                                   "/.cache/palmora/Palmora.lock)\n");
        }
        const GameProcess::StopCost stop = game.StopWith(SIGTERM, seconds(600));
        EXPECT_EQ(stop.code, 0);
        const std::string err = ReadText(Err("window"));
        if (c.err.empty())
            EXPECT_EQ(err, "");
        else
            EXPECT_EQ(err.rfind(c.err, 0), 0u) << err;
        EXPECT_EQ(err.find("a second window of the game will not be kept out") == std::string::npos, c.home) << err;
    }
    fs::remove(Out("window"));
    fs::remove(Err("window"));
    fs::remove(Out("second"));
    fs::remove(Err("second"));
}
