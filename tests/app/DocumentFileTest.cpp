// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "app/Recovery.h"
#include "document/RecoveryJournal.h"
#include "export/DocumentFile.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

namespace lumidot::testing {
namespace {

// The whole work in one file, and the work of a killed program brought back.
class DocumentFileTest : public MainFormTest {
protected:
    QTemporaryDir dir;

    void SetUp() override { startQuietly(); }

    QString path(const char* name) const { return dir.filePath(name); }

    // Work on every page: dots, a frame, the lines, the colour, an effect,
    // the window moved.
    void work()
    {
        form->Workspace.document().plane.setDot(1, 1, 1);
        form->Disp_FD();
        form->SpeedButton1->click();
        form->LcdText->setText("Saved line");
        form->LcdText2->setText("two");
        form->LcdOrange->setChecked(true);
        form->FX1Sel->setValue(12);
        form->FXModeSel->setValue(2);
        form->XSc->setValue(16);
        form->YSc->setValue(-8);
    }

    // The window shows the document: controls, labels and the sent frame.
    void expectShown(const Document& document)
    {
        EXPECT_EQ(form->XSc->value(), document.window.x);
        EXPECT_EQ(form->YSc->value(), document.window.y);
        EXPECT_EQ(form->XReal->text(), QString::number(document.window.x));
        EXPECT_EQ(form->LcdText->text().toStdString(), document.lines.line1);
        EXPECT_EQ(form->LcdText2->text().toStdString(), document.lines.line2);
        EXPECT_EQ(form->FX1Sel->value(), document.effect.effect1);
        EXPECT_EQ(form->FX1Name->text(), QString::fromLatin1(kEffectNames[document.effect.effect1]));
        EXPECT_EQ(form->FXModeSel->value(), document.effect.mode);
        EXPECT_EQ(form->LcdOrange->isChecked(), document.colour == LcdColour::Orange);
        EXPECT_EQ(form->LcdGreen->isChecked(), document.colour == LcdColour::Green);
    }
};

TEST_F(DocumentFileTest, SavesAndOpensTheWholeWorkAsTheFifthType)
{
    work();
    const QString file = path("work");
    prompts.fileAnswer = Prompts::FileChoice{file, 5};
    form->SaveAs1Click();
    EXPECT_TRUE(prompts.lastFilter.endsWith("|Lumidot ドキュメント (*.lumidot)|*.lumidot"))
        << prompts.lastFilter.toStdString();
    EXPECT_TRUE(prompts.lastFilter.startsWith("System Exclusive(*.SYX)|*.syx|Standard MIDI(*.MID)|*.mid|"));
    EXPECT_EQ(form->SaveDialog1.fileName, file + ".lumidot");
    EXPECT_FALSE(form->isModified());
    const Bytes savedSteps = FileSaveData(form->Workspace.document().recording);

    // New, then open it back: everything returns, and nothing is recorded
    // or sent but the window's frame while the controls follow.
    prompts.answers = {Prompts::Answer::No};
    form->New1Click();
    form->LcdGreen->setChecked(true);
    prompts.fileAnswer = Prompts::FileChoice{file + ".lumidot", 1};
    const std::size_t sentBefore = midi.sent.size();
    form->Open1Click();
    const Document& document = form->Workspace.document();
    EXPECT_EQ(FileSaveData(document.recording), savedSteps);
    EXPECT_EQ(document.plane.dot(1, 1), 1);
    EXPECT_EQ(document.window, (WindowPosition{16, -8}));
    EXPECT_EQ(document.lines, (MessageLines{"Saved line", "two"}));
    EXPECT_EQ(document.colour, LcdColour::Orange);
    EXPECT_EQ(document.effect.effect1, 12);
    expectShown(document);
    EXPECT_EQ(midi.sent.size(), sentBefore + 1);
    EXPECT_FALSE(form->isModified());
    EXPECT_EQ(form->SaveDialog1.typeIndex, kTypeDocument);
    // One undo entry takes the opened plane and steps back.
    form->Undo1Click();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

TEST_F(DocumentFileTest, ARefusedDocumentChangesNothingAndSaysWhere)
{
    work();
    const Bytes before = FileSaveData(form->Workspace.document().recording);
    prompts.fileAnswer = Prompts::FileChoice{path("missing.lumidot"), 1};
    form->Open1Click();
    std::ofstream(path("broken.lumidot").toStdString(), std::ios::binary) << "PK\x03\x04 not really";
    prompts.fileAnswer = Prompts::FileChoice{path("broken.lumidot"), 1};
    form->Open1Click();
    ASSERT_GE(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown.back().contains("ZIP")) << prompts.shown.back().toStdString();
    EXPECT_EQ(FileSaveData(form->Workspace.document().recording), before);
    EXPECT_EQ(form->Workspace.document().lines.line1, "Saved line");
    EXPECT_EQ(form->XSc->value(), 16);
}

class RecoveryTest : public DocumentFileTest {
protected:
    std::string folder() const { return path("state").toStdString(); }

    // A program that worked and was killed: its journal stays behind.
    void leaveJournalOfKilledProgram()
    {
        work();
        std::string error;
        FakeMidiOutput otherPort;
        Workspace other(otherPort);
        auto journal = RecoveryJournal::start(folder(), other, error);
        ASSERT_TRUE(journal) << error;
        Document copy;
        copy.plane.copyFrom(form->Workspace.document().plane);
        copy.recording.replaceSteps(loadRecordingBytes(FileSaveData(form->Workspace.document().recording)).recording);
        copy.window = form->Workspace.document().window;
        copy.lines = form->Workspace.document().lines;
        copy.colour = form->Workspace.document().colour;
        copy.effect = form->Workspace.document().effect;
        copy.stepTick = form->Workspace.document().stepTick;
        other.replaceDocument(std::move(copy));
        saved = FileSaveData(other.document().recording);
        journal.reset();
        prompts.answers = {Prompts::Answer::No};
        form->New1Click();
    }

    Bytes saved;
};

TEST_F(RecoveryTest, YesBringsTheWorkBack)
{
    leaveJournalOfKilledProgram();
    prompts.yesNoAnswer = true;
    const std::optional<OrphanJournal> restored = Recovery::offer(*form, prompts, folder());
    EXPECT_EQ(prompts.shown.back(), "前回は正しく終了しませんでした。作業を復元しますか？");
    ASSERT_TRUE(restored);
    const Document& document = form->Workspace.document();
    EXPECT_EQ(FileSaveData(document.recording), saved);
    EXPECT_EQ(document.plane.dot(1, 1), 1);
    EXPECT_EQ(document.lines, (MessageLines{"Saved line", "two"}));
    expectShown(document);
    // Brought back, not saved: closing asks.
    EXPECT_TRUE(form->isModified());
}

TEST_F(RecoveryTest, NoKeepsTheWorkAsADocumentFile)
{
    leaveJournalOfKilledProgram();
    prompts.yesNoAnswer = false;
    EXPECT_FALSE(Recovery::offer(*form, prompts, folder()));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    ASSERT_TRUE(prompts.shown.back().contains(".lumidot")) << prompts.shown.back().toStdString();
    const QStringList kept = QDir(QString::fromStdString(folder())).entryList({"*.lumidot"});
    ASSERT_EQ(kept.size(), 1);
    const LoadResult opened = loadRecording(folder() + "/" + kept[0].toStdString());
    ASSERT_TRUE(opened.ok) << opened.error;
    EXPECT_EQ(FileSaveData(opened.recording), saved);
    // Nothing is offered again.
    const int asked = static_cast<int>(prompts.shown.size());
    EXPECT_FALSE(Recovery::offer(*form, prompts, folder()));
    EXPECT_EQ(static_cast<int>(prompts.shown.size()), asked);
}

} // namespace
} // namespace lumidot::testing
