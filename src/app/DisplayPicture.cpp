#include "app/DisplayPicture.h"

#include <QFont>
#include <QPainter>

namespace lumidot {

namespace {

// The display as a grid of dots, each shown as a 2 x 2 square on a 3-pixel pitch.
constexpr int kDotsWide = 96;
constexpr int kDotsHigh = 26;
constexpr int kPitch = 3;
constexpr int kDotSize = 2;

void drawText(QPainter& p, int x, int y, const QString& text)
{
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(8);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.drawText(x, y, text);
}

// The playing state: program and part on the top row, a level bar for each
// of the 16 parts and the master volume below.
QImage dotLayout()
{
    QImage dots(kDotsWide, kDotsHigh, QImage::Format_RGB32);
    dots.fill(Qt::white);
    QPainter p(&dots);
    p.setPen(Qt::black);
    drawText(p, 0, 7, "A001 Piano 1");
    drawText(p, 74, 7, "P01");
    constexpr int levels[16] = {9, 6, 11, 4, 7, 2, 8, 5, 3, 10, 6, 1, 4, 7, 2, 5};
    for (int part = 0; part < 16; ++part) {
        const int x = 1 + part * 4;
        p.fillRect(x, 24 - levels[part], 3, levels[part], Qt::black);
        p.drawPoint(x + 1, 25);
    }
    drawText(p, 68, 17, "VOL");
    drawText(p, 68, 25, "127");
    p.drawLine(0, 10, 95, 10);
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
