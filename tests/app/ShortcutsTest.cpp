// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "widgets/DotCanvas.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

namespace lumidot::testing {
namespace {

class ShortcutsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        startQuietly();
        form->show();
        form->PC->setCurrentIndex(TMainForm::DotPage);
        QApplication::setActiveWindow(form.get());
        form->PaintBox1->setFocus();
    }
};

TEST_F(ShortcutsTest, RecordKeyCollidesWithNoMenuAndEveryHintShowsItsKey)
{
    QList<QKeySequence> menuKeys;
    for (QAction* menu : form->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            menuKeys += item->shortcuts();
    const QKeySequence record = form->SpeedButton1->actions().value(0)->shortcut();
    EXPECT_FALSE(record.isEmpty());
    EXPECT_FALSE(menuKeys.contains(record));
    for (QPushButton* button : {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->FXRec})
        EXPECT_TRUE(button->toolTip().endsWith("(" + record.toString(QKeySequence::NativeText) + ")"));
    EXPECT_EQ(form->Pen2->toolTip(), "ドットペン(白) (E)");

    // Only the shown page's button answers.
    QTest::keyClick(form->PaintBox1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(events(), bytes({0xF5}));
}

TEST_F(ShortcutsTest, SingleKeysPickToolsAndRunRegionCommandsOnTheView)
{
    QTest::keyClick(form->PaintBox1, Qt::Key_E);
    EXPECT_EQ(form->editor().tool(), DotTool::WhitePen);
    QTest::keyClick(form->PaintBox1, Qt::Key_F);
    EXPECT_EQ(form->editor().tool(), DotTool::FillSet);
    EXPECT_TRUE(form->Box2->isChecked());
    QTest::keyClick(form->PaintBox1, Qt::Key_I);
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 1);
    // The same key typed into a message line is text, not a command.
    form->PC->setCurrentIndex(TMainForm::MessagePage);
    form->LcdText->setFocus();
    QTest::keyClick(form->LcdText, Qt::Key_I);
    EXPECT_EQ(form->LcdText->text(), "i");
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 1);
}

TEST_F(ShortcutsTest, ZoomFollowsCtrlWheelAndCtrlPlusMinus)
{
    QWheelEvent up(QPointF(10, 10), form->PaintBox1->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->PaintBox1, &up);
    EXPECT_EQ(form->Zooms->value(), 3);
    EXPECT_EQ(form->CZoom->text(), "16");
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->Zooms->value(), 1);
    QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form->Zooms->value(), 2);
    EXPECT_GE(form->Zooms->width(), 24);
    EXPECT_GE(form->Zooms->height(), 22);
}

} // namespace
} // namespace lumidot::testing
