// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/StepTiming.h"

#include "ns5r/StepMessages.h"

#include <algorithm>
#include <cstdio>

namespace lumidot {

int validTempo(int tempo)
{
    return std::clamp(tempo, kMinTempo, kMaxTempo);
}

std::int64_t ticksToMicroseconds(std::int64_t ticks, int tempo)
{
    // A tick lasts 60,000,000 / (480 x tempo) = 125,000 / tempo microseconds.
    const std::int64_t bpm = validTempo(tempo);
    return (ticks * 125000 + bpm / 2) / bpm;
}

StepTickCounter::StepTickCounter(int stepTick)
    : stepTick_(validStepTick(static_cast<std::uint8_t>(std::clamp(stepTick, 0, 255))))
{
}

std::int64_t StepTickCounter::next(StepKind kind)
{
    const std::int64_t text = last_ + stepTick_;
    const std::size_t messages = stepMessageCount(kind);
    if (messages == 0) {
        last_ = text;
        return text;
    }
    const std::int64_t first = text + stepTick_;
    last_ = first + static_cast<std::int64_t>(messages) - 1;
    return first;
}

std::vector<std::int64_t> stepTicks(std::span<const StepKind> kinds, int stepTick)
{
    StepTickCounter counter(stepTick);
    std::vector<std::int64_t> ticks;
    ticks.reserve(kinds.size());
    for (const StepKind kind : kinds)
        ticks.push_back(counter.next(kind));
    return ticks;
}

std::vector<std::int64_t> stepTimes(const Recording& recording, int stepTick, int tempo)
{
    std::vector<std::int64_t> times = stepTicks(recording.kinds(), stepTick);
    for (std::int64_t& time : times)
        time = ticksToMicroseconds(time, tempo);
    return times;
}

std::int64_t recordingLength(const Recording& recording, int stepTick, int tempo)
{
    StepTickCounter counter(stepTick);
    for (const StepKind kind : recording.kinds())
        counter.next(kind);
    return ticksToMicroseconds(counter.endTick(), tempo);
}

std::string formatPlaybackTime(std::int64_t microseconds)
{
    const std::int64_t ms = std::max<std::int64_t>(0, (microseconds + 500) / 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

} // namespace lumidot
