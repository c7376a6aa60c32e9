// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/Geometry.h"

#include <algorithm>

namespace lumidot {

int cellSizeForZoom(int zoomPosition)
{
    return kCellSizes[std::clamp(zoomPosition, 1, 4) - 1];
}

View viewAt(int scrollX, int scrollY, int cellSize)
{
    return {scrollX, scrollY, kViewPixelsWide / cellSize, kViewPixelsHigh / cellSize};
}

Region clearRegionFor(const ScrollLimits& limits)
{
    return {limits.xMin - kLcdCols, limits.yMin - kLcdRows, limits.xMax + kLcdCols,
            limits.yMax + kLcdRows};
}

Region orderedRegion(int ax, int ay, int bx, int by)
{
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

} // namespace lumidot
