// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/TimingEdits.h"

#include "ns5r/StepMessages.h"
#include "recording/PlaybackSchedule.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace lumidot {

namespace {

// The ticks from a step's first message to its last.
int groupTicks(StepKind kind)
{
    return static_cast<int>(std::max<std::size_t>(stepMessageCount(kind), 1)) - 1;
}

int spacingOf(int stepTick)
{
    return StepTickCounter(stepTick).stepTick();
}

// Collects the waits and the end a timing edit changes, then makes them one change.
class Retiming {
public:
    explicit Retiming(Recording& recording)
        : recording_(recording), before_(recording.edgeTiming()), after_(before_)
    {
    }

    void setWait(int step, StepWait wait)
    {
        const StepWait old = recording_.wait(step);
        if (old != wait)
            waits_.push_back({step, old, wait});
    }
    // The length of step k: the wait after it, or the end for the last step.
    // A step that has the length already keeps its wait as it is, so that
    // one following the spacing goes on following it.
    void setLength(int step, std::int64_t length, int stepTick)
    {
        const int spacing = spacingOf(stepTick);
        const std::int64_t rest = length - groupTicks(recording_.kinds()[step]);
        const bool last = step + 1 >= recording_.StepCount();
        if (rest == (last ? after_.endWait : spacing + recording_.wait(step + 1).at(spacing)))
            return;
        if (!last)
            setWait(step + 1, StepWait::ticks(rest - spacingOf(stepTick)));
        else
            after_.endWait = static_cast<int>(std::clamp<std::int64_t>(rest, 0, kMaxWait));
    }
    EdgeTiming& edges() { return after_; }

    StepEdit apply()
    {
        RecordingChange change = RecordingChange::retiming(std::move(waits_), before_, after_);
        if (change.empty())
            return {};
        change.redo(recording_);
        return {EditResult::Done, std::move(change)};
    }

private:
    Recording& recording_;
    std::vector<WaitChange> waits_;
    EdgeTiming before_;
    EdgeTiming after_;
};

std::pair<int, int> heldRange(const Recording& recording, int first, int count)
{
    first = std::clamp(first, 0, recording.StepCount());
    count = std::clamp(count, 0, recording.StepCount() - first);
    return {first, count};
}

std::int64_t boundLength(const Recording& recording, int step, std::int64_t length, int stepTick)
{
    const int shortest = shortestLength(recording, step, stepTick);
    return std::clamp<std::int64_t>(length, shortest, std::int64_t{shortest} + kMaxWait);
}

} // namespace

int shortestLength(const Recording& recording, int step, int stepTick)
{
    if (step < 0 || step >= recording.StepCount())
        return 0;
    const int ticks = groupTicks(recording.kinds()[step]);
    return step + 1 < recording.StepCount() ? ticks + spacingOf(stepTick) : ticks;
}

StepEdit setStepLengths(Recording& recording, int first, int count, std::int64_t length, int stepTick)
{
    std::tie(first, count) = heldRange(recording, first, count);
    Retiming retiming(recording);
    for (int k = first; k < first + count; ++k)
        retiming.setLength(k, boundLength(recording, k, length, stepTick), stepTick);
    return retiming.apply();
}

StepEdit scaleStepLengths(Recording& recording, int first, int count, bool doubling, int stepTick)
{
    std::tie(first, count) = heldRange(recording, first, count);
    if (count == 0)
        return {};
    const StepLayout layout = stepLayout(recording, stepTick);
    Retiming retiming(recording);
    for (int k = first; k < first + count; ++k) {
        const std::int64_t length = layout.length(k);
        retiming.setLength(k, boundLength(recording, k, doubling ? 2 * length : length / 2, stepTick),
                           stepTick);
    }
    return retiming.apply();
}

StepEdit resetStepLengths(Recording& recording, int first, int count)
{
    std::tie(first, count) = heldRange(recording, first, count);
    Retiming retiming(recording);
    for (int k = first; k < first + count; ++k) {
        if (k + 1 < recording.StepCount())
            retiming.setWait(k + 1, StepWait::spacing());
        else
            retiming.edges().endWait = kEndOfTrackTicks;
    }
    return retiming.apply();
}

StepEdit nudgeSteps(Recording& recording, int first, int count, int ticks, int stepTick)
{
    std::tie(first, count) = heldRange(recording, first, count);
    if (count == 0 || ticks == 0)
        return {};
    const int spacing = spacingOf(stepTick);
    const int after = first + count;
    // How far the steps can move: the wait before them (the start of the
    // first step) cannot go below 0, nor the wait after them (the end).
    const std::int64_t before = first == 0 ? stepLayout(recording, stepTick).starts[0]
                                           : recording.wait(first).at(spacing);
    const std::int64_t behind = after < recording.StepCount() ? recording.wait(after).at(spacing)
                                                               : recording.endWait();
    const std::int64_t room = ticks > 0 ? std::min<std::int64_t>(behind, kMaxWait - before)
                                        : std::min<std::int64_t>(before, kMaxWait - behind);
    const std::int64_t move = std::clamp<std::int64_t>(ticks, -room, room);
    if (move == 0)
        return {};
    Retiming retiming(recording);
    if (first == 0)
        retiming.edges().startOffset = static_cast<int>(before + move);
    else
        retiming.setWait(first, StepWait::ticks(before + move));
    if (after < recording.StepCount())
        retiming.setWait(after, StepWait::ticks(behind - move));
    else
        retiming.edges().endWait = static_cast<int>(behind - move);
    return retiming.apply();
}

StepEdit holdFrames(Recording& recording, int first, int count, int unit, int stepTick)
{
    std::tie(first, count) = heldRange(recording, first, count);
    if (count == 0 || unit <= 0)
        return {};
    const StepLayout layout = stepLayout(recording, stepTick);
    Retiming retiming(recording);
    std::int64_t moved = 0;   // how far the earlier holds pushed this step
    for (int k = first; k < first + count; ++k) {
        if (recording.kinds()[k] != StepKind::Frame)
            continue;
        const std::int64_t start = layout.starts[k] + moved;
        const std::int64_t end = start + layout.length(k);
        const std::int64_t length = boundLength(recording, k, (end / unit + 1) * unit - start, stepTick);
        retiming.setLength(k, length, stepTick);
        moved += length - layout.length(k);
    }
    return retiming.apply();
}

StepEdit setStartOffset(Recording& recording, std::optional<int> tick)
{
    Retiming retiming(recording);
    if (tick)
        tick = std::clamp(*tick, 0, kMaxWait);
    retiming.edges().startOffset = tick;
    return retiming.apply();
}

StepEdit timeSteps(Recording& recording, int first, std::span<const std::int64_t> micros, int tempo,
                   int stepTick)
{
    const int count = static_cast<int>(micros.size());
    std::tie(first, std::ignore) = heldRange(recording, first, count);
    Retiming retiming(recording);
    // Ticks here are counted in units of 1/125,000 tick x tempo: a
    // microsecond at the tempo is exactly `tempo` of them.
    constexpr std::int64_t kTick = 125000;
    const std::int64_t bpm = validTempo(tempo);
    std::int64_t behind = 0;   // how much earlier the steps so far end than their times
    for (int k = 0; k < count && first + k < recording.StepCount(); ++k) {
        if (micros[static_cast<std::size_t>(k)] <= 0) {
            behind = 0;
            continue;
        }
        const std::int64_t exact = micros[static_cast<std::size_t>(k)] * bpm + behind;
        const std::int64_t length = boundLength(recording, first + k, (exact + kTick / 2) / kTick, stepTick);
        behind = exact - length * kTick;
        retiming.setLength(first + k, length, stepTick);
    }
    return retiming.apply();
}

ThinnedFrames thinForCable(std::span<const std::int64_t> micros)
{
    ThinnedFrames thinned;
    // A Frame Draw command: header, four command bytes, 80 frame bytes, F7.
    const std::int64_t frameOnCable = cableMicroseconds(kSysExHeader.size() + 4 + kPackedFrameSize + 1);
    std::int64_t at = 0;          // the start of the frame looked at
    std::int64_t keptAt = 0;      // the start of the last frame kept
    for (std::size_t k = 0; k < micros.size(); ++k) {
        if (k == 0 || at - keptAt >= frameOnCable) {
            if (!thinned.kept.empty())
                thinned.micros.push_back(at - keptAt);
            thinned.kept.push_back(static_cast<int>(k));
            keptAt = at;
        } else {
            ++thinned.dropped;
        }
        at += std::max<std::int64_t>(0, micros[k]);
    }
    if (!thinned.kept.empty())
        thinned.micros.push_back(at - keptAt);
    return thinned;
}

} // namespace lumidot
