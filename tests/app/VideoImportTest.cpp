// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/VideoImportDialog.h"
#include "export/OpenCommand.h"
#include "support/ClipPictures.h"
#include "support/RunCommand.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>

namespace lumidot::testing {
namespace {

// The number the preview's window shows: each block of the clip's picture
// read at its middle dot, a set dot painted black.
int numberInPreview(const QImage& preview)
{
    int number = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int x = (4 * bit + 2) * 8 + 4;
        number |= (preview.pixel(x, 4 * 8 + 4) == qRgb(0, 0, 0)) << bit;
    }
    return number;
}

Bytes fileBytes(const QString& name)
{
    std::ifstream in(name.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class VideoImportTest : public MainFormTest {
protected:
    QTemporaryDir folder;
    std::function<void(TVideoImport&)> choose;   // what the user sets before OK
    int previews = 0;

    void startImporting()
    {
        startQuietly();
        form->runModal = [this](QDialog& dialog) {
            auto* preview = dynamic_cast<TVideoImport*>(&dialog);
            if (!preview)
                return int(QDialog::Rejected);
            ++previews;
            if (choose)
                choose(*preview);
            return int(QDialog::Accepted);
        };
    }

    QString clip(const QString& name, const ClipKind& kind, const std::vector<ClipFrame>& frames)
    {
        const QString file = folder.filePath(name);
        EXPECT_EQ(ClipWriter::write(file.toStdString(), kind, frames), "") << name.toStdString();
        return file;
    }

    void import(const QString& file)
    {
        prompts.fileAnswer = Prompts::FileChoice{file, 1};
        prompts.filesAnswer = {file};
        form->ImportImage1->trigger();
    }

    std::vector<int> numbersRecorded() const
    {
        const Recording& recording = form->Workspace.document().recording;
        std::vector<int> numbers;
        for (int k = 0; k < recording.FrameCount(); ++k)
            numbers.push_back(numberShown(recording.frameRecord(k)));
        return numbers;
    }
};

// The preview follows the slider through the clip, tells what the choices
// come to, and the import that follows is one undo entry.
TEST_F(VideoImportTest, TheSliderPreviewsAnyFrameAndTheImportIsOneUndoEntry)
{
    startImporting();
    const QString file = clip("count.mkv", atRate(kMjpegMkv, 10), countingFrames(20));
    QStringList facts;
    choose = [&](TVideoImport& preview) {
        EXPECT_EQ(preview.Fps->value(), 10);   // the clip's own rate
        for (const int ms : {1500, 300, 1999}) {
            preview.Time->setValue(ms);
            EXPECT_EQ(numberInPreview(preview.preview()), ms / 100) << ms;
        }
        preview.Start->setValue(0.5);
        EXPECT_EQ(numberInPreview(preview.preview()), 5);
        preview.End->setValue(1.5);
        facts << preview.VideoFacts->text();
        preview.Fps->setValue(35);
        facts << preview.VideoFacts->text();
        preview.Fps->setValue(10);
    };
    import(file);
    EXPECT_EQ(previews, 1);
    ASSERT_EQ(facts.size(), 2);
    EXPECT_TRUE(facts[0].contains(QStringLiteral("フレーム数: 10"))) << facts[0].toStdString();
    EXPECT_TRUE(facts[0].contains(QStringLiteral("記録後の残り: 9,989 ステップ (上限 9,999)"))) << facts[0].toStdString();
    EXPECT_TRUE(facts[0].contains(QStringLiteral("ケーブル: 890 / 3,125 バイト/秒"))) << facts[0].toStdString();
    EXPECT_FALSE(facts[0].contains(QStringLiteral("color")));
    // 35 frames a second are more than the cable carries: the figure is marked.
    EXPECT_TRUE(facts[1].contains(QStringLiteral("3,115 / 3,125"))) << facts[1].toStdString();
    EXPECT_TRUE(facts[1].contains(QStringLiteral("color"))) << facts[1].toStdString();

    EXPECT_EQ(numbersRecorded(), (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    // The window shows the last frame and was sent as it stands.
    EXPECT_EQ(numberShown(packWindow(form->Workspace.document().plane, form->ScrollX(), form->ScrollY())), 14);
    EXPECT_EQ(midi.sent.back().size(), 89u);

    form->Workspace.undo();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    EXPECT_EQ(numberShown(packWindow(form->Workspace.document().plane, form->ScrollX(), form->ScrollY())), 0);
    form->Workspace.redo();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 10);
}

// The same clip and choices make the same file in the window as on the
// command line.
TEST_F(VideoImportTest, TheWindowAndTheConverterWriteTheSameBytes)
{
    startImporting();
    const QString file = clip("same.mp4", atRate(kH264Mp4, 25), grainyFrames(50));
    choose = [](TVideoImport& preview) {
        preview.Fps->setValue(12);
        preview.Start->setValue(0.3);
        preview.End->setValue(1.7);
        preview.AutoThreshold->setChecked(false);
        preview.Threshold->setValue(90);
        preview.Invert->setChecked(true);
    };
    import(file);
    ASSERT_GT(form->Workspace.document().recording.StepCount(), 5);
    for (const char* suffix : {".mid", ".syx"}) {
        const QString window = folder.filePath(QStringLiteral("window") + suffix);
        const QString converter = folder.filePath(QStringLiteral("converter") + suffix);
        const SaveResult saved = form->Workspace.saveRecording(suffix == std::string(".mid") ? 2 : 1,
                                                               window.toStdString());
        ASSERT_TRUE(saved.ok) << saved.message;
        const CommandRun run = runCommand(std::string(LUMIDOT_CONVERT) + " " + file.toStdString() + " " +
                                          converter.toStdString() +
                                          " --fps 12 --start 0.3 --end 1.7 --threshold 90 --invert");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(fileBytes(window), fileBytes(converter)) << suffix;
    }
}

// A Cancel while the frames are decoded leaves everything as it was.
TEST_F(VideoImportTest, ACancelledImportChangesNothing)
{
    startImporting();
    const QString file = clip("cancel.mkv", atRate(kMjpegMkv, 10), countingFrames(30));
    int calls = 0;
    form->importProgress = [&](int done, int total) {
        ++calls;
        EXPECT_EQ(total, 30);
        return done < 4;
    };
    const auto entries = form->Workspace.history().count();
    midi.sent.clear();
    import(file);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    EXPECT_EQ(form->Workspace.history().count(), entries);
    EXPECT_TRUE(midi.sent.empty());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
}

// A range that gives more steps than the recording has left cannot be
// confirmed; were it confirmed all the same, it is refused with a rate and
// an end that fit, and nothing is recorded.
TEST_F(VideoImportTest, MoreStepsThanAreLeftAreRefusedBeforeDecoding)
{
    startImporting();
    {
        const auto action = form->Workspace.transaction("fill");
        Recording& recording = form->Workspace.document().recording;
        for (int k = 0; k < kStepLimit - 5; ++k)
            recording.appendFrame(PackedFrame{});
    }
    const QString file = clip("long.mkv", atRate(kMjpegMkv, 10), countingFrames(20));
    bool okEnabled = true;
    choose = [&](TVideoImport& preview) {
        okEnabled = preview.Buttons->button(QDialogButtonBox::Ok)->isEnabled();
        EXPECT_TRUE(preview.VideoFacts->text().contains(QStringLiteral("記録後の残り: -15 ステップ")))
            << preview.VideoFacts->text().toStdString();
    };
    import(file);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit - 5);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains(QStringLiteral("20 フレームは記録できません"))) << prompts.shown[0].toStdString();
    EXPECT_TRUE(prompts.shown[0].contains(QStringLiteral("フレームレートを 2 にすると収まります"))) << prompts.shown[0].toStdString();
    EXPECT_TRUE(prompts.shown[0].contains(QStringLiteral("終了を 0:00.500 にすると収まります"))) << prompts.shown[0].toStdString();
}

// What is no clip goes to the picture import, which explains it; a file of
// sound alone is a clip without pictures.
TEST_F(VideoImportTest, FilesThatAreNoClipAreExplained)
{
    startImporting();
    const QString notes = folder.filePath("notes.txt");
    {
        std::ofstream out(notes.toStdString());
        out << "notes\n";
    }
    import(notes);
    EXPECT_EQ(previews, 0);
    ASSERT_EQ(prompts.shown.size(), 1);
    prompts.shown.clear();

    const QString wav = folder.filePath("a.wav");
    const CommandRun sound = runCommand("ffmpeg -nostdin -v error -f lavfi -i anullsrc=d=1 -y " + wav.toStdString());
    ASSERT_EQ(sound.exitCode, 0) << "the tests need the ffmpeg program (Debian ffmpeg): " << sound.output;
    import(wav);
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("このファイルには映像がありません。")});
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
}

} // namespace
} // namespace lumidot::testing
