// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DecodeLimits.h"
#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

#include <random>

namespace lumidot {
namespace {

// An animation converted frame by frame, only the changed rectangle
// resampled, gives every frame's dots exactly as converting the whole frame
// gives them: for every way of scaling and every way of making dots.
TEST(FrameConverter, ChangedRectanglesGiveTheDotsOfWholeFrames)
{
    std::mt19937 random(7);
    const auto next = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
    for (const ScaleMode scale : {ScaleMode::FitWindow, ScaleMode::FitHeight, ScaleMode::Percent, ScaleMode::None}) {
        for (const DotMethod method : {DotMethod::Threshold, DotMethod::FloydSteinberg, DotMethod::Bayer}) {
            DotConversion conversion;
            conversion.scale = scale;
            conversion.percent = 37;
            conversion.method = method;
            GreyImage frame(1301, 97, 255, 0);
            FrameConverter converter(conversion);
            for (int k = 0; k < 12; ++k) {
                PixelRect changed{next(frame.width), next(frame.height), 1 + next(90), 1 + next(40)};
                changed = changed.intersected({0, 0, frame.width, frame.height});
                for (int y = changed.top; y < changed.top + changed.height; ++y)
                    for (int x = changed.left; x < changed.left + changed.width; ++x)
                        frame.set(x, y, static_cast<std::uint8_t>(next(256)), static_cast<std::uint8_t>(next(256)));
                const DotImage incremental = converter.convert(frame, k == 0 ? PixelRect{} : changed);
                const DotImage whole = convertToDots(frame, conversion);
                ASSERT_EQ(incremental.dots, whole.dots)
                    << "scale " << static_cast<int>(scale) << " method " << static_cast<int>(method) << " frame " << k;
            }
        }
    }
}

// A one-pixel change of a large picture fitted to the window reads a few
// hundred source pixels, not the picture again.
TEST(FrameConverter, ASmallChangeCostsItsAreaNotThePictures)
{
    GreyImage frame(4000, 3000);
    FrameConverter converter({});
    converter.convert(frame, {});
    EXPECT_GE(converter.lastWork(), 4000LL * 3000);
    frame.set(2000, 1500, 0);
    converter.convert(frame, {2000, 1500, 1, 1});
    EXPECT_LT(converter.lastWork(), 4000);
    converter.convert(frame, {});
    EXPECT_LT(converter.lastWork(), 1000) << "nothing changed: only the dots are made again";
}

// Without scaling, a picture larger than the plane is cut to the plane's
// size from its top-left pixel: nothing beyond could land on the plane.
TEST(FrameConverter, WithoutScalingAPictureIsCutToThePlane)
{
    GreyImage frame(3000, 900);
    frame.set(0, 0, 0);
    frame.set(VirtualArea::kWidth - 1, VirtualArea::kHeight - 1, 0);
    frame.set(VirtualArea::kWidth, 0, 0);
    DotConversion none;
    none.scale = ScaleMode::None;
    none.autoThreshold = false;
    EXPECT_EQ(scaledSize(3000, 900, ScaleMode::None, 100), (PictureSize{VirtualArea::kWidth, VirtualArea::kHeight}));
    const DotImage dots = convertToDots(frame, none);
    ASSERT_EQ(dots.width, VirtualArea::kWidth);
    ASSERT_EQ(dots.height, VirtualArea::kHeight);
    EXPECT_EQ(dots.setCount(), 2);
    EXPECT_EQ(dots.at(VirtualArea::kWidth - 1, VirtualArea::kHeight - 1), 1);
}

TEST(DecodeLimits, PictureSizesAndTheBudget)
{
    EXPECT_TRUE(pictureSizeAllowed(6000, 4000));
    EXPECT_FALSE(pictureSizeAllowed(6000, 4001));
    EXPECT_FALSE(pictureSizeAllowed(65535, 65535));
    EXPECT_FALSE(pictureSizeAllowed(1, kLargestPicturePixels + 1));
    EXPECT_FALSE(pictureSizeAllowed(0, 10));
    EXPECT_FALSE(pictureSizeAllowed(INT64_MAX, INT64_MAX)) << "no overflow into a small area";

    DecodeBudget budget(100);
    EXPECT_TRUE(budget.charge(60));
    EXPECT_FALSE(budget.charge(41));
    EXPECT_EQ(budget.used(), 60) << "a refused charge takes nothing";
    EXPECT_TRUE(budget.charge(40));
    EXPECT_FALSE(budget.charge(1));
    EXPECT_FALSE(budget.charge(-5));
}

} // namespace
} // namespace lumidot
