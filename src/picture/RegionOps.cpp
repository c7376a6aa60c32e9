// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/RegionOps.h"

#include "picture/Line.h"
#include "picture/VirtualArea.h"

#include <algorithm>

namespace lumidot {

namespace {

void swapDots(VirtualArea& area, int ax, int ay, int bx, int by)
{
    const std::uint8_t a = area.dot(ax, ay);
    area.setDot(ax, ay, area.dot(bx, by));
    area.setDot(bx, by, a);
}

// The part of a region that lies on the plane.
Region onPlane(const Region& r)
{
    return {std::max(r.x0, VirtualArea::kMinX), std::max(r.y0, VirtualArea::kMinY),
            std::min(r.x1, VirtualArea::kMaxX), std::min(r.y1, VirtualArea::kMaxY)};
}

} // namespace

void invertView(VirtualArea& area, const View& view)
{
    const Region r = onPlane(view.region());
    for (int x = r.x0; x <= r.x1; ++x)
        for (int y = r.y0; y <= r.y1; ++y)
            area.setDot(x, y, area.dot(x, y) ? 0 : 1);
}

void mirrorView(VirtualArea& area, const View& view)
{
    for (int j = 0; j < view.rows; ++j)
        for (int i = 0; i < view.cols / 2; ++i)
            swapDots(area, view.x + i, view.y + j, view.x + view.cols - 1 - i, view.y + j);
}

void flipView(VirtualArea& area, const View& view)
{
    for (int i = 0; i < view.cols; ++i)
        for (int j = 0; j < view.rows / 2; ++j)
            swapDots(area, view.x + i, view.y + j, view.x + i, view.y + view.rows - 1 - j);
}

void fillRegion(VirtualArea& area, const Region& region, std::uint8_t value)
{
    const Region r = onPlane(region);
    for (int x = r.x0; x <= r.x1; ++x)
        for (int y = r.y0; y <= r.y1; ++y)
            area.setDot(x, y, value);
}

void drawRegionOutline(VirtualArea& area, const Region& region)
{
    if (region.empty())
        return;
    for (int x = region.x0; x <= region.x1; ++x) {
        area.setDot(x, region.y0, 1);
        area.setDot(x, region.y1, 1);
    }
    for (int y = region.y0; y <= region.y1; ++y) {
        area.setDot(region.x0, y, 1);
        area.setDot(region.x1, y, 1);
    }
}

void drawLine(VirtualArea& area, int x0, int y0, int x1, int y1, std::uint8_t value)
{
    forEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { area.setDot(x, y, value); });
}

} // namespace lumidot
