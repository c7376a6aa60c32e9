// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pictures that say which frame they are: a frame number in eight binary
// blocks across the top of a 64 x 32 picture, which the 32 x 16 window
// reads back after any coding a clip puts them through.

#include "ns5r/Commands.h"
#include "picture/PixelDots.h"
#include "support/ClipWriter.h"

#include <vector>

namespace lumidot::testing {

inline constexpr int kClipWidth = 64;
inline constexpr int kClipHeight = 32;

// Bit b of number is a black 8 x 16 block at x = 8b; the rest is white.
inline GreyImage numberedPicture(int number, int width = kClipWidth, int height = kClipHeight)
{
    GreyImage picture(width, height, 255);
    const int block = width / 8;
    for (int bit = 0; bit < 8; ++bit) {
        if (!((number >> bit) & 1))
            continue;
        for (int y = 0; y < height / 2; ++y)
            for (int x = bit * block; x < (bit + 1) * block; ++x)
                picture.set(x, y, 0);
    }
    return picture;
}

// The number a frame step shows, fitted to the window (4 x 8 dots a block):
// each block read at its middle dot.
inline int numberShown(const PackedFrame& frame)
{
    int number = 0;
    for (int bit = 0; bit < 8; ++bit)
        number |= frameDot(frame, 4 * bit + 2, 4) << bit;
    return number;
}

// Frames numbered as given, each at the given time in the kind's time base.
inline std::vector<ClipFrame> numberedFrames(const std::vector<int>& numbers, const std::vector<std::int64_t>& pts)
{
    std::vector<ClipFrame> frames;
    for (std::size_t k = 0; k < numbers.size(); ++k)
        frames.push_back({numberedPicture(numbers[k]), pts[k]});
    return frames;
}

// count frames numbered 0, 1, 2, ... at a steady rate: pts 0, 1, 2, ... in
// a time base of 1 / fps.
inline std::vector<ClipFrame> countingFrames(int count)
{
    std::vector<ClipFrame> frames;
    for (int k = 0; k < count; ++k)
        frames.push_back({numberedPicture(k), k});
    return frames;
}

// Counting frames over grain below the number, so that the pictures, not
// the header, make up most of the file.
inline std::vector<ClipFrame> grainyFrames(int count)
{
    std::vector<ClipFrame> frames = countingFrames(count);
    std::uint32_t seed = 1;
    for (ClipFrame& frame : frames)
        for (int y = kClipHeight / 2; y < kClipHeight; ++y)
            for (int x = 0; x < kClipWidth; ++x) {
                seed = seed * 1664525 + 1013904223;
                frame.picture.set(x, y, static_cast<std::uint8_t>(seed >> 24));
            }
    return frames;
}

inline ClipKind atRate(ClipKind kind, int fps)
{
    kind.timeBase = {1, fps};
    return kind;
}

} // namespace lumidot::testing
