// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PaintBox.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

namespace lumidot {

PaintBox::PaintBox(QSize size, QWidget* parent)
    : QWidget(parent)
    , canvas_(size, QImage::Format_RGB32)
{
    canvas_.fill(Qt::white);
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PaintBox::refresh()
{
    if (!painting_)
        update();
}

void PaintBox::paintEvent(QPaintEvent*)
{
    painting_ = true;
    if (onPaint)
        onPaint();
    painting_ = false;
    QPainter(this).drawImage(0, 0, canvas_);
}

void PaintBox::mousePressEvent(QMouseEvent* event)
{
    if (onMouseDown)
        onMouseDown(event);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouseMove)
        onMouseMove(event);
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouseUp)
        onMouseUp(event);
}

void PaintBox::wheelEvent(QWheelEvent* event)
{
    if (onWheel && onWheel(event))
        event->accept();
    else
        QWidget::wheelEvent(event);
}

} // namespace lumidot
