// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DotView.h"

#include "picture/VirtualArea.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace lumidot {

namespace {

constexpr int kLcdFrameCellSize = 4;

// The four 1-pixel sides of the rectangle with corners (x0, y0) and (x1, y1),
// both included.
void fillOutline(QPainter& painter, int x0, int y0, int x1, int y1, const QColor& colour)
{
    const int left = std::min(x0, x1);
    const int top = std::min(y0, y1);
    const int width = std::abs(x1 - x0) + 1;
    const int height = std::abs(y1 - y0) + 1;
    painter.fillRect(left, top, width, 1, colour);
    painter.fillRect(left, top + height - 1, width, 1, colour);
    painter.fillRect(left, top, 1, height, colour);
    painter.fillRect(left + width - 1, top, 1, height, colour);
}

} // namespace

void paintDotCells(QPainter& painter, const VirtualArea& area, int scrollX, int scrollY, int cellSize,
                   const QColor& clearColour)
{
    // Black everywhere gives every grid line and every set dot at once; only
    // the inside of each clear cell is painted over.
    painter.fillRect(0, 0, kViewPixelsWide, kViewPixelsHigh, Qt::black);
    const View view = viewAt(scrollX, scrollY, cellSize);
    const int inside = cellSize - 1;
    for (int i = 0; i < view.cols; ++i) {
        for (int j = 0; j < view.rows; ++j) {
            if (area.dot(scrollX + i, scrollY + j) == 0)
                painter.fillRect(i * cellSize + 1, j * cellSize + 1, inside, inside, clearColour);
        }
    }
}

void paintLcdWindowFrame(QPainter& painter)
{
    fillOutline(painter, 0, 0, kLcdCols * kLcdFrameCellSize, kLcdRows * kLcdFrameCellSize, Qt::white);
}

void paintRubberBand(QPainter& painter, const RubberBand& band, bool lcdGreen)
{
    const QColor colour = lcdGreen ? QColor(255, 0, 0) : QColor(255, 255, 255);
    fillOutline(painter, band.corners[0].x, band.corners[0].y, band.corners[2].x, band.corners[2].y,
                colour);
}

void paintDotView(QPainter& painter, const DotViewScene& scene)
{
    paintDotCells(painter, *scene.area, scene.scrollX, scene.scrollY, scene.cellSize, scene.clearColour);
    if (scene.cellSize == kLcdFrameCellSize)
        paintLcdWindowFrame(painter);
    if (scene.band)
        paintRubberBand(painter, *scene.band, scene.lcdGreen);
}

void renderDotView(QImage& image, const DotViewScene& scene)
{
    QPainter painter(&image);
    paintDotView(painter, scene);
}

QImage renderDotView(const DotViewScene& scene)
{
    QImage image(kViewPixelsWide, kViewPixelsHigh, QImage::Format_RGB32);
    renderDotView(image, scene);
    return image;
}

} // namespace lumidot
