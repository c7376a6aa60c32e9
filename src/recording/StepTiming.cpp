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

std::int64_t microsecondsToTicks(std::int64_t microseconds, int tempo)
{
    const std::int64_t bpm = validTempo(tempo);
    return (std::max<std::int64_t>(0, microseconds) * bpm + 62500) / 125000;
}

StepTickCounter::StepTickCounter(int stepTick, std::optional<int> startOffset)
    : stepTick_(validStepTick(static_cast<std::uint8_t>(std::clamp(stepTick, 0, 255))))
    , startOffset_(startOffset)
{
}

std::int64_t StepTickCounter::next(StepKind kind, StepWait wait)
{
    const std::size_t messages = stepMessageCount(kind);
    std::int64_t first = 0;
    if (first_ && startOffset_) {
        // The first message at the offset; the text before it as far as there is room.
        first = std::max(0, *startOffset_);
        text_ = messages == 0 ? first : std::max<std::int64_t>(0, first - stepTick_);
    } else {
        text_ = last_ + wait.at(static_cast<int>(stepTick_));
        first = text_ + stepTick_;
    }
    first_ = false;
    if (messages == 0) {
        last_ = text_;
        return text_;
    }
    last_ = first + static_cast<std::int64_t>(messages) - 1;
    return first;
}

StepTickCounter tickCounterFor(const Recording& recording, int stepTick)
{
    return StepTickCounter(stepTick, recording.startOffset());
}

std::int64_t StepLayout::length(int step) const
{
    if (step < 0 || step >= size())
        return 0;
    const auto k = static_cast<std::size_t>(step);
    return (k + 1 < starts.size() ? starts[k + 1] : end) - starts[k];
}

StepLayout stepLayout(const Recording& recording, int stepTick)
{
    StepLayout layout;
    const auto count = static_cast<std::size_t>(recording.StepCount());
    layout.starts.reserve(count);
    layout.lasts.reserve(count);
    StepTickCounter counter = tickCounterFor(recording, stepTick);
    const auto kinds = recording.kinds();
    const auto waits = recording.waits();
    for (std::size_t k = 0; k < count; ++k) {
        layout.starts.push_back(counter.next(kinds[k], waits[k]));
        layout.lasts.push_back(counter.lastTick());
    }
    layout.end = counter.endTick(recording.endWait());
    return layout;
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

std::vector<std::int64_t> stepStartTicks(const Recording& recording, int stepTick)
{
    return stepLayout(recording, stepTick).starts;
}

std::vector<std::int64_t> stepTimes(const Recording& recording, int stepTick, int tempo)
{
    std::vector<std::int64_t> times = stepStartTicks(recording, stepTick);
    for (std::int64_t& time : times)
        time = ticksToMicroseconds(time, tempo);
    return times;
}

// Nothing recorded lasts no time: the closing ticks of the last step's
// messages come only after a step.
std::int64_t recordingLength(const Recording& recording, int stepTick, int tempo)
{
    if (recording.StepCount() == 0)
        return 0;
    StepTickCounter counter = tickCounterFor(recording, stepTick);
    const auto kinds = recording.kinds();
    const auto waits = recording.waits();
    for (std::size_t k = 0; k < kinds.size(); ++k)
        counter.next(kinds[k], waits[k]);
    return ticksToMicroseconds(counter.endTick(recording.endWait()), tempo);
}

BarBeatTick barBeatTick(std::int64_t tick)
{
    tick = std::max<std::int64_t>(0, tick);
    return {tick / kTicksPerBar + 1, static_cast<int>(tick % kTicksPerBar / kTicksPerBeat) + 1,
            static_cast<int>(tick % kTicksPerBeat)};
}

std::string formatBarBeatTick(std::int64_t tick)
{
    const BarBeatTick at = barBeatTick(tick);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%d:%03d", static_cast<long long>(at.bar), at.beat, at.tick);
    return text;
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
