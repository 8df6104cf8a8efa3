#include "image/CPixImage.h"
#include "image/CPixRect2.h"
#include "image/CPixRegion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Rows from the top, '#' selected: the picture as the plane holds it, bottom row last.
std::vector<std::string> SelectionRows(const CPixImage& image)
{
    std::vector<std::string> rows;
    for (int y = image.Height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x)
            row += image.IsSelected(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

void ExpectBox(const CPixImage& image, int left, int top, int right, int bottom)
{
    PixRect box;
    image.SelectionBox(box);
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);
    EXPECT_EQ(box.right, right);
    EXPECT_EQ(box.bottom, bottom);
}

}  // namespace

TEST(ImageLayers, LayersAreInsertedFoundAndDeletedByPosition)
{
    CPixImage image(4, 4, 24, kPixTypeUnknown);
    ASSERT_TRUE(image.CreateLayer(-1));
    CPixImage* first = image.Layer(-1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Parent(), &image);
    EXPECT_EQ(image.Layer(0), first);
    ASSERT_TRUE(image.CreateLayer(0));   // in front of the first
    ASSERT_TRUE(image.CreateLayer(99));  // past the count: at the end
    EXPECT_EQ(image.LayerCount(), 3);
    EXPECT_EQ(image.Layer(1), first);
    EXPECT_EQ(image.Layer(3), nullptr);
    EXPECT_FALSE(image.DeleteLayer(3));
    ASSERT_TRUE(image.DeleteLayer(0));
    EXPECT_EQ(image.Layer(0), first);
    // Processing replaces the picture but keeps the layers.
    ASSERT_TRUE(image.RotateQuarterLeft());
    EXPECT_EQ(image.LayerCount(), 2);
    EXPECT_EQ(image.Layer(0), first);
    image.DeleteAllLayers();
    EXPECT_EQ(image.LayerCount(), 0);
    EXPECT_EQ(image.Layer(0), nullptr);
    EXPECT_EQ(image.Layer(-1), nullptr);
    EXPECT_FALSE(image.DeleteLayer(-1));
}

TEST(ImageSelection, RectanglesAndEllipsesFillThePlaneAndGrowTheBox)
{
    CPixImage image(8, 6, 8, kPixTypeUnknown);
    EXPECT_TRUE(image.IsSelected(7, 5));   // no plane: everything inside
    EXPECT_FALSE(image.IsSelected(8, 0));  // but nothing outside
    ASSERT_TRUE(image.SelectRect(2, 2, 2, 5));  // zero width: nothing selected, box still grows
    ExpectBox(image, 2, 5, 2, 2);
    EXPECT_FALSE(image.IsSelected(2, 2));
    ASSERT_TRUE(image.SelectRect(7, 0, 5, 2));  // corners in any order, right and top exclusive
    ASSERT_TRUE(image.SelectRect(-3, 9, 1, 5));  // clamped to the picture
    ExpectBox(image, 0, 6, 7, 0);
    EXPECT_EQ(SelectionRows(image), (std::vector<std::string>{"#.......", "........", "........", "........",
                                                             ".....##.", ".....##."}));
    EXPECT_FALSE(image.SelectEllipse(3, 0, 3, 6));  // a radius of 0
    ASSERT_TRUE(image.ClearSelection());
    ExpectBox(image, 8, 0, 0, 6);
    // Centre (4, 3), radii 4 and 3; column x spans the rows whose distance from the centre row
    // is within sqrt(1 - ((x - 4) / 4)^2) x 3, truncated: column 1 (1.98) gets rows 2 and 3.
    ASSERT_TRUE(image.SelectEllipse(0, 0, 8, 6));
    EXPECT_EQ(SelectionRows(image), (std::vector<std::string>{"....#...", "..#####.", ".#######", ".#######",
                                                             "..#####.", "........"}));
    ExpectBox(image, 0, 6, 8, 0);
    ASSERT_TRUE(image.InvertSelection());
    EXPECT_TRUE(image.IsSelected(0, 0));
    EXPECT_FALSE(image.IsSelected(4, 3));
    image.DeleteSelection();
    EXPECT_FALSE(image.HasSelection());
    EXPECT_FALSE(image.InvertSelection());
}

TEST(ImageSelection, PolygonsColoursAndPixels)
{
    CPixImage image(7, 7, 24, kPixTypeUnknown);
    const PixPoint triangle[] = {{1, 1}, {5, 1}, {1, 5}};
    ASSERT_TRUE(image.SelectPolygon(triangle, 3));
    EXPECT_EQ(SelectionRows(image), (std::vector<std::string>{".......", ".#.....", ".##....", ".###...", ".####..",
                                                             ".#####.", "......."}));
    ExpectBox(image, 1, 6, 6, 1);
    // A ring: the hole is reachable from nowhere but is not an edge, so it is selected too.
    CPixImage ring(7, 7, 24, kPixTypeUnknown);
    const PixPoint square[] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}};
    ASSERT_TRUE(ring.SelectPolygon(square, 4));
    EXPECT_TRUE(ring.IsSelected(3, 3));
    EXPECT_FALSE(image.SelectPolygon(triangle, 0));

    CPixImage colours(4, 2, 24, kPixTypeUnknown);
    colours.SetPixelColor(1, 0, PixQuad{9, 9, 9, 0});
    colours.SetPixelColor(3, 1, PixQuad{9, 9, 9, 0});
    ASSERT_TRUE(colours.SelectColor(PixQuad{9, 9, 9, 0}));
    EXPECT_EQ(SelectionRows(colours), (std::vector<std::string>{"...#", ".#.."}));
    ExpectBox(colours, 1, 2, 4, 0);
    ASSERT_TRUE(colours.SelectPixel(0, 0));
    ASSERT_TRUE(colours.SelectPixel(-1, 0));  // outside: nothing, but no failure
    EXPECT_TRUE(colours.IsSelected(0, 0));
    ExpectBox(colours, 1, 2, 4, 0);  // single pixels leave the box alone
}

TEST(ImageSelection, PlaneExportsAsImageAndRegionAndCopiesBetweenImages)
{
    CPixImage image(6, 4, 8, kPixTypeUnknown);
    ASSERT_TRUE(image.SelectRect(1, 0, 4, 3));
    ASSERT_TRUE(image.SelectRect(4, 1, 6, 2));
    CPixImage plane(kPixTypeUnknown);
    ASSERT_TRUE(image.SelectionToImage(&plane));
    EXPECT_EQ(plane.Bpp(), 8);
    EXPECT_TRUE(plane.IsGreyPalette());
    EXPECT_EQ(plane.PixelIndex(1, 0), 255);
    EXPECT_EQ(plane.PixelIndex(0, 0), 0);

    CPixRegion region;
    ASSERT_TRUE(image.SelectionToRegion(&region));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(region.Contains(x, y), image.IsSelected(x, y)) << x << "," << y;
    EXPECT_LE(region.Rects().size(), 3u);  // the runs of equal rows merge
    const PixRect bounds = region.Bounds();
    EXPECT_EQ(bounds.left, 1);
    EXPECT_EQ(bounds.right, 6);
    EXPECT_EQ(bounds.top, 3);
    EXPECT_FALSE(image.SelectionToRegion(nullptr));

    CPixImage same(6, 4, 24, kPixTypeUnknown);
    ASSERT_TRUE(same.CopySelectionFrom(image));
    EXPECT_TRUE(same.IsSelected(5, 1));
    ExpectBox(same, 1, 3, 6, 0);
    CPixImage other(5, 4, 24, kPixTypeUnknown);
    EXPECT_FALSE(other.CopySelectionFrom(image));
    // A new picture drops the plane.
    ASSERT_NE(same.Create(6, 4, 24, kPixTypeUnknown), nullptr);
    EXPECT_FALSE(same.HasSelection());
}

TEST(ImageGeometry, RectanglesIntersectAndMeasure)
{
    const CPixRect2 a(0, 0, 4, 2);
    const CPixRect2 touching(4, 0, 6, 2);
    const CPixRect2 cut = a.CrossSection(touching);
    EXPECT_FLOAT_EQ(cut.Width(), 0);
    EXPECT_FLOAT_EQ(cut.topLeft.x, 4);
    EXPECT_FLOAT_EQ(cut.Height(), 2);
    const CPixRect2 apart = a.CrossSection(CPixRect2(5, 5, 6, 6));
    EXPECT_FLOAT_EQ(apart.topLeft.x, 0);
    EXPECT_FLOAT_EQ(apart.bottomRight.y, 0);
    EXPECT_FLOAT_EQ(a.CrossSection(CPixRect2(1, 1, 9, 9)).Surface(), 3);
    EXPECT_FLOAT_EQ(a.Center().x, 2);
    EXPECT_FLOAT_EQ(CPixPoint2(1, 1).Distance(CPixPoint2(4, 5)), 5);
}
