// RecordTutorials.cpp: writes the tutorial of every story and hardcore level of the game folder.
//
//     RecordTutorials --root <game folder> --lessons <lessons file> [--cache <folder>]
//
// For each level it deals the seed whose game the test solvers win, solves it, plays the moves
// through the tracker with the lesson windows and writes "data/learn/<level name>.dat" (only when
// its bytes change). Learn files of names no level has any more are removed. The engine is the
// in-memory one of the tests: the seeds were found with its random numbers. A search can take
// seconds, so the won games are kept in the cache folder with the section and seed they were
// found for, and found again only when those change or the table refuses a move.
#include "CTutorialRecorder.h"
#include "LessonPlan.h"
#include "solvers/BundledLevels.h"
#include "solvers/FakeEngine.h"
#include "solvers/LevelSolver.h"
#include "solvers/SpiderSolver.h"
#include "solvers/WinnableDeals.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Counted in positions, not seconds, so that a busy build machine records the same games.
constexpr std::size_t kMaxPositions = 1000000;

bool Solve(const std::map<std::string, levels::Section>& file, const levels::WinnableDeal& deal,
           std::vector<levels::SolverMove>& moves)
{
    ScopedFakeEngine fake;
    levels::DealtLevel game(fake.Get(), file, deal.section, deal.seed);
    if (!game.loaded)
        return false;
    if (levels::SpiderSolver::Applies(game.Table()))
        return levels::SpiderSolver(game.Table(), kMaxPositions).Solve(moves);
    return levels::LevelSolver(game.Table(), kMaxPositions).Solve(moves);
}

// What a won game depends on: the section's keys and the seed (FNV-1a, the same on every run).
std::uint64_t GameKey(const std::map<std::string, levels::Section>& file, const levels::WinnableDeal& deal)
{
    std::string text = std::to_string(deal.section) + "/" + std::to_string(deal.seed);
    const auto it = file.find("solitaire" + std::to_string(deal.section));
    if (it != file.end())
        for (const auto& kv : it->second.keys)
            text += "\n" + kv.first + "=" + kv.second;
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// The cached game: a line with its key, then one move per line "kind from card to".
bool ReadCachedGame(const std::filesystem::path& path, std::uint64_t key, std::vector<levels::SolverMove>& moves)
{
    std::ifstream in(path);
    std::uint64_t stored = 0;
    if (!(in >> stored) || stored != key)
        return false;
    moves.clear();
    levels::SolverMove m;
    while (in >> m.kind >> m.from >> m.card >> m.to)
        moves.push_back(m);
    return !moves.empty();
}

void WriteCachedGame(const std::filesystem::path& path, std::uint64_t key, const std::vector<levels::SolverMove>& moves)
{
    std::ostringstream out;
    out << key << "\n";
    for (const levels::SolverMove& m : moves)
        out << m.kind << " " << m.from << " " << m.card << " " << m.to << "\n";
    std::ofstream(path, std::ios::trunc) << out.str();
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

struct Folders {
    std::filesystem::path learn;  // where the learn files go
    std::filesystem::path cache;  // where the won games are kept; empty: none
};

// Plays the moves through a recorder on a fresh deal of the seed.
bool Record(const std::map<std::string, levels::Section>& file, const levels::WinnableDeal& deal,
            const std::vector<levels::SolverMove>& moves, CTutorialRecorder& recorder, std::string& why)
{
    ScopedFakeEngine fake;
    levels::DealtLevel game(fake.Get(), file, deal.section, deal.seed, &recorder);
    return game.loaded && recorder.Play(game.Table(), moves, why);
}

// Records the level's won game: the cached one while it still plays, else one found anew.
std::unique_ptr<CTutorialRecorder> RecordGame(const std::map<std::string, levels::Section>& file,
                                              const LessonPlan& plan, const levels::WinnableDeal& deal,
                                              const Folders& folders, std::vector<levels::SolverMove>& moves,
                                              std::string& why)
{
    const std::string name = LevelName(file, deal.section);
    const std::uint64_t key = GameKey(file, deal);
    const std::filesystem::path cached = folders.cache / ("Solitaire" + std::to_string(deal.section) + ".moves");
    auto recorder = std::make_unique<CTutorialRecorder>(plan, name);
    if (!folders.cache.empty() && ReadCachedGame(cached, key, moves) && Record(file, deal, moves, *recorder, why))
        return recorder;
    recorder = std::make_unique<CTutorialRecorder>(plan, name);  // a refused game left a part behind
    why.clear();
    if (!Solve(file, deal, moves)) {
        why = "no win found";
        return nullptr;
    }
    if (!Record(file, deal, moves, *recorder, why))
        return nullptr;
    if (!folders.cache.empty())
        WriteCachedGame(cached, key, moves);
    return recorder;
}

// Records one level; prints a line on it. False (with a line on stderr) when it cannot.
bool RecordLevel(const std::map<std::string, levels::Section>& file, const LessonPlan& plan,
                 const levels::WinnableDeal& deal, const Folders& folders, std::set<std::string>& written)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string name = LevelName(file, deal.section);
    std::vector<levels::SolverMove> moves;
    std::string why = "the level has no lessons";
    std::unique_ptr<CTutorialRecorder> done;
    if (!name.empty() && plan.HasLevel(name))
        done = RecordGame(file, plan, deal, folders, moves, why);
    if (done != nullptr && !WriteIfChanged(folders.learn / (name + ".dat"), done->FileBytes()))
        why = "cannot write its file";
    else if (done != nullptr)
        why.clear();
    if (!why.empty()) {
        std::fprintf(stderr, "error: Solitaire%d \"%s\" (seed %u): %s\n", deal.section, name.c_str(), deal.seed,
                     why.c_str());
        return false;
    }
    written.insert(name + ".dat");
    std::string unused;
    for (ELesson lesson : done->UnusedLessons())
        unused += std::string(" ") + LessonPlan::Name(lesson);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    std::printf("Solitaire%d \"%s\": %d of %zu moves, %d windows%s%s, %.1f s\n", deal.section, name.c_str(),
                done->PlayedMoves(), moves.size(), done->Windows(), unused.empty() ? "" : "; not shown:",
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
    Folders folders;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--root") == 0)
            root = argv[i + 1];
        else if (std::strcmp(argv[i], "--lessons") == 0)
            lessons = argv[i + 1];
        else if (std::strcmp(argv[i], "--cache") == 0)
            folders.cache = argv[i + 1];
    }
    if (root.empty() || lessons.empty()) {
        std::fprintf(stderr, "usage: RecordTutorials --root <game folder> --lessons <lessons file> [--cache <folder>]\n");
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
    folders.learn = std::filesystem::path(root) / "data" / "learn";
    std::filesystem::create_directories(folders.learn);
    if (!folders.cache.empty())
        std::filesystem::create_directories(folders.cache);
    std::set<std::string> written;
    bool ok = !file.empty();
    for (const levels::WinnableDeal& deal : levels::kWinnableDeals)
        ok = RecordLevel(file, plan, deal, folders, written) && ok;
    if (!ok)
        return 1;
    RemoveStale(folders.learn, written);
    return 0;
}
