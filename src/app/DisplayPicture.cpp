// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DisplayPicture.h"

#include <QPainter>

namespace lumidot {

namespace {

// The display as a grid of dots, each shown as a 2 x 2 square on a 3-pixel pitch.
constexpr int kDotsWide = 96;
constexpr int kDotsHigh = 26;
constexpr int kPitch = 3;
constexpr int kDotSize = 2;

// A 5 x 7 dot font for the characters the picture shows; each row is five
// bits, the leftmost dot in bit 4.
struct Glyph {
    char c;
    unsigned char rows[7];
};

constexpr Glyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}}, {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
};

void drawText(QImage& dots, int x, int y, const char* text)
{
    for (; *text; ++text, x += 6)
        for (const Glyph& glyph : kGlyphs)
            if (glyph.c == *text)
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (glyph.rows[row] & (0x10 >> col))
                            dots.setPixel(x + col, y + row, qRgb(0, 0, 0));
}

// The playing state: program and part on the top row, a level bar for each
// of the 16 parts and the master volume below.
QImage dotLayout()
{
    QImage dots(kDotsWide, kDotsHigh, QImage::Format_RGB32);
    dots.fill(Qt::white);
    drawText(dots, 0, 0, "A001 PIANO 1");
    drawText(dots, 78, 0, "P01");
    QPainter p(&dots);
    p.setPen(Qt::black);
    constexpr int levels[16] = {9, 6, 11, 4, 7, 2, 8, 5, 3, 10, 6, 1, 4, 7, 2, 5};
    for (int part = 0; part < 16; ++part) {
        const int x = 1 + part * 4;
        p.fillRect(x, 24 - levels[part], 3, levels[part], Qt::black);
        p.drawPoint(x + 1, 25);
    }
    p.end();
    drawText(dots, 72, 10, "VOL");
    drawText(dots, 72, 18, "127");
    return dots;
}

} // namespace

QImage displayPicture()
{
    const QImage dots = dotLayout();
    QImage picture(288, 80, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    for (int y = 0; y < kDotsHigh; ++y)
        for (int x = 0; x < kDotsWide; ++x)
            if (qGray(dots.pixel(x, y)) < 128)
                p.fillRect(x * kPitch + 1, y * kPitch + 1, kDotSize, kDotSize, Qt::black);
    return picture;
}

} // namespace lumidot
