// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumidot {

// The module's graphic LCD: the window moved over the plane.
inline constexpr int kLcdCols = 32;
inline constexpr int kLcdRows = 16;

// The dot editor's paint box at its smallest, in pixels.
inline constexpr int kViewPixelsWide = 256;
inline constexpr int kViewPixelsHigh = 128;

// The view at zoom position 1: 64 x 32 dots; each zoom step halves both.
inline constexpr int kZoomOneCols = 64;
inline constexpr int kZoomOneRows = 32;

// An inclusive rectangle of plane dots.
struct Region {
    int x0 = 0;
    int y0 = 0;
    int x1 = -1;
    int y1 = -1;

    bool empty() const { return x1 < x0 || y1 < y0; }
    bool operator==(const Region&) const = default;
};

// The region the dot editor shows: cols x rows dots from the scroll position.
struct View {
    int x = 0;
    int y = 0;
    int cols = kLcdCols;
    int rows = kLcdRows;

    Region region() const { return {x, y, x + cols - 1, y + rows - 1}; }
    bool operator==(const View&) const = default;
};

// Cell sizes of the four zoom positions 1..4.
inline constexpr int kCellSizes[4] = {4, 8, 16, 32};
inline constexpr int kDefaultZoom = 2;

// Cell size for zoom position 1..4; positions outside are clamped.
int cellSizeForZoom(int zoomPosition);

// The view of the editor at a scroll position and cell size (4, 8, 16 or 32)
// on the smallest paint box.
View viewAt(int scrollX, int scrollY, int cellSize);

// The view at a scroll position and zoom position 1..4 (clamped): 64 x 32,
// 32 x 16, 16 x 8 or 8 x 4 dots, whatever the size of the paint box.
View viewForZoom(int scrollX, int scrollY, int zoomPosition);

// The cell size at zoom position 1 on a paint box that may take up to
// width x height pixels: the largest that fits 64 x 32 cells, and never
// less than the smallest box's 4. The other zooms double it step by step,
// so the box is the same size at every zoom.
int zoomOneCellFor(int width, int height);

// The ranges of the two scroll bars, as the settings hold them.
struct ScrollLimits {
    int xMin = -128;
    int xMax = 128;
    int yMin = -64;
    int yMax = 64;

    bool operator==(const ScrollLimits&) const = default;
};

// The dots that Clear all and New reset: one window beyond the scroll range on
// every side.
Region clearRegionFor(const ScrollLimits& limits);

// A rectangle spanned by two corner dots given in any order.
Region orderedRegion(int ax, int ay, int bx, int by);

} // namespace lumidot
