// SharedFolderTest.h: a data folder that a group shares (writable by the group and setgid, the
// usual way to share game data between accounts), and two members who run the game in it as
// whole processes; for the shared-folder and window-lock tests.
#pragma once

#include "GameRunRoot.h"
#include "support/GameProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        std::filesystem::remove(m_root + "/effects/effects.bc");
        std::filesystem::remove(m_root + "/data/cache.key");
        for (const char* user : {kVictim, kOther}) {
            const std::string run = m_root + "/run-" + user;
            std::filesystem::create_directories(run);
            ASSERT_EQ(::chown(run.c_str(), Uid(user), m_group), 0);
        }
        // The members may not reach the build tree (a clone under /root), nor may a mount
        // namespace that hides /tmp (a clone there); ShareFolder leaves "run-" folders alone.
        m_program = GameProcess::CopyProgramTo(m_root + "/run-bin");
        ASSERT_FALSE(m_program.empty());
    }

    // Every folder under the root (and the root) given `folderMode` and the group, every file
    // the group's to write.
    void ShareFolder(unsigned folderMode) const
    {
        const auto share = [&](const std::filesystem::path& path) {
            ASSERT_EQ(::lchown(path.c_str(), 0, m_group), 0) << path;
            if (!std::filesystem::is_symlink(path)) {
                ASSERT_EQ(::chmod(path.c_str(), std::filesystem::is_directory(path) ? folderMode : 0664), 0) << path;
            }
        };
        share(m_root);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("run-", 0) != 0 && entry.path().parent_path().filename().string().rfind("run-", 0) != 0)
                share(entry.path());
        }
    }

    // A file of `user` with the given bytes and mode.
    void MakeFile(const std::string& path, const std::string& bytes, const char* user, unsigned mode) const
    {
        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_EQ(::chown(path.c_str(), Uid(user), m_group), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }

    // A link that the other member puts at a name of the data folder.
    void Plant(const std::string& relative, const std::string& target) const
    {
        const std::string path = m_root + "/" + relative;
        std::filesystem::remove(path);
        std::filesystem::create_symlink(target, path);
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
        game.runner = m_wrapper;
        const std::vector<std::string> runner = RunnerFor(user, echoLog);
        game.runner.insert(game.runner.end(), runner.begin(), runner.end());
        game.program = m_program;
        args.insert(args.begin(), {"--headless", "--root", root.empty() ? m_root : root});
        return game.Start(args, m_root + "/run-" + user, Out(name), Err(name));
    }

    // The game run as `user` until it ends; its exit code.
    int RunAs(const char* user, std::vector<std::string> args, bool echoLog = false, std::string root = std::string())
    {
        GameProcess game;
        if (!StartAs(game, user, std::move(args), echoLog, "member", std::move(root)))
            return -3;
        return game.Wait(std::chrono::seconds(120));
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
    std::string Leaf() const { return std::filesystem::path(m_root).filename().string(); }
    void RemoveOutputs()
    {
        std::filesystem::remove(Out("member"));
        std::filesystem::remove(Err("member"));
    }

    // A folder of `user` with `mode` under the shared folder.
    std::string MakeFolder(const std::string& relative, const char* user, unsigned mode) const
    {
        const std::string path = m_root + "/" + relative;
        std::filesystem::create_directories(path);
        EXPECT_EQ(::chown(path.c_str(), Uid(user), m_group), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    }

    // A data set of `user`'s own in `folder`: folders 0755, files 0644.
    void MakeDataSet(const std::string& folder, const char* user) const
    {
        ASSERT_TRUE(CopyBundledData(folder));
        std::filesystem::remove(folder + "/data/save.dat");
        std::filesystem::remove(folder + "/data/hiscores.dat");
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            ASSERT_EQ(::lchown(entry.path().c_str(), Uid(user), m_group), 0);
            ASSERT_EQ(::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644), 0);
        }
        ASSERT_EQ(::chown(folder.c_str(), Uid(user), m_group), 0);
        ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    }

    gid_t m_group = 0;
    std::vector<std::string> m_wrapper;  // runs the runner (a mount namespace of its own)
    std::string m_program;               // a copy of the program that every member may run

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
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
};
