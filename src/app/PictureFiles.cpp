// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's picture commands: images imported into the plane (an
// animation as frame steps), and the plane saved, opened and kept between runs.

#include "app/MainForm.h"

#include "dialogs/ImportPreviewDialog.h"
#include "ns5r/Commands.h"
#include "picture/PixelDots.h"
#include "platform/images/ImageFrames.h"
#include "platform/images/PlaneImage.h"
#include "recording/TimingEdits.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QStandardPaths>

#include <memory>
#include <numeric>
#include <vector>

namespace lumidot {

namespace {

const QString kPlaneFilter = QStringLiteral("PNG(*.PNG)|*.png");
const QString kKeptPlaneName = QStringLiteral("last-plane.png");

QString tooManyFrames(int frames, int remaining)
{
    return TMainForm::tr("%1 フレームは記録できません。\n"
                         "記録できるのはあと %2 ステップです (上限 %3)。何も記録していません。")
        .arg(frames)
        .arg(std::max(0, remaining))
        .arg(kStepLimit);
}

bool anyDotSet(const VirtualArea& area)
{
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x) {
        const std::uint8_t* column = area.columnRun(x, VirtualArea::kMinY, VirtualArea::kHeight);
        for (int row = 0; row < VirtualArea::kHeight; ++row)
            if (column[row])
                return true;
    }
    return false;
}

} // namespace

void TMainForm::buildPictureMenu()
{
    FileMenu->addSeparator();
    ImportImage1 = FileMenu->addAction(tr("画像の読み込み(&I)..."));
    ImportImage1->setToolTip(tr("画像を描画面に読み込みます。アニメーションはコマ記録になります"));
    OpenPlane1 = FileMenu->addAction(tr("描画面を開く..."));
    SavePlane1 = FileMenu->addAction(tr("描画面の保存(&P)..."));
    LastPlane1 = FileMenu->addAction(tr("前回の描画面"));
    LastPlane1->setToolTip(tr("前回終了したときの描画面に戻します"));
    FileMenu->addSeparator();
    connect(ImportImage1, &QAction::triggered, this, &TMainForm::ImportImage1Click);
    connect(OpenPlane1, &QAction::triggered, this, &TMainForm::OpenPlane1Click);
    connect(SavePlane1, &QAction::triggered, this, &TMainForm::SavePlane1Click);
    connect(LastPlane1, &QAction::triggered, this, &TMainForm::LastPlane1Click);
    connect(FileMenu, &QMenu::aboutToShow, this,
            [this] { LastPlane1->setEnabled(QFile::exists(keptPlaneFile())); });
}

// The preview and the progress of the conversion are part of the command:
// the dots and any frame steps of the import become one undo entry.
void TMainForm::ImportImage1Click()
{
    const auto action = Workspace.transaction(tr("画像の読み込み").toStdString());
    QStringList files;
    if (!prompts_.openFiles(importOpenFilter(), ImportDialog1, files))
        return;
    if (files.size() == 1 && importClip(files.front()))
        return;
    importImages(ImageFrames::inNameOrder(files));
}

// One picture lands in the plane like a stamp; an animation, or several
// files, become one frame step each. Nothing changes before the preview is
// confirmed, and a failure or Cancel while the frames are converted leaves
// the plane and the recording as they were.
void TMainForm::importImages(const QStringList& files)
{
    const ImageFrames frames(files);
    int count = 0;
    ImageReadError error;
    GreyImage first;
    if (!frames.count(count, error) || !frames.firstFrame(first, error)) {
        prompts_.information(error.message());
        return;
    }
    const bool animation = count > 1;
    const int remaining = kStepLimit - Workspace.document().recording.StepCount();
    if (animation && count > remaining) {
        prompts_.information(tooManyFrames(count, remaining));
        return;
    }
    std::vector<std::int64_t> durations;
    if (animation && !frames.durations(durations, error)) {
        prompts_.information(error.message());
        return;
    }
    TImportPreview preview(first, count, Workspace.document().plane, ScrollX(), ScrollY(),
                           LcdColour(), this);
    preview.setShortFrames(thinForCable(durations).dropped);
    if (runModal(preview) != QDialog::Accepted)
        return;
    if (animation) {
        importAnimation(frames, count, preview, std::move(durations));
        return;
    }
    placeDots(Workspace.document().plane, convertToDots(first, preview.conversion()),
              preview.position().x(), preview.position().y(), preview.placement());
    Disp_FD();
    report(Workspace.windowChanged(AutoRec->isChecked()));
}

// Every frame step lasts its frame's delay at the monitor's tempo. Thinned
// for the cable, only the frames the cable can carry become steps, each
// lasting until the next one kept.
bool TMainForm::importAnimation(const ImageFrames& frames, int count, const TImportPreview& preview,
                                std::vector<std::int64_t> durations)
{
    std::unique_ptr<QProgressDialog> progressDialog;
    std::function<bool(int, int)> progress = importProgress;
    if (!progress) {
        progressDialog = std::make_unique<QProgressDialog>(
            tr("画像をドットに変換しています..."), tr("キャンセル"), 0, count, this);
        progressDialog->setWindowTitle(QStringLiteral("Lumidot"));
        progressDialog->setWindowModality(Qt::WindowModal);
        progressDialog->setMinimumDuration(300);
        progress = [&](int done, int) {
            progressDialog->setValue(done);
            return !progressDialog->wasCanceled();
        };
    }

    // Thinned for the cable, the frames dropped are not placed at all.
    std::vector<bool> keep(static_cast<std::size_t>(count), !preview.thinForCable());
    if (preview.thinForCable()) {
        ThinnedFrames thinned = thinForCable(durations);
        for (const int frame : thinned.kept)
            if (frame >= 0 && frame < count)
                keep[static_cast<std::size_t>(frame)] = true;
        durations = std::move(thinned.micros);
    }

    // First every frame is converted, onto a copy of the plane; only then
    // does anything change. What each frame kept leaves is its packed
    // window, not its dots, so that memory grows by 80 bytes a frame.
    const DotConversion conversion = preview.conversion();
    const QPoint at = preview.position();
    const Placement placement = preview.placement();
    VirtualArea scratch;
    scratch.copyFrom(Workspace.document().plane);
    std::vector<PackedFrame> windows;
    windows.reserve(static_cast<std::size_t>(count));
    std::size_t converted = 0;
    bool cancelled = false;
    ImageReadError error;
    const bool read = frames.convert(
        conversion,
        [&](DotImage&& dots) {
            if (converted < keep.size() && keep[converted]) {
                placeDots(scratch, dots, at.x(), at.y(), placement);
                windows.push_back(packWindow(scratch, ScrollX(), ScrollY()));
            }
            cancelled = !progress(static_cast<int>(++converted), count);
            return !cancelled;
        },
        error);
    progressDialog.reset();
    if (cancelled)
        return false;
    if (!read) {
        prompts_.information(error.message());
        return false;
    }
    const int frameCount = static_cast<int>(windows.size());
    const int remaining = kStepLimit - Workspace.document().recording.StepCount();
    if (frameCount > remaining) {
        prompts_.information(tooManyFrames(frameCount, remaining));
        return false;
    }
    const int firstStep = Workspace.document().recording.StepCount();
    Workspace.document().plane.copyFrom(scratch);
    for (const PackedFrame& window : windows)
        report(Workspace.recordFrame(window));
    Workspace.timeSteps(firstStep, durations);
    Disp_FD();
    return true;
}

void TMainForm::SavePlane1Click()
{
    if (!prompts_.saveFile(kPlaneFilter, PlaneDialog1))
        return;
    const PlaneFileResult saved = savePlane(PlaneDialog1.fileName, Workspace.document().plane);
    if (!saved.ok)
        prompts_.information(saved.message);
}

void TMainForm::OpenPlane1Click()
{
    const QString filter = kPlaneFilter + QLatin1Char('|') + imageOpenFilter();
    if (!prompts_.openFile(filter, PlaneDialog1))
        return;
    openPlaneFile(PlaneDialog1.fileName);
}

void TMainForm::LastPlane1Click()
{
    const QString kept = keptPlaneFile();
    if (!QFile::exists(kept)) {
        prompts_.information(tr("前回の描画面はありません"));
        return;
    }
    openPlaneFile(kept);
}

// The window shows the plane read back and is sent, as after any change of
// its dots, and recorded while continuous recording is on.
void TMainForm::openPlaneFile(const QString& fileName)
{
    const auto action = Workspace.transaction(tr("描画面を開く").toStdString());
    const PlaneFileResult opened =
        openPlane(fileName, Workspace.document().plane, ScrollX(), ScrollY());
    if (!opened.ok) {
        prompts_.information(opened.message);
        return;
    }
    if (!opened.message.isEmpty())
        prompts_.information(opened.message);
    Disp_FD();
    report(Workspace.windowChanged(AutoRec->isChecked()));
}

QString TMainForm::keptPlaneFile() const
{
    const QString folder = dataFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                               : dataFolder;
    return QDir(folder).filePath(kKeptPlaneName);
}

// An empty plane is not kept, so that a run in which nothing was drawn does
// not wipe out the drawing kept from the run before.
void TMainForm::keepPlane()
{
    const VirtualArea& plane = Workspace.document().plane;
    if (!anyDotSet(plane))
        return;
    const QString file = keptPlaneFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    const PlaneFileResult saved = savePlane(file, plane);
    if (!saved.ok)
        prompts_.information(saved.message);
}

} // namespace lumidot
