// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace lumidot {

// The text event that names each step in a Standard MIDI File.
std::string_view StepLabel(StepKind kind);

// The Standard MIDI File: format 0, one track, 480 ticks per quarter note.
// Every step is a text event naming it and the step's System Exclusive
// events, stepTick ticks apart (1..127; a value outside is brought inside).
// The track grows as far as needed.
std::vector<std::uint8_t> EXPORT_SMF(const Recording& recording, std::uint8_t stepTick);

} // namespace lumidot
