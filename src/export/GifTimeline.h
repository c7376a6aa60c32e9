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
// The largest delay a frame's 16-bit field holds.
inline constexpr int kGifLongestDelay = 65535;

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

// The same frames found one change at a time, for an animation too long to
// list its change times first.
class GifFrameTimer {
public:
    // The display is about to change at `time` (ascending): the hundredths
    // the display shown until now gets as a frame, or 0 when it is too short
    // and gives way to the next picture.
    std::int64_t change(std::int64_t time);

    struct Last {
        std::int64_t delay = 0;
        bool replacesPrevious = false;   // too short alone: it takes the frame before's place
    };
    // The final picture, after the last change, at the end `length`.
    Last finish(std::int64_t length) const;

private:
    std::int64_t shown_ = 0;       // hundredths given to the frames so far
    std::int64_t lastTime_ = 0;
    bool anyFrame_ = false;
};

} // namespace lumidot
