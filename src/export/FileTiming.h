// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumidot {

// Where one step of a Standard MIDI File lay, in ticks at 480 a quarter:
// its step label (the text event Lumidot writes before it) when it has
// one, its first and its last message, and where its first message starts
// in the file.
struct FileStepTimes {
    std::optional<std::int64_t> label;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::size_t offset = 0;
};

// The timing read from a file: the spacing found (0: none) or a refusal.
struct FileTimingResult {
    int stepTick = 0;
    std::optional<LoadResult> refusal;
};

// Gives the steps read from a Standard MIDI File the waits, the start and
// the end that put every first message back on its tick when the recording
// is written at the spacing found. The spacing is the distance from label
// to message of most steps; in a file without labels, half the distance of
// evenly spaced steps, or the smallest distance (at most 8) of uneven ones.
// Steps at the spacing follow it; a first step off it gets a start offset.
// A step that came sooner than the spacing allows comes as soon as it can.
// end: the tick of the end of the file's last track.
FileTimingResult applySmfTiming(Recording& recording, std::span<const FileStepTimes> steps,
                                std::int64_t end);

// Gives the steps of a .prt file their waits: each step's tick byte. A
// .prt does not say which tick is the spacing; the first step's is taken,
// as a recording's first step follows the spacing unless the user gave it
// a start. Steps at that tick follow it. Returns the spacing.
int applyPrtTiming(Recording& recording, std::span<const std::uint8_t> stepTicks);

} // namespace lumidot
