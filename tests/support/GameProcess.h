// GameProcess.h: the game program (bin/solitaire beside the test) as a child process, with its
// output in files, for tests of what a run does from the outside: exit codes, signals, locks.
#pragma once

#include "support/LoadAllowance.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// A stop signal ends the program promptly: the next frame sees it, and then come the exit's saves
// and the shut-down, about 0.1 s of processor time and as long on an idle machine. A busy machine
// stretches the time, and makes the work dearer too (the processors' caches and cores are
// shared), so the time is held to a bound that grows with the load and the work to a bound that
// grows with what the run's own work cost before the signal (see StopCpuLimit): a stop that
// waited for something, or did a start's work again, would still overrun them.
inline constexpr std::chrono::milliseconds kStopCpuLimit{500};

// One second while each processor has at most one task to run, more in proportion beyond that.
inline std::chrono::milliseconds StopWallLimit()
{
    return ClockAllowance(std::chrono::milliseconds(1000));
}

// A whole file's bytes; empty when it can't be read.
inline std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Processor time (user and system) the process has used so far, with that of the children it
// waited for when asked; -1 us once it is gone.
inline std::chrono::microseconds ProcCpuTime(pid_t pid, bool withChildren)
{
    const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t nameEnd = stat.rfind(')');  // the name may hold spaces and brackets
    unsigned long long user = 0, system = 0;
    long long childUser = 0, childSystem = 0;
    // After the name: state and ten numbers, then the four times in clock ticks.
    if (nameEnd == std::string::npos ||
        std::sscanf(stat.c_str() + nameEnd + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu %lld %lld",
                    &user, &system, &childUser, &childSystem) != 4)
        return std::chrono::microseconds(-1);
    const long long ticks = static_cast<long long>(user + system) + (withChildren ? childUser + childSystem : 0);
    return std::chrono::microseconds(ticks * 1000000 / ::sysconf(_SC_CLK_TCK));
}

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
        all.push_back(program.empty() ? Program() : program);
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
            rusage usage{};
            const pid_t done = ::wait4(m_pid, &status, WNOHANG, &usage);
            if (done == m_pid) {
                m_bEnded = true;
                m_nCode = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
                m_cpuAtEnd = std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                             std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
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

    // What a stop signal cost: the exit code (as Wait gives it), the time from the signal to the
    // end and the processor time the program used meanwhile, and what it had used before.
    struct StopCost {
        int code;
        std::chrono::milliseconds wall;
        std::chrono::milliseconds cpu;
        std::chrono::milliseconds cpuBefore;
    };
    StopCost StopWith(int number, std::chrono::milliseconds limit)
    {
        using std::chrono::duration_cast;
        using std::chrono::milliseconds;
        const auto sent = std::chrono::steady_clock::now();
        const std::chrono::microseconds before = CpuTime();
        if (!Signal(number))
            return {-1, milliseconds(0), milliseconds(0), milliseconds(0)};
        const int code = Wait(limit);
        const auto wall = duration_cast<milliseconds>(std::chrono::steady_clock::now() - sent);
        const std::chrono::microseconds after = CpuTime();
        const bool known = before.count() >= 0 && after.count() >= 0;
        return {code, wall, known ? duration_cast<milliseconds>(after - before) : milliseconds(-1),
                duration_cast<milliseconds>(before)};
    }

    pid_t Pid() const { return m_pid; }

    // Processor time (user and system) the program and the children it waited for have used so
    // far: from /proc while it runs, from its exit status once it has ended; -1 us when unknown.
    std::chrono::microseconds CpuTime() const { return m_bEnded ? m_cpuAtEnd : ProcCpuTime(m_pid, true); }

    std::vector<std::string> runner;  // the command that runs the program, e.g. {"setpriv", ...}
    std::string program;              // the program's copy to run, where not Program()

    // A copy of the program in `folder` (made where missing) that every user may run, for runs as
    // other users or in a mount namespace, which may not reach the build tree; empty on failure.
    static std::string CopyProgramTo(const std::string& folder)
    {
        namespace fs = std::filesystem;
        constexpr fs::perms kEveryoneRuns = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec;
        const fs::path copy = fs::path(folder) / "solitaire";
        std::error_code error;
        const bool copied = (fs::create_directories(folder, error), !error) &&
                            (fs::permissions(folder, kEveryoneRuns, error), !error) &&
                            fs::copy_file(Program(), copy, fs::copy_options::overwrite_existing, error) &&
                            (fs::permissions(copy, kEveryoneRuns, error), !error);
        return copied ? copy.string() : std::string();
    }

private:
    pid_t m_pid = -1;
    bool m_bEnded = true;
    int m_nCode = -1;
    std::chrono::microseconds m_cpuAtEnd{-1};
};

// What a stop may cost in processor time: kStopCpuLimit, or where more, a tenth of what the run
// had cost before the signal (its start and the frames it played), which a busy machine makes
// dearer in the same measure as the stop's own work.
inline std::chrono::milliseconds StopCpuLimit(const GameProcess::StopCost& stop)
{
    return std::max(kStopCpuLimit, stop.cpuBefore / 10);
}
