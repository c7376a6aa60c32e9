// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <cstdint>
#include <span>

namespace lumidot {

// Reads a Standard MIDI File (format 0 or 1): the NS5R messages among its
// events, in time order across all tracks, become the steps; notes, tempo,
// text and other devices' System Exclusive messages are passed over. The
// tick spacing found is the delta before the first NS5R message, which in a
// file Lumidot wrote is its step spacing.
LoadResult readSmf(std::span<const std::uint8_t> bytes);

} // namespace lumidot
