// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <utility>

namespace lumidot {

// The points of the straight line between two points, both ends included,
// each a neighbour of the one before (across, down or diagonally), so that
// a stroke through them has no gap: Bresenham's algorithm. The line is
// walked from its leftmost (then topmost) end, so the same two ends give
// the same points whichever of them came first.
template <typename Visit>
void forEachLinePoint(int x0, int y0, int x1, int y1, Visit&& visit)
{
    if (std::pair(x1, y1) < std::pair(x0, y0)) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        visit(x0, y0);
        if (x0 == x1 && y0 == y1)
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            ++x0;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

} // namespace lumidot
