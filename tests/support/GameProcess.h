// GameProcess.h: the game program (bin/solitaire beside the test) as a child process, with its
// output in files, for tests of what a run does from the outside: exit codes, signals, locks.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class GameProcess {
public:
    GameProcess() = default;
    ~GameProcess()
    {
        if (m_pid > 0 && !m_bEnded) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    static std::string Program() { return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "solitaire").string(); }

    // Starts the program with the arguments, XDG_RUNTIME_DIR set to runtimeFolder, and stdout
    // and stderr going to the files; through the command `runner` when one is set (setpriv to
    // run as another user, env to change the environment).
    bool Start(const std::vector<std::string>& args, const std::string& runtimeFolder, const std::string& outFile,
               const std::string& errFile)
    {
        std::vector<std::string> all = runner;
        all.push_back(Program());
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string previous = std::getenv("XDG_RUNTIME_DIR") != nullptr ? std::getenv("XDG_RUNTIME_DIR") : "";
        ::setenv("XDG_RUNTIME_DIR", runtimeFolder.c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int result = ::posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
        m_bEnded = false;
        return result == 0;
    }

    bool Signal(int number) { return m_pid > 0 && !m_bEnded && ::kill(m_pid, number) == 0; }

    // The exit code once it ended within the time; -1 when it still runs, -2 when a signal ended it.
    int Wait(std::chrono::milliseconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (!m_bEnded) {
            int status = 0;
            const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_bEnded = true;
                m_nCode = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
                break;
            }
            if (std::chrono::steady_clock::now() >= until)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_nCode;
    }

    // Polls until the condition holds or the program ends; false when it ended or timed out first.
    template <typename Condition>
    bool WaitUntil(Condition condition, std::chrono::seconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            if (condition())
                return true;
            if (Wait(std::chrono::milliseconds(0)) != -1)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    pid_t Pid() const { return m_pid; }

    std::vector<std::string> runner;  // the command that runs the program, e.g. {"setpriv", ...}

private:
    pid_t m_pid = -1;
    bool m_bEnded = true;
    int m_nCode = -1;
};
