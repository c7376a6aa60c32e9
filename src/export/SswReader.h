// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <cstdint>
#include <span>

namespace lumidot {

// Reads a Singer Song Writer 4 exclusive library as Lumidot writes it: the
// messages in entry order, each entry carrying the name Lumidot gives its kind.
LoadResult readSsw(std::span<const std::uint8_t> bytes);

} // namespace lumidot
