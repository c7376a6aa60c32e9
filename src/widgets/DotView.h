// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/DotEditor.h"

#include <QColor>
#include <QImage>

class QPainter;

namespace lumidot {

class VirtualArea;

// Everything Disp_FD needs to paint the dot editor's view.
struct DotViewScene {
    const VirtualArea* area = nullptr;
    int scrollX = 0;
    int scrollY = 0;
    int cellSize = 8;
    QColor clearColour{0, 255, 0}; // LcdColour
    const RubberBand* band = nullptr;
    bool lcdGreen = true; // the band is red over the green backlight, else white
};

// The whole 256 x 128 view: every cell a filled square with a 1-pixel black
// outline shared with its neighbours (a set dot is a solid black square), the
// white frame around the LCD window at cell size 4, then the rubber band.
void paintDotView(QPainter& painter, const DotViewScene& scene);

// The grid of cells alone.
void paintDotCells(QPainter& painter, const VirtualArea& area, int scrollX, int scrollY, int cellSize,
                   const QColor& clearColour);

// The white frame from (0, 0) to (128, 64) that marks the LCD window at zoom 1.
void paintLcdWindowFrame(QPainter& painter);

// A 1-pixel closed line through the band's corners.
void paintRubberBand(QPainter& painter, const RubberBand& band, bool lcdGreen);

// Paints the scene into image, which must be 256 x 128.
void renderDotView(QImage& image, const DotViewScene& scene);
// The scene as a new 256 x 128 image.
QImage renderDotView(const DotViewScene& scene);

} // namespace lumidot
