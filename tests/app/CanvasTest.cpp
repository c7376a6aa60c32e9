// SPDX-License-Identifier: GPL-3.0-or-later
// The Dot page as an animator uses it: a canvas that grows with the window,
// strokes without gaps, the focus click, the line tool, the onion skin and
// the overwriting of a frame step.
#include "MainFormHarness.h"

#include "app/StepDelegate.h"
#include "app/StepListModel.h"
#include "app/StepListWindow.h"
#include "ns5r/Commands.h"
#include "widgets/DotCanvas.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QMouseEvent>
#include <QTest>

namespace lumidot::testing {
namespace {

class CanvasTest : public MainFormTest {
protected:
    void SetUp() override
    {
        startQuietly();
        form->show();
        form->PC->setCurrentIndex(TMainForm::DotPage);
        QApplication::setActiveWindow(form.get());
        form->PaintBox1->setFocus();
        midi.sent.clear();
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), form->PaintBox1->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &event);
    }
    // A drag through the centres of the given cells, as fast as a mouse
    // that reports only these positions.
    void drag(std::initializer_list<QPoint> cells)
    {
        const int cell = form->editor().cellSize();
        const auto centre = [cell](QPoint c) { return c * cell + QPoint(cell / 2, cell / 2); };
        mouse(QEvent::MouseMove, centre(*cells.begin()), Qt::NoButton);
        mouse(QEvent::MouseButtonPress, centre(*cells.begin()), Qt::LeftButton);
        for (const QPoint* c = cells.begin() + 1; c != cells.end(); ++c)
            mouse(QEvent::MouseMove, centre(*c), Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, centre(*(cells.end() - 1)), Qt::NoButton);
    }

    int dot(int x, int y) const { return form->Workspace.document().plane.dot(x, y); }
    QRgb pixelOfCell(int col, int row) const
    {
        const int cell = form->editor().cellSize();
        return form->PaintBox1->picture().pixel(col * cell + cell / 2, row * cell + cell / 2) | 0xFF000000u;
    }
    void record() { form->SpeedButton1->click(); }
};

TEST_F(CanvasTest, AQuickDragIsOneGaplessStrokeAndOneUndoEntry)
{
    drag({{2, 1}, {9, 1}, {16, 1}, {23, 1}, {29, 1}});
    for (int x = 2; x <= 29; ++x)
        ASSERT_EQ(dot(x, 1), 1) << "column " << x;
    EXPECT_EQ(dot(1, 1), 0);
    EXPECT_EQ(dot(30, 1), 0);
    EXPECT_EQ(form->Workspace.history().count(), 1);
    form->Undo1->trigger();
    EXPECT_EQ(dot(16, 1), 0);
}

TEST_F(CanvasTest, HoveringMakesNoActionAndTheFocusClickDrawsNothing)
{
    const auto actions = form->Workspace.history().actionNumber();
    for (int x = 0; x < 200; x += 9)
        mouse(QEvent::MouseMove, QPoint(x, 20), Qt::NoButton);
    EXPECT_EQ(form->Workspace.history().actionNumber(), actions) << "no transaction per hover move";

    form->XReal->setFocus();
    drag({{3, 3}, {6, 3}});
    EXPECT_TRUE(form->PaintBox1->hasFocus()) << "the click gave the view the focus";
    EXPECT_EQ(dot(3, 3), 0);
    EXPECT_EQ(dot(5, 3), 0);
    EXPECT_TRUE(midi.sent.empty());
    drag({{3, 3}, {6, 3}});
    EXPECT_EQ(dot(3, 3), 1);
    EXPECT_EQ(dot(6, 3), 1);
}

TEST_F(CanvasTest, LineToolByKeyDrawsFromPressToReleaseAsOneEntry)
{
    QTest::keyClick(form->PaintBox1, Qt::Key_L);
    EXPECT_TRUE(form->LineTool->isChecked());
    EXPECT_EQ(form->editor().tool(), DotTool::Line);
    drag({{0, 0}, {20, 14}, {12, 6}});
    EXPECT_EQ(dot(0, 0), 1);
    EXPECT_EQ(dot(6, 3), 1);
    EXPECT_EQ(dot(12, 6), 1);
    EXPECT_EQ(dot(20, 14), 0) << "the moves in between draw nothing";
    EXPECT_EQ(form->Workspace.history().count(), 1);
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) 直線");
}

TEST_F(CanvasTest, OnionSkinShowsTheFramesAroundTheOneDrawnAndIsNeverSent)
{
    // Three frames: a dot at (1, 1), then (2, 1), then (3, 1).
    for (int x = 1; x <= 3; ++x) {
        form->Workspace.document().plane.clearAll();
        form->Workspace.document().plane.setDot(x, 1, 1);
        record();
    }
    form->Workspace.document().plane.clearAll();
    form->Disp_FD();
    midi.sent.clear();
    const QRgb green = qRgb(0, 255, 0);
    EXPECT_EQ(pixelOfCell(3, 1), green);

    QTest::keyClick(form->PaintBox1, Qt::Key_O);
    EXPECT_TRUE(form->OnionSkin1->isChecked());
    EXPECT_EQ(pixelOfCell(3, 1), kOnionBefore) << "the last recorded frame";
    EXPECT_EQ(pixelOfCell(2, 1), green);

    // The step list's selection picks the frame drawn: its neighbours show.
    form->StepList1->trigger();
    form->StepList->selectSteps(1, 1);
    EXPECT_EQ(pixelOfCell(1, 1), kOnionBefore);
    EXPECT_EQ(pixelOfCell(3, 1), green);
    form->OnionNext1->setChecked(true);
    EXPECT_EQ(pixelOfCell(3, 1), kOnionAfter);

    // A set dot of the window stays black over the skin.
    form->Workspace.document().plane.setDot(1, 1, 1);
    form->Disp_FD();
    EXPECT_EQ(pixelOfCell(1, 1), qRgb(0, 0, 0));
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(events().size(), 3u);
}

TEST_F(CanvasTest, OverwriteFixesTheSelectedFrameInPlaceAsOneEntry)
{
    for (int x = 1; x <= 3; ++x) {
        form->Workspace.document().plane.clearAll();
        form->Workspace.document().plane.setDot(x, 1, 1);
        record();
    }
    form->StepList1->trigger();
    form->StepList->selectSteps(1, 1);
    EXPECT_TRUE(form->StepList->Overwrite1->isEnabled());
    form->StepList->onFrameChosen(1);   // the double-click
    EXPECT_EQ(dot(2, 1), 1);
    drag({{2, 5}, {2, 5}});   // redrawn
    const int entries = form->Workspace.history().count();
    QApplication::setActiveWindow(form->StepList);
    QTest::keyClick(form->StepList, Qt::Key_Return, Qt::ControlModifier);

    const Recording& recording = form->Workspace.document().recording;
    ASSERT_EQ(recording.StepCount(), 3);
    EXPECT_EQ(frameDot(recording.frameRecord(1), 2, 5), 1);
    EXPECT_EQ(frameDot(recording.frameRecord(1), 2, 1), 1);
    EXPECT_EQ(frameDot(recording.frameRecord(0), 2, 5), 0);
    EXPECT_EQ(form->Workspace.history().count(), entries + 1);
    form->Undo1->trigger();
    EXPECT_EQ(frameDot(form->Workspace.document().recording.frameRecord(1), 2, 5), 0);

    // A step that is no frame cannot be overwritten.
    form->LCD_Save();
    form->StepList->selectSteps(3, 1);
    EXPECT_FALSE(form->StepList->Overwrite1->isEnabled());
}

// The window opens at the Parts' size, its smallest; growing it grows the
// canvas in whole cells while each zoom shows the same dots.
TEST_F(CanvasTest, TheCanvasGrowsWithTheWindowAndTheZoomKeepsItsMeaning)
{
    EXPECT_EQ(form->size(), QSize(305, 295));
    EXPECT_EQ(form->minimumSize(), QSize(305, 295));
    EXPECT_EQ(form->PaintBox1->geometry(), QRect(8, 16, 256, 128));
    EXPECT_EQ(form->XSc->geometry(), QRect(9, 146, 256, 16));
    EXPECT_EQ(form->YSc->geometry(), QRect(265, 16, 16, 128));

    const struct {
        QSize window;
        int zoomOneCell;
    } sizes[] = {{{305 + 63, 295 + 100}, 4}, {{305 + 64, 295 + 32}, 5}, {{305 + 300, 295 + 64}, 6},
                 {{305 + 768, 295 + 384}, 16}};
    for (const auto& [window, cell] : sizes) {
        form->resize(window);
        QApplication::processEvents();
        EXPECT_EQ(form->editor().zoomOneCell(), cell) << window.width() << " x " << window.height();
        EXPECT_EQ(form->PaintBox1->size(), QSize(64 * cell, 32 * cell));
        EXPECT_EQ(form->XSc->width(), 64 * cell);
        EXPECT_EQ(form->YSc->height(), 32 * cell);
        EXPECT_LE(form->BottomRow->geometry().bottom(), form->PC->currentWidget()->height());
    }
    // 1,024 x 512 pixels: zoom 2 shows 32 x 16 dots of 32 pixels.
    EXPECT_EQ(form->PaintBox1->size(), QSize(1024, 512));
    EXPECT_EQ(form->editor().cellSize(), 32);
    EXPECT_EQ(form->currentView().cols, 32);
    form->Zooms->setValue(4);
    EXPECT_EQ(form->currentView().cols, 8);
    EXPECT_EQ(form->editor().cellSize(), 128);
    EXPECT_EQ(form->PaintBox1->picture().size(), QSize(1024, 512));

    // The other pages keep their layout, centred; the growth stays.
    form->PC->setCurrentIndex(TMainForm::MessagePage);
    EXPECT_EQ(form->size(), QSize(209 + 768, 178 + 384));
    EXPECT_EQ(form->MessageGroup->parentWidget()->pos(), QPoint(384, 192));
    form->resize(10, 10);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), QSize(209, 178));
    EXPECT_EQ(form->MessageGroup->parentWidget()->pos(), QPoint(0, 0));
}

TEST_F(CanvasTest, TheWindowSizeIsKeptAtExitAndComesBack)
{
    form->resize(305 + 200, 295 + 100);
    QApplication::processEvents();
    form->close();
    ASSERT_FALSE(store.bytes("MainWindowGeometry").empty());
    start();
    EXPECT_EQ(form->PC->currentIndex(), TMainForm::LcdPage);
    EXPECT_EQ(form->size(), QSize(409 + 200, 183 + 100));
    form->PC->setCurrentIndex(TMainForm::DotPage);
    EXPECT_EQ(form->size(), QSize(305 + 200, 295 + 100));
    EXPECT_EQ(form->editor().zoomOneCell(), 7);
}

} // namespace
} // namespace lumidot::testing

namespace lumidot::testing {
namespace {

// The step list shows each frame in the backlight in force at that step:
// frames after an orange colour step are orange, not green.
TEST_F(CanvasTest, TheStepListShowsFramesInTheirStepsColour)
{
    record();
    form->LcdOrange->setChecked(true);
    form->LCD_Save();
    record();
    form->LcdHide->setChecked(true);
    form->LCD_Save();
    record();
    form->StepList1->trigger();
    const StepListWindow& list = *form->StepList;
    ASSERT_EQ(list.Model->rowCount(), 5);
    EXPECT_EQ(list.Model->row(0).colour, LcdColour::Green);
    EXPECT_EQ(list.Model->row(2).colour, LcdColour::Orange);
    EXPECT_EQ(list.Model->row(4).colour, LcdColour::Off);

    // The frame's picture in its cell: a clear dot in orange. The picture
    // follows the kind's text, 70 pixels in.
    QImage cell(400, StepDelegate::kRowHeight, QImage::Format_RGB32);
    QPainter painter(&cell);
    QStyleOptionViewItem option;
    option.rect = cell.rect();
    option.palette = list.List->palette();
    list.List->itemDelegate()->paint(&painter, option, list.Model->index(2, StepListModel::StepColumn));
    painter.end();
    EXPECT_EQ(cell.pixel(80, StepDelegate::kRowHeight / 2) | 0xFF000000u, qRgb(255, 128, 64));
}

} // namespace
} // namespace lumidot::testing
