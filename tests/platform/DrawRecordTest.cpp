// The damage between two recorded frames and the pixels that depend on the buffer's past: what
// lets the renderer draw only where a frame changed and still give the frame drawn whole.
#include "platform/DrawRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kW = 800, kH = 600;

// A quad over [x0, x1) x [y0, y1) that samples [u0, u1) x [v0, v1), opaque white.
DrawCommand Quad(float x0, float y0, float x1, float y1, std::uint32_t texture = 0, float u0 = 0, float v0 = 0,
                 float u1 = 1, float v1 = 1)
{
    DrawCommand c;
    c.texture = texture;
    c.blend = 2;
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1}, us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i)
        c.v[i] = {xs[i], ys[i], us[i], vs[i], 255, 255, 255, 255};
    return c;
}

std::string Text(const PixelRect& r)
{
    return r.Empty() ? "none" : std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" +
                                    std::to_string(r.h);
}

// Top to bottom, left to right.
std::string Text(const PixelRegion& region)
{
    std::vector<PixelRect> rects = region.Rects();
    std::sort(rects.begin(), rects.end(), [](const PixelRect& a, const PixelRect& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::string text;
    for (const PixelRect& r : rects)
        text += (text.empty() ? "" : " + ") + Text(r);
    return text.empty() ? "none" : text;
}

}  // namespace

TEST(DrawRecord, DamageIsWhatTheDifferingCommandsTouchOldAndNew)
{
    const DrawCommand back = Quad(0, 0, 800, 600, 7), card = Quad(100, 100, 171.5f, 196), moved = Quad(120, 90, 190, 186);
    DrawCommand clipped = card;
    clipped.clip[0] = 0, clipped.clip[1] = 0, clipped.clip[2] = 130, clipped.clip[3] = 150;
    DrawCommand nothingShown = moved;
    nothingShown.clip[0] = nothingShown.clip[1] = nothingShown.clip[2] = nothingShown.clip[3] = -1;
    DrawCommand brighter = card;
    brighter.v[2].r = 200;
    DrawCommand clear;
    clear.kind = DrawCommand::kClear;
    // A target texture 800 x 600 drawn 1:1, whose content changed in one rectangle.
    DrawCommand view = Quad(0, 0, 800, 600, 9), viewNext = view;
    viewNext.generation = 1;
    DrawCommand viewScaled = Quad(0, 0, 1024, 768, 9), viewScaledNext = viewScaled;
    viewScaledNext.generation = 1;
    // Sparkles on the top bar, one born and one gone, while a card in the middle wiggles.
    const DrawCommand spark = Quad(300, 10, 310, 20), born = Quad(520, 12, 530, 22), gone = Quad(290, 30, 298, 38);
    std::vector<DrawCommand> table{back, gone, spark};
    for (int column = 0; column < 7; ++column)
        table.push_back(Quad(50.0f + 100 * column, 100, 121.5f + 100 * column, 196));
    std::vector<DrawCommand> wiggled{back, spark, born};
    wiggled.insert(wiggled.end(), table.begin() + 3, table.end());
    wiggled[6] = Quad(352, 101, 420, 195);
    std::vector<DrawCommand> scattered{back}, gathered{back};
    // Ten sparkles from corner to corner, two pairs of them a little closer than the others.
    const float corners[][2] = {{0, 0},     {80, 60},   {160, 120}, {228, 172}, {320, 240},
                                {400, 300}, {480, 360}, {550, 416}, {640, 480}, {720, 540}};
    for (const auto& at : corners)
        gathered.push_back(Quad(at[0], at[1], at[0] + 10, at[1] + 10));
    const DrawCommand near = Quad(100, 300, 110, 310), close = Quad(150, 330, 170, 340);
    const struct {
        const char* name;
        std::vector<DrawCommand> before, after;
        std::string damage;
    } cases[] = {
        {"the same frame", {back, card}, {back, card}, "none"},
        {"a card moved: both places, edges rounded out", {back, card}, {back, moved}, "100,90 90x106"},
        {"only the pair that differs", {back, card, moved}, {back, brighter, moved}, "100,100 72x96"},
        {"clipping bounds a command", {back, moved}, {back, clipped}, "100,90 90x96"},
        {"a command clipped away touches nothing", {back, card}, {back, nothingShown}, "100,100 72x96"},
        {"one more command: what lies between the common start and end", {back, card}, {back, moved, card}, "120,90 70x96"},
        {"a clear touches everything", {card}, {clear}, "0,0 800x600"},
        {"a changed texture drawn 1:1: its change alone", {view}, {viewNext}, "300,200 50x40"},
        {"scaled: the change widened by filtering", {viewScaled}, {viewScaledNext}, "381,253 70x57"},
        {"commands came and went far apart: each its own box, the others matched", table, wiggled,
         "520,12 10x10 + 290,30 8x8 + 350,100 72x96"},
        {"boxes that add few pixels together are one", {back}, {back, near, close}, "100,300 70x40"},
        {"more boxes than kept: the nearest share one", scattered, gathered,
         "0,0 10x10 + 80,60 10x10 + 160,120 78x62 + 320,240 10x10 + 400,300 10x10 + 480,360 80x66 + 640,480 10x10 + "
         "720,540 10x10"},
    };
    const TextureChangeOf changeOf = [](std::uint32_t texture, TextureChange& change) {
        if (texture != 9)
            return false;
        change.generation = 1;
        change.region = PixelRect{300, 200, 50, 40};
        change.width = 800;
        change.height = 600;
        return true;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Text(FrameDamage(c.before, c.after, kW, kH, changeOf)), c.damage);
    }
}

TEST(DrawRecord, OnlyPixelsUnderASeeThroughFirstCoverDependOnTheBuffersPast)
{
    // A 1024 x 1024 atlas: an 800 x 600 background with a see-through spot, and transparent
    // texels right of it that a 1:1 quad never samples.
    std::vector<std::uint32_t> atlas(1024 * 1024, 0xFF102030u);
    for (int y = 0; y < 1024; ++y)
        for (int x = 800; x < 1024; ++x)
            atlas[static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x)] = 0;
    atlas[static_cast<std::size_t>(120) * 1024 + 140] = 0x80102030u;
    SeeThrough shows;
    shows.FromPixels(atlas.data(), 1024, 1024);
    // Row by row, from the first see-through texel to the last: the spot and the atlas's right part.
    EXPECT_EQ(Text(shows.Within({0, 0, 800, 600})), "140,120 660x1");
    EXPECT_EQ(Text(shows.Within({0, 0, 140, 600})), "none");
    SeeThrough opaque;
    opaque.FromPixels(atlas.data(), 800, 1);  // the first row of the background alone
    DrawCommand clear;
    clear.kind = DrawCommand::kClear;
    const DrawCommand exact = Quad(0, 0, 800, 600, 5, 0, 0, 800 / 1024.0f, 600 / 1024.0f);
    DrawCommand faded = exact;
    faded.v[1].a = 254;
    DrawCommand added = exact;
    added.blend = 0;
    const struct {
        const char* name;
        DrawCommand first;
        const SeeThrough* texture;
        int textureWidth, textureHeight;
        bool known;
        std::string region;
    } cases[] = {
        {"a clear", clear, nullptr, 0, 0, true, "none"},
        {"a plain colour", Quad(-1, -1, 801, 601), nullptr, 0, 0, true, "none"},
        {"an opaque texture", Quad(0, 0, 800, 600, 5), &opaque, 800, 1, true, "none"},
        {"1:1: the texels it samples alone", exact, &shows, 1024, 1024, true, "140,120 660x1"},
        {"scaled: the spot and the edge texels filtering reaches", Quad(0, 0, 800, 600, 5, 0, 0, 800 / 1024.0f, 0.5f),
         &shows, 1024, 1024, true, "138,0 662x600"},
        {"not covering the buffer", Quad(0, 0, 800, 599), nullptr, 0, 0, false, ""},
        {"a vertex not of full alpha", faded, &shows, 1024, 1024, false, ""},
        {"added, not blended", added, &shows, 1024, 1024, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PixelRect region;
        EXPECT_EQ(HistoryRegion(c.first, c.texture, c.textureWidth, c.textureHeight, kW, kH, region), c.known);
        if (c.known) {
            EXPECT_EQ(Text(region), c.region);
        }
    }
}
