// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumidot {

// The text event that names each step in a Standard MIDI File.
std::string_view StepLabel(StepKind kind);

// What a Standard MIDI File may carry beyond the steps. A tempo, when
// given, is written at tick 0 with a 4/4 time signature, so that a
// sequencer plays the file at the tempo it was made for; without one the
// file is as it always was.
struct SmfOptions {
    int tempo = 0;   // quarter notes a minute, 20..300; 0: no tempo event
};

// The Standard MIDI File: format 0, one track, 480 ticks per quarter note.
// Every step is a text event naming it, its wait after the previous step's
// last event, and the step's System Exclusive events, the first stepTick
// ticks after the text (1..127; a value outside is brought inside). Waits
// above 127 take several bytes. The track grows as far as needed.
std::vector<std::uint8_t> EXPORT_SMF(const Recording& recording, std::uint8_t stepTick,
                                     const SmfOptions& options = {});

// Appends a number as a variable-length quantity (at most 0x0FFFFFFF).
void appendQuantity(std::vector<std::uint8_t>& out, std::uint32_t value);

// The size of that file, counted without building it, so that one too large
// to keep is refused before it takes its memory (a .mid is about five times
// the .syx of a recording of colour steps).
std::size_t smfFileSize(const Recording& recording, std::uint8_t stepTick, const SmfOptions& options = {});

} // namespace lumidot
