// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

// The program's icon lives in a resource of this static library; naming it
// here keeps the linker from dropping it.
static void initProgramIconResource()
{
    Q_INIT_RESOURCE(icon);
}

namespace lumidot {

namespace {

constexpr int kSize = 16;

void drawPage(QPainter& p)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void drawFolder(QPainter& p)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(230, 190, 80));
    p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
    p.setBrush(QColor(250, 220, 120));
    p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
}

void drawDisk(QPainter& p)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 60, 160));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 9, 9, 5);
}

void drawPort(QPainter& p)
{
    // A MIDI socket: a round connector with its five pins.
    p.setPen(Qt::black);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(1, 1, 13, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (const QPoint& pin : {QPoint(4, 8), QPoint(5, 5), QPoint(8, 4), QPoint(11, 5), QPoint(12, 8)})
        p.drawRect(pin.x() - 1, pin.y(), 2, 2);
    p.drawRect(6, 11, 4, 2);
}

void drawExit(QPainter& p)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(150, 100, 50));
    p.drawRect(2, 1, 8, 13);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(8, 8, 15, 8);
    p.drawLine(12, 5, 15, 8);
    p.drawLine(12, 11, 15, 8);
}

void drawBadge(QPainter& p, const QColor& colour, const QString& text)
{
    p.setPen(Qt::black);
    p.setBrush(colour);
    p.drawEllipse(0, 0, 15, 15);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
}

void drawPen(QPainter& p, const QColor& nib)
{
    p.setPen(Qt::black);
    p.setBrush(QColor(230, 200, 90));
    p.drawPolygon(QPolygon({{11, 1}, {14, 4}, {5, 13}, {2, 10}}));
    p.setBrush(nib);
    p.drawPolygon(QPolygon({{2, 10}, {5, 13}, {1, 14}}));
}

void drawTool(QPainter& p, IconKind kind)
{
    p.setPen(Qt::black);
    switch (kind) {
    case IconKind::Pen:
        drawPen(p, Qt::black);
        break;
    case IconKind::Pen2:
        drawPen(p, Qt::white);
        break;
    case IconKind::Box:
        p.setBrush(Qt::NoBrush);
        p.drawRect(2, 3, 11, 9);
        break;
    case IconKind::Box2:
        p.setBrush(Qt::black);
        p.drawRect(2, 3, 11, 9);
        break;
    case IconKind::Box3:
        p.setBrush(Qt::white);
        p.setPen(Qt::DotLine);
        p.drawRect(2, 3, 11, 9);
        break;
    case IconKind::Line:
        p.drawLine(2, 13, 13, 2);
        break;
    case IconKind::Moji: {
        QFont font("DejaVu Serif");
        font.setPixelSize(14);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, "A");
        break;
    }
    case IconKind::ClearAll:
        p.setBrush(Qt::white);
        p.drawRect(1, 2, 13, 11);
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(4, 5, 11, 11);
        p.drawLine(11, 5, 4, 11);
        break;
    case IconKind::Home:
        p.setBrush(QColor(200, 80, 40));
        p.drawPolygon(QPolygon({{1, 8}, {8, 1}, {15, 8}}));
        p.setBrush(Qt::white);
        p.drawRect(3, 8, 10, 6);
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(7, 10, 3, 4);
        break;
    case IconKind::Invert:
        p.setBrush(Qt::white);
        p.drawRect(1, 2, 13, 11);
        p.setBrush(Qt::black);
        p.drawRect(1, 2, 6, 11);
        break;
    case IconKind::Mirror:
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({{1, 8}, {6, 3}, {6, 13}}));
        p.drawPolygon(QPolygon({{14, 8}, {9, 3}, {9, 13}}));
        break;
    case IconKind::Flip:
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({{8, 1}, {3, 6}, {13, 6}}));
        p.drawPolygon(QPolygon({{8, 14}, {3, 9}, {13, 9}}));
        break;
    default:
        break;
    }
}

} // namespace

QIcon makeIcon(IconKind kind)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (kind) {
    case IconKind::New:
        drawPage(p);
        break;
    case IconKind::Open:
        drawFolder(p);
        break;
    case IconKind::Save:
        drawDisk(p);
        break;
    case IconKind::Settings:
        drawPort(p);
        break;
    case IconKind::Exit:
        drawExit(p);
        break;
    case IconKind::Help:
        drawBadge(p, QColor(30, 90, 200), "?");
        break;
    case IconKind::About:
        drawBadge(p, QColor(0, 140, 60), "i");
        break;
    default:
        drawTool(p, kind);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

QIcon programIcon()
{
    initProgramIconResource();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lumidot-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace lumidot
