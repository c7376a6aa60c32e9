// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/DotView.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

class QMouseEvent;
class QWheelEvent;

namespace lumidot {

// The dot editor's paint box. A repaint only computes the dot picture, one
// pixel per dot; the screen shows it scaled to the cell size with the grid
// and the band over it, once per screen update however many repaints came
// in between.
//
// The click that gives the box the keyboard focus (for the view's keys)
// only gives it: its press, and the release that ends it, reach no one, so
// clicking into the window draws no dot.
class DotCanvas : public QWidget {
    Q_OBJECT

public:
    explicit DotCanvas(QWidget* parent);

    // Shows the scene: its dot picture now, the rest at the next screen update.
    void showScene(const DotViewScene& scene);
    // The picture as the screen shows it, at the box's size.
    QImage picture() const;
    const QImage& dots() const { return dots_; }

    // Asked for a fresh scene before the box is painted.
    std::function<void()> onPaint;
    std::function<void(QMouseEvent*)> onMouseDown;
    std::function<void(QMouseEvent*)> onMouseMove;
    std::function<void(QMouseEvent*)> onMouseUp;
    // Takes a wheel turn; false lets it go on to the parent.
    std::function<bool(QWheelEvent*)> onWheel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void compose(QPainter& painter) const;

    QImage dots_;
    DotViewScene scene_;
    std::optional<RubberBand> band_;
    std::optional<PackedFrame> before_;
    std::optional<PackedFrame> after_;
    bool painting_ = false;
    bool focusClick_ = false;
};

} // namespace lumidot
