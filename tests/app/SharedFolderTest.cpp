// test-cost: 10
// SharedFolderTest.cpp: a data folder that a group shares (writable by the group and setgid, the
// usual way to share game data between accounts), with the game run as whole processes by two
// members: what one member puts in the folder never makes the other's game write through a link
// or run byte code that it did not make.
#include "GameRunRoot.h"
#include "platform/bytes/SipHash.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

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

    // The game run as `user` until it ends; its exit code. With echoLog its log lines go to its
    // stderr as well (a user who may not write the log).
    int RunAs(const char* user, std::vector<std::string> args, bool echoLog = false)
    {
        GameProcess game;
        game.runner = {"sh", "-c", "umask 022 && exec \"$@\"", "sh", "env", echoLog ? "SOL_LOG_STDERR=1" : "SOL_LOG_STDERR=",
                       "setpriv", std::string("--reuid=") + user, std::string("--regid=") + kGroup, "--init-groups"};
        const std::string name = "member";
        args.insert(args.begin(), {"--headless", "--root", m_root});
        if (!game.Start(args, m_root + "/run-" + user, Out(name), Err(name)))
            return -3;
        return game.Wait(seconds(120));
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

    EXPECT_EQ(RunAs(kVictim, {"--frames", "30", "--screenshot", m_root + "/shot.png"}), 1);
    EXPECT_EQ(ReadText(Err("member")), "can't write screenshot " + m_root + "/shot.png (a link stands at its name)\n");
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
    // The victim's start reads, writes and removes nothing in them, and says so.
    const struct {
        const char* planted;
        const char* folder;
        std::vector<std::pair<std::string, std::string>> files;
    } folderLinks[] = {
        {"gfx/effects", "pictures", {{"mine.jp2", jp2}, {"mine.gif", gif}}},
        {"data", "saves", {{"save.dat", "the victim's save"}}},
    };
    for (const auto& link : folderLinks) {
        fs::create_directory(victim + "/" + link.folder);
        ASSERT_EQ(::chown((victim + "/" + link.folder).c_str(), Uid(kVictim), m_group), 0);
        for (const auto& [name, bytes] : link.files)
            MakeFile(victim + "/" + link.folder + "/" + name, bytes, kVictim, 0600);
        fs::remove_all(m_root + "/" + link.planted);
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
        for (const char* what : {"read", "written or removed"}) {
            const std::string line = std::string("[W] Folder ") + link.planted + ": a link of user " +
                                     std::to_string(Uid(kOther)) + " leads to a folder that is not theirs; nothing is " +
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
