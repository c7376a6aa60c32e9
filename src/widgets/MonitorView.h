// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/DisplayModel.h"

#include <QImage>
#include <QWidget>

namespace lumidot {

// The monitor's picture of the display, drawn from the display model at a
// dot size of 1..8 pixels and centred in whatever room the window gives.
class MonitorView : public QWidget {
    Q_OBJECT

public:
    explicit MonitorView(const DisplayModel& display, QWidget* parent = nullptr);

    void setDotSize(int dotSize);
    int dotSize() const { return dotSize_; }

    // Draws the picture as it is now, with its top-left corner at origin.
    void paintPicture(QPainter& painter, QPoint origin);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const DisplayModel& display_;
    int dotSize_ = 4;
    QImage picture_;
};

} // namespace lumidot
