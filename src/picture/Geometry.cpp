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

View viewForZoom(int scrollX, int scrollY, int zoomPosition)
{
    const int halvings = std::clamp(zoomPosition, 1, 4) - 1;
    return {scrollX, scrollY, kZoomOneCols >> halvings, kZoomOneRows >> halvings};
}

int zoomOneCellFor(int width, int height)
{
    return std::max(kCellSizes[0], std::min(width / kZoomOneCols, height / kZoomOneRows));
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
