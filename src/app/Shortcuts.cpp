// SPDX-License-Identifier: GPL-3.0-or-later
// The keys of the pages: the record buttons, the drawing tools and region
// commands while the view has the focus, and the zoom.
#include "app/MainForm.h"
#include "widgets/DotCanvas.h"

#include <QAction>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QWheelEvent>

namespace lumidot {

namespace {

// "記録" on every page: a hidden page's button takes no keys, so one key
// serves the four pages without ambiguity, and it is none of the menus'.
const QKeySequence kRecordKey(QStringLiteral("Ctrl+R"));

void showKeyInHint(QAbstractButton* button, const QKeySequence& key)
{
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->toolTip(),
                                                    key.toString(QKeySequence::NativeText)));
}

} // namespace

void TMainForm::buildShortcuts()
{
    for (QPushButton* record : {SpeedButton2, SpeedButton3, SpeedButton1, FXRec}) {
        if (record->toolTip().isEmpty())
            record->setToolTip(tr("コマ記録"));
        // An action of the button rather than the button's own shortcut,
        // which would click only after an animation.
        auto* action = new QAction(record);
        action->setShortcut(kRecordKey);
        action->setShortcutContext(Qt::WindowShortcut);
        record->addAction(action);
        connect(action, &QAction::triggered, record, &QPushButton::click);
        showKeyInHint(record, kRecordKey);
    }

    // Single keys for the view's tool bar, only while the view has the focus
    // (a click on it gives it), so that they never reach a text field.
    const struct {
        QToolButton* button;
        Qt::Key key;
    } keys[] = {
        {Pen, Qt::Key_P},         {Pen2, Qt::Key_E},         {Box, Qt::Key_R},
        {Box2, Qt::Key_F},        {Box3, Qt::Key_W},         {Moji, Qt::Key_T},
        {ToolButton3, Qt::Key_Delete}, {ToolButton4, Qt::Key_H}, {ToolButton1, Qt::Key_I},
        {ToolButton2, Qt::Key_M}, {ToolButton5, Qt::Key_V},      {LineTool, Qt::Key_L},
    };
    for (const auto& [button, key] : keys) {
        auto* action = new QAction(PaintBox1);
        action->setShortcut(QKeySequence(key));
        action->setShortcutContext(Qt::WidgetShortcut);
        PaintBox1->addAction(action);
        connect(action, &QAction::triggered, button, &QToolButton::click);
        showKeyInHint(button, QKeySequence(key));
    }
    auto* onion = new QAction(PaintBox1);
    onion->setShortcut(QKeySequence(Qt::Key_O));
    onion->setShortcutContext(Qt::WidgetShortcut);
    PaintBox1->addAction(onion);
    connect(onion, &QAction::triggered, OnionSkin1, &QAction::toggle);

    // Zoom: Ctrl++ and Ctrl+- anywhere in the window, Ctrl+wheel on the view.
    auto* zoomIn = new QAction(this);
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl+="))});
    auto* zoomOut = new QAction(this);
    zoomOut->setShortcuts(QKeySequence::ZoomOut);
    addActions({zoomIn, zoomOut});
    connect(zoomIn, &QAction::triggered, this, [this] { Zooms->stepUp(); });
    connect(zoomOut, &QAction::triggered, this, [this] { Zooms->stepDown(); });
    PaintBox1->onWheel = [this](QWheelEvent* event) {
        if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0)
            return false;
        if (event->angleDelta().y() > 0)
            Zooms->stepUp();
        else
            Zooms->stepDown();
        return true;
    };
}

} // namespace lumidot
