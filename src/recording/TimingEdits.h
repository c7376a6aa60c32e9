// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/StepEdits.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumidot {

// The edits of the steps' timing. Each changes waits (and the start offset
// or the end) as one change that can be undone, or changes nothing
// (EditResult::Nothing). Steps are the count from first, held to the steps
// there are. stepTick is the spacing the lengths are measured at.
//
// A step's length runs from its first message to the next step's first
// message (to the end of the track for the last step), so it is the wait
// of the step after it, plus the spacing between that step's text and its
// message, plus the ticks of the step's own further messages (an effect
// group's four). The shortest length a step can have is therefore the
// spacing plus those ticks, the longest kMaxWait more.

// The note values the window offers, 1/16 to 4 bars, in ticks.
inline constexpr std::array<int, 7> kNoteLengths{120, 240, 480, 960, 1920, 3840, 7680};

// The shortest length step can have at the spacing.
int shortestLength(const Recording& recording, int step, int stepTick);

// Gives every step the length (brought into what each step can have).
StepEdit setStepLengths(Recording& recording, int first, int count, std::int64_t length, int stepTick);
// Halves or doubles every step's length.
StepEdit scaleStepLengths(Recording& recording, int first, int count, bool doubling, int stepTick);
// Lets the steps' lengths follow the spacing again (the end its 48 ticks).
StepEdit resetStepLengths(Recording& recording, int first, int count);
// Moves the steps together by ticks (later when positive) without moving
// the step after them: the wait before them grows, the one after them
// shrinks, as far as both allow. Moving the first step moves the start.
StepEdit nudgeSteps(Recording& recording, int first, int count, int ticks, int stepTick);
// Stretches every frame step among them to the next beat or bar (unit in
// ticks) after its current end; the steps after it move on with it.
StepEdit holdFrames(Recording& recording, int first, int count, int unit, int stepTick);
// Puts the first step's first message at tick (none: after its wait, as recorded).
StepEdit setStartOffset(Recording& recording, std::optional<int> tick);

// Gives the steps from first the lengths of times in microseconds at a
// tempo (a picture's frame delays): each step lasts the ticks nearest its
// time, the rounding carried on so that it never adds up, and a step held
// to its shortest length is caught up by the ones after it. A time of 0
// leaves its step's length as it is.
StepEdit timeSteps(Recording& recording, int first, std::span<const std::int64_t> micros, int tempo,
                   int stepTick);

// The frames of an animation thinned to what a MIDI cable carries: a frame
// is kept only when the cable has finished the Frame Draw command of the
// last frame kept (89 bytes, 28.48 ms), and each kept frame lasts until
// the next one kept. The first frame is always kept.
struct ThinnedFrames {
    std::vector<int> kept;              // indices of the frames kept, rising
    std::vector<std::int64_t> micros;   // how long each kept frame lasts
    int dropped = 0;
};
ThinnedFrames thinForCable(std::span<const std::int64_t> micros);

} // namespace lumidot
