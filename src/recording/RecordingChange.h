// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/StepClip.h"

#include <cstddef>

namespace lumidot {

// A step's wait before and after a change of the timing.
struct WaitChange {
    int step = 0;
    StepWait before;
    StepWait after;
};

// One change of the recording, kept so that it can be taken back and done
// again: a run of steps at one position replaced by another run (an
// append, a delete, a paste, an insert, Open, New), a block of steps
// moved, or waits changed (a length, a hold, a nudge). Any of them may
// also change the start offset and the end (Open and New do).
class RecordingChange {
public:
    RecordingChange() = default;
    static RecordingChange replacing(int at, StepClip removed, StepClip inserted);
    static RecordingChange moving(int first, int count, int to);
    static RecordingChange retiming(std::vector<WaitChange> waits, EdgeTiming before, EdgeTiming after);
    // The start offset and the end change from before to after as well.
    void setEdges(EdgeTiming before, EdgeTiming after);

    bool empty() const;
    std::size_t bytes() const;

    // The recording must be in the state after the change for undo, before it for redo.
    void undo(Recording& recording) const;
    void redo(Recording& recording) const;

    // Takes in a change that appends right after the steps this one
    // inserted, as the keystrokes of one continuous message recording do.
    // False, changing nothing, for any other change.
    bool absorb(const RecordingChange& next);
    // Takes in a move of the same steps, on from where this one left them,
    // in the same direction: a run of Ctrl+Down is one move. False, changing
    // nothing, for any other change.
    bool continueMove(const RecordingChange& next);

    // Steps appended at the end, and nothing removed.
    bool insertsOnly() const
    {
        return !moves_ && waits_.empty() && edgesBefore_ == edgesAfter_ && removed_.empty() &&
               !inserted_.empty();
    }
    int at() const { return at_; }
    const StepClip& removed() const { return removed_; }
    const StepClip& inserted() const { return inserted_; }
    const std::vector<WaitChange>& waitChanges() const { return waits_; }
    // The parts of the change, for the recovery journal.
    bool moves() const { return moves_; }
    // A move: the block of count steps from first ends up starting at to.
    int moveFirst() const { return first_; }
    int moveCount() const { return count_; }
    int moveTo() const { return to_; }
    const EdgeTiming& edgesBefore() const { return edgesBefore_; }
    const EdgeTiming& edgesAfter() const { return edgesAfter_; }

private:
    void applyWaits(Recording& recording, bool after) const;

    bool moves_ = false;
    int at_ = 0;
    StepClip removed_;
    StepClip inserted_;
    int first_ = 0;
    int count_ = 0;
    int to_ = 0;
    std::vector<WaitChange> waits_;
    EdgeTiming edgesBefore_;
    EdgeTiming edgesAfter_;
};

// What turned one recording into the other, as one replaced run: the steps
// between their longest common beginning and their longest common end
// (steps whose waits differ differ), and the change of the start and end.
RecordingChange differenceBetween(const Recording& before, const Recording& after);

} // namespace lumidot
