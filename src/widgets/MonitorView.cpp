// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/MonitorView.h"

#include "ns5r/MonitorPicture.h"

#include <QPainter>

#include <algorithm>

namespace lumidot {

namespace {

QList<QRgb> colourTable()
{
    QList<QRgb> table;
    for (const Rgb& c : picturePalette())
        table.append(qRgb(c.r, c.g, c.b));
    return table;
}

} // namespace

MonitorView::MonitorView(const DisplayModel& display, QWidget* parent)
    : QWidget(parent), display_(display)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setDotSize(dotSize_);
}

void MonitorView::setDotSize(int dotSize)
{
    dotSize_ = std::clamp(dotSize, kMinDotSize, kMaxDotSize);
    picture_ = QImage(pictureWidth(dotSize_), pictureHeight(dotSize_), QImage::Format_Indexed8);
    picture_.setColorTable(colourTable());
    updateGeometry();
    update();
}

QSize MonitorView::sizeHint() const
{
    return {pictureWidth(dotSize_) + 16, pictureHeight(dotSize_) + 16};
}

QSize MonitorView::minimumSizeHint() const
{
    return {pictureWidth(dotSize_), pictureHeight(dotSize_)};
}

void MonitorView::paintPicture(QPainter& painter, QPoint origin)
{
    // Rows of an 8-bit image are padded to four bytes; the picture's never need it.
    static_assert(kPictureDotsWide % 4 == 0);
    renderMonitorPicture(display_.state(), dotSize_,
                         {picture_.bits(), static_cast<std::size_t>(picture_.sizeInBytes())});
    painter.drawImage(origin, picture_);
}

void MonitorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QPoint origin((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    paintPicture(painter, QPoint(std::max(0, origin.x()), std::max(0, origin.y())));
}

} // namespace lumidot
