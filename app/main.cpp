// main.cpp: a small demo of the engine layer until the game's start-up takes over: a window
// (or a headless run with the engine's options) showing a few animated quads. Escape or closing
// the window ends it.
#include "platform/Engine.h"

#include <cmath>
#include <cstdio>

namespace {

IEngine* g_pEngine = nullptr;
HTexture g_card = 0;
HTexture g_glow = 0;

HTexture MakeCardTexture()
{
    const int w = 64, h = 96;
    const HTexture tex = g_pEngine->TextureCreate(w, h);
    std::uint32_t* p = g_pEngine->TextureLock(tex, false);
    for (int y = 0; p != nullptr && y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool border = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
            const bool pip = (x - 32) * (x - 32) + (y - 48) * (y - 48) < 100;
            p[y * w + x] = border ? 0xFF303030 : pip ? 0xFFC01010 : 0xFFF8F8F0;
        }
    g_pEngine->TextureUnlock(tex);
    return tex;
}

HTexture MakeGlowTexture()
{
    const int size = 64;
    const HTexture tex = g_pEngine->TextureCreate(size, size);
    std::uint32_t* p = g_pEngine->TextureLock(tex, false);
    for (int y = 0; p != nullptr && y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::sqrt(static_cast<float>((x - 32) * (x - 32) + (y - 32) * (y - 32))) / 32.0f;
            const auto a = static_cast<std::uint32_t>(d >= 1.0f ? 0.0f : (1.0f - d) * 255.0f);
            p[y * size + x] = a << 24 | 0xFFD060;
        }
    g_pEngine->TextureUnlock(tex);
    return tex;
}

void DrawQuad(float cx, float cy, float w, float h, float angle, std::uint32_t color, HTexture tex, int blend)
{
    EngineQuad quad;
    const float dx[4] = {-w / 2, w / 2, w / 2, -w / 2}, dy[4] = {-h / 2, -h / 2, h / 2, h / 2};
    const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = cx + dx[i] * c - dy[i] * s;
        quad.v[i].y = cy + dx[i] * s + dy[i] * c;
        quad.v[i].tx = u[i];
        quad.v[i].ty = v[i];
        quad.v[i].col = color;
    }
    quad.tex = tex;
    quad.blend = blend;
    g_pEngine->RenderQuad(quad);
}

bool Frame()
{
    if (g_pEngine->GetKey() == kVkEscape)
        return true;
    const float t = g_pEngine->GetTime();
    g_pEngine->BeginScene();
    g_pEngine->Clear(0xFF0B4D2C);
    EngineQuad band;  // a gradient strip from per-vertex colours, no texture
    const float bx[4] = {0, 800, 800, 0}, by[4] = {520, 520, 600, 600};
    const std::uint32_t bc[4] = {0xFF1A6B40, 0xFF1A6B40, 0xFF06301A, 0xFF06301A};
    for (int i = 0; i < 4; ++i) {
        band.v[i].x = bx[i];
        band.v[i].y = by[i];
        band.v[i].col = bc[i];
    }
    g_pEngine->RenderQuad(band);
    for (int i = 0; i < 7; ++i) {
        const float x = 130.0f + i * 90.0f;
        const float y = 300.0f + 40.0f * std::sin(t * 2.0f + i * 0.7f);
        DrawQuad(x, y, 64, 96, 0.15f * std::sin(t + i), 0xFFFFFFFF, g_card, kBlendDefault);
    }
    float mx = 0, my = 0;
    g_pEngine->GetMousePos(mx, my);
    DrawQuad(mx, my, 96, 96, 0, g_pEngine->KeyState(kVkLButton) ? 0xFFFFFFFF : 0x80FFFFFF, g_glow, kBlendAdd);
    g_pEngine->EndScene();
    return false;
}

bool Exit()
{
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!EngineParseCommandLine(argc, argv))
        return 1;
    g_pEngine = engine2dCreate(kEngineVersion);
    if (g_pEngine == nullptr)
        return 1;
    g_pEngine->SetState(EState::Title, "Palmora");
    g_pEngine->SetState(EState::Windowed, true);
    g_pEngine->SetState(EState::FrameFunc, &Frame);
    g_pEngine->SetState(EState::ExitFunc, &Exit);
    if (!g_pEngine->Initiate()) {
        std::fprintf(stderr, "the engine did not start\n");
        g_pEngine->Release();
        return 1;
    }
    g_card = MakeCardTexture();
    g_glow = MakeGlowTexture();
    g_pEngine->RunMainLoop();
    g_pEngine->TextureFree(g_card);
    g_pEngine->TextureFree(g_glow);
    g_pEngine->Shutdown();
    g_pEngine->Release();
    return 0;
}
