// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormHarness.h"

#include "dialogs/ImportPreviewDialog.h"
#include "ns5r/Commands.h"
#include "export/OpenCommand.h"
#include "support/GifWriter.h"
#include "support/RunCommand.h"

#include <QComboBox>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <bit>

namespace lumidot::testing {
namespace {

class PictureImportTest : public MainFormTest {
protected:
    QTemporaryDir folder;
    std::function<void(TImportPreview&)> choose;   // what the user sets before OK
    int previews = 0;

    void startImporting()
    {
        startQuietly();
        form->dataFolder = folder.filePath("data");
        form->runModal = [this](QDialog& dialog) {
            auto* preview = dynamic_cast<TImportPreview*>(&dialog);
            if (!preview)
                return int(QDialog::Rejected);
            ++previews;
            if (choose)
                choose(*preview);
            return int(QDialog::Accepted);
        };
    }

    // A 64 x 32 picture, white with a black 8 x 4 block at (16, 8): fitted
    // to the window it is a 4 x 2 block of dots at (8, 4).
    QString blockPng()
    {
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 8; y < 12; ++y)
            for (int x = 16; x < 24; ++x)
                image.setPixel(x, y, qRgb(0, 0, 0));
        const QString path = folder.filePath("block.png");
        EXPECT_TRUE(image.save(path));
        return path;
    }

    // A 32 x 16 animation of `frames` frames: frame k is a dot at (k, k).
    QString movingDotGif(int frames)
    {
        GifWriter gif(32, 16, {0xFFFFFF, 0x000000});
        for (int k = 0; k < frames; ++k) {
            GifWriter::Frame frame{0, 0, 32, 16, 1, -1, 5, std::vector<std::uint8_t>(512, 0)};
            frame.pixels[static_cast<std::size_t>(k % 16) * 32 + k % 32] = 1;
            gif.add(frame);
        }
        const QString path = folder.filePath(QStringLiteral("moving%1.gif").arg(frames));
        EXPECT_TRUE(gif.save(path.toStdString()));
        return path;
    }

    void chooseFiles(const QStringList& files)
    {
        prompts.fileAnswer = Prompts::FileChoice{files.front(), 1};
        prompts.filesAnswer = files;
    }

    int setDots(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                n += form->Workspace.document().plane.dot(x, y);
        return n;
    }

    Bytes frameDrawOfWindow() const
    {
        const auto body = frameDrawBody(packWindow(form->Workspace.document().plane, form->ScrollX(), form->ScrollY()));
        Bytes out = bytes({0xF0, 0x42, 0x30, 0x42});
        out.insert(out.end(), body.begin(), body.end());
        out.push_back(0xF7);
        return out;
    }
};

TEST_F(PictureImportTest, APictureLandsAtTheWindowIsSentAndRecordedOnlyWithAutoRec)
{
    startImporting();
    form->XSc->setValue(-20);
    form->YSc->setValue(10);
    midi.sent.clear();
    chooseFiles({blockPng()});
    form->ImportImage1->trigger();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(setDots(-200, -100, 200, 100), 8);
    EXPECT_EQ(setDots(-20 + 8, 10 + 4, -20 + 11, 10 + 5), 8);
    ASSERT_EQ(midi.sent.size(), 1u);
    EXPECT_EQ(midi.sent[0], frameDrawOfWindow());
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);

    form->AutoRec->setChecked(true);
    choose = [](TImportPreview& preview) {
        preview.ScaleSel->setCurrentIndex(static_cast<int>(ScaleMode::None));
        preview.PosX->setValue(preview.PosX->value() - 16);
    };
    form->ImportImage1->trigger();
    EXPECT_EQ(events(), (std::vector<std::uint8_t>{stepKindByte(StepKind::Frame)}));
    // Unscaled, the block's top-left pixel (16, 8) lands 16 dots right of the position.
    EXPECT_EQ(setDots(-20, 18, -13, 21), 32);
    EXPECT_EQ(form->Workspace.document().recording.frameRecord(0), packWindow(form->Workspace.document().plane, -20, 10));
}

TEST_F(PictureImportTest, ReplaceClearsTheDotsUnderThePictureAndAddKeepsThem)
{
    startImporting();
    form->Workspace.document().plane.setDot(0, 0, 1);
    chooseFiles({blockPng()});
    choose = [](TImportPreview& preview) { preview.Add->setChecked(true); };
    form->ImportImage1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 1);
    choose = nullptr;
    form->ImportImage1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(0, 0), 0);
    EXPECT_EQ(setDots(0, 0, 31, 15), 8);
}

TEST_F(PictureImportTest, AnAnimationBecomesOneFrameStepPerFrame)
{
    startImporting();
    chooseFiles({movingDotGif(5)});
    choose = [](TImportPreview& preview) { preview.ScaleSel->setCurrentIndex(0); };
    form->ImportImage1->trigger();
    ASSERT_EQ(form->Workspace.document().recording.FrameCount(), 5);
    EXPECT_EQ(midi.sent.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        VirtualArea expected;
        expected.setDot(k, k, 1);
        EXPECT_EQ(form->Workspace.document().recording.frameRecord(k), packWindow(expected, 0, 0)) << "frame " << k;
    }
    EXPECT_EQ(setDots(0, 0, 31, 15), 1) << "the last frame stays in the plane";
}

TEST_F(PictureImportTest, EachImportIsOneUndoEntry)
{
    startImporting();
    chooseFiles({blockPng()});
    form->ImportImage1->trigger();
    QCoreApplication::processEvents();
    chooseFiles({movingDotGif(5)});
    choose = [](TImportPreview& preview) { preview.ScaleSel->setCurrentIndex(0); };
    form->ImportImage1->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Undo1->text(), "元に戻す(&U) 画像の読み込み");
    form->Undo1->trigger();   // the animation: its five frame steps and its dots
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 0);
    EXPECT_EQ(setDots(8, 4, 11, 5), 8);
    form->Undo1->trigger();   // the picture
    EXPECT_EQ(setDots(-200, -100, 200, 100), 0);
}

TEST_F(PictureImportTest, SeveralFilesAreFramesInNameOrder)
{
    startImporting();
    QStringList files;
    for (const int n : {10, 9}) {
        QImage image(32, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(n, 0, qRgb(0, 0, 0));
        files << folder.filePath(QStringLiteral("f%1.png").arg(n));
        ASSERT_TRUE(image.save(files.back()));
    }
    chooseFiles(files);
    form->ImportImage1->trigger();
    ASSERT_EQ(form->Workspace.document().recording.FrameCount(), 2);
    VirtualArea first;
    first.setDot(9, 0, 1);
    EXPECT_EQ(form->Workspace.document().recording.frameRecord(0), packWindow(first, 0, 0));
}

TEST_F(PictureImportTest, TooManyFramesForTheRecordingAreRefusedBeforeAnything)
{
    startImporting();
    for (int k = 0; k < kStepLimit - 3; ++k)
        form->Workspace.document().recording.appendColour(LcdColour::Green);
    chooseFiles({movingDotGif(4)});
    form->ImportImage1->trigger();
    EXPECT_EQ(previews, 0);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("4 フレーム"));
    EXPECT_TRUE(prompts.shown[0].contains("あと 3 ステップ"));
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit - 3);
    EXPECT_TRUE(midi.sent.empty());

    // Three fit exactly.
    prompts.shown.clear();
    chooseFiles({movingDotGif(3)});
    form->ImportImage1->trigger();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), kStepLimit);
}

TEST_F(PictureImportTest, CancelLeavesThePlaneAndTheRecordingAsTheyWere)
{
    startImporting();
    form->AutoRec->setChecked(true);
    form->SpeedButton1->click();
    form->Workspace.document().plane.setDot(3, 3, 1);
    midi.sent.clear();
    int asked = 0;
    form->importProgress = [&](int done, int total) {
        ++asked;
        EXPECT_EQ(total, 6);
        return done < 3;
    };
    chooseFiles({movingDotGif(6)});
    form->ImportImage1->trigger();
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(events(), (std::vector<std::uint8_t>{stepKindByte(StepKind::Frame)}));
    EXPECT_EQ(setDots(0, 0, 31, 15), 1);
    EXPECT_EQ(form->Workspace.document().plane.dot(3, 3), 1);
    EXPECT_TRUE(midi.sent.empty());

    // Cancelling the preview changes nothing either.
    form->runModal = [](QDialog&) { return int(QDialog::Rejected); };
    form->ImportImage1->trigger();
    EXPECT_EQ(form->Workspace.document().recording.StepCount(), 1);
    EXPECT_TRUE(midi.sent.empty());
}

TEST_F(PictureImportTest, AnUnreadableFileIsNamedAndChangesNothing)
{
    startImporting();
    const QString path = folder.filePath("broken.gif");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIF89a\x20\x00");
    file.close();
    chooseFiles({path});
    form->ImportImage1->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].contains("broken.gif"));
    EXPECT_EQ(previews, 0);
}

TEST_F(PictureImportTest, ThePreviewFollowsTheChoicesWithoutTouchingThePlane)
{
    startImporting();
    GreyImage grey(32, 16, 128);
    TImportPreview preview(grey, 1, form->Workspace.document().plane, 0, 0, form->LcdColour());
    const auto blackCells = [&] {
        int n = 0;
        // The centre pixel of each 8-pixel cell.
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 32; ++i)
                n += preview.preview().pixel(i * 8 + 4, j * 8 + 4) == qRgb(0, 0, 0);
        return n;
    };
    EXPECT_EQ(blackCells(), 0) << "Otsu's level on a flat grey leaves it light";
    preview.DitherBayer->setChecked(true);
    EXPECT_EQ(blackCells(), 256);
    preview.Invert->setChecked(true);
    EXPECT_EQ(blackCells(), 256);
    preview.ThresholdMode->setChecked(true);
    preview.AutoThreshold->setChecked(false);
    preview.Invert->setChecked(false);
    preview.Threshold->setValue(200);
    EXPECT_EQ(blackCells(), 512);
    preview.PosX->setValue(16);
    EXPECT_EQ(blackCells(), 256) << "moved half out of the window";
    EXPECT_EQ(setDots(-100, -100, 100, 100), 0);
}

TEST_F(PictureImportTest, ThePlaneIsSavedOpenedAndKeptForTheNextRun)
{
    startImporting();
    form->Workspace.document().plane.setDot(-100, 40, 1);
    form->Workspace.document().plane.setDot(VirtualArea::kMaxX, VirtualArea::kMinY, 1);
    const QString path = folder.filePath("drawing.png");
    prompts.fileAnswer = Prompts::FileChoice{path, 1};
    form->SavePlane1->trigger();
    ASSERT_TRUE(QFile::exists(path));

    form->Workspace.document().plane.clearAll();
    form->XSc->setValue(7);
    midi.sent.clear();
    form->OpenPlane1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(-100, 40), 1) << "at the coordinates it was saved from";
    EXPECT_EQ(form->Workspace.document().plane.dot(VirtualArea::kMaxX, VirtualArea::kMinY), 1);
    EXPECT_EQ(midi.sent.size(), 1u);

    form->close();
    ASSERT_TRUE(QFile::exists(form->keptPlaneFile()));

    // The next run starts clear; "前回の描画面" brings the drawing back.
    startImporting();
    EXPECT_EQ(setDots(-200, -100, 200, 100), 0);
    form->LastPlane1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(-100, 40), 1);
}

TEST_F(PictureImportTest, AnEmptyPlaneDoesNotReplaceTheKeptOne)
{
    startImporting();
    form->LastPlane1->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0], QStringLiteral("前回の描画面はありません"));
    form->Workspace.document().plane.setDot(1, 1, 1);
    form->close();
    const QString kept = form->keptPlaneFile();
    startImporting();
    form->close();
    startImporting();
    form->LastPlane1->trigger();
    EXPECT_EQ(form->Workspace.document().plane.dot(1, 1), 1);
    EXPECT_TRUE(QFile::exists(kept));
}

// Grey ramps that move: frame k is a diagonal gradient shifted by 7k pixels,
// with a transparent corner, on a 96 x 40 canvas.
QString rampGif(QTemporaryDir& folder)
{
    std::vector<std::uint32_t> greys;
    for (std::uint32_t g = 0; g < 255; ++g)
        greys.push_back(g * 0x010101);
    GifWriter gif(96, 40, greys);
    for (int k = 0; k < 3; ++k) {
        GifWriter::Frame frame{0, 0, 96, 40, 1, 254, 5, {}};
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 96; ++x)
                frame.pixels.push_back(x < 6 && y < 6 ? 254 : static_cast<std::uint8_t>((x * 2 + y * 3 + 7 * k) % 254));
        gif.add(frame);
    }
    const QString path = folder.filePath("ramp.gif");
    EXPECT_TRUE(gif.save(path.toStdString()));
    return path;
}

TEST_F(PictureImportTest, TheCommandLineMakesTheWindowsFramesDotForDot)
{
    struct Case {
        const char* options;
        std::function<void(TImportPreview&)> choose;
    };
    const Case cases[] = {
        {"", nullptr},
        {"--dither fs --fit height", [](TImportPreview& p) { p.DitherFS->setChecked(true); p.ScaleSel->setCurrentIndex(2); }},
        {"--dither bayer --invert", [](TImportPreview& p) { p.DitherBayer->setChecked(true); p.Invert->setChecked(true); }},
        {"--threshold 90 --fit none", [](TImportPreview& p) {
             p.AutoThreshold->setChecked(false); p.Threshold->setValue(90); p.ScaleSel->setCurrentIndex(0); }},
    };
    const QString gif = rampGif(folder);
    for (const Case& c : cases) {
        startImporting();
        chooseFiles({gif});
        choose = c.choose;
        form->ImportImage1->trigger();
        ASSERT_EQ(form->Workspace.document().recording.FrameCount(), 3) << c.options;

        const std::string out = folder.filePath("cli.syx").toStdString();
        const CommandRun run = runCommand(std::string(LUMIDOT_CONVERT) + " '" + gif.toStdString() +
                                          "' '" + out + "' " + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const LoadResult cli = loadRecording(out);
        ASSERT_TRUE(cli.ok);
        ASSERT_EQ(cli.recording.FrameCount(), 3);
        int setBits = 0;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(cli.recording.frameRecord(k), form->Workspace.document().recording.frameRecord(k))
                << c.options << " frame " << k;
            for (const std::uint8_t b : cli.recording.frameRecord(k))
                setBits += std::popcount(b);
        }
        EXPECT_GT(setBits, 0) << c.options;
        EXPECT_LT(setBits, 3 * 512) << c.options;
    }
}

} // namespace
} // namespace lumidot::testing
