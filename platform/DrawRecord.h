// DrawRecord.h: a scene kept as the list of what it drew, so the next frame of the same buffer
// can be compared with it and only the pixels that may differ be drawn again.
//
// A command holds everything that decides its pixels: the vertices after the transform, the
// texture with the generation of its content, blend, addressing and clipping. Two equal commands
// over the same earlier pixels give the same pixels, so a pixel that no differing command
// touches keeps its value: the damage is the boxes of the differing commands, old and new.
#pragma once

#include "platform/PixelRegion.h"

#include <cstdint>
#include <functional>
#include <vector>

struct DrawVertex {
    float x, y, u, v;
    std::uint8_t r, g, b, a;
};

// Compared byte for byte: every field is 4 bytes wide, so there is no padding to differ.
struct DrawCommand {
    enum Kind : std::uint32_t { kQuad = 1, kClear = 2 };
    std::uint32_t kind = kQuad;
    std::uint32_t texture = 0;        // 0: none
    std::uint32_t generation = 0;     // of the texture's content when the command was given
    std::int32_t blend = 0;
    std::uint32_t clamp = 0;
    std::int32_t clip[4] = {0, 0, 0, 0};  // x, y, w, h; all 0: none; w -1: everything clipped away
    std::uint32_t clearColor = 0;
    DrawVertex v[4] = {};

    bool operator==(const DrawCommand& other) const;
    bool operator!=(const DrawCommand& other) const { return !(*this == other); }
    PixelRect Box(int bufferWidth, int bufferHeight) const;  // the pixels it may touch
    bool SameButGeneration(const DrawCommand& other) const;
};

// Where a texture lets what lies below show through (alpha below 255), row by row, so a quad
// that samples part of an atlas learns what shows through in that part alone.
class SeeThrough {
public:
    void FromPixels(const std::uint32_t* argb, int width, int height);  // null: nothing yet, all shows
    void FromRect(const PixelRect& rect, int width, int height);        // that rectangle, nothing else
    PixelRect Within(const PixelRect& texels) const;  // the box of what shows through there

private:
    std::vector<std::int32_t> m_spans;  // per row: first and one past the last see-through texel
    int m_width = 0, m_height = 0;
};

// The buffer pixels whose value after a scene depends on what the buffer held before: none
// after a clear; where the texture shows through when the first command is a quad of full
// alpha blended over the whole buffer; false (all of them) otherwise.
bool HistoryRegion(const DrawCommand& first, const SeeThrough* texture, int textureWidth, int textureHeight,
                   int bufferWidth, int bufferHeight, PixelRect& region);

// What changed in a texture's content from one generation to the next.
struct TextureChange {
    std::uint32_t generation = 0;
    PixelRegion region;               // in texture pixels; empty: not known, take it all
    int width = 0, height = 0;        // the texture's size
};

// The pixels a command that draws a changed texture touches anew: the change mapped through an
// axis-aligned quad, widened by what filtering reaches; the command's whole box otherwise.
PixelRegion ChangedTexturePixels(const DrawCommand& command, const TextureChange& change, int bufferWidth,
                                 int bufferHeight);

// The pixels of the buffer that may differ between drawing `before` and drawing `after` over the
// same pixels; `changeOf` tells what changed last in a texture (false: nothing known). The two
// lists are matched in order (commands that came or went, such as a sparkle born or gone, leave
// the others matched): a pixel that no unmatched command touches sees equal commands in the
// same order.
using TextureChangeOf = std::function<bool(std::uint32_t texture, TextureChange& change)>;
PixelRegion FrameDamage(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after, int width,
                        int height, const TextureChangeOf& changeOf);
