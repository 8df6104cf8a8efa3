// MakeLevelPreviews: draws the preview picture of every story entry, so the story map and the
// classic selection show each level as it really deals from "sol_max.ini".
//   MakeLevelPreviews <game folder>
// For entry n (0..24 story levels, 25..29 bonus levels, 30..34 hardcore levels) it starts the
// game screen headless on the bundled data, lets the deal land, draws the view into an 800 x 600
// target and writes it scaled down to gfx/previews/level_<n>.png. Each deal is seeded by its
// entry, so a build writes the same pictures again and leaves unchanged files untouched.
#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "platform/Engine.h"
#include "platform/FileSystem.h"
#include "platform/ImageCodec.h"
#include "progress/CProfileStore.h"
#include "progress/ProgressRules.h"
#include "table/CCardTable.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 35;
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;
constexpr int kPreviewWidth = 224;
constexpr int kPreviewHeight = 168;
constexpr int kSettleLimit = 3000;   // frames a deal may take before the picture is taken anyway
constexpr int kAfterSettle = 30;     // frames for the last lights to calm down
constexpr int kSamples = 4;          // per axis and preview pixel

struct Run {
    std::string root;
    IEngine* engine = nullptr;
    HTarget target = 0;
    std::unique_ptr<CFMouse> mouse;
    CGameProcess* game = nullptr;
    int entry = 0;
    int frame = 0;
    int settledAt = -1;
    int failures = 0;
};

Run g_run;

progress::GameStart StartOf(int entry)
{
    progress::GameStart start;
    if (entry < 25)
        (void)progress::StoryGameStart(progress::StoryEntry::Story(entry), start);
    else if (entry < 30)
        (void)progress::StoryGameStart(progress::StoryEntry::Bonus(entry - 25), start);
    else
        (void)progress::StoryGameStart(progress::StoryEntry::Hardcore(entry - 30), start);
    return start;
}

bool Settled(CGameProcess& game)
{
    CInterface& ui = *game.GetInterface();
    return !ui.IsDealing() && !ui.GetTable()->IsFlying() && ui.GetPanelState() == 0 && !ui.IsStartPending();
}

std::uint32_t Average(const std::uint32_t* pixels, int pitch, int x, int y)
{
    unsigned sum[3] = {0, 0, 0};
    for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
            const int sx = static_cast<int>((x + (i + 0.5) / kSamples) * kViewWidth / kPreviewWidth);
            const int sy = static_cast<int>((y + (j + 0.5) / kSamples) * kViewHeight / kPreviewHeight);
            const std::uint32_t p = pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(pitch) + sx];
            sum[0] += p >> 16 & 0xFF;
            sum[1] += p >> 8 & 0xFF;
            sum[2] += p & 0xFF;
        }
    }
    const unsigned n = kSamples * kSamples;
    return 0xFF000000u | (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n);
}

// Rewrites the file only when its bytes change, so the build sees nothing new.
bool WriteIfChanged(const std::string& path, const std::vector<std::uint32_t>& pixels)
{
    const std::string temp = path + ".new";
    if (!image_codec::WritePng(temp, kPreviewWidth, kPreviewHeight, pixels.data()))
        return false;
    std::ifstream a(temp, std::ios::binary), b(path, std::ios::binary);
    const std::string fresh((std::istreambuf_iterator<char>(a)), std::istreambuf_iterator<char>());
    const std::string old((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
    std::error_code error;
    if (b && fresh == old) {
        std::filesystem::remove(temp, error);
        return true;
    }
    std::filesystem::rename(temp, path, error);
    return !error;
}

bool SavePreview(int entry)
{
    IEngine& engine = *g_run.engine;
    if (!engine.BeginScene(g_run.target))
        return false;
    engine.Clear(0xFF000000u);
    g_run.game->Render();
    engine.EndScene();
    const HTexture texture = engine.TargetGetTexture(g_run.target);
    const std::uint32_t* pixels = engine.TextureLock(texture, true);
    if (pixels == nullptr)
        return false;
    const int pitch = engine.TextureGetWidth(texture);
    std::vector<std::uint32_t> preview(static_cast<std::size_t>(kPreviewWidth) * kPreviewHeight);
    for (int y = 0; y < kPreviewHeight; ++y)
        for (int x = 0; x < kPreviewWidth; ++x)
            preview[static_cast<std::size_t>(y) * kPreviewWidth + x] = Average(pixels, pitch, x, y);
    engine.TextureUnlock(texture);
    const std::filesystem::path folder = std::filesystem::path(g_run.root) / "gfx" / "previews";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return WriteIfChanged((folder / ("level_" + std::to_string(entry) + ".png")).string(), preview);
}

void StartEntry(int entry)
{
    g_run.engine->RandomSeed(static_cast<std::uint32_t>(1000 + entry));
    const progress::GameStart start = StartOf(entry);
    g_run.game = CGameProcess::Create(start.level, start.mode, start.extra);
    g_run.frame = 0;
    g_run.settledAt = -1;
}

void FinishEntry()
{
    if (!SavePreview(g_run.entry)) {
        std::fprintf(stderr, "[E] MakeLevelPreviews: Can't write the preview of entry %d\n", g_run.entry);
        ++g_run.failures;
    }
    g_run.game->Release();
    g_run.game = nullptr;
    ++g_run.entry;
}

bool Frame()
{
    constexpr float kDt = 1.0f / 60.0f;
    if (g_run.game == nullptr) {
        if (g_run.entry >= kEntries)
            return true;
        StartEntry(g_run.entry);
        if (g_run.game == nullptr) {
            ++g_run.failures;
            return true;
        }
    }
    g_run.mouse->Update(kDt);
    g_run.game->Update(kDt);
    ++g_run.frame;
    if (g_run.settledAt < 0 && (Settled(*g_run.game) || g_run.frame >= kSettleLimit))
        g_run.settledAt = g_run.frame;
    if (g_run.settledAt >= 0 && g_run.frame >= g_run.settledAt + kAfterSettle)
        FinishEntry();
    return false;
}

void CreateServices()
{
    g_pProfileStore = new CProfileStore();
    // No first-play windows over the table, and no player file is written.
    g_pProfileStore->m_current.m_introShown.fill(1);
    g_pProfileStore->m_current.m_bMasterWindowShown = 1;
    g_run.mouse = std::make_unique<CFMouse>();
    g_pScreenManager = new CScreenManager();
    g_pResource = new CFResource("effects/effects.as");
    g_pLogicIni = new CIniFile("Logic.ini");
}

void DeleteServices()
{
    delete g_pLogicIni;
    g_pLogicIni = nullptr;
    delete g_pScreenManager;
    g_pScreenManager = nullptr;
    g_pResource->Release();
    g_pResource = nullptr;
    CSoundManager::Destroy();
    g_run.mouse.reset();
    g_pProfileStore->m_players.clear();
    delete g_pProfileStore;
    g_pProfileStore = nullptr;
}

std::vector<std::string> MissingFiles(const std::vector<std::string>& files)
{
    std::vector<std::string> missing;
    for (const std::string& file : files)
        if (!fs_layer::FileExists(file))
            missing.push_back(file);
    return missing;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <game folder>\n", argv[0]);
        return 2;
    }
    g_run.root = std::filesystem::absolute(argv[1]).string();  // the engine resolves against it
    EngineOptions options;
    options.headless = true;
    options.noAudio = true;
    EngineSetOptions(options);
    EngineSetLogHook([](const char* line, void*) { std::fprintf(stderr, "%s\n", line); }, nullptr);
    fs_layer::SetRootFolder(g_run.root);
    g_run.engine = engine2dCreate(kEngineVersion);
    if (g_run.engine == nullptr)
        return 1;
    g_run.engine->SetState(EState::FrameFunc, &Frame);
    if (!g_run.engine->Initiate()) {
        std::fprintf(stderr, "[E] MakeLevelPreviews: the headless engine did not start\n");
        g_run.engine->Release();
        return 1;
    }
    g_run.target = g_run.engine->TargetCreate(kViewWidth, kViewHeight, false);
    // The resource manager makes the folder's cache key and byte-code cache if they are not
    // there yet: a data set ships neither, so what this run made goes again.
    const std::vector<std::string> made = MissingFiles({"data/cache.key", "effects/effects.bc"});
    CreateServices();
    g_run.engine->RunMainLoop();
    DeleteServices();
    for (const std::string& file : made)
        std::filesystem::remove(g_run.root + "/" + file);
    g_run.engine->TargetFree(g_run.target);
    g_run.engine->Release();
    return g_run.failures == 0 && g_run.entry == kEntries ? 0 : 1;
}
