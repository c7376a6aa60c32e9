// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"
#include "picture/DotEditor.h"

#include <QColor>
#include <QImage>

class QPainter;

namespace lumidot {

class VirtualArea;

// Frames shown lightly under the window's own dots, so that the next frame
// of an animation can be drawn against its neighbours. Shown only.
struct OnionSkin {
    const PackedFrame* before = nullptr;
    const PackedFrame* after = nullptr;
};

// Everything Disp_FD needs to paint the dot editor's view.
struct DotViewScene {
    const VirtualArea* area = nullptr;
    int scrollX = 0;
    int scrollY = 0;
    int cellSize = 8;
    QColor clearColour{0, 255, 0}; // LcdColour
    const RubberBand* band = nullptr;
    bool lcdGreen = true; // the band is red over the green backlight, else white
    OnionSkin onion{};
    // The view in dots; 0 fills the smallest paint box, 256 x 128 pixels.
    int cols = 0;
    int rows = 0;

    int viewCols() const { return cols > 0 ? cols : kViewPixelsWide / cellSize; }
    int viewRows() const { return rows > 0 ? rows : kViewPixelsHigh / cellSize; }
};

// The tints of the onion skin: the frame before in a light grey, the one
// after in a light blue, both far from black and from every backlight.
inline constexpr QRgb kOnionBefore = 0xFFB4B4B4;
inline constexpr QRgb kOnionAfter = 0xFF9CC4F0;

// The view as one pixel per dot (viewCols x viewRows): black for a set dot,
// the onion tints under it, the backlight for the rest. This is all a
// repaint computes; the screen shows it scaled to the cell size.
void renderDotPicture(QImage& dots, const DotViewScene& scene);

// The view at its cell size from the dot picture: every cell a filled
// square with a 1-pixel black outline shared with its neighbours (a set dot
// is a solid black square), the white frame around the LCD window when the
// view shows more than it, then the rubber band.
void paintDotView(QPainter& painter, const QImage& dots, const DotViewScene& scene);

// The grid of cells alone, on a painter of at least the smallest paint box.
void paintDotCells(QPainter& painter, const VirtualArea& area, int scrollX, int scrollY, int cellSize,
                   const QColor& clearColour);

// A 1-pixel closed line through the band's corners, or the straight line of
// the line tool.
void paintRubberBand(QPainter& painter, const RubberBand& band, bool lcdGreen);

// The scene as a whole picture of viewCols x cell by viewRows x cell pixels.
QImage renderDotView(const DotViewScene& scene);
// Paints the scene into image, which must be as large as the view.
void renderDotView(QImage& image, const DotViewScene& scene);

} // namespace lumidot
