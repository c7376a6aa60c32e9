// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <cstdint>
#include <span>

namespace lumidot {

// Reads a .syx file: NS5R messages back to back, nothing between them.
LoadResult readSyx(std::span<const std::uint8_t> bytes);

} // namespace lumidot
