// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"
#include "export/SaveCommand.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QWindow>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace lumidot::testing {
namespace {

const QString kSaveQuestion = QStringLiteral("更新されています保存しますか？");

class FileMenuTest : public MainFormTest {
protected:
    QTemporaryDir dir;

    void SetUp() override { startQuietly(); }

    void recordOneColour() { form->SpeedButton2->click(); }

    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(FileMenuTest, SaveWithNothingRecordedSaysSoWithoutADialog)
{
    form->SaveAs1->trigger();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("エクスポートするデータがありません")});
    EXPECT_EQ(prompts.fileDialogs, 0);
}

TEST_F(FileMenuTest, CancelledSaveWritesNothingAndKeepsTheDialogState)
{
    recordOneColour();
    form->SaveDialog1 = {path("before.syx"), 2};
    form->SaveAs1->trigger();
    EXPECT_EQ(prompts.fileDialogs, 1);
    // The four recording formats keep their places; the document comes fifth.
    EXPECT_EQ(prompts.lastFilter.toStdString(),
              std::string(kSaveFilter) + "|Lumidot ドキュメント (*.lumidot)|*.lumidot");
    EXPECT_EQ(form->SaveDialog1.fileName, path("before.syx"));
    EXPECT_EQ(form->SaveDialog1.typeIndex, 2);
    EXPECT_FALSE(QFile::exists(path("before.syx")));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
}

TEST_F(FileMenuTest, SaveWritesTheChosenTypeAndRemembersTheChoice)
{
    form->LcdOrange->setChecked(true);
    recordOneColour();
    prompts.fileAnswer = Prompts::FileChoice{path("song"), 1};
    form->SaveAs1->trigger();
    QFile written(path("song.syx"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "a bare name gets the filter's extension";
    EXPECT_EQ(written.readAll(), QByteArray::fromHex("F04230427D01F7"));

    form->SaveAs1->trigger();
    EXPECT_EQ(prompts.lastChoiceShown.fileName, path("song.syx"));
    EXPECT_EQ(prompts.lastChoiceShown.typeIndex, 1);

    // The name's extension wins over the filter, and the dialog remembers it.
    prompts.fileAnswer = Prompts::FileChoice{path("trap.mid"), 1};
    form->SaveAs1->trigger();
    QFile smf(path("trap.mid"));
    ASSERT_TRUE(smf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(smf.readAll().startsWith("MThd"));
    EXPECT_EQ(form->SaveDialog1.typeIndex, 2);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
}

TEST_F(FileMenuTest, SaveErrorIsShown)
{
    recordOneColour();
    prompts.fileAnswer = Prompts::FileChoice{path("missing/folder/x.syx"), 1};
    form->SaveAs1->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_FALSE(prompts.shown.front().isEmpty());
}

TEST_F(FileMenuTest, CloseWithoutStepsAsksNothingAndClosesThePort)
{
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(midi.closeCount, 1);
}

TEST_F(FileMenuTest, CloseCancelKeepsEverything)
{
    form->show();
    recordOneColour();
    prompts.answers = {Prompts::Answer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts.shown, QStringList{kSaveQuestion});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(midi.closeCount, 0);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    form->LcdRed->setChecked(true);
    EXPECT_EQ(midi.sent.back(), sysex({0x7D, 0x02})) << "live sending still works";
}

// Ctrl+Q is the program's own quit key: it goes through the same question
// as the window's close button, and Cancel keeps the window.
TEST_F(FileMenuTest, CtrlQQuitsThroughTheSaveQuestion)
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    recordOneColour();
    prompts.answers = {Prompts::Answer::Cancel};
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(prompts.shown, QStringList{kSaveQuestion});
    EXPECT_TRUE(form->isVisible());

    prompts.answers = {Prompts::Answer::No};
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(midi.closeCount, 1);
}

TEST_F(FileMenuTest, CloseNoClosesWithoutSaving)
{
    form->show();
    recordOneColour();
    prompts.answers = {Prompts::Answer::No};
    EXPECT_TRUE(form->close());
    EXPECT_EQ(prompts.fileDialogs, 0);
    EXPECT_EQ(midi.closeCount, 1);
}

TEST_F(FileMenuTest, CloseYesSavesOrClosesOnACancelledDialog)
{
    form->show();
    recordOneColour();
    prompts.answers = {Prompts::Answer::Yes};
    EXPECT_TRUE(form->close()) << "a cancelled save dialog still closes";
    EXPECT_EQ(prompts.fileDialogs, 1);

    startQuietly();
    form->show();
    recordOneColour();
    prompts.answers = {Prompts::Answer::Yes};
    prompts.fileAnswer = Prompts::FileChoice{path("last.syx"), 1};
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFile::exists(path("last.syx")));
}

TEST_F(FileMenuTest, CloseYesWithAFailedSaveKeepsTheWindowAndTheRecording)
{
    form->show();
    recordOneColour();
    prompts.answers = {Prompts::Answer::Yes};
    prompts.fileAnswer = Prompts::FileChoice{path("missing/folder/x.syx"), 1};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(midi.closeCount, 0);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
}

// A second close request while the question, or the save dialog it opened,
// is up: sent to the platform window as the title bar's close button sends
// it. Only the answer decides.
TEST_F(FileMenuTest, CloseRequestsDuringTheQuestionAreIgnored)
{
    form->show();
    recordOneColour();
    std::vector<bool> accepted;
    const auto closeAgain = [&] {
        QCloseEvent request;
        QCoreApplication::sendEvent(form->windowHandle(), &request);
        accepted.push_back(request.isAccepted());
        form->close();   // Qt itself turns a nested close() away
        accepted.push_back(form->isVisible());
    };
    prompts.whileAsking = closeAgain;
    prompts.answers = {Prompts::Answer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(accepted, (std::vector<bool>{false, true})) << "not accepted, still shown";
    EXPECT_TRUE(form->isVisible());
    EXPECT_NE(form->windowHandle()->handle(), nullptr) << "the platform window stays";
    EXPECT_EQ(midi.closeCount, 0);
    EXPECT_EQ(prompts.shown, QStringList{kSaveQuestion}) << "asked once";

    accepted.clear();
    prompts.whileAsking = nullptr;
    prompts.whileFileDialog = closeAgain;
    prompts.answers = {Prompts::Answer::Yes};
    prompts.fileAnswer = Prompts::FileChoice{path("kept.syx"), 1};
    EXPECT_TRUE(form->close());
    EXPECT_EQ(accepted, (std::vector<bool>{false, true})) << "not accepted, still shown";
    EXPECT_TRUE(QFile::exists(path("kept.syx")));
    EXPECT_EQ(midi.closeCount, 1);
}

// After a save nothing is asked until the recording changes again.
TEST_F(FileMenuTest, SavedRecordingClosesWithoutAQuestionUntilItChanges)
{
    form->show();
    recordOneColour();
    prompts.fileAnswer = Prompts::FileChoice{path("saved.syx"), 1};
    form->SaveAs1->trigger();
    EXPECT_FALSE(form->isModified());

    recordOneColour();
    EXPECT_TRUE(form->isModified());
    prompts.answers = {Prompts::Answer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts.shown, QStringList{kSaveQuestion});

    form->SaveAs1->trigger();
    prompts.shown.clear();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// New with unsaved steps asks first: Yes saves then clears, No clears,
// Cancel keeps the recording and the plane; a cancelled or failed save
// keeps them too.
TEST_F(FileMenuTest, NewWithUnsavedStepsAsksFirst)
{
    const struct {
        Prompts::Answer answer;
        const char* fileName;   // the save dialog's answer; nullptr = cancelled
        bool cleared;
        bool written;
    } cases[] = {
        {Prompts::Answer::Yes, "new.syx", true, true},
        {Prompts::Answer::Yes, nullptr, false, false},
        {Prompts::Answer::Yes, "missing/folder/new.syx", false, false},
        {Prompts::Answer::No, nullptr, true, false},
        {Prompts::Answer::Cancel, "new.syx", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.answer) << " " << (c.fileName ? c.fileName : "-"));
        startQuietly();
        QFile::remove(path("new.syx"));
        recordOneColour();
        form->Workspace.document().plane.setDot(3, 3, 1);
        prompts.answers = {c.answer};
        prompts.fileAnswer.reset();
        if (c.fileName)
            prompts.fileAnswer = Prompts::FileChoice{path(c.fileName), 1};
        form->New1->trigger();
        EXPECT_EQ(prompts.shown.value(0), kSaveQuestion);
        EXPECT_EQ(form->Workspace.document().recording.StepCount(), c.cleared ? 0 : 1);
        EXPECT_EQ(form->Workspace.document().plane.dot(3, 3), c.cleared ? 0 : 1);
        EXPECT_EQ(QFile::exists(path("new.syx")), c.written);
    }

    // Nothing unsaved: New asks nothing.
    startQuietly();
    form->New1->trigger();
    recordOneColour();
    prompts.fileAnswer = Prompts::FileChoice{path("new.syx"), 1};
    form->SaveAs1->trigger();
    form->Workspace.document().plane.setDot(3, 3, 1);
    form->New1->trigger();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(form->Workspace.document().plane.dot(3, 3), 0);
}

TEST_F(FileMenuTest, NewRunsItsStepsInOrder)
{
    form->LcdText->setText("AB");
    form->LcdText2->setText("C");
    form->RecMoji->setChecked(true);
    form->AutoRec->setChecked(true);
    form->XSc->setValue(5);
    form->YSc->setValue(3);
    form->Workspace.document().plane.setDot(7, 4, 1);
    form->Workspace.document().plane.setDot(300, 0, 1);   // outside the clear region
    form->Pen2->setChecked(true);
    form->Pen2Click();
    midi.sent.clear();
    prompts.answers = {Prompts::Answer::No};

    form->New1->trigger();

    // Clearing line 1 still sends line 2 and records it (RecMoji is still on);
    // clearing line 2 leaves both empty; the two moves home record frames.
    EXPECT_EQ(events(), bytes({0xF3, 0xF5, 0xF5}));
    EXPECT_EQ(midi.sent.front(), messageSysex("", "C"));
    EXPECT_TRUE(form->LcdText->text().isEmpty());
    EXPECT_TRUE(form->LcdText2->text().isEmpty());
    EXPECT_FALSE(form->RecMoji->isChecked());
    EXPECT_FALSE(form->AutoRec->isChecked());
    EXPECT_EQ(form->ScrollX(), 0);
    EXPECT_EQ(form->ScrollY(), 0);
    EXPECT_EQ(form->Workspace.document().plane.dot(7, 4), 0);
    EXPECT_EQ(form->Workspace.document().plane.dot(300, 0), 1);
    EXPECT_EQ(form->editor().tool(), DotTool::BlackPen);
    EXPECT_TRUE(form->Pen->isChecked());
    EXPECT_FALSE(form->Pen2->isChecked());
}

TEST_F(FileMenuTest, NewAtHomeWithNothingOnStartsAnEmptyRecording)
{
    recordOneColour();
    prompts.answers = {Prompts::Answer::No};
    form->New1->trigger();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_EQ(form->Information->STEP->text(), "9999");
}

TEST_F(FileMenuTest, PortChangeReopensGreetsSavesAndRenames)
{
    duringModal = [this](QDialog&) { form->FConfig->MIDI_Out->setCurrentIndex(2); };
    form->LcdHide->setChecked(true);
    midi.calls.clear();
    midi.sent.clear();
    form->MIDIPortM1->trigger();
    EXPECT_EQ(modalShown, std::vector<QDialog*>{form->FConfig});
    // The list is read anew for the dialog; the port is closed before its
    // name is looked up again, so that a dead sound system is left first.
    EXPECT_EQ(midi.calls, (std::vector<std::string>{"count", "name", "name", "close", "count", "name", "open",
                                                    "send", "send"}));
    EXPECT_EQ(midi.openedIds.back(), 1);
    EXPECT_EQ(midi.sent[0], sysex({0x7D, 0x7F}));
    EXPECT_EQ(midi.sent[1], messageSysex("  Welcome to    ", "Lumidot Gallery!"));
    EXPECT_EQ(form->windowTitle(), "Lumidot [Synth B]");
    EXPECT_EQ(store.writes, (std::vector<std::string>{"MIDI_OUT", "DT", "XH", "XL", "YH", "YL", "XSc", "YSc",
                                                      "MIDI_OUT_NAME", "PACE_LIVE"}));
    EXPECT_EQ(store.bytes("MIDI_OUT"), bytes({2}));
    EXPECT_EQ(store.bytes("MIDI_OUT_NAME"), Bytes({'S', 'y', 'n', 't', 'h', ' ', 'B'}));
    EXPECT_EQ(form->Information->DEVNAME->text(), "Synth B");
}

TEST_F(FileMenuTest, PortChangeWithoutSelectionKeepsThePreviousPort)
{
    duringModal = [this](QDialog&) { form->FConfig->MIDI_Out->setCurrentIndex(-1); };
    form->MIDIPortM1->trigger();
    EXPECT_EQ(form->settings().midiOutIndex, 0);
    EXPECT_EQ(midi.openedIds.back(), -1);
    EXPECT_EQ(form->FConfig->MIDI_Out->currentIndex(), 0);
}

TEST_F(FileMenuTest, FailedPortChangeEnablesTheSwitchButRefusesIt)
{
    midi.failOpenResult = 3;
    form->MIDIPortM1->trigger();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("指定されたMIDIデバイスは使用できません")});
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(form->MIDI_real->isEnabled());
    form->MIDI_real->trigger();
    EXPECT_FALSE(form->MIDI_real->isChecked());

    midi.failOpenResult = 0;
    form->MIDIPortM1->trigger();
    EXPECT_TRUE(form->MIDI_real->isChecked());
    form->MIDI_real->trigger();
    EXPECT_FALSE(form->MIDI_real->isChecked());
    form->LcdRed->setChecked(true);
    EXPECT_EQ(midi.sent.size(), 2u) << "only the colour and banner of the good port change";
}

TEST_F(FileMenuTest, SettingsSaveErrorIsShown)
{
    store.failingWrites = {"XH"};
    form->MIDIPortM1->trigger();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("'XH' の設定に失敗しました")});
}

TEST_F(FileMenuTest, AboutBoxRunsModally)
{
    form->About1->trigger();
    ASSERT_EQ(modalShown.size(), 1u);
    EXPECT_EQ(modalShown.front()->windowTitle(), QStringLiteral("バージョン情報"));
}

} // namespace
} // namespace lumidot::testing
