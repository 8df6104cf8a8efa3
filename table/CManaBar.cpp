// CManaBar.cpp: gauge arithmetic, the animated levels and the swept-sector drawing.
#include "table/CManaBar.h"

#include "app/Globals.h"
#include "framework/CSprite.h"
#include "framework/TraceEvent.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
constexpr float kTwoPi = 6.28318530717958f;
constexpr float kHalfPi = 1.57079632679490f;
constexpr float kFadeAngle = 0.17453f;         // the sector's edges fade over 10 degrees
constexpr float kRiseRate = 4.0f;              // mana per second
constexpr float kFallRate = 16.0f;
constexpr float kFillDelayAfterGain = 10.0f;   // the landing card's flight shortens it
constexpr std::size_t kMaxImagePixels = 1u << 20;  // the tables grow with the image, up to this
}  // namespace

CManaBar::CManaBar(int capacity, CSprite* image, ITableHost* controller)
    : m_pImage(image), m_nCapacity(capacity), m_pController(controller)
{
    BuildAngleTables();
}

CManaBar::~CManaBar()
{
    for (int i = 0; i < kGauges; ++i)
        FreePart(i);
}

void CManaBar::BuildAngleTables()
{
    IEngine* e = m_engine.Get();
    if (m_pImage == nullptr || e == nullptr)
        return;
    m_nTexWidth = e->TextureGetWidth(m_pImage->GetTexture());
    const int w = static_cast<int>(m_pImage->GetWidth());
    const int h = static_cast<int>(m_pImage->GetHeight());
    const std::size_t entries = static_cast<std::size_t>(std::max(m_nTexWidth, 0)) * static_cast<std::size_t>(std::max(h, 0));
    if (w <= 0 || h <= 0 || w > m_nTexWidth || entries > kMaxImagePixels) {
        m_engine.Log("[E] Mana bar: gauge image of %d x %d cannot be drawn", w, h);
        m_nTexWidth = 0;
        return;
    }
    m_angle.assign(entries, 0.0f);
    m_distance.assign(entries, 0.0f);
    const float cx = w / 2.0f, cy = h / 2.0f;
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const float dx = col - cx, dy = cy - row;  // y upwards
            float a = std::atan2(dy, dx);
            if (a < 0)
                a += kTwoPi;
            const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nTexWidth) + static_cast<std::size_t>(col);
            m_angle[at] = a;
            m_distance[at] = std::sqrt(dx * dx + dy * dy);
        }
    }
}

void CManaBar::SetPositions(int x1, int x2, int x3, int x4, int x5, int y)
{
    const int xs[kGauges] = {x1, x2, x3, x4, x5};
    for (int i = 0; i < kGauges; ++i)
        m_gaugeX[i] = xs[i];
    m_gaugeY = y;
}

bool CManaBar::GetGaugePos(int i, int& x, int& y) const
{
    if (!InRange(i))
        return false;
    x = m_gaugeX[i];
    y = m_gaugeY;
    return true;
}

void CManaBar::GetImageSize(int& width, int& height) const
{
    width = m_pImage != nullptr ? static_cast<int>(m_pImage->GetWidth()) : 0;
    height = m_pImage != nullptr ? static_cast<int>(m_pImage->GetHeight()) : 0;
}

bool CManaBar::IsFull(int i) const
{
    return InRange(i) && m_mana[i] == m_nCapacity;
}

bool CManaBar::IsReplaying() const
{
    return m_pController != nullptr && m_pController->IsReplaying();
}

bool CManaBar::BonusesOff() const
{
    return m_pController != nullptr && m_pController->BonusesSwitchedOff();
}

bool CManaBar::ButtonEnabled(int i) const
{
    return m_pController != nullptr ? m_pController->IsBonusButtonEnabled(i) : m_ready[i];
}

int CManaBar::AddMana(int amount)
{
    if (IsReplaying() || BonusesOff() || amount == 0)
        return -1;
    bool given = false;
    for (int g = 0; g < kGauges; ++g) {
        if (m_mana[g] == m_nCapacity)
            continue;
        m_mana[g] += given ? 0 : amount;
        given = true;
        if (m_mana[g] >= m_nCapacity) {
            if (!ButtonEnabled(g)) {
                for (int next = g + 1; next < kGauges; ++next) {
                    if (m_mana[next] != m_nCapacity) {
                        m_mana[next] += m_mana[g] - m_nCapacity;
                        break;
                    }
                }
            }
            m_mana[g] = m_nCapacity;
        }
        if (m_mana[g] < 0)
            m_mana[g] = 0;
    }
    TraceEvent(GetGameTime(), L"mana", m_mana[0] + m_mana[1] + m_mana[2] + m_mana[3] + m_mana[4]);
    m_nEarnedTotal += amount;
    if (m_nEarnedTotal > m_nEarnedStep + m_nUndoLength)
        m_nEarnedStep += m_nUndoLength;
    if (amount > 0)
        m_fFillDelay = kFillDelayAfterGain;
    for (int g = 0; g < kGauges; ++g) {
        if (m_level[g] < static_cast<float>(m_nCapacity))
            return g;
    }
    return -1;
}

void CManaBar::Clear(int i)
{
    if (i == -1) {
        for (int g = 0; g < kGauges; ++g) {
            m_mana[g] = 0;
            m_ready[g] = false;
        }
        m_nReadyCount = 0;
        return;
    }
    if (!InRange(i))
        return;
    m_mana[i] = 0;
    m_ready[i] = false;  // its bonus is spent: the gauge may become ready again
}

void CManaBar::CopyFrom(const CManaBar* other)
{
    if (other == nullptr)
        return;
    m_nCapacity = other->m_nCapacity;
    for (int i = 0; i < kGauges; ++i) {
        m_mana[i] = other->m_mana[i];
        m_level[i] = other->m_level[i];
        m_gaugeX[i] = other->m_gaugeX[i];
    }
    m_gaugeY = other->m_gaugeY;
    m_nReadyCount = other->m_nReadyCount;
}

void CManaBar::ShowTrueLevels()
{
    for (int i = 0; i < kGauges; ++i) {
        m_level[i] = static_cast<float>(m_mana[i]);
        RebuildPart(i);
    }
}

void CManaBar::BecomeReady(int i)
{
    m_ready[i] = true;
    ++m_nReadyCount;
    TraceEvent(GetGameTime(), L"bonusReady", i);
    if (m_pController != nullptr)
        m_pController->OnGaugeReady(i);
}

void CManaBar::Update(float dt)
{
    if (m_fFillDelay != 0) {
        m_fFillDelay -= dt;
        if (m_fFillDelay <= 0)
            m_fFillDelay = 0;
    }
    if (BonusesOff())
        return;
    bool risen = false;
    for (int i = 0; i < kGauges; ++i) {
        const float mana = static_cast<float>(m_mana[i]);
        if (mana < m_level[i]) {
            m_level[i] -= kFallRate * dt;
            if (mana <= m_level[i])
                RebuildPart(i);
            if (m_level[i] < mana)
                m_level[i] = mana;
        } else if (!risen && m_fFillDelay == 0) {
            m_level[i] += kRiseRate * dt;
            if (m_level[i] < mana) {
                RebuildPart(i);
                risen = true;
            } else {
                m_level[i] = mana;
            }
        }
        if (m_level[i] == static_cast<float>(m_nCapacity) && !ButtonEnabled(i))
            BecomeReady(i);
    }
}

void CManaBar::FreePart(int i)
{
    m_partSprites[i].reset();  // it draws the texture
    m_partTextures[i].Reset();
}

void CManaBar::RebuildPart(int i)
{
    FreePart(i);
    IEngine* e = m_engine.Get();
    if (e == nullptr || m_pImage == nullptr || m_nTexWidth == 0 || m_nCapacity <= 0)
        return;
    const HTexture source = m_pImage->GetTexture();
    const int tw = e->TextureGetWidth(source), th = e->TextureGetHeight(source);
    const int w = static_cast<int>(m_pImage->GetWidth()), h = static_cast<int>(m_pImage->GetHeight());
    if (tw != m_nTexWidth || th < h)
        return;
    const std::size_t count = static_cast<std::size_t>(tw) * static_cast<std::size_t>(th);
    std::vector<std::uint32_t> pixels(count);
    const std::uint32_t* src = e->TextureLock(source, true);
    if (src == nullptr)
        return;
    std::copy(src, src + count, pixels.begin());
    e->TextureUnlock(source);

    const float level = m_level[i];
    const float whole = std::trunc(level / m_nCapacity) * m_nCapacity;
    const float limit = kTwoPi - (level - whole) * kTwoPi / m_nCapacity;
    const float radius = w / 2.0f;
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(tw) + static_cast<std::size_t>(col);
            const float angle = m_angle[at];
            if (m_distance[at] > radius || angle < 0 || angle > limit)
                continue;
            float f = 0;
            if (angle < kFadeAngle)
                f = std::pow(1.0f - angle / kHalfPi, 16.0f);
            else if (limit - angle < kFadeAngle)
                f = std::pow(1.0f - (limit - angle) / kHalfPi, 16.0f);
            const std::uint32_t alpha = static_cast<std::uint32_t>((pixels[at] >> 24) * f);
            pixels[at] = (pixels[at] & 0x00FFFFFFu) | (std::min<std::uint32_t>(alpha, 255u) << 24);
        }
    }

    CTextureOwner part(e, e->TextureCreate(tw, th));
    if (part.Get() == 0)
        return;
    std::uint32_t* dst = e->TextureLock(part.Get(), false);
    if (dst == nullptr)
        return;
    std::copy(pixels.begin(), pixels.end(), dst);
    e->TextureUnlock(part.Get());
    m_partSprites[i] = std::make_unique<CSprite>(part.Get(), 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h));
    m_partTextures[i] = std::move(part);
    m_partSprites[i]->SetHotSpot(w / 2.0f, h / 2.0f);
}

void CManaBar::DrawCentred(CSprite& sprite, int i) const
{
    float hx = 0, hy = 0;
    sprite.GetHotSpot(hx, hy);
    sprite.SetHotSpot(sprite.GetWidth() / 2.0f, sprite.GetHeight() / 2.0f);
    sprite.Render(static_cast<float>(m_gaugeX[i]), static_cast<float>(m_gaugeY));
    sprite.SetHotSpot(hx, hy);
}

void CManaBar::Render()
{
    if (BonusesOff())
        return;
    const float full = static_cast<float>(m_nCapacity);
    for (int i = 0; i < kGauges; ++i) {
        if (m_level[i] == full && m_pImage != nullptr)
            DrawCentred(*m_pImage, i);
    }
    for (int i = 0; i < kGauges; ++i) {
        if (m_level[i] > 0 && m_level[i] < full && m_partSprites[i] != nullptr)
            DrawCentred(*m_partSprites[i], i);
    }
}
