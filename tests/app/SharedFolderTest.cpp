// test-lock: x-display
// test-cost: 30
// SharedFolderTest.cpp: a data folder that a group shares (writable by the group and setgid, the
// usual way to share game data between accounts), with the game run as whole processes by two
// members: what one member puts in the folder never makes the other's game write through a link,
// take a hard link to her file as her own, open what a swapped name leads to, run byte code that
// it did not make, or keep her window from starting (the window tests hold the X display).
#include "GameRunRoot.h"
#include "platform/bytes/SipHash.h"
#include "support/GameProcess.h"
#include "support/XDisplayHold.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Two accounts in one group, made where they are missing (the tests run as root), and a data
// folder that the group shares: writable by the group and setgid, the usual way to share game
// data between accounts. Each member runs the game as a whole process, at the usual umask 022.
class SharedFolderTest : public GameRunRoot {
protected:
    static constexpr const char* kGroup = "solshare";
    static constexpr const char* kVictim = "solmember1";
    static constexpr const char* kOther = "solmember2";

    void SetUp() override
    {
        GameRunRoot::SetUp();
        if (::getuid() != 0)
            GTEST_SKIP() << "the accounts and the runs as them need root";
        if (!MakeAccounts())
            GTEST_SKIP() << "no accounts " << kVictim << " and " << kOther << " in group " << kGroup;
        fs::remove(m_root + "/effects/effects.bc");
        fs::remove(m_root + "/data/cache.key");
        for (const char* user : {kVictim, kOther}) {
            const std::string run = m_root + "/run-" + user;
            fs::create_directories(run);
            ASSERT_EQ(::chown(run.c_str(), Uid(user), m_group), 0);
        }
    }

    // Every folder under the root (and the root) given `folderMode` and the group, every file
    // the group's to write.
    void ShareFolder(unsigned folderMode) const
    {
        const auto share = [&](const fs::path& path) {
            ASSERT_EQ(::lchown(path.c_str(), 0, m_group), 0) << path;
            if (!fs::is_symlink(path)) {
                ASSERT_EQ(::chmod(path.c_str(), fs::is_directory(path) ? folderMode : 0664), 0) << path;
            }
        };
        share(m_root);
        for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("run-", 0) != 0 && entry.path().parent_path().filename().string().rfind("run-", 0) != 0)
                share(entry.path());
        }
    }

    // A file of `user` with the given bytes and mode.
    void MakeFile(const std::string& path, const std::string& bytes, const char* user, unsigned mode) const
    {
        fs::remove(path);
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_EQ(::chown(path.c_str(), Uid(user), m_group), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }

    // A link that the other member puts at a name of the data folder.
    void Plant(const std::string& relative, const std::string& target) const
    {
        const std::string path = m_root + "/" + relative;
        fs::remove(path);
        fs::create_symlink(target, path);
        ASSERT_EQ(::lchown(path.c_str(), Uid(kOther), m_group), 0);
    }

    // The command that runs the game as `user` of the group at umask 022. With echoLog its log
    // lines go to its stderr as well (a user who may not write the log).
    static std::vector<std::string> RunnerFor(const char* user, bool echoLog = false)
    {
        return {"sh", "-c", "umask 022 && exec \"$@\"", "sh", "env", echoLog ? "SOL_LOG_STDERR=1" : "SOL_LOG_STDERR=",
                "setpriv", std::string("--reuid=") + user, std::string("--regid=") + kGroup, "--init-groups"};
    }

    // The game started headless as `user` on `root` (the shared folder by default), its output in
    // Out(name) and Err(name).
    bool StartAs(GameProcess& game, const char* user, std::vector<std::string> args, bool echoLog = false,
                 const std::string& name = "member", std::string root = std::string())
    {
        game.runner = RunnerFor(user, echoLog);
        args.insert(args.begin(), {"--headless", "--root", root.empty() ? m_root : root});
        return game.Start(args, m_root + "/run-" + user, Out(name), Err(name));
    }

    // The game run as `user` until it ends; its exit code.
    int RunAs(const char* user, std::vector<std::string> args, bool echoLog = false, std::string root = std::string())
    {
        GameProcess game;
        if (!StartAs(game, user, std::move(args), echoLog, "member", std::move(root)))
            return -3;
        return game.Wait(seconds(120));
    }

    // Runs `work` in a child process as `user` of the group (what that member does by hand); its
    // result, or false when the child could not run it.
    bool AsUser(const char* user, const std::function<bool()>& work) const
    {
        const pid_t child = ::fork();
        if (child == 0) {
            const gid_t groups[] = {m_group};
            const bool switched = ::setgroups(1, groups) == 0 && ::setresgid(m_group, m_group, m_group) == 0 &&
                                  ::setresuid(Uid(user), Uid(user), Uid(user)) == 0;
            ::_exit(switched && work() ? 0 : 1);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    static uid_t Uid(const char* user)
    {
        const passwd* entry = ::getpwnam(user);
        return entry != nullptr ? entry->pw_uid : 0;
    }

    static unsigned ModeOf(const std::string& path)
    {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

    static uid_t OwnerOf(const std::string& path)
    {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0 ? st.st_uid : static_cast<uid_t>(-1);
    }

    std::string Out(const std::string& name) const { return m_root + "/../" + Leaf() + "-" + name + ".out"; }
    std::string Err(const std::string& name) const { return m_root + "/../" + Leaf() + "-" + name + ".err"; }
    std::string Leaf() const { return fs::path(m_root).filename().string(); }
    void RemoveOutputs()
    {
        fs::remove(Out("member"));
        fs::remove(Err("member"));
    }

    // A folder of `user` with `mode` under the shared folder.
    std::string MakeFolder(const std::string& relative, const char* user, unsigned mode) const
    {
        const std::string path = m_root + "/" + relative;
        fs::create_directories(path);
        EXPECT_EQ(::chown(path.c_str(), Uid(user), m_group), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    }

    // A data set of `user`'s own in `folder`: folders 0755, files 0644.
    void MakeDataSet(const std::string& folder, const char* user) const
    {
        ASSERT_TRUE(CopyBundledData(folder));
        fs::remove(folder + "/data/save.dat");
        fs::remove(folder + "/data/hiscores.dat");
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            ASSERT_EQ(::lchown(entry.path().c_str(), Uid(user), m_group), 0);
            ASSERT_EQ(::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644), 0);
        }
        ASSERT_EQ(::chown(folder.c_str(), Uid(user), m_group), 0);
        ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    }

    gid_t m_group = 0;

private:
    // A test beside this one may be making them at the same time: each try looks again.
    bool MakeAccounts()
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (::getgrnam(kGroup) == nullptr)
                (void)std::system((std::string("groupadd ") + kGroup + " >/dev/null 2>&1").c_str());
            for (const char* user : {kVictim, kOther}) {
                if (::getpwnam(user) == nullptr)
                    (void)std::system((std::string("useradd -M -N -s /usr/sbin/nologin -g ") + kGroup + " " + user +
                                       " >/dev/null 2>&1").c_str());
            }
            const group* shared = ::getgrnam(kGroup);
            const passwd* victim = ::getpwnam(kVictim);
            const passwd* other = ::getpwnam(kOther);
            if (shared != nullptr && victim != nullptr && other != nullptr && victim->pw_gid == shared->gr_gid &&
                other->pw_gid == shared->gr_gid) {
                m_group = shared->gr_gid;
                return true;
            }
            std::this_thread::sleep_for(milliseconds(100));
        }
        return false;
    }
};

// Linux lets anyone link a file they can reach, read or not, while fs.protected_hardlinks is 0
// (kernels without the distribution's setting, some containers). The setting is 0 while this
// object lives and back to what it was however the test ends; IsSet is false where it cannot be
// changed.
class CHardLinksUnprotected {
public:
    CHardLinksUnprotected() : m_previous(ReadText(kPath)) { m_bSet = !m_previous.empty() && Write("0\n"); }
    ~CHardLinksUnprotected()
    {
        if (m_bSet)
            (void)Write(m_previous);
    }
    CHardLinksUnprotected(const CHardLinksUnprotected&) = delete;
    CHardLinksUnprotected& operator=(const CHardLinksUnprotected&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    static constexpr const char* kPath = "/proc/sys/fs/protected_hardlinks";
    static bool Write(const std::string& value)
    {
        std::ofstream out(kPath);
        out << value;
        out.close();
        return !out.fail();
    }
    std::string m_previous;
    bool m_bSet = false;
};

// The other member's work that goes on beside the victim's game: a child process as that
// member, ended (by its id) when the object goes, and with the test if it dies.
class CMemberAtWork {
public:
    CMemberAtWork(uid_t user, gid_t group, const std::function<void()>& work)
    {
        const pid_t parent = ::getpid();
        m_pid = ::fork();
        if (m_pid != 0)
            return;
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const gid_t groups[] = {group};
        if (::getppid() == parent && ::setgroups(1, groups) == 0 && ::setresgid(group, group, group) == 0 &&
            ::setresuid(user, user, user) == 0)
            work();
        ::_exit(0);
    }
    ~CMemberAtWork()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    CMemberAtWork(const CMemberAtWork&) = delete;
    CMemberAtWork& operator=(const CMemberAtWork&) = delete;

private:
    pid_t m_pid = -1;
};

std::uint64_t LinksOf(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_nlink : 0;
}

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
        // The test's folders are under the real /tmp, which the game's own /tmp hides: they are
        // reached under /mnt/tmp there.
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
            "exec env -u XDG_RUNTIME_DIR HOME=/home/" + kVictim + " ${cookies:+XAUTHORITY=$cookies} setpriv --reuid=" +
            kVictim + " --regid=" + kGroup + " --init-groups \"$@\" --root \"$root\"\n";
        game.runner = {"env", "HOMES=" + m_root + "/homes", "ROOT=" + m_root, "COOKIES=" + m_cookies,
                       "unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sh"};
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

// Another member's links at the names the game writes (the log, the lock, converted pictures and
// their sources, the configuration, the stores, their temporary files, the screenshot) are
// replaced or refused, never followed: the victim's files they point to stay as they were, and a
// dangling lock link makes nothing where it points. Nor is anything of the victim's read through
// them into a file the group may read: no picture is made from the victim's, and the log quotes
// nothing of a private file put in the script's place. Then both members start the game in turn:
// each start writes its log, and no byte code is kept where the other could replace it.
TEST_F(SharedFolderTest, NoLinkAnotherMemberPutsInTheFolderIsFollowed)
{
    ShareFolder(02775);
    const std::string victim = m_root + "/victim";
    fs::create_directories(victim);
    ASSERT_EQ(::chown(victim.c_str(), Uid(kVictim), m_group), 0);
    ASSERT_EQ(::chmod(victim.c_str(), 0700), 0);
    const std::string script = ReadText(m_root + "/effects/effects.as");
    const std::string jp2 = ReadText(m_root + "/gfx/effects/star.jp2"), gif = ReadText(m_root + "/gfx/effects/star.gif");
    const struct {
        const char* planted;
        const char* target;
        unsigned mode;
        std::string bytes;
    } links[] = {
        {"Palmora.log", "log", 0600, "the victim's log"},
        {"gfx/effects/glow.png", "picture", 0600, "the victim's picture"},
        {"gfx/effects/lone.gif", "read-only", 0400, "the victim's read-only file"},  // removed as a source
        {"gfx/effects/spark.jp2", "private.jp2", 0600, jp2},
        {"gfx/effects/ring.gif", "private.gif", 0600, gif},
        {"effects/effects.as", "secret", 0600, "secretToken123 abc;\n"},
        {"config.ini", "config", 0600, "[System]\r\ncnv=1\r\n"},
        {"data/save.dat", "save", 0600, "the victim's save"},
        {"data/hiscores.dat", "scores", 0600, "the victim's scores"},
        {"data/save.dat.tmp.1.0", "temporary", 0600, "the victim's file at a temporary name"},
        {"shot.png", "shot", 0600, "the victim's shot"},
    };
    for (const auto& link : links) {
        MakeFile(victim + "/" + link.target, link.bytes, kVictim, link.mode);
        Plant(link.planted, victim + "/" + link.target);
    }
    Plant("Palmora.lock", victim + "/made-by-the-lock");
    // Temporary files that a killed run left: the victim's go at its next start, the other's stay.
    const std::vector<std::string> ownLeftovers = {"config.ini.tmp.7.0", "data/save.dat.tmp.7.1",
                                                   "data/.write-test.tmp.7.2", "data/cache.key.0a0b0c0d.tmp.7.3",
                                                   "effects/effects.bc.tmp.7.4", "Palmora.log.tmp.7.5"};
    for (const std::string& name : ownLeftovers)
        MakeFile(m_root + "/" + name, "left", kVictim, 0644);
    MakeFile(m_root + "/data/hiscores.dat.tmp.8.0", "left", kOther, 0644);

    // A screenshot named through a link is refused before anything is read or written.
    EXPECT_EQ(RunAs(kVictim, {"--frames", "30", "--screenshot", m_root + "/shot.png"}), 2);
    EXPECT_EQ(ReadText(Err("member")), "can't write screenshot " + m_root + "/shot.png (a link stands at its name)\n");
    EXPECT_TRUE(fs::is_symlink(m_root + "/Palmora.log")) << "nothing was started";
    EXPECT_EQ(RunAs(kVictim, {"--frames", "30"}), 0);
    for (const auto& link : links) {
        SCOPED_TRACE(link.planted);
        const std::string target = victim + "/" + link.target;
        EXPECT_TRUE(ReadText(target) == link.bytes) << "written through the link";
        EXPECT_EQ(ModeOf(target), link.mode);
    }
    EXPECT_FALSE(fs::exists(victim + "/made-by-the-lock"));
    for (const char* made : {"Palmora.log", "Palmora.lock", "gfx/effects/glow.png", "config.ini"}) {
        SCOPED_TRACE(made);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_root + "/" + made)));
        EXPECT_EQ(OwnerOf(m_root + "/" + made), Uid(kVictim));
    }
    EXPECT_EQ(ModeOf(m_root + "/Palmora.log"), 0664u) << "the group's to read and write";
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_root + "/gfx/effects/lone.gif"))) << "the link went, as a source";
    EXPECT_FALSE(fs::exists(m_root + "/gfx/effects/spark.png")) << "made from the victim's picture";
    EXPECT_FALSE(fs::exists(m_root + "/gfx/effects/ring.png")) << "made with the victim's picture as its mask";
    EXPECT_TRUE(fs::is_symlink(m_root + "/data/save.dat")) << "not read, so not kept aside either";
    EXPECT_NE(ReadText(m_root + "/config.ini").find("cnv=0"), std::string::npos);
    const std::string log = ReadText(m_root + "/Palmora.log");
    for (const std::string& line :
         {"[W] A link stood at " + m_root + "/Palmora.lock; it was removed and the lock file made there",
          std::string("[W] A link stood at Palmora.log; it was replaced"),
          std::string("[W] A link stood at gfx/effects/spark.jp2; it is not read, and gfx/effects/spark.png is not"),
          std::string("[W] A link stood at gfx/effects/ring.gif; it is not read, and gfx/effects/ring.png is not"),
          std::string("[W] A link stood at config.ini; it is not read, and was removed"),
          std::string("[W] A link stood at data\\save.dat; it is not read, and the next save replaces it"),
          std::string("[W] A link stood at data\\hiscores.dat; it was replaced")})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("secretToken123"), std::string::npos) << "the private file was read into the log";
    fs::remove(m_root + "/effects/effects.as");
    MakeFile(m_root + "/effects/effects.as", script, "root", 0664);
    for (const std::string& name : ownLeftovers)
        EXPECT_FALSE(fs::exists(m_root + "/" + name)) << name;
    EXPECT_TRUE(fs::exists(m_root + "/data/hiscores.dat.tmp.8.0")) << "the other member's to clear";
    EXPECT_TRUE(fs::is_symlink(m_root + "/data/save.dat.tmp.1.0")) << "a link is not this user's to clear";

    for (int start = 0; start < 4; ++start) {
        const char* member = start % 2 == 0 ? kOther : kVictim;
        SCOPED_TRACE(std::string(member) + ", start " + std::to_string(start));
        EXPECT_EQ(RunAs(member, {"--frames", "5"}), 0);
        EXPECT_EQ(ReadText(Err("member")), "");
        EXPECT_EQ(OwnerOf(m_root + "/Palmora.log"), Uid(member));
        EXPECT_NE(ReadText(m_root + "/Palmora.log").find("COMPILE DATE"), std::string::npos);
        EXPECT_FALSE(fs::exists(m_root + "/data/cache.key"));
        EXPECT_FALSE(fs::exists(m_root + "/effects/effects.bc"));
    }

    // Links at folders: the other member puts folders of the victim's in place of the one the
    // conversion works in and the one the stores keep their files in, and asks for a conversion.
    // The victim's start reads, writes and removes nothing in them, and says so; it says the same
    // of a link to a folder the victim does not have (the sounds'), so that the log tells the
    // other member nothing of what exists in the victim's folders.
    const struct {
        const char* planted;
        const char* folder;  // null: none stands there
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<const char*> uses;
    } folderLinks[] = {
        {"gfx/effects", "pictures", {{"mine.jp2", jp2}, {"mine.gif", gif}}, {"read", "written or removed"}},
        {"data", "saves", {{"save.dat", "the victim's save"}}, {"read", "written or removed"}},
        {"sfx", nullptr, {}, {"read"}},
    };
    for (const auto& link : folderLinks) {
        fs::remove_all(m_root + "/" + link.planted);
        if (link.folder == nullptr) {
            Plant(link.planted, victim + "/missing");
            continue;
        }
        fs::create_directory(victim + "/" + link.folder);
        ASSERT_EQ(::chown((victim + "/" + link.folder).c_str(), Uid(kVictim), m_group), 0);
        for (const auto& [name, bytes] : link.files)
            MakeFile(victim + "/" + link.folder + "/" + name, bytes, kVictim, 0600);
        Plant(link.planted, victim + "/" + link.folder);
    }
    const auto victimsFiles = [&] {
        std::map<std::string, std::pair<std::string, unsigned>> files;
        for (const auto& entry : fs::recursive_directory_iterator(victim))
            files[entry.path().string()] = {fs::is_directory(entry) ? "" : ReadText(entry.path()), ModeOf(entry.path())};
        return files;
    };
    const auto before = victimsFiles();
    MakeFile(m_root + "/config.ini", "[System]\r\ncnv=1\r\n", kOther, 0664);
    EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}), 0);
    EXPECT_TRUE(victimsFiles() == before) << "read, written or removed through a folder link";
    const std::string folderLog = ReadText(m_root + "/Palmora.log");
    for (const auto& link : folderLinks) {
        for (const char* what : link.uses) {
            const std::string line = std::string("[W] Folder ") + link.planted + ": a link of user " +
                                     std::to_string(Uid(kOther)) + " leads to no folder of theirs; nothing is " +
                                     what + " through it\n";
            EXPECT_NE(folderLog.find(line), std::string::npos) << line;
            EXPECT_EQ(folderLog.find(line), folderLog.rfind(line)) << "told once";
        }
    }
    RemoveOutputs();
}

// Byte code that another member put in the folder is never run in any process of the victim's
// game, its trial child included: neither a cache tagged with a key the other member put in place
// of the folder's, nor a cache without its script that the game would otherwise try in a child.
// The cache here is made up so that the script library's loader aborts on it, in the game (exit
// 134) or in the child (told in the log). A cache of the victim's own, or of root's (an
// installed data set), beside a missing script is still used.
TEST_F(SharedFolderTest, ByteCodeAnotherMemberPutsInTheFolderIsNeverRun)
{
    ASSERT_GE(PreloadObjectCount(), 0);  // a cache made here, for its header
    const std::string genuine = ReadText(m_root + "/effects/effects.bc");
    ASSERT_GT(genuine.size(), 24u);
    const char* source = std::getenv("SOL_SOURCE_DIR");  // set by CTest
    const std::string seed = ReadText(std::string(source != nullptr ? source : "../../..") +
                                      "/fuzz/seeds/bytecode/made-up-cache-asserts-in-loader");
    ASSERT_GT(seed.size(), 20u);
    const std::string code = seed.substr(20);
    const auto cache = [&](const SipKey* key) {
        std::string bytes = genuine.substr(0, 12);  // magic, library version, script interface
        const std::uint64_t tag =
            key != nullptr ? SipHash24(*key, reinterpret_cast<const std::uint8_t*>(code.data()), code.size()) : 0;
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>(code.size() >> (8 * i));
        for (int i = 0; i < 8; ++i)
            bytes += static_cast<char>(tag >> (8 * i));
        return bytes + code;
    };
    SipKey otherKey{};
    otherKey.fill(0x5A);
    const std::string script = ReadText(m_root + "/effects/effects.as");
    const std::string stopped = "[E] Resource: The script library stopped on byte-code cache effects/effects.bc";
    const std::string folderLine = "Resource: No byte-code cache effects/effects.bc is used or written here: others may "
                                   "write folder " + m_root + "/effects";
    const std::string ownerLine = "Resource: Byte-code cache effects/effects.bc is not run: it belongs to user " +
                                  std::to_string(Uid(kOther));
    const std::string noScript = "[E] Resource: Can't load AngelScript file effects/effects.as";
    const struct {
        const char* what;
        unsigned folderMode;  // of every folder: one the group shares, or a sticky one
        bool tagged;          // with the other member's key, which stands in place of the folder's
        std::string says;
    } cases[] = {
        {"another member's key and cache, shared folder", 02775, true, "[I] " + folderLine},
        {"another member's cache without its script, shared folder", 02775, false, "[E] " + folderLine},
        {"another member's key and cache, sticky folder", 01777, true, "[W] " + ownerLine},
        {"another member's cache without its script, sticky folder", 01777, false, "[E] " + ownerLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShareFolder(c.folderMode);
        MakeFile(m_root + "/effects/effects.as", script, "root", 0664);
        MakeFile(m_root + "/effects/effects.bc", cache(c.tagged ? &otherKey : nullptr), kOther, 0644);
        if (c.tagged) {
            MakeFile(m_root + "/data/cache.key", std::string(otherKey.begin(), otherKey.end()), kOther, 0644);
            fs::last_write_time(m_root + "/effects/effects.bc", fs::last_write_time(m_root + "/effects/effects.as"));
        } else {
            fs::remove(m_root + "/data/cache.key");
            fs::remove(m_root + "/effects/effects.as");
        }
        EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}, true), 0) << "-2: the made-up byte code aborted the game";
        const std::string log = ReadText(Err("member"));  // a sticky folder keeps the last log root's
        EXPECT_EQ(log.find(stopped), std::string::npos) << "it ran in the trial child";
        EXPECT_NE(log.find(c.says), std::string::npos) << log;
        EXPECT_EQ(log.find(noScript) == std::string::npos, c.tagged) << "compiled from the script where there is one";
    }

    // Installed by root, and then the victim's own: with no script beside it, the cache is used.
    ShareFolder(0755);
    for (const char* owner : {"root", kVictim}) {
        SCOPED_TRACE(owner);
        MakeFile(m_root + "/effects/effects.as", script, owner, 0644);
        fs::remove(m_root + "/effects/effects.bc");
        fs::remove(m_root + "/data/cache.key");
        for (const auto& entry : fs::recursive_directory_iterator(m_root))
            ASSERT_EQ(::lchown(entry.path().c_str(), Uid(owner), m_group), 0);
        ASSERT_EQ(::chown(m_root.c_str(), Uid(owner), m_group), 0);
        EXPECT_EQ(RunAs(owner, {"--frames", "5"}), 0);
        ASSERT_EQ(OwnerOf(m_root + "/effects/effects.bc"), Uid(owner));
        fs::remove(m_root + "/effects/effects.as");
        EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}, true), 0);
        const std::string log = ReadText(Err("member"));
        EXPECT_NE(log.find("COMPILE DATE"), std::string::npos);
        EXPECT_EQ(log.find(noScript), std::string::npos) << log;
        EXPECT_EQ(log.find(stopped), std::string::npos);
    }
    RemoveOutputs();
}

// Another member who may reach the victim's private files by their path but not read them links
// them (hard links) at names the victim's game uses: the configuration in the shared folder (the
// conversion would write its text back for the group to read, and make a read-only one writable),
// the resource script (the compiler would quote it into the log), and the log in a folder of his
// own that the victim may only read (the log would be emptied there instead). None of them is
// taken as the victim's: nothing is read, rewritten, truncated or changed, and the log says so.
// The victim's own hard links in a folder of hers still work as any file does.
TEST_F(SharedFolderTest, HardLinksAnotherMemberMakesAreNotTakenAsTheVictimsOwn)
{
    ShareFolder(02775);
    const std::string victim = MakeFolder("victim", kVictim, 0711);  // reachable by path, not readable
    const struct {
        const char* name;
        unsigned mode;
        std::string bytes;
    } secrets[] = {
        {"config", 0600, "[System]\r\nsecret=privateWord1\r\n"},
        {"config-ro", 0400, "[System]\r\nsecret=privateWord2\r\n"},
        {"notes", 0600, "the victim's notes\n"},
        {"script", 0600, "secretToken456 xyz;\n"},
    };
    for (const auto& secret : secrets)
        MakeFile(victim + "/" + secret.name, secret.bytes, kVictim, secret.mode);
    const std::string his = m_root + "/his";  // a data folder of his that the victim may only read
    fs::create_directory(his);
    MakeDataSet(his, kOther);
    fs::remove(his + "/Palmora.log");
    // The other member makes the links, as he may only where the kernel does not protect them; the
    // game cannot tell who made a hard link, so where the setting can't be changed root makes them.
    const auto link = [&](const std::string& secret, const std::string& at) {
        const std::string target = victim + "/" + secret;
        CHardLinksUnprotected unprotected;
        const auto make = [&] { return (::unlink(at.c_str()) == 0 || errno == ENOENT) && ::link(target.c_str(), at.c_str()) == 0; };
        return unprotected.IsSet() ? AsUser(kOther, make) : make();
    };
    ASSERT_TRUE(link("script", m_root + "/effects/effects.as"));
    ASSERT_TRUE(link("notes", his + "/Palmora.log"));
    for (const char* config : {"config", "config-ro"}) {
        SCOPED_TRACE(config);
        ASSERT_TRUE(link(config, m_root + "/config.ini"));
        ASSERT_EQ(LinksOf(m_root + "/config.ini"), 2u);
        EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}), 0);
        EXPECT_EQ(LinksOf(m_root + "/config.ini"), 1u) << "the link went";
        EXPECT_EQ(OwnerOf(m_root + "/config.ini"), Uid(kVictim));
        const std::string made = ReadText(m_root + "/config.ini");
        EXPECT_NE(made.find("cnv=0"), std::string::npos);
        EXPECT_EQ(made.find("privateWord"), std::string::npos) << "the victim's file, copied for the group to read";
        const std::string log = ReadText(m_root + "/Palmora.log");
        EXPECT_NE(log.find("[W] A link stood at config.ini; it is not read, and was removed"), std::string::npos);
        EXPECT_NE(log.find("[W] File effects/effects.as: another name of a file of this user's (a hard link), in a "
                           "folder others may write; it is not read"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("[E] Resource: Can't load AngelScript file effects/effects.as"), std::string::npos);
        EXPECT_EQ(log.find("secretToken456"), std::string::npos) << "the victim's file quoted into the log";
    }
    EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}, false, his), 0);
    EXPECT_EQ(ReadText(Err("member")),
              "[E] Folder data can't be written (Permission denied); progress will not be kept\n"
              "[E] Log Palmora.log can't be written (Permission denied); this run keeps none\n");
    for (const auto& secret : secrets) {
        SCOPED_TRACE(secret.name);
        EXPECT_TRUE(ReadText(victim + "/" + secret.name) == secret.bytes) << "rewritten or emptied";
        EXPECT_EQ(ModeOf(victim + "/" + secret.name), secret.mode);
    }

    // The victim's own data folder, where she keeps the configuration and the script as second
    // names of files of hers: they are hers, read and used as ever.
    const std::string own = victim + "/game";
    fs::create_directory(own);
    MakeDataSet(own, kVictim);
    MakeFile(victim + "/config.ini", "[System]\r\ncnv=0\r\n", kVictim, 0644);
    fs::copy_file(own + "/effects/effects.as", victim + "/effects.as");
    ASSERT_EQ(::chown((victim + "/effects.as").c_str(), Uid(kVictim), m_group), 0);
    for (const char* name : {"config.ini", "effects/effects.as"}) {
        fs::remove(own + "/" + name);
        ASSERT_TRUE(AsUser(kVictim, [&] {
            return ::link((victim + "/" + fs::path(name).filename().string()).c_str(), (own + "/" + name).c_str()) == 0;
        }));
    }
    EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}, false, own), 0);
    EXPECT_EQ(ReadText(Err("member")), "");
    const std::string log = ReadText(own + "/Palmora.log");
    EXPECT_NE(log.find("COMPILE DATE"), std::string::npos);
    EXPECT_EQ(log.find("[W]"), std::string::npos) << log;
    EXPECT_EQ(log.find("Please wait"), std::string::npos) << "the configuration said the pictures are converted";
    EXPECT_EQ(log.find("[E] Resource"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(own + "/effects/effects.bc")) << "compiled and kept where no one else may write";
    EXPECT_EQ(LinksOf(own + "/config.ini"), 2u);
    RemoveOutputs();
}

// The other member's links lead to a file of his, as the README allows, but he keeps swapping
// that file's name with a device's (a pipe's where no device can be made) while the victim starts
// the game again and again: a check of the name and an open of the name would meet different
// files now and then. Nothing but regular files is opened however the names fall, and once he
// stops, his links are followed to his file as ever.
TEST_F(SharedFolderTest, NamesSwappedUnderTheGameOpenNothingButARegularFile)
{
    constexpr int kStarts = 30;
    ShareFolder(02775);
    const std::string his = MakeFolder("his", kOther, 0755);
    MakeFile(his + "/script", ReadText(m_root + "/effects/effects.as"), kOther, 0644);
    const std::string device = his + "/device";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 5)) != 0) {  // a /dev/zero of its own
        ASSERT_EQ(::mkfifo(device.c_str(), 0666), 0);
    }
    ASSERT_EQ(::chown(device.c_str(), Uid(kOther), m_group), 0);
    // Every file the game reads through a link at its start: the script and the sounds it loads.
    std::vector<std::string> links = {"effects/effects.as"};
    for (const auto& entry : fs::directory_iterator(m_root + "/sfx/sounds"))
        links.push_back("sfx/sounds/" + entry.path().filename().string());
    for (const std::string& name : links)
        Plant(name, his + "/script");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, device.c_str(), IN_OPEN), 0);
    {
        CMemberAtWork swapping(Uid(kOther), m_group, [&] {
            for (;;)
                ::renameat2(AT_FDCWD, (his + "/script").c_str(), AT_FDCWD, device.c_str(), RENAME_EXCHANGE);
        });
        for (int start = 0; start < kStarts; ++start)
            EXPECT_EQ(RunAs(kVictim, {"--frames", "1"}), 0) << "start " << start;
    }
    int opens = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;)
        for (char* at = events; at < events + got; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len)
            opens += (reinterpret_cast<inotify_event*>(at)->mask & IN_OPEN) != 0;
    ::close(watch);
    EXPECT_EQ(opens, 0) << "the device was opened in " << kStarts << " starts";

    struct stat st;
    ASSERT_EQ(::lstat((his + "/script").c_str(), &st), 0);
    if (!S_ISREG(st.st_mode)) {
        ASSERT_EQ(::renameat2(AT_FDCWD, (his + "/script").c_str(), AT_FDCWD, device.c_str(), RENAME_EXCHANGE), 0);
    }
    EXPECT_EQ(RunAs(kVictim, {"--frames", "1"}), 0);
    const std::string log = ReadText(m_root + "/Palmora.log");
    EXPECT_NE(log.find("COMPILE DATE"), std::string::npos);
    EXPECT_EQ(log.find("[E] Resource: Can't load AngelScript file"), std::string::npos) << "his link to his file";
    EXPECT_EQ(log.find("[W] File effects/effects.as"), std::string::npos) << log;
    RemoveOutputs();
}

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
