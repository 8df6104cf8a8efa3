#include "framework/CRect.h"

#include <gtest/gtest.h>

TEST(CRect, SinglePointGivesAnEmptyBoxThatHoldsNothing)
{
    CRect r;
    EXPECT_TRUE(r.m_bClean);
    r.Encapsulate(5, 7);
    EXPECT_FALSE(r.m_bClean);
    EXPECT_EQ(r.x1, 5);
    EXPECT_EQ(r.x2, 5);
    EXPECT_EQ(r.y1, 7);
    EXPECT_EQ(r.y2, 7);
    EXPECT_FALSE(r.TestPoint(5, 7));
}

TEST(CRect, EncapsulateGrowsInEveryDirectionAndClearStartsOver)
{
    CRect r;
    r.Encapsulate(5, 7);
    r.Encapsulate(-1, 9);
    r.Encapsulate(3, -2);
    r.Encapsulate(8, 0);
    EXPECT_EQ(r.x1, -1);
    EXPECT_EQ(r.y1, -2);
    EXPECT_EQ(r.x2, 8);
    EXPECT_EQ(r.y2, 9);
    r.Clear();
    r.Encapsulate(100, 100);
    EXPECT_EQ(r.x1, 100);
    EXPECT_EQ(r.y1, 100);
}

TEST(CRect, TestPointIncludesTopLeftEdgesOnly)
{
    CRect r;
    r.Encapsulate(0, 0);
    r.Encapsulate(10, 5);
    struct Case {
        float x, y;
        bool inside;
    };
    const Case cases[] = {{0, 0, true}, {9.9f, 4.9f, true}, {10, 2, false}, {2, 5, false}, {-0.1f, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(r.TestPoint(c.x, c.y), c.inside);
    }
}

TEST(CRect, RectanglesThatOnlyTouchDoNotIntersect)
{
    const auto box = [](float x1, float y1, float x2, float y2) {
        CRect r;
        r.Encapsulate(x1, y1);
        r.Encapsulate(x2, y2);
        return r;
    };
    const CRect a = box(0, 0, 10, 10);
    struct Case {
        const char* name;
        CRect other;
        bool intersects;
    };
    const Case cases[] = {
        {"overlapping corner", box(5, 5, 15, 15), true},
        {"inside", box(2, 2, 3, 3), true},
        {"around", box(-5, -5, 20, 20), true},
        {"touching right edge", box(10, 0, 20, 10), false},
        {"touching bottom edge", box(0, 10, 10, 20), false},
        {"apart", box(11, 11, 12, 12), false},
        {"overlapping in x only", box(5, 20, 15, 30), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(a.Intersect(c.other), c.intersects);
        EXPECT_EQ(c.other.Intersect(a), c.intersects);
    }
}
