// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QMouseEvent;
class QWheelEvent;

namespace lumidot {

// A fixed-size drawing surface with a canvas that its owner draws on at any
// time, as on a window's canvas: what is drawn shows with the next screen
// update. When the box must be painted it first lets its owner redraw the
// canvas (onPaint), so the picture always follows the current state.
class PaintBox : public QWidget {
    Q_OBJECT

public:
    PaintBox(QSize size, QWidget* parent);

    QImage& canvas() { return canvas_; }
    const QImage& canvas() const { return canvas_; }

    // Shows the canvas as it now stands; inside the box's own painting the
    // canvas is already on its way to the screen, so nothing more is needed.
    void refresh();

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
    QImage canvas_;
    bool painting_ = false;
};

} // namespace lumidot
