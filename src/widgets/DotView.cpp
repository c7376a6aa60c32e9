// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DotView.h"

#include "picture/VirtualArea.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace lumidot {

namespace {

// Draws the line of the line tool and the band's sides alike: 1-pixel
// rectangles for the straight sides, a cosmetic pen for a slanted line.
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

bool onionDot(const PackedFrame* frame, int col, int row)
{
    return frame && col < kLcdCols && row < kLcdRows && frameDot(*frame, col, row) != 0;
}

} // namespace

void renderDotPicture(QImage& dots, const DotViewScene& scene)
{
    const int cols = scene.viewCols();
    const int rows = scene.viewRows();
    if (dots.width() != cols || dots.height() != rows || dots.format() != QImage::Format_RGB32)
        dots = QImage(cols, rows, QImage::Format_RGB32);
    const QRgb clear = scene.clearColour.rgb();
    const QRgb black = qRgb(0, 0, 0);
    const bool onion = scene.onion.before || scene.onion.after;
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(dots.scanLine(row));
        for (int col = 0; col < cols; ++col) {
            QRgb colour = clear;
            if (scene.area->dot(scene.scrollX + col, scene.scrollY + row) != 0)
                colour = black;
            else if (onion && onionDot(scene.onion.before, col, row))
                colour = kOnionBefore;
            else if (onion && onionDot(scene.onion.after, col, row))
                colour = kOnionAfter;
            line[col] = colour;
        }
    }
}

void paintDotView(QPainter& painter, const QImage& dots, const DotViewScene& scene)
{
    const int cell = scene.cellSize;
    const int width = scene.viewCols() * cell;
    const int height = scene.viewRows() * cell;
    // One scaled image: every dot a cell-sized square, without smoothing.
    painter.drawImage(QRect(0, 0, width, height), dots);
    // The grid line at the left and top of every cell.
    for (int x = 0; x < width; x += cell)
        painter.fillRect(x, 0, 1, height, Qt::black);
    for (int y = 0; y < height; y += cell)
        painter.fillRect(0, y, width, 1, Qt::black);
    if (scene.viewCols() > kLcdCols)
        fillOutline(painter, 0, 0, kLcdCols * cell, kLcdRows * cell, Qt::white);
    if (scene.band)
        paintRubberBand(painter, *scene.band, scene.lcdGreen);
}

void paintDotCells(QPainter& painter, const VirtualArea& area, int scrollX, int scrollY, int cellSize,
                   const QColor& clearColour)
{
    DotViewScene scene;
    scene.area = &area;
    scene.scrollX = scrollX;
    scene.scrollY = scrollY;
    scene.cellSize = cellSize;
    scene.clearColour = clearColour;
    QImage dots;
    renderDotPicture(dots, scene);
    painter.drawImage(QRect(0, 0, scene.viewCols() * cellSize, scene.viewRows() * cellSize), dots);
    for (int x = 0; x < kViewPixelsWide; x += cellSize)
        painter.fillRect(x, 0, 1, kViewPixelsHigh, Qt::black);
    for (int y = 0; y < kViewPixelsHigh; y += cellSize)
        painter.fillRect(0, y, kViewPixelsWide, 1, Qt::black);
}

void paintRubberBand(QPainter& painter, const RubberBand& band, bool lcdGreen)
{
    const QColor colour = lcdGreen ? QColor(255, 0, 0) : QColor(255, 255, 255);
    if (!band.straight) {
        fillOutline(painter, band.corners[0].x, band.corners[0].y, band.corners[2].x,
                    band.corners[2].y, colour);
        return;
    }
    painter.save();
    painter.setPen(QPen(colour, 0));
    painter.drawLine(band.corners[0].x, band.corners[0].y, band.corners[2].x, band.corners[2].y);
    painter.restore();
}

void renderDotView(QImage& image, const DotViewScene& scene)
{
    QImage dots;
    renderDotPicture(dots, scene);
    QPainter painter(&image);
    paintDotView(painter, dots, scene);
}

QImage renderDotView(const DotViewScene& scene)
{
    QImage image(scene.viewCols() * scene.cellSize, scene.viewRows() * scene.cellSize,
                 QImage::Format_RGB32);
    renderDotView(image, scene);
    return image;
}

} // namespace lumidot
