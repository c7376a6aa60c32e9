// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ExportResult.h"
#include "recording/Recording.h"

#include <cstdint>

namespace lumidot {

// The largest event block the 16-bit length field of a .prt file states.
inline constexpr std::size_t kPrtMaxBlock = 65535;

// The Recomposer98 sequence: "RCPPR", 01, the event block's length, then
// every message as an exclusive start event carrying stepTick followed by
// exclusive data events, two message bytes each (stepTick brought into
// 1..127). A recording whose block would pass 65,535 bytes is refused whole.
ExportResult Export_PRT(const Recording& recording, std::uint8_t stepTick);

} // namespace lumidot
