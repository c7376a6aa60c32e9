// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/RecordingChange.h"

#include <algorithm>

namespace lumidot {

RecordingChange RecordingChange::replacing(int at, StepClip removed, StepClip inserted)
{
    RecordingChange change;
    change.at_ = at;
    change.removed_ = std::move(removed);
    change.inserted_ = std::move(inserted);
    return change;
}

RecordingChange RecordingChange::moving(int first, int count, int to)
{
    RecordingChange change;
    change.moves_ = true;
    change.first_ = first;
    change.count_ = count;
    change.to_ = to;
    return change;
}

RecordingChange RecordingChange::retiming(std::vector<WaitChange> waits, EdgeTiming before,
                                          EdgeTiming after)
{
    RecordingChange change;
    change.waits_ = std::move(waits);
    change.edgesBefore_ = before;
    change.edgesAfter_ = after;
    return change;
}

void RecordingChange::setEdges(EdgeTiming before, EdgeTiming after)
{
    edgesBefore_ = before;
    edgesAfter_ = after;
}

bool RecordingChange::empty() const
{
    if (edgesBefore_ != edgesAfter_)
        return false;
    if (moves_)
        return count_ == 0 || first_ == to_;
    return removed_.empty() && inserted_.empty() &&
           std::ranges::all_of(waits_, [](const WaitChange& c) { return c.before == c.after; });
}

std::size_t RecordingChange::bytes() const
{
    return sizeof(*this) + removed_.bytes() + inserted_.bytes() +
           waits_.capacity() * sizeof(WaitChange);
}

void RecordingChange::applyWaits(Recording& recording, bool after) const
{
    if (waits_.empty())
        return;
    std::vector<WaitAt> waits;
    waits.reserve(waits_.size());
    for (const WaitChange& change : waits_)
        waits.push_back({change.step, after ? change.after : change.before});
    recording.setWaits(waits);
}

void RecordingChange::undo(Recording& recording) const
{
    if (moves_) {
        recording.moveSteps(to_, count_, first_);
    } else if (waits_.empty()) {
        recording.removeSteps(at_, inserted_.size());
        recording.insertSteps(at_, removed_);
    }
    applyWaits(recording, false);
    if (edgesBefore_ != edgesAfter_)
        recording.setEdgeTiming(edgesBefore_);
}

void RecordingChange::redo(Recording& recording) const
{
    if (moves_) {
        recording.moveSteps(first_, count_, to_);
    } else if (waits_.empty()) {
        recording.removeSteps(at_, removed_.size());
        recording.insertSteps(at_, inserted_);
    }
    applyWaits(recording, true);
    if (edgesBefore_ != edgesAfter_)
        recording.setEdgeTiming(edgesAfter_);
}

bool RecordingChange::absorb(const RecordingChange& next)
{
    if (!insertsOnly() || !next.insertsOnly() || next.at_ != at_ + inserted_.size())
        return false;
    inserted_.append(next.inserted_);
    return true;
}

bool RecordingChange::continueMove(const RecordingChange& next)
{
    if (!moves_ || !next.moves_ || next.first_ != to_ || next.count_ != count_
        || (to_ - first_) * (next.to_ - next.first_) <= 0)
        return false;
    to_ = next.to_;
    return true;
}

namespace {

// A position in a recording, with the payload indices of the step there.
// Walking back lands on a step before reading it; walking forward reads it
// before leaving it, so the indices always belong to the step at the cursor.
struct StepCursor {
    const Recording& recording;
    int step = 0;
    int frame = 0;
    int message = 0;
    int effect = 0;

    static StepCursor atEnd(const Recording& recording)
    {
        return {recording, recording.StepCount(), recording.FrameCount(), recording.MessageCount(),
                static_cast<int>(recording.effectStream().size())};
    }

    StepKind kind() const { return recording.kinds()[step]; }

    void forward()
    {
        advance(+1);
        ++step;
    }
    void back()
    {
        --step;
        advance(-1);
    }

private:
    void advance(int by)
    {
        switch (kind()) {
        case StepKind::Frame: frame += by; break;
        case StepKind::Message: message += by; break;
        case StepKind::Effect: effect += 3 * by; break;
        case StepKind::Green:
        case StepKind::Orange:
        case StepKind::Red:
        case StepKind::Off: break;
        }
    }
};

bool sameStep(const StepCursor& a, const StepCursor& b)
{
    if (a.kind() != b.kind() || a.recording.wait(a.step) != b.recording.wait(b.step))
        return false;
    switch (a.kind()) {
    case StepKind::Frame:
        return a.recording.frameRecord(a.frame) == b.recording.frameRecord(b.frame);
    case StepKind::Message:
        return std::ranges::equal(a.recording.messageText(a.message),
                                  b.recording.messageText(b.message));
    case StepKind::Effect:
        return std::ranges::equal(a.recording.effectStream().subspan(a.effect, 3),
                                  b.recording.effectStream().subspan(b.effect, 3));
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off: break;
    }
    return true;
}

} // namespace

RecordingChange differenceBetween(const Recording& before, const Recording& after)
{
    const int shorter = std::min(before.StepCount(), after.StepCount());
    StepCursor a{before};
    StepCursor b{after};
    while (a.step < shorter && sameStep(a, b)) {
        a.forward();
        b.forward();
    }
    const int common = a.step;
    StepCursor endA = StepCursor::atEnd(before);
    StepCursor endB = StepCursor::atEnd(after);
    while (endA.step > common && endB.step > common) {
        endA.back();
        endB.back();
        if (!sameStep(endA, endB)) {
            endA.forward();
            endB.forward();
            break;
        }
    }
    RecordingChange change;
    if (endA.step != common || endB.step != common)
        change = RecordingChange::replacing(common, before.copySteps(common, endA.step - common),
                                            after.copySteps(common, endB.step - common));
    change.setEdges(before.edgeTiming(), after.edgeTiming());
    return change;
}

} // namespace lumidot
