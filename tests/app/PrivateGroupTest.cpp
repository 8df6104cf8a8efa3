// test-cost: 10
// PrivateGroupTest.cpp: a player whose group is her own (Debian's user private groups: a group of
// her name whose only member she is) at umask 002, so that her folders are 0775 and her files
// 0664, with her data folder in her 0700 home and the game run as a whole process as her.
#include "GameRunRoot.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "platform/files/UniqueFd.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class PrivateGroupTest : public GameRunRoot {
protected:
    static constexpr const char* kPlayer = "solmaya";  // her group is her own
    static constexpr const char* kPeer = "solpeer";    // joins her group in the second part

    void SetUp() override
    {
        GameRunRoot::SetUp();
        if (::getuid() != 0)
            GTEST_SKIP() << "the accounts and the runs as them need root";
        // Her group's members are the machine's: a run of this test in another tree waits.
        m_accounts.Reset(::open("/run/lock/solitaire-test-solmaya.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (m_accounts.Get() >= 0)
            (void)::flock(m_accounts.Get(), LOCK_EX);
        if (!MakeAccount(kPlayer) || !MakeAccount(kPeer) || !SetPeerInHerGroup(false))
            GTEST_SKIP() << "no accounts " << kPlayer << " and " << kPeer << " with groups of their own";
        m_program = GameProcess::CopyProgramTo(m_root + "/bin");
        ASSERT_FALSE(m_program.empty());
        m_home = m_root + "/homes/" + kPlayer;
        m_game = m_home + "/game";
        fs::create_directories(m_game);
        fs::create_directories(m_home + "/backup");
        ASSERT_TRUE(CopyBundledData(m_game));
        fs::create_directories(m_home + "/run");
        for (const auto& entry : fs::recursive_directory_iterator(m_home))
            MakeHers(entry.path().string(), entry.is_directory() ? 0775 : 0664);
        MakeHers(m_home, 0700);
    }

    void TearDown() override
    {
        if (::getuid() == 0)
            (void)SetPeerInHerGroup(false);
        GameRunRoot::TearDown();
    }

    // The game started headless as her at umask 002 on her data folder; its exit code.
    int RunAsHer(std::vector<std::string> args)
    {
        GameProcess game;
        game.program = m_program;
        game.runner = {"sh", "-c", "umask 002 && exec \"$@\"", "sh", "setpriv", std::string("--reuid=") + kPlayer,
                       std::string("--regid=") + kPlayer, "--init-groups"};
        args.insert(args.begin(), {"--headless", "--root", m_game});
        if (!game.Start(args, m_home + "/run", m_root + "/her.out", m_root + "/her.err"))
            return -3;
        return game.Wait(std::chrono::seconds(120));
    }

    // Her configuration and stores (one player with progress, one high score), each with a second
    // name in her backup folder, as `cp -al` or `ln` leave them.
    void MakeHerFilesWithBackups()
    {
        for (const char* name : kHerFiles)
            fs::remove(m_game + "/" + name);
        fs_layer::SetRootFolder(m_game);
        {
            CProfileStore store;
            store.NewPlayer("MAYA", true);
            store.m_current.m_storyLevels[0] = 4;
            store.m_current.m_nStoryScore = 4321;
            store.Save();
            CHiScoreTable scores;
            scores.AddScore(0, "MAYA", 3, 4321);
        }
        fs_layer::SetRootFolder(m_root);
        std::ofstream(m_game + "/config.ini", std::ios::binary) << "[System]\r\ncnv=0\r\n32bits=1\r\n";
        for (const char* name : kHerFiles) {
            const std::string path = m_game + "/" + name, backup = m_home + "/backup/" + fs::path(name).filename().string();
            MakeHers(path, 0664);
            fs::remove(backup);
            ASSERT_EQ(::link(path.c_str(), backup.c_str()), 0) << name;
            m_bytes[name] = ReadText(path);
        }
    }

    static constexpr const char* kHerFiles[] = {"config.ini", "data/save.dat", "data/hiscores.dat"};

    std::string Log() const { return ReadText(m_game + "/Palmora.log"); }
    std::string Err() const { return ReadText(m_root + "/her.err"); }
    static std::uint64_t LinksOf(const std::string& path)
    {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0 ? st.st_nlink : 0;
    }
    // The first story row of the high-score file: its score and name.
    std::string FirstStoryRow() const
    {
        const std::string bytes = ReadText(m_game + "/data/hiscores.dat");
        if (bytes.size() < 24)
            return std::string();
        std::int32_t score = 0;
        std::memcpy(&score, bytes.data() + 4, sizeof score);
        return std::to_string(score) + " " + std::string(bytes.c_str() + 8);
    }

    void MakeHers(const std::string& path, unsigned mode) const
    {
        const passwd* her = ::getpwnam(kPlayer);
        ASSERT_NE(her, nullptr);
        ASSERT_EQ(::lchown(path.c_str(), her->pw_uid, her->pw_gid), 0) << path;
        ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
    }

    // The peer listed as a member of her group, or not.
    static bool SetPeerInHerGroup(bool member)
    {
        (void)std::system((std::string("gpasswd ") + (member ? "-a " : "-d ") + kPeer + " " + kPlayer + " >/dev/null 2>&1").c_str());
        const group* hers = ::getgrnam(kPlayer);
        bool listed = false;
        for (char** name = hers != nullptr ? hers->gr_mem : nullptr; name != nullptr && *name != nullptr; ++name)
            listed = listed || std::strcmp(*name, kPeer) == 0;
        return hers != nullptr && listed == member;
    }

    host_files::CUniqueFd m_accounts{-1};  // held while the test changes her group
    std::string m_program, m_home, m_game;
    std::map<std::string, std::string> m_bytes;  // her files' bytes as she made them

private:
    // An account with a group of its own name, made where it is missing.
    static bool MakeAccount(const char* user)
    {
        if (::getpwnam(user) == nullptr)
            (void)std::system((std::string("useradd -M -U -s /usr/sbin/nologin ") + user + " >/dev/null 2>&1").c_str());
        const passwd* account = ::getpwnam(user);
        const group* own = account != nullptr ? ::getgrgid(account->pw_gid) : nullptr;
        return own != nullptr && std::strcmp(own->gr_name, user) == 0;
    }

};

// Her own backups kept as hard links of her configuration and stores, in a folder of her group:
// no one else may add names there, so they are hers. Two starts keep her settings (the
// configuration is neither removed nor converted again), read her progress and her score, and keep
// the byte-code cache. Once the group has a second member, that folder is one others may add names
// to, as it is where a folder on the way lets others in: a hard link there is not taken as hers,
// here her backups' and one to a private file of hers at the configuration's name (the game cannot
// tell who made a hard link, so root makes it). Nothing is read, quoted, removed or written over;
// the cache is not kept; the log and a window say why.
TEST_F(PrivateGroupTest, HerOwnHardLinksAreHersUntilHerGroupHasAnotherMember)
{
    MakeHerFilesWithBackups();
    fs::file_time_type cacheTime;
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        EXPECT_EQ(RunAsHer({"--frames", "5"}), 0);
        EXPECT_EQ(Err(), "");
        const std::string log = Log();
        EXPECT_NE(log.find("COMPILE DATE"), std::string::npos);
        EXPECT_EQ(log.find("[W]"), std::string::npos) << log;
        EXPECT_EQ(log.find("[E]"), std::string::npos) << log;
        EXPECT_EQ(log.find("Please wait"), std::string::npos) << "converted again: the configuration was not read";
        EXPECT_TRUE(ReadText(m_game + "/config.ini") == m_bytes["config.ini"]);
        EXPECT_EQ(LinksOf(m_game + "/config.ini"), 2u) << "her settings, left with their backup";
        // Read, so saved again at the end under its name alone; the backup keeps what it held.
        EXPECT_EQ(LinksOf(m_game + "/data/save.dat"), 1u) << "not read, so not saved";
        EXPECT_NE(ReadText(m_game + "/data/save.dat").find("MAYA"), std::string::npos);
        EXPECT_TRUE(ReadText(m_home + "/backup/save.dat") == m_bytes["data/save.dat"]);
        EXPECT_EQ(FirstStoryRow(), "4321 MAYA");
        ASSERT_TRUE(fs::exists(m_game + "/effects/effects.bc")) << "no cache kept in her own folder";
        if (start == 2) {
            EXPECT_TRUE(fs::last_write_time(m_game + "/effects/effects.bc") == cacheTime) << "compiled again";
        }
        cacheTime = fs::last_write_time(m_game + "/effects/effects.bc");
    }

    ASSERT_TRUE(SetPeerInHerGroup(true));
    MakeHerFilesWithBackups();
    const std::string secret = m_home + "/private";
    std::ofstream(secret, std::ios::binary) << "[System]\r\nsecret=privateWord3\r\n";
    MakeHers(secret, 0600);
    fs::remove(m_game + "/config.ini");
    ASSERT_EQ(::link(secret.c_str(), (m_game + "/config.ini").c_str()), 0);
    m_bytes["config.ini"] = ReadText(secret);
    fs::remove(m_game + "/effects/effects.bc");
    fs::remove(m_game + "/data/cache.key");
    const std::string shot = m_home + "/run/not-read.png";  // where she may write
    const auto expectLeftAlone = [&](const std::string& log) {
        EXPECT_EQ(Err(), "");
        for (const char* name : kHerFiles) {
            SCOPED_TRACE(name);
            const std::string path = m_game + "/" + name;
            EXPECT_TRUE(ReadText(path) == m_bytes[name]) << "written over";
            EXPECT_EQ(LinksOf(path), 2u) << "removed or replaced";
            std::string gamePath = name;
            std::replace(gamePath.begin(), gamePath.end(), '/', '\\');
            EXPECT_NE(log.find("[W] File " + gamePath + ": another name of a file of this user's (a hard link), in a "
                               "folder others may write; it is not read, and this run writes nothing over it"),
                      std::string::npos)
                << log;
        }
        EXPECT_EQ(log.find("privateWord"), std::string::npos) << "her private file quoted into the log";
        EXPECT_NE(log.find("[I] Resource: No byte-code cache effects/effects.bc is used or written here: others may "
                           "write folder " + m_game + "/effects"),
                  std::string::npos);
        EXPECT_FALSE(fs::exists(m_game + "/effects/effects.bc"));
    };
    EXPECT_EQ(RunAsHer({"--frames", std::to_string(MenuFrame() + 90), "--screenshot", shot}), 0);
    expectLeftAlone(Log());
    ASSERT_TRUE(fs::exists(shot));
    fs::rename(shot, m_root + "/not-read-window.png");
    const std::uint32_t frame = ShotPixel(400, 182, "not-read-window");
    EXPECT_TRUE((frame >> 16 & 0xFF) > 180 && (frame & 0xFF) < 130) << std::hex << frame << ": the window's gold frame";

    // Her group her own again, but the folder of homes on the way open to everyone: someone else
    // could move her folders about there, so the same holds.
    ASSERT_TRUE(SetPeerInHerGroup(false));
    ASSERT_EQ(::chmod((m_root + "/homes").c_str(), 0777), 0);
    EXPECT_EQ(RunAsHer({"--frames", "5"}), 0);
    expectLeftAlone(Log());
}

}  // namespace
