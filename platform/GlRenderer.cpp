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
           Load(pglBlitFramebuffer, "glBlitFramebuffer");
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
    return true;
}

void GlRenderer::Shutdown()
{
    m_batch.clear();
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
    const HTexture handle = g_nextTexture++;
    m_textures[handle] = texture;
    return handle;
}

void GlRenderer::TextureFree(HTexture texture)
{
    const auto it = m_textures.find(texture);
    if (it == m_textures.end() || it->second.ownedByTarget || texture == m_whiteTexture)
        return;
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
    Flush();
    if (it->second.fbo == m_currentFbo)
        BindBuffer(m_screen.fbo, m_screen.width, m_screen.height);  // never draw into a freed buffer
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
    m_clipX = m_clipY = m_clipW = m_clipH = 0;
    ApplyClipping();
    return true;
}

bool GlRenderer::EndScene()
{
    if (!m_bInScene)
        return false;
    Flush();
    m_bInScene = false;
    glDisable(GL_SCISSOR_TEST);
    return m_currentFbo == m_screen.fbo;
}

void GlRenderer::Clear(std::uint32_t color)
{
    if (!m_bInScene)
        return;
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
    if (quad.tex != m_batchTexture || quad.blend != m_batchBlend) {
        Flush();
        m_batchTexture = quad.tex;
        m_batchBlend = quad.blend;
    }
    const bool transform = !m_bIdentity && !m_bUnscaled;
    for (const EngineVertex& in : quad.v) {
        Vertex out;
        out.x = transform ? m_m[0] * in.x + m_m[1] * in.y + m_m[2] : in.x;
        out.y = transform ? m_m[3] * in.x + m_m[4] * in.y + m_m[5] : in.y;
        out.u = in.tx;
        out.v = in.ty;
        out.a = static_cast<std::uint8_t>(in.col >> 24);
        out.r = static_cast<std::uint8_t>(in.col >> 16);
        out.g = static_cast<std::uint8_t>(in.col >> 8);
        out.b = static_cast<std::uint8_t>(in.col);
        m_batch.push_back(out);
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
    glBlendFunc(GL_SRC_ALPHA, (blend & 2) ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
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

void GlRenderer::PresentTo(int drawableWidth, int drawableHeight)
{
    if (!m_bReady || drawableWidth <= 0 || drawableHeight <= 0)
        return;
    Flush();
    const ViewRect rect = FitView(m_screen.width, m_screen.height, drawableWidth, drawableHeight);
    const bool same = rect.width == m_screen.width && rect.height == m_screen.height;
    pglBindFramebuffer(GL_READ_FRAMEBUFFER, m_screen.fbo);
    pglBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (rect.width != drawableWidth || rect.height != drawableHeight) {
        glClearColor(0, 0, 0, 1);  // the bars
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // The window's first row is its bottom one: flip while copying.
    const int top = drawableHeight - rect.y;
    pglBlitFramebuffer(0, 0, m_screen.width, m_screen.height, rect.x, top, rect.x + rect.width, top - rect.height,
                       GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
    pglBindFramebuffer(GL_FRAMEBUFFER, m_currentFbo);
    if (m_bInScene)
        ApplyClipping();
}
