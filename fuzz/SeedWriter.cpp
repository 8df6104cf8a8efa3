// SeedWriter.cpp: writes fuzz seeds with the game's and the client's own writers, so every seed
// is a file those programs really make.
//   fuzz_seed_writer <seed folder> <kept seed folder> <game data folder>
// Each seed lands in <seed folder>/<target>/. The data libraries are built from the kept INI seeds
// of the configuration target, the byte-code cache from the generated resource script.
#include "FuzzSupport.h"

#include "feedback/DataLibraryWriter.h"
#include "feedback/RegistryStore.h"
#include "feedback/WideText.h"
#include "framework/CFResource.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "table/CTracker.h"
#include "table/TutorialFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string g_out;
std::string g_data;

void Keep(const std::string& target, const std::string& name, const fs::path& from)
{
    fs::create_directories(g_out + "/" + target);
    fs::copy_file(from, g_out + "/" + target + "/" + name, fs::copy_options::overwrite_existing);
}

void KeepBytes(const std::string& target, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(g_out + "/" + target);
    fuzz::WriteFile(g_out + "/" + target + "/" + name, bytes.data(), bytes.size());
}

// A fresh root folder for one writer, so nothing of an earlier one is read back.
std::string FreshRoot()
{
    const std::string root = fuzz::UseAsRoot();
    fs::remove_all(root);
    fs::create_directories(root + "/data");
    return root;
}

void WriteSaves()
{
    const std::string root = FreshRoot();
    {
        CProfileStore store;
        store.NewPlayer("ALICE", true);
        store.NewPlayer("BOB", true);
        store.m_current.m_nRank = 3;
        store.m_current.m_storyLevels = {3, 2, 1, 0, 0};
        (void)store.Save();
    }
    Keep("save", "three_players.dat", root + "/data/save.dat");
    {
        CProfileStore store;
        (void)store.DeletePlayer(1);
        (void)store.Save();
    }
    Keep("save", "two_players.dat", root + "/data/save.dat");
    // The same file from an older version of the game, which the first save moves aside.
    std::vector<std::uint8_t> older;
    if (!fs_layer::ReadWholeFile("data/save.dat", older) || older.size() < 4)
        std::abort();
    older[0] = static_cast<std::uint8_t>(CProfileStore::kVersion - 1);
    KeepBytes("save", "older_version.dat", older);
}

void WriteHiScores()
{
    const std::string root = FreshRoot();
    CHiScoreTable table;
    table.AddScore(0, "ALICE", 4, 12000);
    table.AddScore(1, "BOB", 7, 99999);
    table.AddScore(1, "A VERY LONG PLAYER NAME", 12, 5);
    (void)table.Save();
    Keep("hiscores", "scores.dat", root + "/data/hiscores.dat");
}

void WriteTutorials()
{
    const std::string root = FreshRoot();
    CTracker tracker;
    for (int i = 0; i < 52; ++i)
        tracker.AddDeal(static_cast<std::uint8_t>(i % 13), static_cast<std::uint8_t>(i / 13));
    tracker.AddMove(6, 2, 0, 0, 0);
    tracker.AddMove(0, 1, 0, 1, 0);
    tracker.AddMove(7, 8, 0xFF, 0, 0);
    tracker.AddMove(1, 9, 2, 0, 1);
    if (!tracker.Save("record.dat"))
        std::abort();
    Keep("tutorial", "record.dat", root + "/record.dat");

    TutorialRecord record;
    record.dealCount = 3;
    record.moveCount = 3;
    record.dealA = {0, 12, 5};
    record.dealB = {3, 0, 2};
    record.moveFrom = {0, 1, 2};
    record.moveTo = {1, 2, 0};
    record.moveCard = {0, 0xFF, 1};
    record.moveFlags = {0, 0x11, 0};
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(record, bytes);
    tutorial_file::WriteMessages({{"window_1", "show", -40, 120}, {}, {"window_2", "", 300, -200}}, bytes);
    KeepBytes("tutorial", "learn.dat", bytes);
}

void WriteRegistry()
{
    const std::string path = FreshRoot() + "/registry.txt";
    RegistryStore store(path);
    const std::u16string key = u"Software\\Quenlo Games\\Feedback Services\\1.0";
    const std::u16string game = key + u"\\Games\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";
    const std::uint8_t user[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
    bool ok = store.CreateKey(key) && store.Write(key, u"First Run", RegistryStore::Qword(0x01DA0B1C2D3E4F50ull));
    ok = ok && store.Write(game, u"Enabled", RegistryStore::Dword(1));
    ok = ok && store.Write(game, u"User", RegistryStore::Binary(user, sizeof user));
    ok = ok && store.Write(game, u"Name", RegistryStore::String(u"text with \" and \\ escaped"));
    if (!ok)
        std::abort();
    Keep("registry", "registry.txt", path);
}

// Every INI seed of the configuration target, built into a data library as the build tool does.
void WriteDataLibraries(const std::string& sourceSeeds)
{
    for (const auto& entry : fs::directory_iterator(sourceSeeds + "/feedback_ini")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto resources = DataLibraryWriter::IniResources(text, u"NimbraClientData-host.so");
        KeepBytes("feedback_datalib", entry.path().stem().string() + ".so", DataLibraryWriter::BuildElf(resources));
    }
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The byte-code cache that loading the bundled resource script leaves beside it, and the made-up
// byte code kept among the seeds under that cache's header (this build's library version and
// interface), which the trial of an untagged cache must refuse.
void WriteByteCode(const std::string& kept)
{
    const std::string root = FreshRoot();
    fs::create_directories(root + "/effects");
    fs::copy_file(g_data + "/effects/effects.as", root + "/effects/effects.as");
    { CFResource resource("effects\\effects.as"); }
    if (!fs::exists(root + "/effects/effects.bc"))
        std::abort();
    Keep("bytecode", "effects.bc", root + "/effects/effects.bc");
    std::vector<std::uint8_t> madeUp = ReadAll(root + "/effects/effects.bc");
    const std::vector<std::uint8_t> found = ReadAll(kept + "/bytecode/made-up-cache-asserts-in-loader");
    if (madeUp.size() < 24 || found.size() < 20)
        std::abort();
    madeUp.resize(24);  // magic, version, interface, length, tag
    madeUp.insert(madeUp.end(), found.begin() + 20, found.end());
    const std::size_t length = madeUp.size() - 24;
    for (int i = 0; i < 4; ++i)
        madeUp[12 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    KeepBytes("bytecode", "made-up-under-this-header.bc", madeUp);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <seed folder> <kept seed folder> <game data folder>\n", argv[0]);
        return 2;
    }
    ScopedFakeEngine fake;  // the stores and the resource manager log and play through it
    g_out = argv[1];
    g_data = argv[3];
    WriteSaves();
    WriteHiScores();
    WriteTutorials();
    WriteRegistry();
    WriteDataLibraries(argv[2]);
    WriteByteCode(argv[2]);
    return 0;
}
