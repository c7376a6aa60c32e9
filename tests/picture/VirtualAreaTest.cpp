// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/Geometry.h"
#include "picture/RegionOps.h"
#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

int countSet(const VirtualArea& area, const Region& r)
{
    int n = 0;
    for (int x = r.x0; x <= r.x1; ++x)
        for (int y = r.y0; y <= r.y1; ++y)
            n += area.dot(x, y);
    return n;
}

TEST(VirtualArea, CoversExactlyThePlaneAndStartsClear)
{
    VirtualArea area;
    EXPECT_EQ(VirtualArea::kWidth, 1088);
    EXPECT_EQ(VirtualArea::kHeight, 544);
    EXPECT_TRUE(VirtualArea::contains(-512, -256));
    EXPECT_TRUE(VirtualArea::contains(575, 287));
    EXPECT_FALSE(VirtualArea::contains(-513, 0));
    EXPECT_FALSE(VirtualArea::contains(576, 0));
    EXPECT_FALSE(VirtualArea::contains(0, -257));
    EXPECT_FALSE(VirtualArea::contains(0, 288));
    EXPECT_EQ(countSet(area, {-512, -256, 575, 287}), 0);
}

TEST(VirtualArea, CornersAreIndependentDots)
{
    VirtualArea area;
    const int xs[] = {-512, 575};
    const int ys[] = {-256, 287};
    for (int x : xs)
        for (int y : ys)
            area.setDot(x, y, 1);
    EXPECT_EQ(countSet(area, {-512, -256, 575, 287}), 4);
    area.setDot(575, 287, 0);
    EXPECT_EQ(area.dot(575, 287), 0);
    EXPECT_EQ(area.dot(-512, 287), 1);
}

TEST(VirtualArea, DotsOutsideThePlaneReadClearAndWritesAreDropped)
{
    VirtualArea area;
    // The neighbours in memory of out-of-plane coordinates must stay untouched.
    area.setDot(576, 0, 1);
    area.setDot(0, 288, 1);
    area.setDot(-513, -257, 1);
    area.setDot(576, 288, 1);
    EXPECT_EQ(area.dot(576, 0), 0);
    EXPECT_EQ(area.dot(0, 288), 0);
    EXPECT_EQ(countSet(area, {-512, -256, 575, 287}), 0);
}

TEST(VirtualArea, StoresOnlyZeroOrOne)
{
    VirtualArea area;
    area.setDot(3, 4, 7);
    EXPECT_EQ(area.dot(3, 4), 1);
}

TEST(Geometry, ViewSizesForTheFourCellSizes)
{
    EXPECT_EQ(viewAt(0, 0, 4), (View{0, 0, 64, 32}));
    EXPECT_EQ(viewAt(5, -3, 8), (View{5, -3, 32, 16}));
    EXPECT_EQ(viewAt(0, 0, 16), (View{0, 0, 16, 8}));
    EXPECT_EQ(viewAt(0, 0, 32), (View{0, 0, 8, 4}));
    EXPECT_EQ(cellSizeForZoom(1), 4);
    EXPECT_EQ(cellSizeForZoom(4), 32);
    EXPECT_EQ(cellSizeForZoom(9), 32);
}

TEST(Geometry, ClearRegionIsOneWindowBeyondTheScrollRange)
{
    EXPECT_EQ(clearRegionFor(ScrollLimits{}), (Region{-160, -80, 160, 80}));
    EXPECT_EQ(clearRegionFor({-512, 512, -256, 256}), (Region{-544, -272, 544, 272}));
}

TEST(RegionOps, ClearingTheWidestRegionReachesPastThePlaneSafely)
{
    VirtualArea area;
    area.setDot(-512, -256, 1);
    area.setDot(544, 272, 1);
    area.setDot(575, 287, 1);
    fillRegion(area, clearRegionFor({-512, 512, -256, 256}), 0);
    EXPECT_EQ(area.dot(-512, -256), 0);
    EXPECT_EQ(area.dot(544, 272), 0);
    EXPECT_EQ(area.dot(575, 287), 1) << "beyond the clear region";
}

TEST(RegionOps, DotsOutsideTheClearRegionSurvive)
{
    VirtualArea area;
    area.setDot(300, 0, 1);
    area.setDot(160, 80, 1);
    fillRegion(area, clearRegionFor(ScrollLimits{}), 0);
    EXPECT_EQ(area.dot(300, 0), 1);
    EXPECT_EQ(area.dot(160, 80), 0);
}

TEST(RegionOps, InvertTouchesTheWholeViewOnly)
{
    VirtualArea area;
    invertView(area, viewAt(0, 0, 4));
    EXPECT_EQ(countSet(area, {0, 0, 63, 31}), 64 * 32);
    EXPECT_EQ(area.dot(64, 0), 0);
    EXPECT_EQ(area.dot(0, 32), 0);
    EXPECT_EQ(area.dot(-1, -1), 0);
    invertView(area, viewAt(0, 0, 4));
    EXPECT_EQ(countSet(area, {-10, -10, 80, 40}), 0);
}

TEST(RegionOps, MirrorAndFlipReverseTheViewAndUndoThemselves)
{
    VirtualArea area;
    area.setDot(0, 0, 1);
    area.setDot(2, 1, 1);
    const View lcd = viewAt(0, 0, 8);
    mirrorView(area, lcd);
    EXPECT_EQ(area.dot(31, 0), 1);
    EXPECT_EQ(area.dot(29, 1), 1);
    EXPECT_EQ(area.dot(0, 0), 0);
    flipView(area, lcd);
    EXPECT_EQ(area.dot(31, 15), 1);
    EXPECT_EQ(area.dot(29, 14), 1);
    flipView(area, lcd);
    mirrorView(area, lcd);
    EXPECT_EQ(area.dot(0, 0), 1);
    EXPECT_EQ(area.dot(2, 1), 1);
    EXPECT_EQ(countSet(area, {0, 0, 31, 15}), 2);
}

TEST(RegionOps, MirrorAtTheLargestCellSizeKeepsTheRestOfTheWindow)
{
    VirtualArea area;
    area.setDot(0, 0, 1);  // inside the 8 x 4 view
    area.setDot(10, 0, 1); // in the window, outside the view
    mirrorView(area, viewAt(0, 0, 32));
    EXPECT_EQ(area.dot(7, 0), 1);
    EXPECT_EQ(area.dot(0, 0), 0);
    EXPECT_EQ(area.dot(10, 0), 1);
}

TEST(RegionOps, OutlineSetsOnlyTheBorder)
{
    VirtualArea area;
    drawRegionOutline(area, orderedRegion(5, 4, 1, 1));
    EXPECT_EQ(countSet(area, {1, 1, 5, 4}), 5 * 2 + 2 * 2);
    EXPECT_EQ(area.dot(3, 2), 0);
    drawRegionOutline(area, orderedRegion(9, 9, 9, 9));
    EXPECT_EQ(area.dot(9, 9), 1);
}

} // namespace
} // namespace lumidot
