// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"
#include "export/OpenCommand.h"
#include "export/SaveCommand.h"
#include "document/Recorder.h"

#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>

#include <QLabel>

#include <fstream>

namespace lumidot::testing {
namespace {

// File > Open: a saved recording comes back in place of the current one.
class OpenCommandTest : public MainFormTest {
protected:
    QTemporaryDir dir;

    void SetUp() override { startQuietly(); }

    QString path(const char* name) const { return dir.filePath(name); }

    // A recording of one frame, one message and one effect, saved as typeIndex.
    QString savedFile(const char* name, int typeIndex, std::uint8_t tick)
    {
        Recording saved;
        VirtualArea area;
        area.setDot(0, 0, 1);
        saved.appendFrame(packWindow(area, 0, 0));
        saved.appendMessage("Hello", "NS5R");
        saved.appendEffect({2, 30, 1});
        const QString file = path(name);
        EXPECT_TRUE(saveRecording(typeIndex, file.toStdString(), saved, tick).ok);
        return file;
    }

    void answerOpenWith(const QString& file)
    {
        prompts.fileAnswer = Prompts::FileChoice{file, 1};
    }
};

TEST_F(OpenCommandTest, ReplacesTheRecordingAndSavesBackToTheSameFile)
{
    const QString file = savedFile("song.mid", 2, 8);
    answerOpenWith(file);
    form->Open1Click();
    EXPECT_EQ(events(), bytes({0xF5, 0xF3, 0xF8}));
    EXPECT_EQ(form->Workspace.document().recording.frameRecord(0)[0], 0x40);
    EXPECT_EQ(form->SaveDialog1.fileName, file);
    EXPECT_EQ(form->SaveDialog1.typeIndex, 2);
    EXPECT_TRUE(prompts.lastFilter.startsWith("All supported(*.syx;*.mid;*.prt;*.exc;*.lumidot)|"));
    // The information window follows the new count.
    EXPECT_EQ(form->Information->STEP->text(), "9996");

    // Recording goes on after the opened steps, and Save writes them back.
    FXRecClick(form->Workspace.document().recording, {1, 1, 1});
    prompts.fileAnswer = form->SaveDialog1;
    // Its frame step outruns a MIDI cable at 8 ticks: saving anyway is asked first.
    prompts.yesNoAnswer = true;
    form->SaveAs1Click();
    EXPECT_TRUE(prompts.shown.back().contains("このまま保存しますか")) << prompts.shown.back().toStdString();
    const LoadResult reread = loadRecording(file.toStdString());
    ASSERT_TRUE(reread.ok) << reread.error;
    const auto stream = reread.recording.eventStream();
    EXPECT_EQ(Bytes(stream.begin(), stream.end()), bytes({0xF5, 0xF3, 0xF8, 0xF8}));
}

// The question comes once the file is read and found good; an opened file
// counts as saved, so opening another asks nothing.
TEST_F(OpenCommandTest, AsksToSaveOnceTheFileIsGoodAndCancelKeepsTheRecording)
{
    LCD_Save(form->Workspace.document().recording, LcdColour::Red);
    prompts.answers = {Prompts::Answer::Cancel};
    answerOpenWith(savedFile("a.syx", 1, 8));
    form->Open1Click();
    EXPECT_EQ(prompts.fileDialogs, 1);
    EXPECT_EQ(prompts.shown, QStringList{"更新されています保存しますか？"});
    EXPECT_EQ(events(), bytes({0xF2}));

    prompts.answers = {Prompts::Answer::No};
    form->Open1Click();
    EXPECT_EQ(events(), bytes({0xF5, 0xF3, 0xF8}));
    EXPECT_FALSE(form->isModified());

    prompts.shown.clear();
    answerOpenWith(savedFile("b.syx", 1, 8));
    form->Open1Click();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(form->SaveDialog1.fileName, path("b.syx"));
}

TEST_F(OpenCommandTest, RefusedFileLeavesTheRecordingAndTheSaveDialogAlone)
{
    LCD_Save(form->Workspace.document().recording, LcdColour::Orange);
    const QString file = path("broken.syx");
    // A green step, then another maker's message at byte 7.
    std::ofstream(file.toStdString(), std::ios::binary)
        << std::string("\xF0\x42\x30\x42\x7D\x00\xF7\xF0\x43\x10\x4C\xF7", 12);
    form->SaveDialog1 = {"previous.exc", 4};
    prompts.answers = {Prompts::Answer::No};
    answerOpenWith(file);
    form->Open1Click();
    EXPECT_EQ(events(), bytes({0xF1}));
    EXPECT_EQ(form->SaveDialog1.fileName, "previous.exc");
    ASSERT_EQ(prompts.shown.size(), 1) << "no question before a file that is refused";
    EXPECT_TRUE(prompts.shown[0].contains("7 バイト")) << prompts.shown[0].toStdString();
}

TEST_F(OpenCommandTest, TickOfTheFileBecomesTheSettingOnlyWhenTheUserAgrees)
{
    const QString file = savedFile("song.prt", 3, 24);
    answerOpenWith(file);
    prompts.yesNoAnswer = false;
    form->Open1Click();
    EXPECT_EQ(form->settings().stepTick, 8);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("24"));

    prompts.yesNoAnswer = true;
    form->Open1Click();
    EXPECT_EQ(form->settings().stepTick, 24);
    EXPECT_EQ(form->FConfig->tick->value(), 24);

    // The same tick again asks nothing.
    prompts.shown.clear();
    form->Open1Click();
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(OpenCommandTest, CancelledOpenDialogChangesNothing)
{
    form->Open1Click();
    EXPECT_EQ(prompts.fileDialogs, 1);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

// Every kind of damaged file is refused with a message and leaves the
// recording in the window as it was.
TEST_F(OpenCommandTest, DamagedFilesOfEveryFormatLeaveTheRecordingUnchanged)
{
    const std::string green("\xF0\x42\x30\x42\x7D\x00\xF7", 7);
    const struct {
        const char* name;
        std::string content;
    } damaged[] = {
        {"truncated.syx", green + std::string("\xF0\x42\x30\x42\x12\x08", 6)},
        {"foreign.syx", std::string("\xF0\x41\x10\x42\x12\xF7", 6)},
        {"stray.syx", std::string("\x90\x40\x7F", 3)},
        {"signature.prt", std::string("RCPPX\x01\x00\x00", 8)},
        {"length.prt", std::string("RCPPR\x01\x10\x00\x98\x00\x08\x00", 12)},
        {"count.exc", std::string("SSW Exc Data Ver1.00W           \x02\x00", 34)},
        {"truncated.mid", std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0MTrk\x00\x00\x01\x00", 22)},
        {"empty.mid", std::string()},
    };
    LCD_Save(form->Workspace.document().recording, LcdColour::Red);
    for (const auto& file : damaged) {
        const QString name = path(file.name);
        std::ofstream(name.toStdString(), std::ios::binary) << file.content;
        prompts.shown.clear();
        prompts.answers = {Prompts::Answer::No};
        answerOpenWith(name);
        form->Open1Click();
        EXPECT_EQ(events(), bytes({0xF2})) << file.name;
        ASSERT_EQ(prompts.shown.size(), 1) << file.name << ": refused before any question";
        EXPECT_TRUE(prompts.shown[0].startsWith("ファイル")) << prompts.shown[0].toStdString();
    }
}

// `lumidot FILE`: the file is read as Open reads it, with no dialog, in
// each of the four formats; a name relative to the current folder is saved
// back to the same place wherever the current folder moves afterwards.
TEST_F(OpenCommandTest, AFileFromTheCommandLineOpensInEveryFormat)
{
    const struct {
        const char* name;
        int typeIndex;
    } formats[] = {{"a.syx", 1}, {"b.mid", 2}, {"c.prt", 3}, {"d.exc", 4}};
    for (const auto& format : formats) {
        const QString file = savedFile(format.name, format.typeIndex, 8);
        form->openFile(file);
        EXPECT_EQ(events(), bytes({0xF5, 0xF3, 0xF8})) << format.name;
        EXPECT_EQ(form->SaveDialog1.fileName, file);
        EXPECT_EQ(form->SaveDialog1.typeIndex, format.typeIndex) << format.name;
        EXPECT_EQ(form->OpenDialog1.fileName, file) << "the next Open starts from it";
    }
    EXPECT_EQ(prompts.fileDialogs, 0);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();

    const QString here = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    form->openFile(QStringLiteral("a.syx"));
    QDir::setCurrent(here);
    EXPECT_EQ(form->SaveDialog1.fileName, path("a.syx"));
}

TEST_F(OpenCommandTest, ABadFileFromTheCommandLineGetsTheOpenCommandsMessage)
{
    const QString broken = path("broken.syx");
    std::ofstream(broken.toStdString(), std::ios::binary) << std::string("\xF0\x43\x10\x4C\xF7", 5);
    for (const QString& file : {broken, path("missing.mid")}) {
        prompts.shown.clear();
        form->openFile(file);
        ASSERT_EQ(prompts.shown.size(), 1) << file.toStdString();
        EXPECT_EQ(prompts.shown[0], QString::fromStdString(loadRecording(file.toStdString()).message));
        EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
        EXPECT_TRUE(form->SaveDialog1.fileName.isEmpty()) << "nothing to save back to";
    }
}

} // namespace
} // namespace lumidot::testing
