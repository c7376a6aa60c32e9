// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"

#include <cstdint>

namespace lumidot {

class VirtualArea;

// Whole-region operations on the plane. Each touches only the dots of its
// region; dots of the region that lie outside the plane are skipped.

// Every dot of the view toggles between clear and set.
void invertView(VirtualArea& area, const View& view);

// Swaps the view's columns left to right.
void mirrorView(VirtualArea& area, const View& view);

// Swaps the view's rows top to bottom.
void flipView(VirtualArea& area, const View& view);

// Every dot of the region becomes value (0 or 1).
void fillRegion(VirtualArea& area, const Region& region, std::uint8_t value);

// Sets the border dots of the region; the inside keeps its dots.
void drawRegionOutline(VirtualArea& area, const Region& region);

// Every dot of the straight line from (x0, y0) to (x1, y1), both ends
// included and without gaps, becomes value (0 or 1).
void drawLine(VirtualArea& area, int x0, int y0, int x1, int y1, std::uint8_t value);

} // namespace lumidot
