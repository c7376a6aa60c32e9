// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/StepEdits.h"

#include "recording/StepTiming.h"

#include <algorithm>
#include <cstring>

namespace lumidot {

namespace {

int countOf(std::span<const StepKind> kinds, int end, StepKind kind)
{
    return static_cast<int>(std::count(kinds.begin(), kinds.begin() + end, kind));
}

// Where the payload of step k lies: its frame, message and effect indices.
struct PayloadAt {
    int frame = 0;
    int message = 0;
    int effect = 0;

    static PayloadAt of(std::span<const StepKind> kinds, int k)
    {
        return {countOf(kinds, k, StepKind::Frame), countOf(kinds, k, StepKind::Message),
                countOf(kinds, k, StepKind::Effect)};
    }
};

} // namespace

// The table records move with memmove: the tables are plain arrays of bytes.

StepClip Recording::copySteps(int first, int count) const
{
    first = std::clamp(first, 0, StepCount());
    count = std::clamp(count, 0, StepCount() - first);
    const auto all = kinds();
    const PayloadAt from = PayloadAt::of(all, first);
    const PayloadAt to = PayloadAt::of(all, first + count);
    StepClip clip;
    clip.kinds.assign(all.begin() + first, all.begin() + first + count);
    clip.waits.assign(waits_.begin() + first, waits_.begin() + first + count);
    clip.effects.assign(effects_.begin() + 3 * from.effect, effects_.begin() + 3 * to.effect);
    clip.frames.assign(frames_.get() + from.frame, frames_.get() + to.frame);
    clip.messages.assign(messages_.get() + from.message, messages_.get() + to.message);
    return clip;
}

void Recording::removeSteps(int first, int count)
{
    first = std::clamp(first, 0, StepCount());
    count = std::clamp(count, 0, StepCount() - first);
    if (count == 0)
        return;
    const PayloadAt from = PayloadAt::of(events_, first);
    const PayloadAt to = PayloadAt::of(events_, first + count);
    std::memmove(frames_.get() + from.frame, frames_.get() + to.frame,
                 static_cast<std::size_t>(frameCount_ - to.frame) * sizeof(PackedFrame));
    frameCount_ -= to.frame - from.frame;
    std::memmove(messages_.get() + from.message, messages_.get() + to.message,
                 static_cast<std::size_t>(messageCount_ - to.message) * sizeof(MessageRecord));
    messageCount_ -= to.message - from.message;
    effects_.erase(effects_.begin() + 3 * from.effect, effects_.begin() + 3 * to.effect);
    events_.erase(events_.begin() + first, events_.begin() + first + count);
    waits_.erase(waits_.begin() + first, waits_.begin() + first + count);
    stepAdded();
}

bool Recording::insertSteps(int at, const StepClip& steps)
{
    at = std::clamp(at, 0, StepCount());
    const int frames = static_cast<int>(steps.frames.size());
    const int messages = static_cast<int>(steps.messages.size());
    // The record after the last one must stay free: it is the build area of
    // the message being sent.
    if (frameCount_ + frames > kStepLimit || messageCount_ + messages > kStepLimit)
        return false;
    if (steps.empty())
        return true;
    const PayloadAt where = PayloadAt::of(events_, at);
    std::memmove(frames_.get() + where.frame + frames, frames_.get() + where.frame,
                 static_cast<std::size_t>(frameCount_ - where.frame) * sizeof(PackedFrame));
    std::copy(steps.frames.begin(), steps.frames.end(), frames_.get() + where.frame);
    frameCount_ += frames;
    std::memmove(messages_.get() + where.message + messages, messages_.get() + where.message,
                 static_cast<std::size_t>(messageCount_ - where.message) * sizeof(MessageRecord));
    std::copy(steps.messages.begin(), steps.messages.end(), messages_.get() + where.message);
    messageCount_ += messages;
    effects_.insert(effects_.begin() + 3 * where.effect, steps.effects.begin(), steps.effects.end());
    events_.insert(events_.begin() + at, steps.kinds.begin(), steps.kinds.end());
    // A clip from before steps had waits brings none: its steps take the spacing.
    const auto waitsAt = waits_.begin() + at;
    if (steps.waits.size() == steps.kinds.size())
        waits_.insert(waitsAt, steps.waits.begin(), steps.waits.end());
    else
        waits_.insert(waitsAt, steps.kinds.size(), StepWait::spacing());
    stepAdded();
    return true;
}

void Recording::moveSteps(int first, int count, int to)
{
    first = std::clamp(first, 0, StepCount());
    count = std::clamp(count, 0, StepCount() - first);
    to = std::clamp(to, 0, StepCount() - count);
    if (count == 0 || to == first)
        return;
    const StepClip block = copySteps(first, count);
    removeSteps(first, count);
    insertSteps(to, block);
}

namespace {

// The last limited step after count steps are put before step at: those
// from at on move back by count.
int lastLimitedAfterInsert(const Recording& recording, int at, const StepClip& steps)
{
    int last = lastLimitedStep(recording.kinds());
    if (last >= at)
        last += steps.size();
    const int inClip = lastLimitedStep(steps.kinds);
    if (inClip >= 0)
        last = std::max(last, at + inClip);
    return last;
}

StepEdit done(RecordingChange change)
{
    return {EditResult::Done, std::move(change)};
}

} // namespace

StepEdit deleteSteps(Recording& recording, int first, int count)
{
    first = std::clamp(first, 0, recording.StepCount());
    count = std::clamp(count, 0, recording.StepCount() - first);
    if (count == 0)
        return {};
    StepClip removed = recording.copySteps(first, count);
    recording.removeSteps(first, count);
    return done(RecordingChange::replacing(first, std::move(removed), {}));
}

StepEdit insertSteps(Recording& recording, int at, const StepClip& steps)
{
    at = std::clamp(at, 0, recording.StepCount());
    if (steps.empty())
        return {};
    if (lastLimitedAfterInsert(recording, at, steps) >= kStepLimit)
        return {EditResult::Full, {}};
    if (!recording.insertSteps(at, steps))
        return {EditResult::Full, {}};
    return done(RecordingChange::replacing(at, {}, steps));
}

namespace {

// The wait that makes the step before it last as long as step does now. A
// last step lasts until the end, which comes endWait after its last event,
// while the step after it would start a wait and the spacing later.
StepWait waitKeepingLength(const Recording& recording, int step, int stepTick)
{
    if (step + 1 < recording.StepCount())
        return recording.wait(step + 1);
    const int spacing = StepTickCounter(stepTick).stepTick();
    return StepWait::ticks(recording.endWait() - spacing);
}

} // namespace

StepEdit duplicateSteps(Recording& recording, int first, int count, int stepTick)
{
    first = std::clamp(first, 0, recording.StepCount());
    count = std::clamp(count, 0, recording.StepCount() - first);
    StepClip copies = recording.copySteps(first, count);
    if (!copies.empty())
        copies.waits.front() = waitKeepingLength(recording, first + count - 1, stepTick);
    return insertSteps(recording, first + count, copies);
}

StepEdit moveSteps(Recording& recording, int first, int count, int to)
{
    first = std::clamp(first, 0, recording.StepCount());
    count = std::clamp(count, 0, recording.StepCount() - first);
    to = std::clamp(to, 0, recording.StepCount() - count);
    if (count == 0 || to == first)
        return {};
    // A move past the limit is refused like a paste: find where the last
    // limited step would land.
    std::vector<StepKind> order(recording.kinds().begin(), recording.kinds().end());
    std::vector<StepKind> block(order.begin() + first, order.begin() + first + count);
    order.erase(order.begin() + first, order.begin() + first + count);
    order.insert(order.begin() + to, block.begin(), block.end());
    if (lastLimitedStep(order) >= kStepLimit)
        return {EditResult::Full, {}};
    recording.moveSteps(first, count, to);
    return done(RecordingChange::moving(first, count, to));
}

StepEdit overwriteFrame(Recording& recording, int step, const PackedFrame& frame)
{
    const auto kinds = recording.kinds();
    if (step < 0 || step >= recording.StepCount() || kinds[step] != StepKind::Frame)
        return {};
    const int index = countOf(kinds, step, StepKind::Frame);
    if (recording.frameRecord(index) == frame)
        return {};
    StepClip removed = recording.copySteps(step, 1);
    // The step keeps its place in time: only its dots change.
    StepClip inserted;
    inserted.kinds = {StepKind::Frame};
    inserted.waits = removed.waits;
    inserted.frames = {frame};
    recording.removeSteps(step, 1);
    recording.insertSteps(step, inserted);
    return done(RecordingChange::replacing(step, std::move(removed), std::move(inserted)));
}

std::optional<PackedFrame> frameBefore(const Recording& recording, int step)
{
    const auto kinds = recording.kinds();
    const int end = std::clamp(step, 0, recording.StepCount());
    const int frames = countOf(kinds, end, StepKind::Frame);
    if (frames == 0)
        return std::nullopt;
    return recording.frameRecord(frames - 1);
}

std::optional<PackedFrame> frameAfter(const Recording& recording, int step)
{
    const auto kinds = recording.kinds();
    if (step < 0 || step >= recording.StepCount())
        return std::nullopt;
    const auto next = std::find(kinds.begin() + step + 1, kinds.end(), StepKind::Frame);
    if (next == kinds.end())
        return std::nullopt;
    return recording.frameRecord(countOf(kinds, static_cast<int>(next - kinds.begin()), StepKind::Frame));
}

} // namespace lumidot
