// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumidot {

// A GIF counts its frame delays in hundredths of a second, and players show
// a delay below two hundredths as a tenth of a second: shorter pictures are
// merged into the next.
inline constexpr int kGifShortestDelay = 2;
inline constexpr std::int64_t kGifDelayMicroseconds = 10000;

// One picture of the animation: the display after the first `changes`
// changes, shown for `delay` hundredths of a second.
struct GifFrame {
    std::size_t changes = 0;
    int delay = 0;
    bool operator==(const GifFrame&) const = default;
};

// The frames of an animation whose display changes at the given times
// (microseconds from its start, ascending) and that lasts `length`. The
// first frame shows the display before any change. Each frame ends at its
// time rounded to a hundredth, so rounding never adds up: the delays sum to
// the length within half a hundredth. A picture shorter than the shortest
// delay gives way to the later one, and the last one always shows.
std::vector<GifFrame> gifFrames(std::span<const std::int64_t> changeTimes, std::int64_t length);

} // namespace lumidot
