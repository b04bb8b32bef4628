#include <gtest/gtest.h>

#include "gfx/TwGeometry.h"

TEST(Geometry, SpheresOverlapWhenTouching) {
    EXPECT_TRUE(TwSpheresOverlap({0, 0, 0}, 3, {6, 0, 0}, 3));
    EXPECT_FALSE(TwSpheresOverlap({0, 0, 0}, 3, {6.01f, 0, 0}, 3));
    // The third coordinate counts.
    EXPECT_FALSE(TwSpheresOverlap({0, 0, 0}, 3, {0, 0, 7}, 3));
}

TEST(Geometry, CircleAgainstLine) {
    // Line along x through (0, 10): distance of (5, 14) is 4.
    EXPECT_TRUE(TwCircleTouchesLine({5, 14, 0}, 4, {0, 10, 0}, {3, 0, 0}));
    EXPECT_FALSE(TwCircleTouchesLine({5, 14, 0}, 3.9f, {0, 10, 0}, {3, 0, 0}));
    // The line is infinite: far beyond the direction's end still counts.
    EXPECT_TRUE(TwCircleTouchesLine({-500, 11, 0}, 1, {0, 10, 0}, {1, 0, 0}));
    // A zero direction is the point itself.
    EXPECT_TRUE(TwCircleTouchesLine({3, 4, 0}, 5, {0, 0, 0}, {0, 0, 0}));
    EXPECT_FALSE(TwCircleTouchesLine({3, 4, 0}, 4.9f, {0, 0, 0}, {0, 0, 0}));
}

TEST(Geometry, PointInBoxIncludesEdges) {
    EXPECT_TRUE(TwPointInBox(110, 95, 100, 100, 20, 10));
    EXPECT_TRUE(TwPointInBox(90, 105, 100, 100, 20, 10));
    EXPECT_FALSE(TwPointInBox(110.5f, 100, 100, 100, 20, 10));
    EXPECT_FALSE(TwPointInBox(100, 94, 100, 100, 20, 10));
}

TEST(Geometry, SegmentIntersection) {
    TwVector hit;
    ASSERT_TRUE(TwSegmentsIntersect({0, 0, 0}, {10, 10, 0}, {0, 10, 0}, {10, 0, 0}, &hit));
    EXPECT_FLOAT_EQ(hit.x, 5.0f);
    EXPECT_FLOAT_EQ(hit.y, 5.0f);
    // Ends touching do not count (strict inside both).
    EXPECT_FALSE(TwSegmentsIntersect({0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 10, 0}, nullptr));
    // Crossing lines, but beyond the end of one segment.
    EXPECT_FALSE(TwSegmentsIntersect({0, 0, 0}, {4, 4, 0}, {0, 10, 0}, {10, 0, 0}, nullptr));
    // Parallel and nearly parallel segments never hit.
    EXPECT_FALSE(TwSegmentsIntersect({0, 0, 0}, {10, 0, 0}, {0, 1, 0}, {10, 1, 0}, nullptr));
    EXPECT_FALSE(TwSegmentsIntersect({0, 0, 0}, {0.01f, 0, 0}, {0, -0.001f, 0}, {0.001f, 0.001f, 0},
                                     nullptr));
}
