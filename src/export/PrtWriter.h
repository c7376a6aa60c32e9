// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ExportResult.h"
#include "recording/Recording.h"

#include <cstdint>

namespace lumidot {

// The largest event block the 16-bit length field of a .prt file states.
inline constexpr std::size_t kPrtMaxBlock = 65535;

// The waits a .prt step holds: its exclusive start events carry the step's
// wait in one 7-bit byte, and a wait of 0 would put the step on top of the
// one before it.
inline constexpr int kPrtShortestWait = 1;
inline constexpr int kPrtLongestWait = 127;

// The Recomposer98 sequence: "RCPPR", 01, the event block's length, then
// every message as an exclusive start event carrying its step's wait (the
// spacing, stepTick brought into 1..127, for a step that follows it)
// followed by exclusive data events, two message bytes each. A recording
// whose block would pass 65,535 bytes, or with a wait outside 1..127, is
// refused whole.
ExportResult Export_PRT(const Recording& recording, std::uint8_t stepTick);

// The first step whose wait a .prt cannot hold (0-based) and its wait in
// ticks, for the window and the command line to name in their own words.
struct PrtWaitRefusal {
    int step = -1;
    std::int64_t ticks = 0;

    bool refused() const { return step >= 0; }
};
PrtWaitRefusal prtWaitRefusal(const Recording& recording, std::uint8_t stepTick);

} // namespace lumidot
