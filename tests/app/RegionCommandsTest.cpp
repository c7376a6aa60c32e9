// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "picture/Geometry.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

namespace lumidot::testing {
namespace {

class RegionCommandsTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }

    int windowDotsSet() const
    {
        int set = 0;
        for (int x = 0; x < kLcdCols; ++x)
            for (int y = 0; y < kLcdRows; ++y)
                set += form->Workspace.document().plane.dot(form->ScrollX() + x, form->ScrollY() + y);
        return set;
    }

    void moveTo(int x, int y)
    {
        form->XSc->setValue(x);
        form->YSc->setValue(y);
        midi.sent.clear();
    }
};

TEST_F(RegionCommandsTest, WindowMoveSendsShowsAndRecordsWhenContinuous)
{
    form->Workspace.document().plane.setDot(6, 0, 1);
    form->XSc->setValue(5);
    EXPECT_EQ(form->ScrollX(), 5);
    EXPECT_EQ(form->XReal->text(), "5");
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0].size(), 89u);
    EXPECT_EQ(midi.sent[0][8], 0x20) << "dot (6, 0) is column 1 of the moved window";
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);

    form->AutoRec->setChecked(true);
    form->YSc->setValue(-3);
    EXPECT_EQ(form->YReal->text(), "-3");
    EXPECT_EQ(events(), bytes({0xF5}));
    EXPECT_EQ(midi.sent.size(), 3u);

    form->YSc->setValue(-3);
    EXPECT_EQ(midi.sent.size(), 3u) << "the same position runs nothing";
}

TEST_F(RegionCommandsTest, ClearAllAtHomeClearsButSendsNothing)
{
    form->Workspace.document().plane.setDot(3, 3, 1);
    form->ToolButton3->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(3, 3), 0);
    EXPECT_TRUE(midi.sent.empty());
}

TEST_F(RegionCommandsTest, ClearAllSendsOncePerMovedBarAndKeepsDotsOutsideItsRegion)
{
    form->XSc->setMaximum(512);
    form->Workspace.document().plane.setDot(300, 0, 1);
    form->XSc->setMaximum(128);
    form->Workspace.document().plane.setDot(-160, -80, 1);
    form->Workspace.document().plane.setDot(160, 80, 1);
    moveTo(5, 0);
    form->AutoRec->setChecked(true);
    form->ToolButton3->click();
    EXPECT_EQ(midi.sent.size(), 2u) << "one move: its recorded frame and its send";
    EXPECT_EQ(events(), bytes({0xF5}));
    EXPECT_EQ(form->Workspace.document().plane.dot(-160, -80), 0);
    EXPECT_EQ(form->Workspace.document().plane.dot(160, 80), 0);
    EXPECT_EQ(form->Workspace.document().plane.dot(300, 0), 1);

    form->AutoRec->setChecked(false);
    moveTo(5, 5);
    form->ToolButton3->click();
    EXPECT_EQ(midi.sent.size(), 2u);
}

TEST_F(RegionCommandsTest, HomeRecordsThreeFramesFromAwayAndOneFromHome)
{
    moveTo(5, 3);
    form->AutoRec->setChecked(true);
    form->ToolButton4->click();
    EXPECT_EQ(form->ScrollX(), 0);
    EXPECT_EQ(form->ScrollY(), 0);
    EXPECT_EQ(events(), bytes({0xF5, 0xF5, 0xF5}));

    form->ToolButton4->click();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 4);

    form->AutoRec->setChecked(false);
    midi.sent.clear();
    form->ToolButton4->click();
    EXPECT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 4);
}

TEST_F(RegionCommandsTest, InvertSetsTheWholeViewAndRecordsWhenContinuous)
{
    form->ToolButton1->click();
    EXPECT_EQ(windowDotsSet(), kLcdCols * kLcdRows);
    EXPECT_EQ(form->Workspace.document().plane.dot(32, 0), 0);
    EXPECT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);

    form->AutoRec->setChecked(true);
    form->ToolButton1->click();
    EXPECT_EQ(windowDotsSet(), 0);
    EXPECT_EQ(events(), bytes({0xF5}));
}

TEST_F(RegionCommandsTest, InvertAtTheSmallestCellReachesTheWholeView)
{
    form->Zooms->setValue(1);
    form->ToolButton1->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(63, 31), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(64, 0), 0);
}

TEST_F(RegionCommandsTest, MirrorAndFlipReverseTheViewTwiceBackAndNeverRecord)
{
    form->AutoRec->setChecked(true);
    form->Workspace.document().plane.setDot(0, 0, 1);
    form->ToolButton2->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(31, 0), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 0);
    form->ToolButton5->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(31, 15), 1);
    form->ToolButton5->click();
    form->ToolButton2->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 1);
    EXPECT_EQ(windowDotsSet(), 1);
    EXPECT_EQ(midi.sent.size(), 4u);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

// At the widest limits the settings dialog allows, the zoom-1 view reaches
// x 575 and y 287: flip and mirror there lose nothing, and twice restore
// every dot; the window sent is still the 32 x 16 at the scroll position.
TEST_F(RegionCommandsTest, FlipAndMirrorAtTheWidestLimitsRestoreEveryDot)
{
    form->XSc->setMaximum(512);
    form->YSc->setMaximum(256);
    form->Zooms->setValue(1);
    moveTo(512, 256);
    std::vector<std::pair<int, int>> pattern;
    for (int i = 0; i < 64; ++i)
        pattern.push_back({512 + i, 256 + (i * 7) % 32});
    for (const auto& [x, y] : pattern)
        form->Workspace.document().plane.setDot(x, y, 1);
    const auto viewDots = [this] {
        int set = 0;
        for (int x = 512; x < 576; ++x)
            for (int y = 256; y < 288; ++y)
                set += form->Workspace.document().plane.dot(x, y);
        return set;
    };

    form->ToolButton5->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(512, 287), 1) << "the top row lands on the view's bottom row";
    form->ToolButton5->click();
    form->ToolButton2->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(575, 256), 1);
    form->ToolButton2->click();
    for (const auto& [x, y] : pattern)
        EXPECT_EQ(form->Workspace.document().plane.dot(x, y), 1) << x << "," << y;
    EXPECT_EQ(viewDots(), 64);
    ASSERT_EQ(midi.sent.size(), 4u);
    EXPECT_EQ(midi.sent.back().size(), 89u);
}

TEST_F(RegionCommandsTest, MirrorAtTheLargestCellTouchesOnlyTheTopLeftOfTheWindow)
{
    form->Zooms->setValue(4);
    form->Workspace.document().plane.setDot(0, 0, 1);
    form->Workspace.document().plane.setDot(20, 10, 1);
    form->ToolButton2->click();
    EXPECT_EQ(form->Workspace.document().plane.dot(7, 0), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(20, 10), 1);
}

TEST_F(RegionCommandsTest, RecordButtonRefusesAtTheLimit)
{
    form->SpeedButton1->click();
    EXPECT_EQ(events(), bytes({0xF5}));
    EXPECT_EQ(midi.sent.size(), 1u);
    while (form->Workspace.document().recording.StepCount() < kStepLimit)
        form->Workspace.document().recording.appendColour(LcdColour::Red);
    midi.sent.clear();
    form->SpeedButton1->click();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("これ以上記録できません")});
    EXPECT_TRUE(midi.sent.empty());
}

// Reads a scroll bar's repeat, which only the bar itself may see.
struct RepeatProbe : QScrollBar {
    using QAbstractSlider::repeatAction;
};

// A scroll arrow held down with continuous recording at the limit: one box,
// and the repeat ends with the first refusal. Home at the limit, with its
// two moves and its own record, shows one box too.
TEST_F(RegionCommandsTest, TheLimitShowsOneBoxPerActionAndStopsAHeldArrow)
{
    form->show();
    form->PC->setCurrentIndex(TMainForm::DotPage);
    while (form->Workspace.document().recording.StepCount() < kStepLimit)
        form->Workspace.document().recording.appendColour(LcdColour::Red);
    form->AutoRec->setChecked(true);
    QScrollBar* bar = form->XSc;
    const QPoint rightArrow(bar->width() - 3, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, rightArrow);
    const auto repeatAction = &RepeatProbe::repeatAction;
    EXPECT_EQ((bar->*repeatAction)(), QAbstractSlider::SliderNoAction);
    EXPECT_EQ(form->ScrollX(), 1);
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("これ以上記録できません")});
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, rightArrow);

    form->YSc->setValue(3);
    prompts.shown.clear();
    form->ToolButton4->click();
    EXPECT_EQ(prompts.shown.size(), 1) << "three refusals in one action";
    form->SpeedButton1->click();
    EXPECT_EQ(prompts.shown.size(), 2) << "the next action is told again";
}

TEST_F(RegionCommandsTest, LiveSendingOffStopsSendsButNotRecording)
{
    form->MIDI_real->trigger();
    form->AutoRec->setChecked(true);
    form->XSc->setValue(9);
    form->ToolButton1->click();
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(events(), bytes({0xF5, 0xF5}));
}

} // namespace
} // namespace lumidot::testing
