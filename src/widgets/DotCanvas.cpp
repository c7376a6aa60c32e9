// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DotCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace lumidot {

DotCanvas::DotCanvas(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Not Qt::ClickFocus: the toolkit would give the focus before the press
    // arrives, and the press could not tell the focus click from a stroke.
    setFocusPolicy(Qt::TabFocus);
}

void DotCanvas::showScene(const DotViewScene& scene)
{
    scene_ = scene;
    // The scene's pointers may not outlive the caller's state; the box keeps copies.
    band_ = scene.band ? std::optional<RubberBand>(*scene.band) : std::nullopt;
    before_ = scene.onion.before ? std::optional<PackedFrame>(*scene.onion.before) : std::nullopt;
    after_ = scene.onion.after ? std::optional<PackedFrame>(*scene.onion.after) : std::nullopt;
    renderDotPicture(dots_, scene);
    scene_.area = nullptr;
    scene_.band = band_ ? &*band_ : nullptr;
    scene_.onion = {before_ ? &*before_ : nullptr, after_ ? &*after_ : nullptr};
    if (!painting_)
        update();
}

void DotCanvas::compose(QPainter& painter) const
{
    painter.fillRect(rect(), palette().window());
    if (!dots_.isNull())
        paintDotView(painter, dots_, scene_);
}

QImage DotCanvas::picture() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    compose(painter);
    return image;
}

void DotCanvas::paintEvent(QPaintEvent*)
{
    painting_ = true;
    if (onPaint)
        onPaint();
    painting_ = false;
    QPainter painter(this);
    compose(painter);
}

void DotCanvas::mousePressEvent(QMouseEvent* event)
{
    if (!hasFocus()) {
        setFocus(Qt::MouseFocusReason);
        focusClick_ = true;
        return;
    }
    if (onMouseDown)
        onMouseDown(event);
}

// The moves of the focus click go on as hovering: the editor keeps the
// cell under the pointer without a drag.
void DotCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouseMove)
        onMouseMove(event);
}

void DotCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (focusClick_) {
        focusClick_ = false;
        return;
    }
    if (onMouseUp)
        onMouseUp(event);
}

void DotCanvas::wheelEvent(QWheelEvent* event)
{
    if (onWheel && onWheel(event))
        event->accept();
    else
        QWidget::wheelEvent(event);
}

} // namespace lumidot
