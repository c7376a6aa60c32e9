// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifTimeline.h"

#include <algorithm>

namespace lumidot {

namespace {

std::int64_t hundredths(std::int64_t microseconds)
{
    return (std::max<std::int64_t>(0, microseconds) + kGifDelayMicroseconds / 2) / kGifDelayMicroseconds;
}

void append(std::vector<GifFrame>& frames, std::size_t changes, std::int64_t delay)
{
    for (; delay > kGifLongestDelay; delay -= kGifLongestDelay)
        frames.push_back({changes, kGifLongestDelay});
    frames.push_back({changes, static_cast<int>(delay)});
}

} // namespace

std::int64_t GifFrameTimer::change(std::int64_t time)
{
    lastTime_ = time;
    const std::int64_t delay = hundredths(time) - shown_;
    if (delay < kGifShortestDelay)
        return 0;
    shown_ += delay;
    anyFrame_ = true;
    return delay;
}

GifFrameTimer::Last GifFrameTimer::finish(std::int64_t length) const
{
    const std::int64_t rest = hundredths(std::max(length, lastTime_)) - shown_;
    if (rest >= kGifShortestDelay || !anyFrame_)
        return {std::max<std::int64_t>(rest, kGifShortestDelay), false};
    return {rest, true};
}

std::vector<GifFrame> gifFrames(std::span<const std::int64_t> changeTimes, std::int64_t length)
{
    std::vector<GifFrame> frames;
    GifFrameTimer timer;
    for (std::size_t i = 0; i < changeTimes.size(); ++i) {
        if (const std::int64_t delay = timer.change(changeTimes[i]))
            append(frames, i, delay);
    }
    const GifFrameTimer::Last last = timer.finish(length);
    if (!last.replacesPrevious) {
        append(frames, changeTimes.size(), last.delay);
    } else {
        // Too short to stand alone: the final picture takes the previous frame's place.
        frames.back().changes = changeTimes.size();
        frames.back().delay += static_cast<int>(last.delay);
    }
    return frames;
}

} // namespace lumidot
