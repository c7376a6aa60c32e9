// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "app/StepListModel.h"
#include "app/StepListWindow.h"
#include "export/SaveCommand.h"
#include "export/StepClipboard.h"
#include "export/SyxWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>

namespace lumidot::testing {
namespace {

class UndoTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }

    // The entries are made once the event that changed things is handled.
    static void settle() { QCoreApplication::processEvents(); }

    const EditHistory& stack() { return form->Workspace.history(); }

    // A pen stroke across three cells of the default zoom.
    void stroke(int fromCol, int row)
    {
        const int cell = 8;
        form->PaintBox1MouseMove(fromCol * cell + 2, row * cell + 2);
        form->PaintBox1MouseDown(fromCol * cell + 2, row * cell + 2);
        for (int k = 0; k < 3; ++k) {
            form->PaintBox1MouseMove((fromCol + k) * cell + 2, row * cell + 2);
            settle();   // an event loop turn in the middle of the stroke
        }
        form->PaintBox1MouseUp((fromCol + 2) * cell + 2, row * cell + 2);
        settle();
    }

    int dotsSet(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                n += form->Workspace.document().plane.dot(x, y);
        return n;
    }
};

TEST_F(UndoTest, EditMenuStandsBetweenFileAndViewAndNamesWhatItUndoes)
{
    const auto menus = form->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "ファイル(&F)");
    EXPECT_EQ(menus[1]->text(), "編集(&E)");
    EXPECT_EQ(menus[2]->text(), "表示(&O)");
    EXPECT_FALSE(form->Undo1->isEnabled());
    EXPECT_EQ(form->Undo1->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(form->Redo1->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));

    form->ToolButton1->click();
    settle();
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) ドット反転");
    form->Undo1->trigger();
    EXPECT_EQ(form->Redo1->text(), "やり直し(&R) ドット反転");
}

TEST_F(UndoTest, EachPlaneOperationIsOneEntryAndUndoSendsTheWindow)
{
    stroke(1, 1);
    ASSERT_EQ(stack().count(), 1) << "a stroke is one entry from press to release";
    EXPECT_EQ(dotsSet(0, 0, 31, 15), 3);
    form->BoxClick();
    form->PaintBox1MouseMove(0, 40);
    form->PaintBox1MouseDown(0, 40);
    form->PaintBox1MouseMove(80, 100);
    form->PaintBox1MouseUp(80, 100);
    settle();
    form->ToolButton2->click();   // mirror
    settle();
    form->ToolButton5->click();   // flip
    settle();
    form->ToolButton1->click();   // invert
    settle();
    form->ToolButton3->click();   // clear all
    settle();
    EXPECT_EQ(stack().count(), 6);
    EXPECT_EQ(dotsSet(-160, -80, 160, 80), 0);

    midi.sent.clear();
    form->Undo1->trigger();   // clear all
    ASSERT_EQ(midi.sent.size(), 1u) << "the window goes out as after any change";
    EXPECT_EQ(midi.sent[0].size(), 89u);
    for (int k = 0; k < 5; ++k)
        form->Undo1->trigger();
    EXPECT_EQ(dotsSet(-512, -256, 543, 270), 0);
    EXPECT_FALSE(form->Undo1->isEnabled());
    for (int k = 0; k < 6; ++k)
        form->Redo1->trigger();
    EXPECT_EQ(dotsSet(-160, -80, 160, 80), 0);
    form->Undo1->trigger();
    EXPECT_GT(dotsSet(0, 0, 31, 15), 100) << "the inverted window is back";

    // Window moves are not entries.
    const int entries = stack().count();
    form->XSc->setValue(7);
    settle();
    EXPECT_EQ(stack().count(), entries);
}

TEST_F(UndoTest, RecordedStepsAreEntriesAndATypingRunIsOne)
{
    form->SpeedButton1->click();
    settle();
    form->RecMoji->setChecked(true);
    for (const char* text : {"H", "He", "Hel", "Hell"}) {
        form->LcdText->setText(text);
        settle();
    }
    EXPECT_EQ(events(), bytes({0xF5, 0xF3, 0xF3, 0xF3, 0xF3}));
    EXPECT_EQ(stack().count(), 2);
    form->Undo1->trigger();
    EXPECT_EQ(events(), bytes({0xF5}));
    form->Undo1->trigger();
    EXPECT_TRUE(events().empty());
    form->Redo1->trigger();
    form->Redo1->trigger();
    EXPECT_EQ(events(), bytes({0xF5, 0xF3, 0xF3, 0xF3, 0xF3}));

    // Invert with continuous recording: the dots and the step are one entry.
    form->AutoRec->setChecked(true);
    form->ToolButton1->click();
    settle();
    EXPECT_EQ(stack().count(), 3);
    form->Undo1->trigger();
    EXPECT_EQ(events().size(), 5u);
    EXPECT_EQ(dotsSet(0, 0, 31, 15), 0);
}

TEST_F(UndoTest, NewAndOpenAreEntriesThatBringTheStepsBack)
{
    form->Workspace.document().plane.setDot(2, 2, 1);
    form->SpeedButton1->click();
    form->FXRec->click();
    settle();
    const Bytes before = FileSaveData(form->Workspace.document().recording);
    prompts.answers = {Prompts::Answer::No};
    form->New1->trigger();
    settle();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    form->Undo1->trigger();
    EXPECT_EQ(FileSaveData(form->Workspace.document().recording), before);
    EXPECT_EQ(form->Workspace.document().plane.dot(2, 2), 1) << "New's clearing of the plane is undone with it";

    QTemporaryDir dir;
    Recording saved;
    saved.appendColour(LcdColour::Red);
    const QString file = dir.filePath("one.syx");
    ASSERT_TRUE(saveRecording(1, file.toStdString(), saved, 8).ok);
    prompts.answers = {Prompts::Answer::No};
    prompts.fileAnswer = Prompts::FileChoice{file, 1};
    form->Open1Click();
    settle();
    EXPECT_EQ(events(), bytes({0xF2}));
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) 開く");
    form->Undo1->trigger();
    EXPECT_EQ(FileSaveData(form->Workspace.document().recording), before);
}

// Undo and redo that come back to the steps last saved need no question;
// anywhere else the recording is unsaved again.
TEST_F(UndoTest, TheSavedStateFollowsUndoAndRedo)
{
    QTemporaryDir dir;
    for (int k = 0; k < 2; ++k) {
        form->SpeedButton1->click();
        settle();
    }
    prompts.fileAnswer = Prompts::FileChoice{dir.filePath("saved.syx"), 1};
    form->SaveAs1Click();
    settle();
    ASSERT_FALSE(form->isModified());

    form->FXRec->click();
    settle();
    EXPECT_TRUE(form->isModified());
    form->Undo1->trigger();
    EXPECT_FALSE(form->isModified()) << "back at the saved steps";
    form->ToolButton1->click();   // drawing after the save leaves the steps saved
    settle();
    EXPECT_FALSE(form->isModified());
    form->Undo1->trigger();
    form->Undo1->trigger();
    EXPECT_TRUE(form->isModified()) << "undone past the save ";
    form->Redo1->trigger();
    EXPECT_FALSE(form->isModified());
}

class StepListTest : public UndoTest {
protected:
    StepListWindow& list() { return *form->StepList; }

    void recordFiveSteps()
    {
        form->LcdGreen->setChecked(true);
        form->SpeedButton2->click();   // green
        form->SpeedButton1->click();   // frame
        form->LcdText->setText("Hi");
        form->SpeedButton3->click();   // message
        form->FXRec->click();          // effect
        form->LcdRed->setChecked(true);
        form->SpeedButton2->click();   // red
        settle();
        midi.sent.clear();
    }
};

TEST_F(StepListTest, FollowsTheRecordingAndShowsTimesAtTheExportSpacing)
{
    form->StepList1->trigger();
    EXPECT_EQ(list().windowTitle(), "ステップ一覧");
    recordFiveSteps();
    ASSERT_EQ(list().Model->rowCount(), 5);
    // Steps are 2 x 8 ticks apart at 120 BPM (1/960 s a tick); the effect
    // group's four further messages push the next step 4 ticks later.
    const auto cell = [this](int row, int column) {
        return list().Model->data(list().Model->index(row, column), Qt::DisplayRole).toString();
    };
    EXPECT_EQ(cell(0, StepListModel::NumberColumn), "1");
    EXPECT_EQ(cell(0, StepListModel::StartColumn), "1:1:016");
    EXPECT_EQ(cell(0, StepListModel::LengthColumn), "16");
    EXPECT_EQ(cell(0, StepListModel::TimeColumn), "0:00.017");
    EXPECT_EQ(cell(3, StepListModel::LengthColumn), "20");
    EXPECT_EQ(cell(4, StepListModel::StartColumn), "1:1:084");
    EXPECT_EQ(cell(4, StepListModel::LengthColumn), "48") << "the last step lasts to the end of the track";
    EXPECT_EQ(cell(4, StepListModel::TimeColumn), "0:00.088");
    EXPECT_EQ(cell(4, StepListModel::StepColumn), "色");
    EXPECT_EQ(list().Model->headerData(StepListModel::StartColumn, Qt::Horizontal, Qt::DisplayRole),
              "開始 (小節:拍:Tick)");
    EXPECT_FALSE(list().List->isHeaderHidden());
    prompts.answers = {Prompts::Answer::No};
    form->New1->trigger();
    EXPECT_EQ(list().Model->rowCount(), 0);
}

TEST_F(StepListTest, DeleteMoveDuplicateAndInsertAreUndoable)
{
    form->StepList1->trigger();
    recordFiveSteps();
    const Bytes start = FileSaveData(form->Workspace.document().recording);

    list().selectSteps(1, 2);
    list().Delete1->trigger();
    EXPECT_EQ(events(), bytes({0xF0, 0xF8, 0xF2}));
    list().selectSteps(2, 1);
    list().MoveUp1->trigger();
    EXPECT_EQ(events(), bytes({0xF0, 0xF2, 0xF8}));
    EXPECT_EQ(list().selection(), (std::pair<int, int>{1, 1})) << "the moved step stays selected";
    list().Duplicate1->trigger();
    EXPECT_EQ(events(), bytes({0xF0, 0xF2, 0xF2, 0xF8}));
    form->PC->setCurrentIndex(TMainForm::DotPage);
    list().selectSteps(0, 1);
    list().InsertHere1->trigger();
    EXPECT_EQ(events(), bytes({0xF5, 0xF0, 0xF2, 0xF2, 0xF8}));
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) 挿入");
    for (int k = 0; k < 4; ++k)
        form->Undo1->trigger();
    EXPECT_EQ(FileSaveData(form->Workspace.document().recording), start);
}

TEST_F(StepListTest, DoubleClickedFrameComesBackIntoTheWindowAsOneChange)
{
    form->Workspace.document().plane.setDot(3, 4, 1);
    form->SpeedButton1->click();
    form->ToolButton3->click();   // clear all
    settle();
    const int entries = form->Workspace.history().count();
    midi.sent.clear();
    list().onFrameChosen(0);
    settle();
    EXPECT_EQ(form->Workspace.document().plane.dot(3, 4), 1);
    EXPECT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(form->Workspace.history().count(), entries + 1);
    form->Undo1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(3, 4), 0);
}

TEST_F(StepListTest, PasteGoesBetweenWindowsAndIsRefusedAtTheLimit)
{
    recordFiveSteps();
    list().selectSteps(1, 3);
    list().Copy1->trigger();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_TRUE(mime->hasFormat(kStepsMimeType));
    EXPECT_TRUE(mime->hasFormat(kSysExMimeType));
    const QByteArray syx = mime->data(kSysExMimeType);
    EXPECT_EQ(Bytes(syx.begin(), syx.end()), FileSaveData(recordingOf(form->Workspace.document().recording.copySteps(1, 3))));

    // A second window of the program takes the steps.
    FakeMidiOutput otherMidi;
    otherMidi.deviceNames = {"Synth A"};
    MemorySettingsStore otherStore;
    FakePrompts otherPrompts;
    FakeDesktop otherDesktop;
    TMainForm other(otherMidi, otherStore, otherPrompts, otherDesktop);
    other.runModal = [](QDialog&) { return int(QDialog::Rejected); };
    other.createSecondaryWindows();
    other.FXRec->click();
    ASSERT_TRUE(other.StepList->paste());
    const auto otherEvents = other.Workspace.document().recording.eventStream();
    EXPECT_EQ(Bytes(otherEvents.begin(), otherEvents.end()), bytes({0xF8, 0xF5, 0xF3, 0xF8}));

    // The plain form alone is taken as well.
    auto* plain = new QMimeData;
    plain->setData(kSysExMimeType, syx);
    QApplication::clipboard()->setMimeData(plain);
    other.StepList->selectSteps(0, 1);
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(kSysExMimeType))
        << QApplication::clipboard()->mimeData()->formats().join(",").toStdString();
    ASSERT_TRUE(other.StepList->paste());
    EXPECT_EQ(other.Workspace.document().recording.StepCount(), 7);

    // A paste that would put a frame at step 9,999 or later is refused and
    // changes nothing; before it, it is taken, as recording it would be.
    while (form->Workspace.document().recording.StepCount() < kStepLimit - 1)
        form->Workspace.document().recording.appendColour(LcdColour::Green);
    list().selectSteps(1, 1);
    list().Copy1->trigger();
    list().selectSteps(kStepLimit - 2, 1);
    EXPECT_TRUE(list().paste());
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit);
    list().selectSteps(kStepLimit - 1, 1);
    prompts.shown.clear();
    const int count = form->Workspace.document().recording.StepCount();
    EXPECT_TRUE(list().paste());
    EXPECT_EQ(prompts.shown, QStringList{"これ以上記録できません"});
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), count);
}

} // namespace
} // namespace lumidot::testing
