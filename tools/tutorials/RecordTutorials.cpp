// RecordTutorials.cpp: writes the tutorial of every story and hardcore level of the game folder.
//
//     RecordTutorials --root <game folder> --lessons <lessons file>
//
// For each level it deals the seed whose game the test solvers win, solves it, plays the moves
// through the tracker with the lesson windows and writes "data/learn/<level name>.dat" (only when
// its bytes change). Learn files of names no level has any more are removed. The engine is the
// in-memory one of the tests: the seeds were found with its random numbers.
#include "CTutorialRecorder.h"
#include "LessonPlan.h"
#include "data/BundledLevels.h"
#include "data/LevelSolver.h"
#include "data/SpiderSolver.h"
#include "data/WinnableDeals.h"
#include "support/FakeEngine.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxPositions = 1000000;
constexpr double kMaxSeconds = 120.0;

bool Solve(const std::map<std::string, levels::Section>& file, const levels::WinnableDeal& deal,
           std::vector<levels::SolverMove>& moves)
{
    ScopedFakeEngine fake;
    levels::DealtLevel game(fake.Get(), file, deal.section, deal.seed);
    if (!game.loaded)
        return false;
    if (levels::SpiderSolver::Applies(game.Table()))
        return levels::SpiderSolver(game.Table(), kMaxPositions, kMaxSeconds).Solve(moves);
    return levels::LevelSolver(game.Table(), kMaxPositions, kMaxSeconds).Solve(moves);
}

bool WriteIfChanged(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ifstream old(path, std::ios::binary);
    if (old && std::vector<std::uint8_t>(std::istreambuf_iterator<char>(old), {}) == bytes)
        return true;
    old.close();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string LevelName(const std::map<std::string, levels::Section>& file, int section)
{
    const auto it = file.find("solitaire" + std::to_string(section));
    const std::string* name = it != file.end() ? it->second.Find("level_name") : nullptr;
    return name != nullptr ? *name : "";
}

// Records one level; prints a line on it. False (with a line on stderr) when it cannot.
bool RecordLevel(const std::map<std::string, levels::Section>& file, const LessonPlan& plan,
                 const levels::WinnableDeal& deal, const std::filesystem::path& folder, std::set<std::string>& written)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string name = LevelName(file, deal.section);
    std::vector<levels::SolverMove> moves;
    if (name.empty() || !plan.HasLevel(name) || !Solve(file, deal, moves)) {
        std::fprintf(stderr, "error: Solitaire%d \"%s\": no lessons, or no win for seed %u\n", deal.section,
                     name.c_str(), deal.seed);
        return false;
    }
    ScopedFakeEngine fake;
    CTutorialRecorder recorder(plan, name);
    levels::DealtLevel game(fake.Get(), file, deal.section, deal.seed, &recorder);
    std::string why;
    if (!recorder.Play(game.Table(), moves, why) || !WriteIfChanged(folder / (name + ".dat"), recorder.FileBytes())) {
        std::fprintf(stderr, "error: Solitaire%d \"%s\": %s\n", deal.section, name.c_str(),
                     why.empty() ? "cannot write its file" : why.c_str());
        return false;
    }
    written.insert(name + ".dat");
    std::string unused;
    for (ELesson lesson : recorder.UnusedLessons())
        unused += std::string(" ") + LessonPlan::Name(lesson);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    std::printf("Solitaire%d \"%s\": %d of %zu moves, %d windows%s%s, %.1f s\n", deal.section, name.c_str(),
                recorder.PlayedMoves(), moves.size(), recorder.Windows(), unused.empty() ? "" : "; not shown:",
                unused.c_str(), spent.count());
    return true;
}

void RemoveStale(const std::filesystem::path& folder, const std::set<std::string>& written)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".dat" && written.count(entry.path().filename().string()) == 0)
            std::filesystem::remove(entry.path());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string root, lessons;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--root") == 0)
            root = argv[i + 1];
        else if (std::strcmp(argv[i], "--lessons") == 0)
            lessons = argv[i + 1];
    }
    if (root.empty() || lessons.empty()) {
        std::fprintf(stderr, "usage: RecordTutorials --root <game folder> --lessons <lessons file>\n");
        return 2;
    }
    LessonPlan plan;
    std::string why;
    if (!plan.Load(lessons, why)) {
        std::fprintf(stderr, "error: %s\n", why.c_str());
        return 1;
    }
    std::vector<std::string> bad;
    const auto file = levels::ReadLevelFile(root + "/sol_max.ini", bad);
    const std::filesystem::path folder = std::filesystem::path(root) / "data" / "learn";
    std::filesystem::create_directories(folder);
    std::set<std::string> written;
    bool ok = !file.empty();
    for (const levels::WinnableDeal& deal : levels::kWinnableDeals)
        ok = RecordLevel(file, plan, deal, folder, written) && ok;
    if (!ok)
        return 1;
    RemoveStale(folder, written);
    return 0;
}
