// bench-libs: platform
// Quads per second through the engine: 10,000 textured quads per frame into an 800x600 render
// target, headless (offscreen OpenGL, usually Mesa's software rasteriser in CI).
#include "platform/Engine.h"
#include "platform/FileSystem.h"
#include "tests/support/QuadBuilder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

namespace {

constexpr int kQuadsPerFrame = 10000;

EngineQuad CardQuad(float x, float y, HTexture tex, int blend)
{
    return MakeQuad(x, y, x + 32, y + 48, 0xFFFFFFFF, tex, blend);
}

// state.range(0): how many textures the quads cycle through (1: one batch per frame).
void BM_DrawTexturedQuadsIntoTarget(benchmark::State& state)
{
    EngineOptions options;
    options.headless = true;
    EngineSetOptions(options);
    fs_layer::SetRootFolder(std::filesystem::temp_directory_path().string());
    IEngine* engine = engine2dCreate(kEngineVersion);
    if (engine == nullptr || !engine->Initiate()) {
        state.SkipWithError("the headless engine did not start");
        if (engine != nullptr)
            engine->Release();
        return;
    }
    const HTarget target = engine->TargetCreate(800, 600, false);
    std::vector<HTexture> textures;
    for (int i = 0; i < state.range(0); ++i) {
        const HTexture tex = engine->TextureCreate(32, 48);
        std::uint32_t* p = engine->TextureLock(tex, false);
        for (int k = 0; p != nullptr && k < 32 * 48; ++k)
            p[k] = 0xFF000000u | static_cast<std::uint32_t>(k * 2654435761u >> 8);
        engine->TextureUnlock(tex);
        textures.push_back(tex);
    }
    std::vector<EngineQuad> quads;
    for (int i = 0; i < kQuadsPerFrame; ++i)
        quads.push_back(CardQuad(static_cast<float>(i * 37 % 768), static_cast<float>(i * 53 % 552),
                                 textures[static_cast<std::size_t>(i) % textures.size()], kBlendDefault));
    for (auto _ : state) {
        engine->BeginScene(target);
        engine->Clear(0xFF004000);
        for (const EngineQuad& quad : quads)
            engine->RenderQuad(quad);
        engine->EndScene();
        // Reading one pixel waits for the GPU, so the time covers the drawing, not just queueing.
        const std::uint32_t* p = engine->TextureLock(engine->TargetGetTexture(target), true, 0, 0, 1, 1);
        benchmark::DoNotOptimize(p);
        engine->TextureUnlock(engine->TargetGetTexture(target));
    }
    state.SetItemsProcessed(state.iterations() * kQuadsPerFrame);
    state.counters["quads_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kQuadsPerFrame, benchmark::Counter::kIsRate);
    engine->TargetFree(target);
    engine->Shutdown();
    engine->Release();
    EngineSetOptions(EngineOptions());
}
BENCHMARK(BM_DrawTexturedQuadsIntoTarget)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
