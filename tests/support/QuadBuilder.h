// QuadBuilder.h: an axis-aligned engine quad over a whole texture, for tests and benchmarks.
#pragma once

#include "platform/Engine.h"

#include <cstdint>

inline EngineQuad MakeQuad(float x0, float y0, float x1, float y1, std::uint32_t color, HTexture tex,
                           int blend = kBlendDefault)
{
    EngineQuad quad;
    const float xs[4] = {x0, x1, x1, x0};
    const float ys[4] = {y0, y0, y1, y1};
    const float us[4] = {0, 1, 1, 0};
    const float vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = xs[i];
        quad.v[i].y = ys[i];
        quad.v[i].tx = us[i];
        quad.v[i].ty = vs[i];
        quad.v[i].col = color;
    }
    quad.tex = tex;
    quad.blend = blend;
    return quad;
}
