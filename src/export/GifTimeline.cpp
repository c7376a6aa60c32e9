// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifTimeline.h"

#include <algorithm>

namespace lumidot {

namespace {

// The largest delay a frame's 16-bit field holds.
constexpr int kLongestDelay = 65535;

std::int64_t hundredths(std::int64_t microseconds)
{
    return (std::max<std::int64_t>(0, microseconds) + kGifDelayMicroseconds / 2) / kGifDelayMicroseconds;
}

void append(std::vector<GifFrame>& frames, std::size_t changes, std::int64_t delay)
{
    for (; delay > kLongestDelay; delay -= kLongestDelay)
        frames.push_back({changes, kLongestDelay});
    frames.push_back({changes, static_cast<int>(delay)});
}

} // namespace

std::vector<GifFrame> gifFrames(std::span<const std::int64_t> changeTimes, std::int64_t length)
{
    std::vector<GifFrame> frames;
    std::int64_t shown = 0;        // hundredths given to the frames so far
    std::size_t changes = 0;       // the state the pending frame shows
    for (std::size_t i = 0; i < changeTimes.size(); ++i) {
        const std::int64_t delay = hundredths(changeTimes[i]) - shown;
        if (delay >= kGifShortestDelay) {
            append(frames, changes, delay);
            shown += delay;
        }
        changes = i + 1;
    }
    const std::int64_t rest = hundredths(std::max(length, changeTimes.empty() ? 0 : changeTimes.back())) - shown;
    if (rest >= kGifShortestDelay || frames.empty()) {
        append(frames, changes, std::max<std::int64_t>(rest, kGifShortestDelay));
    } else {
        // Too short to stand alone: the final picture takes the previous frame's place.
        frames.back().changes = changes;
        frames.back().delay += static_cast<int>(rest);
    }
    return frames;
}

} // namespace lumidot
