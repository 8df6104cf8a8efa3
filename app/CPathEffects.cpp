// CPathEffects.cpp: points on the ellipse and rectangle paths.
#include "app/CPathEffects.h"

#include "framework/CParticleSystem.h"

#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831853071795864f;
constexpr float kPathDelay = 0.0001f;  // spawn in the first update
}  // namespace

bool CPathEffects::AddPath(float lifetime, float x, float y, EffectPath& path)
{
    if (!Add(x, y, lifetime, kPathDelay, GetPathCount()))
        return false;
    path.effectIndex = GetCount() - 1;
    path.centreX = path.glideFromX = path.glideToX = x;
    path.centreY = path.glideFromY = path.glideToY = y;
    m_paths.push_back(path);
    return true;
}

bool CPathEffects::AddEllipse(float lifetime, float period, float x, float y, float rx, float ry,
                              float startTime)
{
    EffectPath path;
    path.kind = EffectPath::kEllipse;
    path.period = period;
    path.radiusX = static_cast<int>(rx);
    path.radiusY = static_cast<int>(ry);
    path.pathTime = startTime;
    return AddPath(lifetime, x, y, path);
}

bool CPathEffects::AddRectangle(float lifetime, float period, float x1, float y1, float x2, float y2)
{
    EffectPath path;
    path.kind = EffectPath::kRectangle;
    path.period = period;
    path.width = x2 - x1;
    path.height = y2 - y1;
    return AddPath(lifetime, x1, y1, path);
}

void CPathEffects::StopPaths()
{
    for (FlyingEffect& effect : m_effects) {
        effect.tag = -1;
        if (IsLive(effect))
            effect.system->Stop(false);
    }
}

void CPathEffects::Update(float dt)
{
    CFlyingEffects::Update(dt);
    // Effects are dropped from the list as they die, so the tag, not the stored index, finds
    // an effect's path.
    for (int i = 0; i < GetCount(); ++i) {
        const int tag = m_effects[static_cast<std::size_t>(i)].tag;
        if (tag < 0 || tag >= GetPathCount())
            continue;
        EffectPath& path = m_paths[static_cast<std::size_t>(tag)];
        float x = 0, y = 0;
        if (path.kind == EffectPath::kEllipse)
            EllipsePoint(path, dt, x, y);
        else
            RectanglePoint(path, dt, x, y);
        if (path.toggle != 0)
            SetPosition(i, x, y, false);
        path.toggle ^= 1;
    }
}

void CPathEffects::EllipsePoint(EffectPath& path, float dt, float& x, float& y)
{
    path.pathTime += dt;
    float angle = path.period > 0 ? path.pathTime / path.period * kTwoPi : 0.0f;
    if (angle >= kTwoPi)
        angle -= kTwoPi;
    if (path.glideLeft != 0) {
        path.glideLeft -= dt;
        if (path.glideLeft > 0 && path.glideTime > 0) {
            const float t = 1.0f - path.glideLeft / path.glideTime;
            path.centreX = path.glideFromX + (path.glideToX - path.glideFromX) * t;
            path.centreY = path.glideFromY + (path.glideToY - path.glideFromY) * t;
        } else {
            path.glideLeft = 0;
            path.centreX = path.glideToX;
            path.centreY = path.glideToY;
        }
    }
    x = std::cos(angle) * static_cast<float>(path.radiusX) + path.centreX;
    y = std::sin(angle) * static_cast<float>(path.radiusY) + path.centreY;
}

// Clockwise from the top-left corner: top, right, bottom, left edge.
void CPathEffects::RectanglePoint(EffectPath& path, float dt, float& x, float& y)
{
    path.pathTime += dt;
    if (path.period > 0 && path.pathTime > path.period)
        path.pathTime -= path.period;
    const float w = path.width, h = path.height;
    const float perimeter = 2 * w + 2 * h;
    x = path.centreX;
    y = path.centreY;
    if (path.period <= 0 || perimeter == 0)
        return;  // a path with no length stays at its corner
    const float d = path.pathTime / path.period * perimeter;
    if (d < w) {
        x += d;
    } else if (d < w + h) {
        x += w;
        y += d - w;
    } else if (d < 2 * w + h) {
        x += w - (d - w - h);
        y += h;
    } else {
        y += h - (d - 2 * w - h);
    }
}
