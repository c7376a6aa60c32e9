// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <cstdint>
#include <span>

namespace lumidot {

// Reads a Recomposer98 .prt file as Lumidot writes it: every message an
// exclusive start event and its data events, all with one tick spacing,
// which is returned.
LoadResult readPrt(std::span<const std::uint8_t> bytes);

} // namespace lumidot
