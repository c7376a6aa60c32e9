// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's import of a clip: the preview with its range and rate,
// the decoding off the window's thread, and the frame steps it records.

#include "app/MainForm.h"

#include "app/VideoImportRun.h"
#include "dialogs/VideoImportDialog.h"
#include "platform/images/ImageFrames.h"
#include "platform/video/VideoFile.h"
#include "recording/StepTiming.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

namespace lumidot {

namespace {

QString videoTr(const char* text)
{
    return QCoreApplication::translate("VideoImport", text);
}

QString timeText(std::int64_t us)
{
    return QString::fromStdString(formatPlaybackTime(std::max<std::int64_t>(0, us)));
}

QString withReason(const QString& text, const VideoProblem& problem)
{
    return problem.reason.empty() ? text : text + QStringLiteral("\n(%1)").arg(QString::fromStdString(problem.reason));
}

QString tooManySteps(const VideoProblem& problem, int remaining)
{
    QString text = videoTr("%1 フレームは記録できません。記録できるのはあと %2 ステップです (上限 %3)。")
                       .arg(problem.count)
                       .arg(remaining)
                       .arg(kStepLimit);
    if (problem.fittingFps > 0)
        text += QLatin1Char('\n') + videoTr("フレームレートを %1 にすると収まります。").arg(problem.fittingFps);
    if (problem.fittingEndUs > problem.atUs)
        text += QLatin1Char('\n') + videoTr("終了を %1 にすると収まります。").arg(timeText(problem.fittingEndUs));
    return text + QLatin1Char('\n') + videoTr("何も記録していません。");
}

// The window's words for what went wrong with a clip; empty for a Cancel.
QString problemText(const VideoProblem& problem, int remaining)
{
    switch (problem.fault) {
    case VideoFault::None:
    case VideoFault::Cancelled: return {};
    case VideoFault::CannotOpen: return withReason(videoTr("ファイルを開けません。"), problem);
    case VideoFault::NotAVideo: return withReason(videoTr("画像としても動画としても読めないファイルです。"), problem);
    case VideoFault::NoVideoStream: return videoTr("このファイルには映像がありません。");
    case VideoFault::NoDecoder: return withReason(videoTr("この映像の形式は読めません。"), problem);
    case VideoFault::NoDecoders: return withReason(videoTr("動画を読む部品を読み込めません。"), problem);
    case VideoFault::FrameTooLarge:
        return videoTr("フレームが %1 x %2 ピクセルあります。読めるのは一辺 %3 ピクセル、合わせて %4 万画素までです。")
            .arg(problem.width)
            .arg(problem.height)
            .arg(kLargestVideoSide)
            .arg(kLargestPicturePixels / 10000);
    case VideoFault::TooMuchData: {
        QString text = videoTr("%1 からの範囲は、展開すると 2 GiB を超えます。").arg(timeText(problem.atUs));
        if (problem.fittingEndUs > 0)
            text += QLatin1Char('\n') + videoTr("終了を %1 にすると読み込めます。").arg(timeText(problem.fittingEndUs));
        return text;
    }
    case VideoFault::TooManySteps: return tooManySteps(problem, remaining);
    case VideoFault::EmptyRange: return videoTr("開始と終了の間にフレームがありません。");
    case VideoFault::Damaged:
        return withReason(videoTr("動画が %1 で壊れています。その前までのフレームを読み込みました。").arg(timeText(problem.atUs)),
                          problem);
    case VideoFault::Truncated:
        return videoTr("動画のファイルが %1 で途切れています。その前までのフレームを読み込みました。")
            .arg(timeText(problem.atUs));
    }
    return {};
}

} // namespace

// The open dialog's filter: pictures and clips together, each on its own,
// and every file.
QString TMainForm::importOpenFilter()
{
    const QStringList pictures = imageOpenFilter().split(QLatin1Char('|'));
    const QString clips = QStringLiteral("*.mp4;*.m4v;*.mov;*.webm;*.mkv;*.avi;*.webp;*.mpg;*.mpeg;*.ts;*.flv;*.wmv;*.ogv");
    const QString images = pictures.value(1);
    return tr("画像・動画ファイル") + QLatin1Char('|') + images + QLatin1Char(';') + clips + QLatin1Char('|') +
           pictures.value(0) + QLatin1Char('|') + images + QLatin1Char('|') + tr("動画ファイル") +
           QLatin1Char('|') + clips + QLatin1Char('|') + pictures.mid(2).join(QLatin1Char('|'));
}

// A file is imported as a clip when it is a WebP (whose frames keep their
// times only as a clip) or a file that no picture reader takes but FFmpeg
// does. False leaves it to the picture import, which also explains a file
// that neither reads, and a file that no reader opens (a pipe, a folder, a
// missing file) in the words every reader uses. A file too large for a
// picture may still be a clip.
bool TMainForm::importClip(const QString& fileName)
{
    const std::string name = QFile::encodeName(fileName).toStdString();
    if (!isWebpFile(name)) {
        int count = 0;
        ImageReadError error;
        if (ImageFrames({fileName}).count(count, error))
            return false;
        if (error.kind == ImageReadError::Kind::File && error.fileFault != ReadFault::TooLarge)
            return false;
    }
    VideoProblem problem;
    std::unique_ptr<VideoFile> file = VideoFile::open(name, problem);
    if (!file) {
        if (problem.fault == VideoFault::NotAVideo)
            return false;
        prompts_.information(problemText(problem, 0));
        return true;
    }
    importClip(std::move(file));
    return true;
}

void TMainForm::importClip(std::unique_ptr<VideoFile> file)
{
    const int used = Workspace.document().recording.StepCount();
    const int remaining = std::max(0, kStepLimit - used);
    TVideoImport preview(*file, used, monitorTempo(), Workspace.document().plane, ScrollX(), ScrollY(),
                         LcdColour(), this);
    if (runModal(preview) != QDialog::Accepted)
        return;
    VideoImportRun::Progress progress;
    if (importProgress)
        progress = [this](std::int64_t done, std::int64_t total) {
            return importProgress(static_cast<int>(done), static_cast<int>(total));
        };
    VideoImportRun run(std::move(file), preview.choices(), Workspace.document().plane);
    const VideoImport imported = run.run(this, progress);
    if (!imported.imported()) {
        if (const QString text = problemText(imported.problem, remaining); !text.isEmpty())
            prompts_.information(text);
        return;
    }
    const RecordResult recorded = Workspace.recordClip(imported.frames, imported.endTick, imported.plane);
    Disp_FD();
    if (recorded == RecordResult::Full) {
        VideoProblem full(VideoFault::TooManySteps);
        full.count = static_cast<std::int64_t>(imported.frames.size());
        prompts_.information(tooManySteps(full, remaining));
        return;
    }
    if (imported.problem.keepsFrames())
        prompts_.information(problemText(imported.problem, remaining));
}

} // namespace lumidot
