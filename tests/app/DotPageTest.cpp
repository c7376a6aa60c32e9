// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "widgets/DotCanvas.h"
#include "dialogs/MojiDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>

namespace lumidot::testing {
namespace {

// The Dot page driven through its paint box with real mouse events.
class DotPageTest : public MainFormTest {
protected:
    void SetUp() override
    {
        startQuietly();
        form->PC->setCurrentIndex(TMainForm::DotPage);
        // The view has the keyboard focus, as after the user's first click on it.
        form->show();
        QApplication::setActiveWindow(form.get());
        form->PaintBox1->setFocus();
        midi.sent.clear();
    }

    void mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                      : type == QEvent::MouseMove && !pressed_ ? Qt::NoButton
                                                                             : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(x, y), form->PaintBox1->mapToGlobal(QPointF(x, y)),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &event);
        if (type == QEvent::MouseButtonPress)
            pressed_ = true;
        if (type == QEvent::MouseButtonRelease)
            pressed_ = false;
    }
    void press(int x, int y, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, x, y, b); }
    void moveTo(int x, int y) { mouse(QEvent::MouseMove, x, y); }
    void release(int x, int y, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonRelease, x, y, b); }

    // The user types text into a position field and presses Enter.
    static void type(QLineEdit* field, const QString& text)
    {
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    int frameDrawsSent() const
    {
        int n = 0;
        for (const auto& m : midi.sent)
            n += m.size() == 89 && m[4] == 0x12 && m[7] == 0x20;
        return n;
    }

    bool pressed_ = false;
};

TEST_F(DotPageTest, PenClickWithoutMovingSetsTheHoveredDotAndSendsOnce)
{
    moveTo(20, 12);  // hovering: cell (2, 1)
    EXPECT_TRUE(midi.sent.empty());
    press(20, 12);
    EXPECT_TRUE(midi.sent.empty()); // nothing is drawn at the press
    release(20, 12);
    EXPECT_EQ(form->Workspace.document().plane.dot(2, 1), 1);
    EXPECT_EQ(frameDrawsSent(), 1);
    EXPECT_EQ(midi.sent.back()[8 + 16 * 0 + 1], 0x40 >> 2);
}

TEST_F(DotPageTest, PenDragSendsOnEveryMoveAndHoldsToTheEdgeOutsideTheBox)
{
    form->AutoRec->setChecked(true);
    moveTo(4, 4);
    press(4, 4, Qt::RightButton);  // every button draws alike
    moveTo(4, 4);
    moveTo(4, 4);                   // the same cell still writes and sends
    moveTo(400, -50);               // past the right and top edges
    release(400, -50, Qt::RightButton);
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(31, 0), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(32, 0), 0);
    EXPECT_EQ(frameDrawsSent(), 4);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0); // drawing never records
}

TEST_F(DotPageTest, WhitePenClearsDots)
{
    form->Workspace.document().plane.setDot(5, 5, 1);
    form->Pen2->click();
    moveTo(5 * 8 + 1, 5 * 8 + 1);
    press(5 * 8 + 1, 5 * 8 + 1);
    release(5 * 8 + 1, 5 * 8 + 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(5, 5), 0);
}

TEST_F(DotPageTest, RectangleDraggedBackwardsFillsTheSameRegionAndShowsABand)
{
    form->Box2->click();
    press(10 * 8 + 3, 6 * 8 + 3);
    moveTo(7 * 8, 2 * 8);
    EXPECT_EQ(frameDrawsSent(), 0); // the band is only drawn, nothing is sent
    // The band over the green backlight is red: its corner at the anchor's centre.
    EXPECT_EQ(form->PaintBox1->picture().pixelColor(10 * 8 + 4, 6 * 8 + 4), QColor(Qt::red));
    release(7 * 8, 2 * 8);
    int set = 0;
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 16; ++y)
            set += form->Workspace.document().plane.dot(x, y);
    EXPECT_EQ(set, 4 * 5);
    EXPECT_EQ(form->Workspace.document().plane.dot(7, 2), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(10, 6), 1);
    EXPECT_EQ(frameDrawsSent(), 1);
}

TEST_F(DotPageTest, BandIsWhiteOverAnyOtherBacklight)
{
    form->LcdOrange->setChecked(true);
    form->Box->click();
    press(3 * 8 + 3, 3 * 8 + 3);
    moveTo(9 * 8, 9 * 8);
    EXPECT_EQ(form->PaintBox1->picture().pixelColor(3 * 8 + 4, 3 * 8 + 4), QColor(Qt::white));
}

TEST_F(DotPageTest, ZoomKeepsTheTopLeftDotAndSendsNothing)
{
    form->Zooms->setValue(1);
    EXPECT_EQ(form->CZoom->text(), "64");
    EXPECT_TRUE(midi.sent.empty());
    moveTo(50 * 4 + 1, 25 * 4 + 1);
    press(50 * 4 + 1, 25 * 4 + 1);
    release(50 * 4 + 1, 25 * 4 + 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(50, 25), 1); // outside the LCD window, still stored
    // The white frame around the LCD window at the smallest cell size.
    EXPECT_EQ(form->PaintBox1->picture().pixelColor(128, 10), QColor(Qt::white));
    form->Zooms->setValue(4);
    EXPECT_EQ(form->CZoom->text(), "8");
    form->ToolButton1Click(); // invert reaches only the 8 x 4 view now
    EXPECT_EQ(form->Workspace.document().plane.dot(7, 3), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(8, 3), 0);
}

TEST_F(DotPageTest, TypedPositionsAreHeldToTheRangeAndRecoverFromBadText)
{
    type(form->XReal, "999");
    EXPECT_EQ(form->XSc->value(), 128);
    EXPECT_EQ(form->XReal->text(), "128");
    type(form->XReal, "500");
    EXPECT_EQ(form->XReal->text(), "128") << "the bar was there already";
    type(form->XReal, "abc");
    EXPECT_EQ(form->XSc->value(), 0);
    EXPECT_EQ(form->XReal->text(), "0");
    type(form->YReal, "-");
    EXPECT_EQ(form->YReal->text(), "0");
    EXPECT_EQ(form->YSc->value(), 0);
    type(form->YReal, "-70");
    EXPECT_EQ(form->YSc->value(), -64);
    EXPECT_EQ(form->YReal->text(), "-64");
    type(form->YReal, "");
    EXPECT_EQ(form->YSc->value(), 0);
}

// Typing "40" moves the window once, to 40, when the field is left or
// Enter is pressed: never to 4 on the way.
TEST_F(DotPageTest, ATypedPositionMovesAndRecordsOnceWhenTheFieldIsDone)
{
    form->AutoRec->setChecked(true);
    form->XReal->setFocus();
    QTest::keyClicks(form->XReal, "40");
    EXPECT_EQ(form->ScrollX(), 0);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    form->PaintBox1->setFocus();   // leaving the field
    EXPECT_EQ(form->ScrollX(), 40);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    type(form->XReal, "40");        // no change: nothing more
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
}

TEST_F(DotPageTest, NewSelectsTheBlackPenAgain)
{
    form->Box3->click();
    form->New1Click();
    EXPECT_TRUE(form->Pen->isChecked());
    moveTo(8, 8);
    press(8, 8);
    release(8, 8);
    EXPECT_EQ(form->Workspace.document().plane.dot(1, 1), 1);
}

TEST_F(DotPageTest, StampingAddsTheTextSendsAndRecordsWithAutoRec)
{
    form->AutoRec->setChecked(true);
    duringModal = [](QDialog& dialog) {
        auto& moji = dynamic_cast<TMoji&>(dialog);
        moji.GKanji()->setText("IIII");
        moji.BitBtn1()->click();
    };
    form->MojiClick();
    ASSERT_EQ(modalShown.size(), 1u);
    int set = 0;
    for (int x = -2; x < 80; ++x)
        for (int y = -3; y < 25; ++y)
            set += form->Workspace.document().plane.dot(x, y);
    EXPECT_GT(set, 20);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    EXPECT_EQ(frameDrawsSent(), 2); // the stamp's own send, then the recorded frame
}

TEST_F(DotPageTest, CancelledStampChangesNothing)
{
    duringModal = [](QDialog& dialog) { dynamic_cast<TMoji&>(dialog).Button1()->click(); };
    form->MojiClick();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 0);
}

TEST_F(DotPageTest, ScreenshotsAtEveryZoom)
{
    QDir folder(QCoreApplication::applicationDirPath() + "/screenshots");
    folder.mkpath(".");
    for (int x = 0; x < 32; ++x) {
        form->Workspace.document().plane.setDot(x, 0, 1);
        form->Workspace.document().plane.setDot(x, 15, 1);
        form->Workspace.document().plane.setDot(x, x / 2, 1);
    }
    form->show();
    for (int zoom = 1; zoom <= 4; ++zoom) {
        form->Zooms->setValue(zoom);
        const QPixmap picture = form->grab();
        EXPECT_TRUE(picture.save(folder.filePath(QString("page-dot-zoom%1.png").arg(zoom))));
    }
}

} // namespace
} // namespace lumidot::testing
