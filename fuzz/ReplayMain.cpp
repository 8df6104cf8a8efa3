// ReplayMain.cpp: a fuzz target's inputs replayed in an optimised build without the fuzzer or
// the sanitizers, to tell what each one costs a player's machine. Every input runs in a child of
// its own (the tests' bounded run), forked after one warm-up run, so its processor time and its
// peak memory are its own.
//
//   replay_NAME [--over MS MB] FILE|FOLDER...
//
// Prints one line with the slowest and the greediest input of at most 64 KiB (larger inputs, such
// as whole seed files, run but are only counted); with --over, every such input that costs more
// than MS milliseconds or MB megabytes is listed and the exit status is 1. A crash in a child is
// listed and fails too.
#include "support/BoundedRun.h"

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

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
    const double baseMb = static_cast<double>(ResidentKb()) / 1024.0;
    const std::vector<std::string> files = Inputs(argc, argv, first);
    double worstMs = 0, worstMb = 0;
    std::string slowest, greediest;
    int failed = 0, large = 0;
    for (const std::string& file : files) {
        const std::vector<std::uint8_t> input = ReadFile(file);
        const RunCost cost = RunBounded([&] { return LLVMFuzzerTestOneInput(input.data(), input.size()); });
        const double ms = cost.seconds * 1000.0;
        const bool small = input.size() <= kSmallInput;
        const bool over = small && overMs >= 0 && (ms > overMs || cost.peakMb > overMb);
        if (!cost.exited || over) {
            std::printf("%s %8.1f ms %8.1f MB  %s\n", cost.exited ? "over   " : "crashed", ms, cost.peakMb, file.c_str());
            ++failed;
        }
        if (!small) {
            ++large;
            continue;
        }
        if (slowest.empty() || ms >= worstMs) {
            worstMs = ms;
            slowest = file;
        }
        if (greediest.empty() || cost.peakMb >= worstMb) {
            worstMb = cost.peakMb;
            greediest = file;
        }
    }
    std::printf("inputs %zu (%d over 64 KiB)  slowest %.1f ms (%s)  peak %.1f MB above the warm process of %.1f MB (%s)\n",
                files.size(), large, worstMs, slowest.c_str(), worstMb, baseMb,
                greediest.c_str());
    return failed == 0 ? 0 : 1;
}
