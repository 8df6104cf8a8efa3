// GlRenderer.cpp: OpenGL drawing of batched quads, textures and render targets.
#include "platform/GlRenderer.h"

#include "platform/EngineLog.h"
#include "platform/ViewFit.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Handles are never reused within the process, not even by a later engine.
HTexture g_nextTexture = 1;
HTarget g_nextTarget = 1;

constexpr int kMaxTextureSide = 8192;

PFNGLGENFRAMEBUFFERSPROC pglGenFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC pglDeleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC pglBindFramebuffer = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DPROC pglFramebufferTexture2D = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC pglCheckFramebufferStatus = nullptr;
PFNGLBLITFRAMEBUFFERPROC pglBlitFramebuffer = nullptr;
PFNGLBLENDFUNCSEPARATEPROC pglBlendFuncSeparate = nullptr;

template <typename T>
bool Load(T& function, const char* name)
{
    function = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

bool ValidSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxTextureSide && height <= kMaxTextureSide;
}

}  // namespace

bool GlRenderer::LoadFunctions()
{
    return Load(pglGenFramebuffers, "glGenFramebuffers") && Load(pglDeleteFramebuffers, "glDeleteFramebuffers") &&
           Load(pglBindFramebuffer, "glBindFramebuffer") &&
           Load(pglFramebufferTexture2D, "glFramebufferTexture2D") &&
           Load(pglCheckFramebufferStatus, "glCheckFramebufferStatus") &&
           Load(pglBlitFramebuffer, "glBlitFramebuffer") && Load(pglBlendFuncSeparate, "glBlendFuncSeparate");
}

bool GlRenderer::Init(int screenWidth, int screenHeight, EngineLog& log)
{
    m_pLog = &log;
    if (!LoadFunctions()) {
        log.Printf("[E] Engine: OpenGL framebuffer objects are not available");
        return false;
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    m_bReady = true;
    const std::uint32_t white = 0xFFFFFFFF;
    m_whiteTexture = TextureCreate(1, 1, &white);
    m_screen.width = screenWidth;
    m_screen.height = screenHeight;
    m_screen.texture = TextureCreate(screenWidth, screenHeight, nullptr);
    if (m_whiteTexture == 0 || m_screen.texture == 0 || !CreateFramebuffer(m_screen)) {
        log.Printf("[E] Engine: can't create the %dx%d screen buffer", screenWidth, screenHeight);
        Shutdown();
        return false;
    }
    BindBuffer(m_screen.fbo, screenWidth, screenHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    m_presentDamage = PixelRect{0, 0, screenWidth, screenHeight};
    return true;
}

void GlRenderer::Shutdown()
{
    m_batch.clear();
    m_scene.clear();
    m_bRecording = false;
    for (auto& entry : m_targets)
        pglDeleteFramebuffers(1, &entry.second.fbo);
    if (m_screen.fbo != 0)
        pglDeleteFramebuffers(1, &m_screen.fbo);
    for (auto& entry : m_textures)
        glDeleteTextures(1, &entry.second.id);
    m_targets.clear();
    m_textures.clear();
    m_screen = Target();
    m_whiteTexture = 0;
    m_bReady = false;
    m_bInScene = false;
    // What the context was last given dies with it: the next Init may bring a new context.
    m_currentFbo = 0;
    m_batchTexture = 0;
    m_batchBlend = -1;
    m_appliedBlend = -1;
}

unsigned GlRenderer::CreateGlTexture(int width, int height, const std::uint32_t* argb)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    std::vector<std::uint32_t> zero;
    if (argb == nullptr) {
        zero.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
        argb = zero.data();
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    return id;
}

HTexture GlRenderer::TextureCreate(int width, int height, const std::uint32_t* argb)
{
    if (!m_bReady || !ValidSize(width, height))
        return 0;
    Flush();
    Texture texture;
    texture.width = width;
    texture.height = height;
    texture.id = CreateGlTexture(width, height, argb);
    if (texture.id == 0)
        return 0;
    texture.seeThrough.FromPixels(argb, width, height);
    const HTexture handle = g_nextTexture++;
    m_textures[handle] = texture;
    return handle;
}

void GlRenderer::TextureFree(HTexture texture)
{
    const auto it = m_textures.find(texture);
    if (it == m_textures.end() || it->second.ownedByTarget || texture == m_whiteTexture)
        return;
    if (m_bRecording && SceneUses(texture))
        Settle();
    Flush();
    glDeleteTextures(1, &it->second.id);
    m_textures.erase(it);
}

int GlRenderer::TextureGetWidth(HTexture texture) const
{
    const auto it = m_textures.find(texture);
    return it == m_textures.end() ? 0 : it->second.width;
}

int GlRenderer::TextureGetHeight(HTexture texture) const
{
    const auto it = m_textures.find(texture);
    return it == m_textures.end() ? 0 : it->second.height;
}

std::uint32_t* GlRenderer::TextureLock(HTexture texture, bool readOnly, int x, int y, int w, int h)
{
    const auto it = m_textures.find(texture);
    if (it == m_textures.end() || it->second.locked)
        return nullptr;
    Texture& t = it->second;
    if (x == 0 && y == 0 && w == 0 && h == 0) {
        w = t.width;
        h = t.height;
    }
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x > t.width - w || y > t.height - h)
        return nullptr;
    if (m_bRecording && texture == SceneTarget()->texture)
        Settle();  // the recorded quads draw into it
    Flush();  // queued quads may still draw into or from this texture
    t.lockBuffer.resize(static_cast<std::size_t>(t.width) * static_cast<std::size_t>(t.height));
    glBindTexture(GL_TEXTURE_2D, t.id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, t.lockBuffer.data());
    t.locked = true;
    t.lockReadOnly = readOnly;
    t.lockX = x;
    t.lockY = y;
    t.lockW = w;
    t.lockH = h;
    return t.lockBuffer.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(t.width) +
           static_cast<std::size_t>(x);
}

void GlRenderer::TextureUnlock(HTexture texture)
{
    const auto it = m_textures.find(texture);
    if (it == m_textures.end() || !it->second.locked)
        return;
    Texture& t = it->second;
    t.locked = false;
    if (!t.lockReadOnly) {
        if (m_bRecording && (SceneUses(texture) || texture == SceneTarget()->texture))
            Settle();  // recorded quads must see the content they were given
        MarkChanged(texture, PixelRect{t.lockX, t.lockY, t.lockW, t.lockH});
        ForgetFrameOf(texture);
        if (texture == m_screen.texture)
            m_presentDamage.Add({t.lockX, t.lockY, t.lockW, t.lockH});
        t.seeThrough.FromPixels(t.ownedByTarget ? nullptr : t.lockBuffer.data(), t.width, t.height);
        glBindTexture(GL_TEXTURE_2D, t.id);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, t.width);
        const std::uint32_t* first =
            t.lockBuffer.data() + static_cast<std::size_t>(t.lockY) * static_cast<std::size_t>(t.width) + t.lockX;
        glTexSubImage2D(GL_TEXTURE_2D, 0, t.lockX, t.lockY, t.lockW, t.lockH, GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, first);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    std::vector<std::uint32_t>().swap(t.lockBuffer);
}

bool GlRenderer::CreateFramebuffer(Target& target)
{
    pglGenFramebuffers(1, &target.fbo);
    pglBindFramebuffer(GL_FRAMEBUFFER, target.fbo);
    pglFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                            m_textures[target.texture].id, 0);
    const bool complete = pglCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    m_textures[target.texture].ownedByTarget = true;
    pglBindFramebuffer(GL_FRAMEBUFFER, m_currentFbo);
    return complete;
}

HTarget GlRenderer::TargetCreate(int width, int height)
{
    if (!m_bReady || !ValidSize(width, height))
        return 0;
    Flush();
    Target target;
    target.width = width;
    target.height = height;
    target.texture = TextureCreate(width, height, nullptr);
    if (target.texture == 0)
        return 0;
    if (!CreateFramebuffer(target)) {
        m_pLog->Printf("[E] Engine: can't create a %dx%d render target", width, height);
        pglDeleteFramebuffers(1, &target.fbo);
        m_textures[target.texture].ownedByTarget = false;
        TextureFree(target.texture);
        return 0;
    }
    const HTarget handle = g_nextTarget++;
    m_targets[handle] = target;
    return handle;
}

void GlRenderer::TargetFree(HTarget target)
{
    const auto it = m_targets.find(target);
    if (it == m_targets.end())
        return;
    if (m_bRecording && (target == m_sceneTarget || SceneUses(it->second.texture)))
        Settle();
    Flush();
    if (it->second.fbo == m_currentFbo) {
        BindBuffer(m_screen.fbo, m_screen.width, m_screen.height);  // never draw into a freed buffer
        m_sceneTarget = 0;
    }
    pglDeleteFramebuffers(1, &it->second.fbo);
    m_textures[it->second.texture].ownedByTarget = false;
    TextureFree(it->second.texture);
    m_targets.erase(it);
}

HTexture GlRenderer::TargetGetTexture(HTarget target) const
{
    const auto it = m_targets.find(target);
    return it == m_targets.end() ? 0 : it->second.texture;
}

// ---- Scenes ------------------------------------------------------------------------------------

void GlRenderer::BindBuffer(unsigned fbo, int width, int height)
{
    pglBindFramebuffer(GL_FRAMEBUFFER, fbo);
    m_currentFbo = fbo;
    m_bufferWidth = width;
    m_bufferHeight = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);  // y = 0 is the buffer's first row: the picture's top
    glMatrixMode(GL_MODELVIEW);
}

bool GlRenderer::BeginScene(HTarget target)
{
    if (!m_bReady || m_bInScene)
        return false;
    if (target == 0) {
        BindBuffer(m_screen.fbo, m_screen.width, m_screen.height);
    } else {
        const auto it = m_targets.find(target);
        if (it == m_targets.end())
            return false;
        BindBuffer(it->second.fbo, it->second.width, it->second.height);
    }
    m_bInScene = true;
    m_sceneTarget = target;
    m_bRecording = m_bTrackDamage;
    m_scene.clear();
    m_clipX = m_clipY = m_clipW = m_clipH = 0;
    ApplyClipping();
    return true;
}

bool GlRenderer::EndScene()
{
    if (!m_bInScene)
        return false;
    Target& target = *SceneTarget();
    if (m_bRecording) {
        EndRecordedScene(target);
    } else {
        Flush();
        target.frameKept = false;
        MarkChanged(target.texture, {});
        if (Texture* texture = FindTexture(target.texture))
            texture->seeThrough.FromPixels(nullptr, target.width, target.height);  // not known: all of it
        if (&target == &m_screen) {
            m_bScreenChanged = true;
            m_presentDamage = PixelRect{0, 0, target.width, target.height};
        }
    }
    m_bRecording = false;
    m_bInScene = false;
    glDisable(GL_SCISSOR_TEST);
    return m_currentFbo == m_screen.fbo;
}

void GlRenderer::Clear(std::uint32_t color)
{
    if (!m_bInScene)
        return;
    if (m_bRecording) {
        DrawCommand clear;  // clears the whole buffer, whatever the clipping
        clear.kind = DrawCommand::kClear;
        clear.clearColor = color;
        m_scene.push_back(clear);
        return;
    }
    Flush();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                 ((color >> 24) & 0xFF) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ApplyClipping();
}

void GlRenderer::SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale)
{
    if (hscale == 0.0f && vscale == 0.0f) {
        m_bIdentity = true;
        return;
    }
    // Around the centre (x, y): scale, then turn, then move the centre by (dx, dy).
    const float c = std::cos(rotation), s = std::sin(rotation);
    m_m[0] = hscale * c;
    m_m[1] = vscale * s;
    m_m[2] = -m_m[0] * x - m_m[1] * y + x + dx;
    m_m[3] = -hscale * s;
    m_m[4] = vscale * c;
    m_m[5] = -m_m[3] * x - m_m[4] * y + y + dy;
    m_bIdentity = false;
}

void GlRenderer::SetClipping(int x, int y, int w, int h)
{
    Flush();
    if (x == 0 && y == 0 && w == 0 && h == 0) {
        m_clipX = m_clipY = m_clipW = m_clipH = 0;
    } else {
        const int right = std::min(x + std::max(w, 0), m_bufferWidth);
        const int bottom = std::min(y + std::max(h, 0), m_bufferHeight);
        m_clipX = std::max(x, 0);
        m_clipY = std::max(y, 0);
        m_clipW = std::max(right - m_clipX, 0);
        m_clipH = std::max(bottom - m_clipY, 0);
        if (m_clipW == 0 || m_clipH == 0)
            m_clipX = m_clipY = m_clipW = m_clipH = -1;  // clips everything away
    }
    if (m_bInScene)
        ApplyClipping();
}

void GlRenderer::ApplyClipping()
{
    if (m_clipX == 0 && m_clipY == 0 && m_clipW == 0 && m_clipH == 0) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    if (m_clipW < 0)
        glScissor(0, 0, 0, 0);
    else
        glScissor(m_clipX, m_clipY, m_clipW, m_clipH);
}

void GlRenderer::SetClampAddressing()
{
    Flush();
    m_bClamp = true;
}

// ---- Quads -------------------------------------------------------------------------------------

void GlRenderer::RenderQuad(const EngineQuad& quad)
{
    if (!m_bInScene)
        return;
    if (quad.tex != 0 && m_textures.find(quad.tex) == m_textures.end())
        return;  // a freed texture: nothing to draw
    if (m_bRecording) {
        RecordQuad(quad);
        return;
    }
    if (quad.tex != m_batchTexture || quad.blend != m_batchBlend) {
        Flush();
        m_batchTexture = quad.tex;
        m_batchBlend = quad.blend;
    }
    Vertex out[4];
    AppendVertices(quad, out);
    m_batch.insert(m_batch.end(), out, out + 4);
}

void GlRenderer::AppendVertices(const EngineQuad& quad, Vertex* out) const
{
    const bool transform = !m_bIdentity && !m_bUnscaled;
    for (const EngineVertex& in : quad.v) {
        out->x = transform ? m_m[0] * in.x + m_m[1] * in.y + m_m[2] : in.x;
        out->y = transform ? m_m[3] * in.x + m_m[4] * in.y + m_m[5] : in.y;
        out->u = in.tx;
        out->v = in.ty;
        out->a = static_cast<std::uint8_t>(in.col >> 24);
        out->r = static_cast<std::uint8_t>(in.col >> 16);
        out->g = static_cast<std::uint8_t>(in.col >> 8);
        out->b = static_cast<std::uint8_t>(in.col);
        ++out;
    }
}

void GlRenderer::BindTexture(HTexture texture)
{
    Texture& t = m_textures[texture == 0 ? m_whiteTexture : texture];
    glBindTexture(GL_TEXTURE_2D, t.id);
    if (t.clamped == m_bClamp)
        return;
    const GLint mode = m_bClamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
    t.clamped = m_bClamp;
}

void GlRenderer::ApplyBlend(int blend)
{
    if (blend == m_appliedBlend)
        return;
    m_appliedBlend = blend;
    if (blend & 1) {
        // Colour: texture + vertex colour, clamped; alpha: texture x vertex.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_ADD);
        glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_RGB, GL_PRIMARY_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_ALPHA, GL_PRIMARY_COLOR);
    } else {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    // Bit 2: alpha-blended over the target; without it the colour, weighted by alpha, is added.
    // Coverage adds up as "over" does, so a buffer that was opaque stays opaque and the view's
    // target, drawn onto the screen, shows its colours alone whatever the screen held before.
    pglBlendFuncSeparate(GL_SRC_ALPHA, (blend & 2) ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

void GlRenderer::Flush()
{
    if (m_batch.empty())
        return;
    BindTexture(m_batchTexture);
    ApplyBlend(m_batchBlend);
    const GLsizei stride = static_cast<GLsizei>(sizeof(Vertex));
    glVertexPointer(2, GL_FLOAT, stride, &m_batch[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &m_batch[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, &m_batch[0].r);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_batch.size()));
    m_batch.clear();
}

// ---- Screen ------------------------------------------------------------------------------------

bool GlRenderer::ReadScreen(std::vector<std::uint32_t>& argb, int& width, int& height)
{
    if (!m_bReady)
        return false;
    if (m_bRecording && m_sceneTarget == 0)
        Settle();
    Flush();
    width = m_screen.width;
    height = m_screen.height;
    argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    glBindTexture(GL_TEXTURE_2D, m_textures[m_screen.texture].id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb.data());
    for (std::uint32_t& pixel : argb)
        pixel |= 0xFF000000u;  // the window shows no alpha
    return true;
}

void GlRenderer::PresentTo(int drawableWidth, int drawableHeight, const std::vector<ViewRect>* areas)
{
    if (!m_bReady || drawableWidth <= 0 || drawableHeight <= 0)
        return;
    Flush();
    m_presentDamage.Clear();
    const ViewRect rect = FitView(m_screen.width, m_screen.height, drawableWidth, drawableHeight);
    const bool same = rect.width == m_screen.width && rect.height == m_screen.height;
    pglBindFramebuffer(GL_READ_FRAMEBUFFER, m_screen.fbo);
    pglBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // The window's first row is its bottom one: flip while copying.
    const int top = drawableHeight - rect.y;
    auto copy = [&] {
        pglBlitFramebuffer(0, 0, m_screen.width, m_screen.height, rect.x, top, rect.x + rect.width, top - rect.height,
                           GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
    };
    if (areas != nullptr) {
        // The same copy as a whole one, its writes held to each area: those pixels come out alike.
        glEnable(GL_SCISSOR_TEST);
        for (const ViewRect& area : *areas) {
            glScissor(area.x, drawableHeight - area.y - area.height, area.width, area.height);
            copy();
        }
    } else {
        if (rect.width != drawableWidth || rect.height != drawableHeight) {
            glClearColor(0, 0, 0, 1);  // the bars
            glClear(GL_COLOR_BUFFER_BIT);
        }
        copy();
    }
    glDisable(GL_SCISSOR_TEST);
    pglBindFramebuffer(GL_FRAMEBUFFER, m_currentFbo);
    if (m_bInScene)
        ApplyClipping();
}

// ---- Damage tracking ---------------------------------------------------------------------------

GlRenderer::Target* GlRenderer::SceneTarget()
{
    const auto it = m_targets.find(m_sceneTarget);
    return it == m_targets.end() ? &m_screen : &it->second;
}

void GlRenderer::RecordQuad(const EngineQuad& quad)
{
    DrawCommand command;
    command.texture = quad.tex;
    command.generation = quad.tex != 0 ? m_textures[quad.tex].generation : 0;
    command.blend = quad.blend;
    command.clamp = m_bClamp ? 1 : 0;
    command.clip[0] = m_clipX;
    command.clip[1] = m_clipY;
    command.clip[2] = m_clipW;
    command.clip[3] = m_clipH;
    AppendVertices(quad, command.v);
    m_scene.push_back(command);
}

bool GlRenderer::SceneUses(HTexture texture) const
{
    return std::any_of(m_scene.begin(), m_scene.end(), [&](const DrawCommand& c) { return c.texture == texture; });
}

GlRenderer::Texture* GlRenderer::FindTexture(HTexture texture)
{
    const auto it = m_textures.find(texture);
    return it == m_textures.end() ? nullptr : &it->second;
}

void GlRenderer::MarkChanged(HTexture texture, const PixelRegion& region)
{
    const auto it = m_textures.find(texture);
    if (it == m_textures.end())
        return;
    ++it->second.generation;
    it->second.lastChange = region;
}

// A target's buffer changed behind its scenes' back: its next scene is drawn whole.
void GlRenderer::ForgetFrameOf(HTexture texture)
{
    if (m_screen.texture == texture)
        m_screen.frameKept = false;
    for (auto& entry : m_targets)
        if (entry.second.texture == texture)
            entry.second.frameKept = false;
}

void GlRenderer::EndRecordedScene(Target& target)
{
    const PixelRect all{0, 0, target.width, target.height};
    PixelRect history = all;
    bool known = false;
    if (!m_scene.empty()) {
        const DrawCommand& first = m_scene.front();
        const Texture* texture = FindTexture(first.texture);
        known = HistoryRegion(first, texture != nullptr ? &texture->seeThrough : nullptr, texture != nullptr ? texture->width : 0,
                              texture != nullptr ? texture->height : 0, target.width, target.height, history);
        if (first.kind == DrawCommand::kClear && first.clearColor >> 24 != 0xFF)
            history = all;  // set without regard to what was there, yet it shows through later
    }
    // Pixels that depend on the buffer's past are drawn every frame, as a whole frame draws them.
    PixelRegion damage = all;
    if (target.frameKept && known) {
        damage = FrameDamage(target.frame, m_scene, target.width, target.height,
                             [this](std::uint32_t texture, TextureChange& change) {
                                 const auto it = m_textures.find(texture);
                                 if (it == m_textures.end())
                                     return false;
                                 change.generation = it->second.generation;
                                 change.region = it->second.lastChange;
                                 change.width = it->second.width;
                                 change.height = it->second.height;
                                 return true;
                             });
        damage.Add(history);
    }
    if (Texture* texture = FindTexture(target.texture))
        texture->seeThrough.FromRect(known ? history : all, target.width, target.height);
    if (!damage.Empty()) {
        Replay(m_scene, damage);
        MarkChanged(target.texture, damage);
    }
    target.frame.swap(m_scene);
    target.frameKept = true;
    m_scene.clear();
    if (&target == &m_screen) {
        m_bScreenChanged = !damage.Empty();
        m_presentDamage.Add(damage);
    }
}

// Box by box: the boxes never overlap, so each pixel sees every command once, in order.
void GlRenderer::Replay(const std::vector<DrawCommand>& commands, const PixelRegion& damage)
{
    for (const PixelRect& box : damage.Rects())
        ReplayIn(commands, box);
}

void GlRenderer::ReplayIn(const std::vector<DrawCommand>& commands, const PixelRect& damage)
{
    const bool liveClamp = m_bClamp;
    PixelRect scissor;
    auto useScissor = [&](const PixelRect& area) {
        if (area.x == scissor.x && area.y == scissor.y && area.w == scissor.w && area.h == scissor.h)
            return;
        Flush();
        glEnable(GL_SCISSOR_TEST);
        glScissor(area.x, area.y, area.w, area.h);
        scissor = area;
    };
    for (const DrawCommand& c : commands) {
        PixelRect area = damage;
        if (c.clip[2] < 0)
            continue;
        if (c.clip[2] != 0 || c.clip[3] != 0)
            area = area.Intersect({c.clip[0], c.clip[1], c.clip[2], c.clip[3]});
        if (area.Empty())
            continue;
        if (c.kind == DrawCommand::kClear) {
            useScissor(area);
            const std::uint32_t color = c.clearColor;
            glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                         ((color >> 24) & 0xFF) / 255.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            continue;
        }
        // A quad that touches no pixel of the box is not given to GL: with a software renderer
        // each one still costs its vertices and each change of texture a draw call.
        if (c.Box(m_bufferWidth, m_bufferHeight).Intersect(area).Empty())
            continue;
        if (c.texture != 0 && m_textures.find(c.texture) == m_textures.end())
            continue;
        useScissor(area);
        if (c.texture != m_batchTexture || c.blend != m_batchBlend || (c.clamp != 0) != m_bClamp) {
            Flush();
            m_batchTexture = c.texture;
            m_batchBlend = c.blend;
            m_bClamp = c.clamp != 0;
        }
        m_batch.insert(m_batch.end(), c.v, c.v + 4);
    }
    Flush();
    m_bClamp = liveClamp;
}

void GlRenderer::Settle()
{
    Target& target = *SceneTarget();
    ReplayIn(m_scene, {0, 0, target.width, target.height});
    target.frameKept = false;
    m_scene.clear();
    m_bRecording = false;
    ApplyClipping();
}
