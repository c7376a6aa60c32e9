// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "app/StepListModel.h"
#include "app/StepListWindow.h"
#include "dialogs/ImportPreviewDialog.h"
#include "document/EditHistory.h"
#include "export/OpenCommand.h"
#include "export/SmfWriter.h"
#include "export/SyxWriter.h"
#include "recording/StepTiming.h"
#include "support/GifWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace lumidot::testing {
namespace {

using Ticks = std::vector<std::int64_t>;

class StepTimingTest : public MainFormTest {
protected:
    QTemporaryDir folder;

    void SetUp() override
    {
        startQuietly();
        form->StepList1->trigger();
    }

    static void settle() { QCoreApplication::processEvents(); }
    StepListWindow& list() { return *form->StepList; }
    const EditHistory& stack() { return form->Workspace.history(); }
    Recording& recording() { return form->Workspace.document().recording; }
    Ticks starts() const { return stepLayout(form->Workspace.document().recording, form->Workspace.document().stepTick).starts; }
    std::int64_t lengthOf(int step) const
    {
        return stepLayout(form->Workspace.document().recording, form->Workspace.document().stepTick).length(step);
    }

    void recordFrames(int count)
    {
        form->PC->setCurrentIndex(TMainForm::DotPage);
        for (int k = 0; k < count; ++k) {
            form->Workspace.document().plane.setDot(k, 0, 1);
            form->SpeedButton1->click();
        }
        settle();
    }

    QAction* noteAction(int index) { return list().Length1->actions().at(index); }

    Bytes saved(const QString& name, int typeIndex)
    {
        prompts.fileAnswer = Prompts::FileChoice{folder.filePath(name), typeIndex};
        form->SaveAs1Click();
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray data = file.readAll();
        return Bytes(data.begin(), data.end());
    }
};

TEST_F(StepTimingTest, LengthsFromTheMenuTheDialogAndTheKeysAreOneUndoEntryEach)
{
    recordFrames(4);
    const int entries = stack().count();
    list().selectSteps(0, 4);
    noteAction(2)->trigger();   // a quarter note
    EXPECT_EQ(starts(), (Ticks{16, 496, 976, 1456}));
    EXPECT_EQ(lengthOf(3), 480) << "the last step too, to the end of the track";
    EXPECT_EQ(stack().count(), entries + 1);
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) 長さ");
    EXPECT_EQ(list().selection(), (std::pair<int, int>{0, 4})) << "the steps stay selected";
    EXPECT_EQ(list().Model->data(list().Model->index(1, StepListModel::LengthColumn), Qt::DisplayRole),
              "480 (1/4)");

    list().HalveLength1->trigger();
    EXPECT_EQ(lengthOf(0), 240);
    list().DoubleLength1->trigger();
    list().DoubleLength1->trigger();
    EXPECT_EQ(starts(), (Ticks{16, 976, 1936, 2896}));
    list().selectSteps(2, 1);
    list().Later1->trigger();
    EXPECT_EQ(starts(), (Ticks{16, 976, 2056, 2896})) << "the step after keeps its place";
    list().Earlier1->trigger();
    list().Earlier1->trigger();
    EXPECT_EQ(starts()[2], 1816);
    EXPECT_EQ(stack().count(), entries + 7);

    // The dialog opens at the first selected step's length and shows the shortest.
    prompts.lengthAnswer = 7680;
    list().selectSteps(1, 2);
    list().AskLength1->trigger();
    EXPECT_EQ(prompts.lastLengthShown, 840);
    EXPECT_EQ(prompts.lastShortestShown, 8);
    EXPECT_EQ(lengthOf(1), 7680);
    EXPECT_EQ(lengthOf(2), 7680);
    prompts.lengthAnswer.reset();
    list().AskLength1->trigger();
    EXPECT_EQ(stack().count(), entries + 8) << "a cancelled dialog changes nothing";

    for (int k = 0; k < 8; ++k)
        form->Undo1->trigger();
    EXPECT_FALSE(recording().hasOwnTiming());
    EXPECT_EQ(starts(), (Ticks{16, 32, 48, 64}));
    for (int k = 0; k < 8; ++k)
        form->Redo1->trigger();
    EXPECT_EQ(lengthOf(2), 7680);
}

TEST_F(StepTimingTest, AltArrowsReachTheListsTimingEdits)
{
    recordFrames(3);
    list().show();
    QApplication::setActiveWindow(&list());
    list().List->setFocus();
    list().selectSteps(0, 1);
    EXPECT_EQ(list().HalveLength1->shortcut(), QKeySequence(QStringLiteral("Alt+Left")));
    for (int k = 0; k < 4; ++k)
        QTest::keyClick(list().List, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(lengthOf(0), 256);
    QTest::keyClick(list().List, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(lengthOf(0), 128);
    QTest::keyClick(list().List, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(starts()[0], 16 + 120) << "the first step moves the start";
    EXPECT_EQ(recording().startOffset(), 136);
    EXPECT_EQ(starts()[1], 16 + 128) << "the step after it stays";
    QTest::keyClick(list().List, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(starts()[0], 16);
    list().hide();
}

TEST_F(StepTimingTest, HoldAndTheStartPutFramesOnTheBeat)
{
    recordFrames(3);
    list().selectSteps(0, 3);
    list().HoldBeat1->trigger();
    EXPECT_EQ(starts(), (Ticks{16, 480, 960}));
    prompts.startAnswer = std::optional<int>(kTicksPerBar);
    list().Start1->trigger();
    EXPECT_EQ(starts(), (Ticks{1920, 2384, 2864})) << "the start moves every step with it";
    EXPECT_EQ(list().StartText->text(), "開始位置: 2:1:000");
    list().HoldBar1->trigger();
    EXPECT_EQ(starts(), (Ticks{1920, 3840, 5760}));
    prompts.startAnswer = std::optional<int>();
    list().Start1->trigger();
    EXPECT_FALSE(recording().startOffset());
    EXPECT_EQ(list().StartText->text(), "開始位置: 1:1:016（記録どおり）");
}

TEST_F(StepTimingTest, SavingAsksForTheTempoAndBeforeDroppingTiming)
{
    form->Workspace.setStepTick(20);   // frames that fit the cable at 120 BPM
    recordFrames(2);
    // Recorded steps only: no question, and the file is as it always was.
    EXPECT_EQ(saved("plain.syx", kTypeSyx), FileSaveData(recording()));
    EXPECT_EQ(saved("plain.mid", kTypeSmf), EXPORT_SMF(recording(), 20));
    EXPECT_EQ(prompts.lastOption, "テンポを書き込む (Standard MIDI)");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();

    prompts.optionAnswer = true;
    EXPECT_EQ(saved("tempo.mid", kTypeSmf), EXPORT_SMF(recording(), 20, {120}));
    prompts.optionAnswer.reset();
    saved("again.mid", kTypeSmf);
    EXPECT_TRUE(prompts.lastOptionShown) << "the box keeps its state between saves";

    list().selectSteps(0, 1);
    noteAction(4)->trigger();   // a bar
    prompts.yesNoAnswer = false;
    EXPECT_TRUE(saved("declined.exc", kTypeExc).empty());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("タイミングを捨てて保存しますか")) << prompts.shown[0].toStdString();
    prompts.yesNoAnswer = true;
    EXPECT_EQ(saved("dropped.syx", kTypeSyx), FileSaveData(recording()));
    EXPECT_EQ(prompts.shown.size(), 2) << "asked once";

    // A wait a .prt cannot hold is named, and nothing is written.
    prompts.shown.clear();
    EXPECT_TRUE(saved("long.prt", kTypePrt).empty());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0],
              "ステップ 2 の待ち時間 (1900 Tick) は Recomposer98 形式に入りません (1〜127 Tick)。\n"
              "Standard MIDI (.mid) で保存してください。");
    EXPECT_FALSE(QFile::exists(folder.filePath("long.prt")));
}

TEST_F(StepTimingTest, TheClipboardCarriesWaitsToAnotherWindow)
{
    recordFrames(3);
    list().selectSteps(0, 2);
    noteAction(3)->trigger();   // half notes
    list().selectSteps(1, 2);
    list().Copy1->trigger();

    FakeMidiOutput otherMidi;
    MemorySettingsStore otherStore;
    FakePrompts otherPrompts;
    FakeDesktop otherDesktop;
    TMainForm other(otherMidi, otherStore, otherPrompts, otherDesktop);
    other.runModal = [](QDialog&) { return int(QDialog::Rejected); };
    other.createSecondaryWindows();
    ASSERT_TRUE(other.StepList->paste());
    EXPECT_EQ(other.Workspace.document().recording.wait(0), recording().wait(1));
    EXPECT_EQ(other.Workspace.document().recording.wait(1), recording().wait(2));
    EXPECT_EQ(other.Workspace.document().recording.wait(1), StepWait::ticks(960 - 8));
}

TEST_F(StepTimingTest, AnImportedAnimationKeepsItsDelaysAndCanBeThinnedForTheCable)
{
    // Frames of 10, 1 (shown as 10), 2 and 2 hundredths: the two last come
    // sooner than 28.48 ms after the one before them.
    GifWriter gif(32, 16, {0xFFFFFF, 0x000000});
    std::size_t dot = 0;
    for (const int delay : {10, 1, 2, 2, 10}) {
        GifWriter::Frame frame{0, 0, 32, 16, 1, -1, delay, std::vector<std::uint8_t>(512, 0)};
        frame.pixels[dot++] = 1;
        gif.add(frame);
    }
    const QString path = folder.filePath("delays.gif");
    ASSERT_TRUE(gif.save(path.toStdString()));
    prompts.fileAnswer = Prompts::FileChoice{path, 1};
    prompts.filesAnswer = {path};

    QString facts;
    bool thin = false;
    form->runModal = [&](QDialog& dialog) {
        auto* preview = dynamic_cast<TImportPreview*>(&dialog);
        if (!preview)
            return int(QDialog::Rejected);
        facts = preview->Facts->text();
        preview->ThinFrames->setChecked(thin);
        return int(QDialog::Accepted);
    };
    form->ImportImage1Click();
    settle();
    EXPECT_TRUE(facts.endsWith("5 フレーム、うち 1 フレームはケーブルに間に合いません")) << facts.toStdString();
    // At 120 a hundredth is 9.6 ticks: 96, 96, 19, 19, 96.
    EXPECT_EQ(starts(), (Ticks{16, 112, 208, 227, 246}));
    EXPECT_EQ(lengthOf(4), 96);
    EXPECT_EQ(stack().undoEntry()->label, "画像の読み込み");

    form->Undo1->trigger();
    EXPECT_EQ(recording().StepCount(), 0);
    thin = true;
    form->ImportImage1Click();
    settle();
    // The fourth frame comes 20 ms after the third: dropped, the third held on.
    EXPECT_EQ(recording().StepCount(), 4);
    EXPECT_EQ(starts(), (Ticks{16, 112, 208, 246}));
}

} // namespace
} // namespace lumidot::testing
