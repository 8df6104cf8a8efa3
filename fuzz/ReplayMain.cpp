// ReplayMain.cpp: a fuzz target's inputs replayed in an optimised build without the fuzzer or
// the sanitizers, to tell what each one costs a player's machine. Every input runs in a child of
// its own, forked after one warm-up run, so its time and its peak memory are its own.
//
//   replay_NAME [--over MS MB] FILE|FOLDER...
//
// Prints one line with the slowest and the greediest input of at most 64 KiB (larger inputs, such
// as whole seed files, run but are only counted); with --over, every such input that costs more
// than MS milliseconds or MB megabytes is listed and the exit status is 1. A crash in a child is
// listed and fails too.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr std::size_t kSmallInput = 64u << 10;

struct Cost {
    double ms = 0;
    double mb = 0;
    bool crashed = false;
};

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double PeakMb(const rusage& usage) { return static_cast<double>(usage.ru_maxrss) / 1024.0; }

double OwnPeakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return PeakMb(usage);
}

// The child times the call alone and hands the time back through a pipe; the parent takes the
// child's peak resident memory from wait4.
Cost RunInChild(const std::vector<std::uint8_t>& input)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        std::exit(2);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const auto start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(input.data(), input.size());
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        (void)!write(pipeEnds[1], &ms, sizeof ms);
        _exit(0);  // the folder of the warm parent must outlive its children
    }
    close(pipeEnds[1]);
    Cost cost;
    if (read(pipeEnds[0], &cost.ms, sizeof cost.ms) != static_cast<ssize_t>(sizeof cost.ms))
        cost.crashed = true;
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    cost.crashed = cost.crashed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    cost.mb = PeakMb(usage);
    return cost;
}

std::vector<std::string> Inputs(int argc, char** argv, int first)
{
    std::vector<std::string> files;
    for (int i = first; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path().string());
        } else {
            files.push_back(argv[i]);
        }
    }
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    double overMs = -1, overMb = -1;
    if (argc > 3 && std::string(argv[1]) == "--over") {
        overMs = std::atof(argv[2]);
        overMb = std::atof(argv[3]);
        first = 4;
    }
    LLVMFuzzerTestOneInput(nullptr, 0);  // one-time set-up stays in the parent
    const double baseMb = OwnPeakMb();
    const std::vector<std::string> files = Inputs(argc, argv, first);
    Cost worstTime, worstMemory;
    worstMemory.mb = -1e300;  // a child may stay below the warm parent's peak
    std::string slowest, greediest;
    int failed = 0, large = 0;
    for (const std::string& file : files) {
        const std::vector<std::uint8_t> input = ReadFile(file);
        const Cost cost = RunInChild(input);
        const double mb = cost.mb - baseMb;
        const bool small = input.size() <= kSmallInput;
        const bool over = small && overMs >= 0 && (cost.ms > overMs || mb > overMb);
        if (cost.crashed || over) {
            std::printf("%s %8.1f ms %8.1f MB  %s\n", cost.crashed ? "crashed" : "over   ", cost.ms, mb, file.c_str());
            ++failed;
        }
        if (!small) {
            ++large;
            continue;
        }
        if (cost.ms >= worstTime.ms) {
            worstTime = cost;
            slowest = file;
        }
        if (mb >= worstMemory.mb) {
            worstMemory.mb = mb;
            greediest = file;
        }
    }
    std::printf("inputs %zu (%d over 64 KiB)  slowest %.1f ms (%s)  peak %.1f MB above the warm process of %.1f MB (%s)\n",
                files.size(), large, worstTime.ms, slowest.c_str(), std::max(worstMemory.mb, 0.0), baseMb,
                greediest.c_str());
    return failed == 0 ? 0 : 1;
}
