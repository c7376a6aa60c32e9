// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <cstdint>
#include <vector>

namespace lumidot {

// The .syx file: the System Exclusive messages of every step, back to back,
// with nothing around or between them.
std::vector<std::uint8_t> FileSaveData(const Recording& recording);

} // namespace lumidot
