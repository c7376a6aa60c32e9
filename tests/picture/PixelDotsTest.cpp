// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumidot {
namespace {

GreyImage flat(int width, int height, std::uint8_t grey, std::uint8_t alpha = 255)
{
    return GreyImage(width, height, grey, alpha);
}

// The dots as rows of '#' (set) and '.' (clear).
std::vector<std::string> rows(const DotImage& dots)
{
    std::vector<std::string> out;
    for (int y = 0; y < dots.height; ++y) {
        std::string row;
        for (int x = 0; x < dots.width; ++x)
            row += dots.at(x, y) ? '#' : '.';
        out.push_back(row);
    }
    return out;
}

TEST(PixelDots, ThresholdSplitsExactlyAtTheLevelAndLeavesHolesClear)
{
    // One row of every grey level; the last pixel is a transparent black one.
    GreyImage ramp(257, 1);
    for (int g = 0; g < 256; ++g)
        ramp.set(g, 0, static_cast<std::uint8_t>(g));
    ramp.set(256, 0, 0, kOpaqueFrom - 1);

    struct Case { int threshold; bool invert; int firstSet; int lastSet; };
    for (const Case c : {Case{100, false, 0, 100}, Case{100, true, 101, 255}, Case{0, false, 0, 0},
                         Case{255, true, -1, -1}}) {
        const DotImage dots = thresholdDots(ramp, c.threshold, c.invert);
        for (int x = 0; x < 257; ++x) {
            const bool expected = x >= c.firstSet && x <= c.lastSet && c.firstSet >= 0;
            ASSERT_EQ(dots.at(x, 0), expected ? 1 : 0)
                << "threshold " << c.threshold << " invert " << c.invert << " at " << x;
        }
    }
}

TEST(PixelDots, OtsuFindsTheGapBetweenTwoInksAndIgnoresTransparentPixels)
{
    GreyImage picture(40, 10, 210);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x)
            picture.set(x, y, static_cast<std::uint8_t>(30 + (x + y) % 5));
    // Transparent pixels of a middle grey must not pull the choice.
    for (int x = 30; x < 40; ++x)
        picture.set(x, 0, 120, 0);
    const int t = otsuThreshold(picture);
    EXPECT_GE(t, 34);
    EXPECT_LT(t, 210);
    EXPECT_EQ(thresholdDots(picture, t, false).setCount(), 150);

    EXPECT_EQ(otsuThreshold(flat(8, 8, 0)), 127) << "nothing to split";
    EXPECT_EQ(otsuThreshold(flat(8, 8, 90, 0)), 127) << "nothing opaque";
}

TEST(PixelDots, BayerGivesTheOrderedPatternOfTheMatrix)
{
    // Grey 128 is just under half dark: every matrix cell below 8 sets, a
    // checkerboard. Darkness 40 sets only the cells 0, 1 and 2.
    EXPECT_EQ(rows(bayerDots(flat(8, 4, 128), false)),
              (std::vector<std::string>{"#.#.#.#.", ".#.#.#.#", "#.#.#.#.", ".#.#.#.#"}));
    EXPECT_EQ(rows(bayerDots(flat(4, 4, 255 - 40), false)),
              (std::vector<std::string>{"#.#.", "....", "..#.", "...."}));
    EXPECT_EQ(rows(bayerDots(flat(4, 4, 40), true)),
              (std::vector<std::string>{"#.#.", "....", "..#.", "...."}));
    EXPECT_EQ(bayerDots(flat(4, 4, 0), false).setCount(), 16);
    EXPECT_EQ(bayerDots(flat(4, 4, 255), false).setCount(), 0);
    EXPECT_EQ(bayerDots(flat(4, 4, 0, 0), false).setCount(), 0);
}

TEST(PixelDots, FloydSteinbergKeepsTheGreyLevelAsTheShareOfSetDots)
{
    struct Case { std::uint8_t grey; std::uint8_t alpha; bool invert; double share; double slack; };
    for (const Case c : {Case{128, 255, false, 0.5, 0.02}, Case{64, 255, false, 0.75, 0.02},
                         Case{64, 255, true, 0.25, 0.02}, Case{0, 255, false, 1.0, 0.0},
                         Case{255, 255, false, 0.0, 0.0}, Case{0, 0, false, 0.0, 0.0}}) {
        const DotImage dots = floydSteinbergDots(flat(64, 64, c.grey, c.alpha), c.invert);
        EXPECT_NEAR(dots.setCount() / 4096.0, c.share, c.slack)
            << "grey " << int(c.grey) << " invert " << c.invert;
    }
    // The error spreads along the rows: no row of a 50 % field is all set.
    const DotImage half = floydSteinbergDots(flat(32, 16, 128), false);
    for (const std::string& row : rows(half))
        EXPECT_NE(row, std::string(32, '#'));
}

TEST(PixelDots, ScaledSizesFitKeepTheRatioAndStayWithinThePlane)
{
    struct Case { int w, h; ScaleMode mode; int percent; PictureSize expected; };
    for (const Case c : {
             Case{320, 160, ScaleMode::FitWindow, 0, {32, 16}},
             Case{100, 100, ScaleMode::FitWindow, 0, {16, 16}},
             Case{8, 2, ScaleMode::FitWindow, 0, {32, 8}},
             Case{64, 32, ScaleMode::FitHeight, 0, {32, 16}},
             Case{200, 10, ScaleMode::FitHeight, 0, {320, 16}},
             Case{10, 20, ScaleMode::Percent, 150, {15, 30}},
             Case{10, 20, ScaleMode::Percent, 0, {1, 1}},
             Case{333, 7, ScaleMode::None, 0, {333, 7}},
             Case{4000, 10, ScaleMode::Percent, 800, {VirtualArea::kWidth, 3}},
             Case{0, 10, ScaleMode::FitWindow, 0, {0, 0}},
         })
        EXPECT_EQ(scaledSize(c.w, c.h, c.mode, c.percent), c.expected) << c.w << "x" << c.h;
}

TEST(PixelDots, ResamplingAveragesCoveredAreaWeightedByOpacity)
{
    GreyImage blocks(4, 2, 255);
    blocks.set(0, 0, 0);
    blocks.set(1, 0, 0);
    blocks.set(0, 1, 0);
    blocks.set(1, 1, 0);   // left 2 x 2 black, right white
    blocks.set(3, 0, 0, 0);
    blocks.set(3, 1, 0, 0); // the last column transparent
    const GreyImage half = resample(blocks, 2, 1);
    EXPECT_EQ(half.greyAt(0, 0), 0);
    EXPECT_EQ(half.alphaAt(0, 0), 255);
    EXPECT_EQ(half.greyAt(1, 0), 255) << "a transparent black pixel must not darken";
    EXPECT_EQ(half.alphaAt(1, 0), 128);

    const GreyImage mixed = resample(blocks, 1, 1);
    EXPECT_EQ(mixed.greyAt(0, 0), 85);   // four black pixels and two white; the holes do not count

    // Enlarging repeats pixels; a third of a pixel's width covers only it.
    GreyImage pair(2, 1, 255);
    pair.set(0, 0, 0);
    const GreyImage wide = resample(pair, 6, 1);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(wide.greyAt(x, 0), x < 3 ? 0 : 255);
}

TEST(PixelDots, ConversionScalesThenMakesDots)
{
    // A 320 x 160 picture with a black 100 x 50 block at (40, 20) fits the
    // window as a 10 x 5 dot block at (4, 2).
    GreyImage picture(320, 160, 240);
    for (int y = 20; y < 70; ++y)
        for (int x = 40; x < 140; ++x)
            picture.set(x, y, 10);
    const DotImage dots = convertToDots(picture, DotConversion{});
    ASSERT_EQ(dots.width, 32);
    ASSERT_EQ(dots.height, 16);
    EXPECT_EQ(dots.setCount(), 50);
    EXPECT_EQ(dots.at(4, 2), 1);
    EXPECT_EQ(dots.at(13, 6), 1);
    EXPECT_EQ(dots.at(14, 6), 0);
    EXPECT_EQ(dots.at(3, 2), 0);

    DotConversion inverted;
    inverted.invert = true;
    EXPECT_EQ(convertToDots(picture, inverted).setCount(), 512 - 50);
}

TEST(PixelDots, ReplaceWritesEveryDotAddOnlyTheSetOnesAndTheEdgesDropTheRest)
{
    DotImage stripe;
    stripe.width = 3;
    stripe.height = 1;
    stripe.dots = {1, 0, 1};

    VirtualArea area;
    area.setDot(11, 5, 1);
    placeDots(area, stripe, 10, 5, Placement::Add);
    EXPECT_EQ(area.dot(10, 5) + area.dot(11, 5) + area.dot(12, 5), 3);
    placeDots(area, stripe, 10, 5, Placement::Replace);
    EXPECT_EQ(area.dot(11, 5), 0);
    EXPECT_EQ(area.dot(10, 5), 1);

    // Across the plane's last column: the dot inside lands, the others vanish.
    placeDots(area, stripe, VirtualArea::kMaxX, VirtualArea::kMaxY, Placement::Replace);
    EXPECT_EQ(area.dot(VirtualArea::kMaxX, VirtualArea::kMaxY), 1);
}

} // namespace
} // namespace lumidot
