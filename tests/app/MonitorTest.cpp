// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "widgets/MonitorView.h"
#include "app/MonitorWindow.h"
#include "ns5r/MonitorPicture.h"
#include "dialogs/InformationWindow.h"
#include "export/SaveCommand.h"
#include "platform/MonitorSettings.h"
#include "document/Recorder.h"
#include "recording/StepTiming.h"

#include <QComboBox>
#include <QFile>
#include <QPainter>
#include <QSpinBox>
#include <QTemporaryDir>

namespace lumidot::testing {
namespace {

class FakeClock : public PlaybackClock {
public:
    std::int64_t time = 0;
    std::int64_t now() override { return time; }
};

PackedFrame frameWith(std::uint8_t firstByte)
{
    PackedFrame frame{};
    frame[0] = firstByte;
    return frame;
}

class MonitorTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }
    TMonitor& monitor() { return *form->Monitor; }
};

TEST_F(MonitorTest, FollowsWhatIsSentAndWhatWouldBeSentWithLiveSendingOff)
{
    // The start-up greeting is already on the monitor.
    const DisplayState& state = form->Workspace.display().state();
    EXPECT_EQ(state.backlight, LcdColour::Green);
    EXPECT_EQ(state.line1(), "   Welcome to   ");
    EXPECT_EQ(state.line2(), "Lumidot Gallery!");
    EXPECT_EQ(form->Monitor1->text(), "モニター(&M)");
    form->Monitor1Click();
    EXPECT_TRUE(monitor().isVisible());
    EXPECT_EQ(monitor().windowTitle(), "モニター");
    EXPECT_TRUE(monitor().LiveOff->isHidden());

    form->MIDI_real->trigger();
    ASSERT_FALSE(form->Workspace.link().liveSending());
    EXPECT_FALSE(monitor().LiveOff->isHidden());
    form->LcdRed->setChecked(true);
    form->FX2Sel->setValue(30);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(state.backlight, LcdColour::Red);
    EXPECT_EQ(state.effect2, 30);
    EXPECT_TRUE(monitor().FxNames->text().contains("30:Distortion"));
    monitor().close();
}

TEST_F(MonitorTest, DotSizeAndStayingOnTopAreKeptForTheNextRun)
{
    EXPECT_EQ(monitor().View->dotSize(), 4) << "x4 at first";
    monitor().DotSize->setCurrentIndex(7);
    monitor().OnTop->setChecked(true);
    EXPECT_EQ(monitor().View->dotSize(), 8);
    EXPECT_TRUE(monitor().windowFlags() & Qt::WindowStaysOnTopHint);
    monitor().Tempo->setValue(96);

    form.reset();
    start();
    EXPECT_EQ(monitor().View->dotSize(), 8);
    EXPECT_TRUE(monitor().OnTop->isChecked());
    EXPECT_TRUE(monitor().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(monitor().tempo(), 96);

    store.put("MonitorDotSize", {9});
    store.putWrongType("MonitorTempo");
    EXPECT_EQ(loadMonitorSettings(store), (MonitorSettings{4, true, 120}))
        << "values out of range or of the wrong type keep their defaults";
}

TEST_F(MonitorTest, InformationWindowShowsTheLengthAndWarnsOfTheCable)
{
    LCD_Save(form->Workspace.document().recording, LcdColour::Orange);
    EXPECT_EQ(form->Information->LENGTH->text(), "0:00.067 (120 BPM, 8 Tick)");
    EXPECT_TRUE(form->Information->CABLE->text().isEmpty());

    form->SpeedButton1->click();
    form->SpeedButton1->click();
    EXPECT_TRUE(form->Information->CABLE->text().contains("ステップ間隔は 14 Tick"))
        << form->Information->CABLE->text().toStdString();
    monitor().Tempo->setValue(240);
    EXPECT_TRUE(form->Information->LENGTH->text().endsWith("(240 BPM, 8 Tick)"));
    EXPECT_TRUE(form->Information->CABLE->text().contains(" 28 Tick"));
    monitor().Tempo->setValue(60);   // 16 ticks are 33 ms at 60 BPM: room for a frame
    EXPECT_TRUE(form->Information->CABLE->text().isEmpty());
}

TEST_F(MonitorTest, SavingAMidiFileThatOutrunsTheCableAsksOnceAndNoWritesNothing)
{
    QTemporaryDir dir;
    form->SpeedButton1->click();
    form->SpeedButton1->click();
    const QString mid = dir.filePath("song.mid");
    prompts.fileAnswer = Prompts::FileChoice{mid, 2};
    prompts.yesNoAnswer = false;
    form->SaveAs1Click();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("ステップ 2 から先")) << prompts.shown[0].toStdString();
    EXPECT_FALSE(QFile::exists(mid));

    prompts.yesNoAnswer = true;
    form->SaveAs1Click();
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(QFile::exists(mid));

    // .syx and .exc carry no timing: no question.
    prompts.fileAnswer = Prompts::FileChoice{dir.filePath("song.syx"), 1};
    form->SaveAs1Click();
    EXPECT_EQ(prompts.shown.size(), 2);
    // At a spacing that fits, no question either.
    form->Workspace.setStepTick(14);
    prompts.fileAnswer = Prompts::FileChoice{dir.filePath("slow.prt"), 3};
    form->SaveAs1Click();
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(QFile::exists(dir.filePath("slow.prt")));
}

TEST_F(MonitorTest, DrawingOrRecordingWhilePlayingStopsThePlayback)
{
    for (int i = 0; i < 20; ++i)
        form->Workspace.document().recording.appendFrame(frameWith(static_cast<std::uint8_t>(i)));
    monitor().PlayClick();
    ASSERT_TRUE(monitor().player().playing());
    form->LcdOrange->setChecked(true);   // sends a colour
    EXPECT_FALSE(monitor().player().playing());

    monitor().PlayClick();
    ASSERT_TRUE(monitor().player().playing());
    FXRecClick(form->Workspace.document().recording, {1, 2, 3});   // records without sending
    EXPECT_FALSE(monitor().player().playing());
    EXPECT_EQ(monitor().StepText->text(), "ステップ 0 / 21");
}

// The monitor on its own, with a clock the test moves.
class MonitorPlaybackTest : public ::testing::Test {
protected:
    FakeMidiOutput midi;
    MemorySettingsStore store;
    FakePrompts prompts;
    FakeClock clock;
    MidiLink link{midi};
    DisplayModel display;
    Document document;
    Recording& recording = document.recording;
    std::unique_ptr<TMonitor> monitor;

    MonitorPlaybackTest()
    {
        midi.deviceNames = {"A"};
        link.openAtStartup(1);
        monitor = std::make_unique<TMonitor>(display, link, document, prompts, store, clock);
        link.setObserver([this](std::span<const std::uint8_t> m) {
            display.apply(m);
            monitor->messageObserved();
        });
    }

    void runToEnd()
    {
        for (std::int64_t wait = monitor->player().poll(); wait >= 0; wait = monitor->player().poll())
            clock.time += wait;
    }
};

TEST_F(MonitorPlaybackTest, PlaysTheRecordingToThePortAndTheMonitorAndLeavesItAsItWas)
{
    recording.appendColour(LcdColour::Red);
    recording.appendFrame(frameWith(0x40));
    recording.appendMessage("PLAY", "BACK");
    const std::vector<std::uint8_t> before(recording.eventStream().begin(), recording.eventStream().end());
    monitor->PlayClick();
    EXPECT_TRUE(midi.sent.empty()) << "the first step comes 16 ticks after the start";
    runToEnd();
    ASSERT_EQ(midi.sent.size(), 3u);
    EXPECT_EQ(midi.sent[0], sysex({0x7D, 0x02}));
    EXPECT_EQ(midi.sent[2], messageSysex("PLAY", "BACK"));
    EXPECT_EQ(display.state().backlight, LcdColour::Red);
    EXPECT_TRUE(display.state().dot(0, 0));
    EXPECT_EQ(display.state().line2(), "BACK");
    EXPECT_EQ(std::vector<std::uint8_t>(recording.eventStream().begin(), recording.eventStream().end()),
              before);
    EXPECT_FALSE(monitor->player().playing());
    monitor->showPosition();
    EXPECT_EQ(monitor->StepText->text(), "ステップ 3 / 3");
    EXPECT_EQ(monitor->TimeText->text(), "0:00.050 / 0:00.100");

    // Live sending off: the monitor plays on alone.
    link.MIDI_RealClick();
    midi.sent.clear();
    monitor->StepBackClick();
    EXPECT_EQ(monitor->StepText->text(), "ステップ 2 / 3");
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(display.state().dot(0, 0));
    EXPECT_EQ(display.state().line2(), "BACK") << "a message once sent stays on the module";
}

TEST_F(MonitorPlaybackTest, PlaysAFileWithItsOwnTickSpacingAndTheSliderSeeks)
{
    Recording saved;
    for (int i = 0; i < 4; ++i)
        saved.appendFrame(frameWith(static_cast<std::uint8_t>(i + 1)));
    QTemporaryDir dir;
    const QString file = dir.filePath("four.mid");
    ASSERT_TRUE(saveRecording(2, file.toStdString(), saved, 30).ok);
    prompts.fileAnswer = Prompts::FileChoice{file, 1};
    monitor->OpenFileClick();
    EXPECT_TRUE(monitor->Source->text().startsWith("four.mid (30 Tick)"));
    EXPECT_EQ(recording.StepCount(), 0) << "the recording in memory stays as it is";

    // The slider runs through time: step 3 plays at 3 x 60 ticks.
    monitor->Position->setValue(monitor->sliderValue(ticksToMicroseconds(180, 120)) - 1);
    ASSERT_EQ(midi.sent.size(), 1u) << "step 2 is shown just before step 3's time";
    EXPECT_EQ(midi.sent[0][8], 2);
    midi.sent.clear();
    monitor->Position->setValue(monitor->sliderValue(ticksToMicroseconds(180, 120)));
    ASSERT_EQ(midi.sent.size(), 1u) << "the frame of step 3, the last message of its kind";
    EXPECT_EQ(midi.sent[0][8], 3);
    monitor->PlayClick();
    clock.time += ticksToMicroseconds(60, 120) - 1;
    monitor->player().poll();
    EXPECT_EQ(midi.sent.size(), 1u);
    clock.time += 1;
    monitor->player().poll();
    ASSERT_EQ(midi.sent.size(), 2u) << "step 4 comes 2 x 30 ticks after step 3";
    EXPECT_EQ(midi.sent[1][8], 4);

    monitor->UseRecordingClick();
    EXPECT_TRUE(monitor->Source->text().startsWith("記録中のデータ"));
}

TEST_F(MonitorPlaybackTest, TheTempoSpacesThePlaybackAndPacingShowsTheLag)
{
    for (int i = 0; i < 3; ++i)
        recording.appendFrame(frameWith(static_cast<std::uint8_t>(i)));
    document.stepTick = 1;
    monitor->Tempo->setValue(300);
    monitor->CablePace->setChecked(true);
    monitor->PlayClick();
    runToEnd();
    ASSERT_EQ(midi.sent.size(), 3u);
    // Steps 2 ticks (1.667 ms) apart; each frame holds the cable for 28.48 ms.
    const auto& times = monitor->player().schedule().stepTimes;
    EXPECT_EQ(monitor->player().cableLag(), 2 * 28480 - (times[2] - times[0]));
    monitor->showPosition();
    EXPECT_EQ(monitor->CableLag->text(), "遅れ 55.3 ms");
}

TEST(MonitorView, PaintsTheDisplayAtTheChosenDotSize)
{
    DisplayModel display;
    display.apply(sysExMessage(lcdColourBody(LcdColour::Red)));
    MonitorView view(display);
    view.setDotSize(2);
    QImage image(pictureWidth(2), pictureHeight(2), QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    view.paintPicture(painter, QPoint(0, 0));
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), qRgb(48, 48, 48));
    EXPECT_EQ(image.pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(view.minimumSizeHint(), QSize(272, 40));
}

} // namespace
} // namespace lumidot::testing
