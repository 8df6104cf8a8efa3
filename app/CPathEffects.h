// CPathEffects.h: flying effects that run along closed paths, an ellipse or the border of a
// rectangle (the places' highlight and the classic-mode indicator).
//
// An effect's tag names its path (the number of paths before it); StopPaths detaches every
// effect from its path with the tag -1. Positions are applied on every second frame.
#pragma once

#include "app/CFlyingEffects.h"

#include <vector>

struct EffectPath {
    enum EKind { kEllipse = 1, kRectangle = 2 };
    int kind = kEllipse;
    int effectIndex = 0;
    float period = 1;
    int radiusX = 0, radiusY = 0;        // ellipse
    float width = 0, height = 0;         // rectangle
    float glideLeft = 0, glideTime = 0;  // the ellipse centre's glide
    float pathTime = 0;
    float centreX = 0, centreY = 0;      // the rectangle's top-left corner
    float glideFromX = 0, glideFromY = 0;
    float glideToX = 0, glideToY = 0;
    int toggle = 0;
};

class CPathEffects : public CFlyingEffects {
public:
    using CFlyingEffects::CFlyingEffects;

    // A lifetime of -1 is endless; the period is the seconds of one round.
    bool AddEllipse(float lifetime, float period, float x, float y, float rx, float ry, float startTime);
    bool AddRectangle(float lifetime, float period, float x1, float y1, float x2, float y2);
    void StopPaths();
    void Update(float dt);

    int GetPathCount() const { return static_cast<int>(m_paths.size()); }

private:
    bool AddPath(float lifetime, float x, float y, EffectPath& path);
    static void EllipsePoint(EffectPath& path, float dt, float& x, float& y);
    static void RectanglePoint(EffectPath& path, float dt, float& x, float& y);

    std::vector<EffectPath> m_paths;
};
