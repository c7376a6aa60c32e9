// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace lumidot {

// The monitor's own 5 x 7 dot-matrix font for printable ASCII (20..7E hex).
// A glyph is five columns from the left; bit 0 of a column is the top row.
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
using Glyph = std::array<std::uint8_t, kGlyphWidth>;

// The glyph of a text byte; any byte outside printable ASCII gets a hollow
// box, so that it shows as a character the font does not have.
const Glyph& glyphOf(std::uint8_t byte);

inline bool glyphDot(const Glyph& glyph, int column, int row)
{
    return (glyph[static_cast<std::size_t>(column)] >> row) & 1;
}

} // namespace lumidot
