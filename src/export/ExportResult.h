// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumidot {

// A whole file built in memory, or the reason the format cannot hold the
// recording (a Japanese text for the window; nothing is written then).
struct ExportResult {
    std::vector<std::uint8_t> bytes;
    std::string refusal;
    // Refused because the file would pass the largest size it may have.
    bool tooLarge = false;

    bool ok() const { return refusal.empty() && !tooLarge; }
};

} // namespace lumidot
