// GlRenderer.h: quads, textures and render targets on OpenGL (2.1 compatibility profile).
//
// Quads are queued and drawn in batches; a batch ends when the texture or blend mode changes,
// and before anything that must see finished pixels (lock, clear, scene end, clipping, a freed
// texture). The screen is itself drawn into an off-screen buffer, so the last presented frame
// can be read back at any time and headless runs need no window surface. Every buffer keeps its
// first row at the top (y = 0), which is also texture coordinate 0, as in the game's pictures.
// Needs a current GL context from Init to Shutdown.
//
// With damage tracking (the default), a scene is recorded and drawn at its end: a scene equal to
// the buffer's last one draws nothing, any other draws all its commands clipped to the pixels
// that may differ (DrawRecord.h). Anything that needs the scene's pixels before its end (a lock
// of its buffer, a freed or rewritten texture it drew) draws the recording whole and ends the
// tracking for the rest of the scene.
#pragma once

#include "platform/DrawRecord.h"
#include "platform/Engine.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class EngineLog;
struct ViewRect;

class GlRenderer {
public:
    bool Init(int screenWidth, int screenHeight, EngineLog& log);
    void Shutdown();
    bool IsReady() const { return m_bReady; }

    bool BeginScene(HTarget target);
    bool EndScene();                  // true when the scene was the screen's
    bool ScreenChanged() const { return m_bScreenChanged; }  // by the last scene on the screen
    void SetDamageTracking(bool on) { m_bTrackDamage = on; }
    bool InScene() const { return m_bInScene; }
    void Clear(std::uint32_t color);
    void SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale);
    void SetUnscaled(bool unscaled) { m_bUnscaled = unscaled; }
    void RenderQuad(const EngineQuad& quad);
    void SetClipping(int x, int y, int w, int h);
    void SetClampAddressing();

    HTarget TargetCreate(int width, int height);
    void TargetFree(HTarget target);
    HTexture TargetGetTexture(HTarget target) const;
    HTexture TextureCreate(int width, int height, const std::uint32_t* argb);  // null: transparent
    void TextureFree(HTexture texture);
    int TextureGetWidth(HTexture texture) const;
    int TextureGetHeight(HTexture texture) const;
    std::uint32_t* TextureLock(HTexture texture, bool readOnly, int x, int y, int w, int h);
    void TextureUnlock(HTexture texture);

    // The last frame drawn on the screen, rows top to bottom, alpha forced opaque.
    bool ReadScreen(std::vector<std::uint32_t>& argb, int& width, int& height);
    // Copies the screen buffer to the window's framebuffer, scaled evenly and centred in it; with
    // `areas` (drawable pixels from the top-left), only the pixels there, as the whole copy gives them.
    void PresentTo(int drawableWidth, int drawableHeight, const std::vector<ViewRect>* areas = nullptr);
    // The boxes of screen pixels drawn since the last PresentTo; empty: nothing changed.
    const PixelRegion& PresentDamage() const { return m_presentDamage; }

private:
    struct Texture {
        unsigned id = 0;
        int width = 0, height = 0;
        bool ownedByTarget = false;
        bool clamped = false;            // addressing mode set on this GL texture
        std::vector<std::uint32_t> lockBuffer;
        bool locked = false, lockReadOnly = true;
        int lockX = 0, lockY = 0, lockW = 0, lockH = 0;
        std::uint32_t generation = 0;    // counts the changes of its content
        SeeThrough seeThrough;           // where its alpha is below 255
        PixelRegion lastChange;          // of the latest one; empty: all of it
    };
    struct Target {
        unsigned fbo = 0;
        HTexture texture = 0;
        int width = 0, height = 0;
        std::vector<DrawCommand> frame;  // what its last tracked scene drew
        bool frameKept = false;          // the buffer holds exactly what `frame` drew
    };
    using Vertex = DrawVertex;

    bool LoadFunctions();
    unsigned CreateGlTexture(int width, int height, const std::uint32_t* argb);
    bool CreateFramebuffer(Target& target);
    void Flush();
    void BindTexture(HTexture texture);
    void ApplyBlend(int blend);
    void BindBuffer(unsigned fbo, int width, int height);
    void ApplyClipping();
    Target* SceneTarget();
    void RecordQuad(const EngineQuad& quad);
    void AppendVertices(const EngineQuad& quad, Vertex* out) const;
    void EndRecordedScene(Target& target);
    void Replay(const std::vector<DrawCommand>& commands, const PixelRegion& damage);
    void ReplayIn(const std::vector<DrawCommand>& commands, const PixelRect& box);
    void Settle();                       // draws the recording now; tracking ends for this scene
    bool SceneUses(HTexture texture) const;
    Texture* FindTexture(HTexture texture);
    void MarkChanged(HTexture texture, const PixelRegion& region);  // empty: all of it
    void ForgetFrameOf(HTexture texture);

    EngineLog* m_pLog = nullptr;
    bool m_bReady = false;
    bool m_bInScene = false;
    bool m_bUnscaled = false;
    bool m_bClamp = false;
    std::map<HTexture, Texture> m_textures;
    std::map<HTarget, Target> m_targets;
    Target m_screen;                     // the screen's off-screen buffer
    HTexture m_whiteTexture = 0;         // stands in for "no texture"
    unsigned m_currentFbo = 0;
    int m_bufferWidth = 0, m_bufferHeight = 0;   // of the buffer being drawn
    int m_clipX = 0, m_clipY = 0, m_clipW = 0, m_clipH = 0;  // all 0: no clipping
    float m_m[6] = {1, 0, 0, 0, 1, 0};   // x' = m0 x + m1 y + m2, y' = m3 x + m4 y + m5
    bool m_bIdentity = true;

    std::vector<Vertex> m_batch;
    HTexture m_batchTexture = 0;
    int m_batchBlend = -1;
    int m_appliedBlend = -1;

    bool m_bTrackDamage = true;
    bool m_bRecording = false;           // this scene is being recorded, not drawn
    HTarget m_sceneTarget = 0;           // 0: the screen
    std::vector<DrawCommand> m_scene;
    bool m_bScreenChanged = true;
    PixelRegion m_presentDamage;
};
