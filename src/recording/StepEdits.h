// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/RecordingChange.h"

#include <optional>

namespace lumidot {

// The edits of the step list. Each one either changes the recording and
// says what it did, so that it can be undone, or is refused and changes
// nothing.
//
// The limit holds as for recording: an edit is refused (Full) when it would
// leave a frame or message step at step 9,999 or later, where recording it
// would have been refused. So an edited recording is always one that
// recording the same steps in that order gives, and it exports as that one.
enum class EditResult { Done, Full, Nothing };

struct StepEdit {
    EditResult result = EditResult::Nothing;
    RecordingChange change;
};

// The count steps from first, held to the steps there are.
StepEdit deleteSteps(Recording& recording, int first, int count);
// The clip's steps before step at (at = StepCount() appends): paste and insert.
StepEdit insertSteps(Recording& recording, int at, const StepClip& steps);
// A copy of the count steps from first, right after them. Originals and
// copies each last as long as the originals did at the tick spacing: the
// first copy waits what followed the last original (the end, after the
// last step).
StepEdit duplicateSteps(Recording& recording, int first, int count, int stepTick);
// The count steps from first moved so that they start at step to (0 up to
// StepCount() - count).
StepEdit moveSteps(Recording& recording, int first, int count, int to);
// The frame step at step takes the frame's dots, in place: "上書き". Nothing
// for a step that is not a frame step or that holds these dots already.
StepEdit overwriteFrame(Recording& recording, int step, const PackedFrame& frame);

// The frames of the frame steps nearest to step: the last one before it and
// the first one after it, as the onion skin shows them. Step may be
// StepCount(), the place of the next recorded step.
std::optional<PackedFrame> frameBefore(const Recording& recording, int step);
std::optional<PackedFrame> frameAfter(const Recording& recording, int step);

} // namespace lumidot
