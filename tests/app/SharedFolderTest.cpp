// test-lock: x-display
// test-cost: 30
// SharedFolderTest.cpp: a data folder that a group shares (writable by the group and setgid, the
// usual way to share game data between accounts), with the game run as whole processes by two
// members: what one member puts in the folder never makes the other's game write through a link,
// take a hard link to her file as her own, open what a swapped name leads to, or run byte code
// that it did not make. They share the two accounts with the window lock's tests
// (WindowLockTest.cpp), and so hold the same lock.
#include "SharedFolderTest.h"
#include "platform/bytes/SipHash.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

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
    for (const char* made : {"Palmora.log", "Palmora.lock", "gfx/effects/glow.png"}) {
        SCOPED_TRACE(made);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_root + "/" + made)));
        EXPECT_EQ(OwnerOf(m_root + "/" + made), Uid(kVictim));
    }
    EXPECT_EQ(ModeOf(m_root + "/Palmora.log"), 0664u) << "the group's to read and write";
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_root + "/gfx/effects/lone.gif"))) << "the link went, as a source";
    EXPECT_FALSE(fs::exists(m_root + "/gfx/effects/spark.png")) << "made from the victim's picture";
    EXPECT_FALSE(fs::exists(m_root + "/gfx/effects/ring.png")) << "made with the victim's picture as its mask";
    for (const char* kept : {"config.ini", "data/save.dat", "data/hiscores.dat"})
        EXPECT_TRUE(fs::is_symlink(m_root + "/" + kept)) << kept << ": not read, so left as it is";
    const std::string log = ReadText(m_root + "/Palmora.log");
    for (const std::string& line :
         {"[W] A link stood at " + m_root + "/Palmora.lock; it was removed and the lock file made there",
          std::string("[W] A link stood at Palmora.log; it was replaced"),
          std::string("[W] File gfx/effects/spark.jp2: a link stands at its name; it is not read, and "
                      "gfx/effects/spark.png is not"),
          std::string("[W] File gfx/effects/ring.gif: a link stands at its name; it is not read, and "
                      "gfx/effects/ring.png is not"),
          std::string("[W] File config.ini: a link stands at its name; it is not read, and this run writes nothing "
                      "over it"),
          std::string("[W] File data\\save.dat: a link stands at its name; it is not read, and this run writes nothing "
                      "over it"),
          std::string("[W] File data\\hiscores.dat: a link stands at its name; it is not read, and this run writes "
                      "nothing over it")})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    // A link at the script's name: it is not read, so the start has no resources and ends, saying so.
    MakeFile(victim + "/secret", "secretToken123 abc;\n", kVictim, 0600);
    Plant("effects/effects.as", victim + "/secret");
    EXPECT_EQ(RunAs(kVictim, {"--frames", "30"}), 1);
    EXPECT_EQ(ReadText(Err("member")), "Can't load AngelScript file effects/effects.as\n");
    EXPECT_EQ(ReadText(m_root + "/Palmora.log").find("secretToken123"), std::string::npos)
        << "the private file was read into the log";
    EXPECT_TRUE(ReadText(victim + "/secret") == "secretToken123 abc;\n");
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
        // Without its script and with no cache it may run, the start has no resources: it ends with 1.
        EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}, true), c.tagged ? 0 : 1) << "-2: the made-up byte code aborted the game";
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
// taken as the victim's: nothing is read, rewritten, truncated, changed or removed, and the log
// says so.
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
        EXPECT_EQ(RunAs(kVictim, {"--frames", "5"}), 1) << "no script it may read, so no resources";
        EXPECT_EQ(ReadText(Err("member")), "Can't load AngelScript file effects/effects.as\n");
        EXPECT_EQ(LinksOf(m_root + "/config.ini"), 2u) << "left as it is";
        const std::string log = ReadText(m_root + "/Palmora.log");
        EXPECT_NE(log.find("[W] File config.ini: another name of a file of this user's (a hard link), in a folder "
                           "others may write; it is not read, and this run writes nothing over it"),
                  std::string::npos)
            << log;
        EXPECT_EQ(log.find("privateWord"), std::string::npos) << "the victim's file quoted into the log";
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
// stops, his links are followed to his file as ever. Without /proc (a chroot, a minimal container:
// here a mount namespace that hides it) what was checked can't be opened again but by its name, so
// nothing is opened in a folder others may change, his among them, and the log says so; a data
// set of the victim's own still starts as ever there.
TEST_F(SharedFolderTest, NamesSwappedUnderTheGameOpenNothingButARegularFile)
{
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
    const auto opensOfTheDevice = [&] {  // since the last call (one event may stand for several)
        int opens = 0;
        alignas(inotify_event) char events[4096];
        for (ssize_t got; (got = ::read(watch, events, sizeof events)) > 0;)
            for (char* at = events; at < events + got; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len)
                opens += (reinterpret_cast<inotify_event*>(at)->mask & IN_OPEN) != 0;
        return opens;
    };
    const std::vector<std::string> hideProc = {"unshare", "--mount", "--propagation", "private", "sh", "-c",
                                               "mount -t tmpfs -o size=4k tmpfs /proc && exec \"$@\"", "sh"};
    const struct {
        const char* way;
        std::vector<std::string> wrapper;
        int starts;
    } ways[] = {{"with /proc", {}, 30}, {"without /proc", hideProc, 40}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        m_wrapper = way.wrapper;
        int opening = 0;
        {
            CMemberAtWork swapping(Uid(kOther), m_group, [&] {
                for (;;)
                    ::renameat2(AT_FDCWD, (his + "/script").c_str(), AT_FDCWD, device.c_str(), RENAME_EXCHANGE);
            });
            // A start whose script name met the device, or that may not follow his link at all
            // without /proc, has no resources: it ends with 1 and says so last.
            const std::string noScript = "Can't load AngelScript file effects/effects.as\n";
            for (int start = 0; start < way.starts; ++start) {
                const int code = RunAs(kVictim, {"--frames", "1"});
                const std::string err = ReadText(Err("member"));
                const bool toldLast = err.size() >= noScript.size() && err.compare(err.size() - noScript.size(), noScript.size(), noScript) == 0;
                EXPECT_TRUE((code == 0 && way.wrapper.empty()) || (code == 1 && toldLast))
                    << "start " << start << " ended with " << code << ": " << err;
                opening += opensOfTheDevice() > 0;
            }
        }
        EXPECT_EQ(opening, 0) << "starts of " << way.starts << " that opened the device";

        struct stat st;
        ASSERT_EQ(::lstat((his + "/script").c_str(), &st), 0);
        if (!S_ISREG(st.st_mode)) {
            ASSERT_EQ(::renameat2(AT_FDCWD, (his + "/script").c_str(), AT_FDCWD, device.c_str(), RENAME_EXCHANGE), 0);
        }
        const bool hidden = way.wrapper == hideProc;
        EXPECT_EQ(RunAs(kVictim, {"--frames", "1"}), hidden ? 1 : 0);
        const std::string log = ReadText(m_root + "/Palmora.log");
        EXPECT_NE(log.find("COMPILE DATE"), std::string::npos);
        const std::string notFollowed = "[W] File effects/effects.as: a link of user " + std::to_string(Uid(kOther)) +
                                        " leads to no file of theirs; it is not read";
        const std::string noProc = "[W] /proc is not mounted: files in folders that others may change are not opened";
        EXPECT_EQ(log.find("[E] Resource: Can't load AngelScript file") != std::string::npos, hidden)
            << "his link to his file";
        EXPECT_EQ(log.find(notFollowed) != std::string::npos, hidden) << log;
        EXPECT_EQ(log.find(noProc) != std::string::npos, hidden) << log;
        EXPECT_EQ(log.find(noProc), log.rfind(noProc)) << "said once";
    }
    ::close(watch);

    const std::string own = MakeFolder("victim", kVictim, 0755) + "/game";
    MakeDataSet(own, kVictim);
    m_wrapper = hideProc;
    EXPECT_EQ(RunAs(kVictim, {"--frames", "1"}, false, own), 0);
    const std::string log = ReadText(own + "/Palmora.log");
    EXPECT_NE(log.find("[W] /proc is not mounted"), std::string::npos);
    EXPECT_EQ(log.find("[W]"), log.rfind("[W]")) << log;
    EXPECT_EQ(log.find("[E]"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(own + "/effects/effects.bc")) << "compiled and kept where no one else may write";
    RemoveOutputs();
}

