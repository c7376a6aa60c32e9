// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/VideoImportDialog.h"

#include "platform/video/VideoFile.h"
#include "recording/PlaybackSchedule.h"
#include "recording/StepTiming.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace lumidot {

namespace {

constexpr std::int64_t kMicrosecondsPerSecond = 1000000;
// The range a clip of unknown length offers: a day.
constexpr double kLongestRangeSeconds = 24 * 60 * 60;

PictureSize displaySize(const VideoInfo& info)
{
    return {info.displayWidth, info.displayHeight};
}

QString grouped(std::int64_t number)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(static_cast<qlonglong>(number));
}

std::int64_t toMicroseconds(double seconds)
{
    return std::llround(seconds * kMicrosecondsPerSecond);
}

} // namespace

TVideoImport::TVideoImport(VideoFile& file, int usedSteps, int tempo, const VirtualArea& area,
                           int windowX, int windowY, const QColor& lcdColour, QWidget* parent)
    : TImportPreview(displaySize(file.info()), area, windowX, windowY, lcdColour, parent)
    , file_(file)
    , usedSteps_(usedSteps)
    , tempo_(validTempo(tempo))
    , windowX_(windowX)
    , windowY_(windowY)
{
    setWindowTitle(tr("動画の読み込み"));
    buildVideoControls();
    connectVideoControls();
    updatePreview();
    updateFacts();
}

void TVideoImport::buildVideoControls()
{
    const VideoInfo& info = file_.info();
    const bool known = info.durationUs > 0;
    const double lengthSeconds = known ? static_cast<double>(info.durationUs) / kMicrosecondsPerSecond
                                       : kLongestRangeSeconds;
    auto* video = new QGroupBox(tr("動画"), this);
    auto* form = new QFormLayout(video);

    auto* timeRow = new QHBoxLayout;
    Time = new QSlider(Qt::Horizontal, video);
    Time->setRange(0, known ? static_cast<int>(info.durationUs / 1000) : 0);
    Time->setEnabled(known);
    // Arrow keys step a tenth of a second, a click beside the handle a second.
    Time->setSingleStep(100);
    Time->setPageStep(1000);
    Time->setToolTip(tr("プレビューに表示するフレームの時刻"));
    TimeValue = new QLabel(video);
    TimeValue->setMinimumWidth(64);
    timeRow->addWidget(Time, 1);
    timeRow->addWidget(TimeValue);
    form->addRow(tr("時刻"), timeRow);

    Fps = new QSpinBox(video);
    Fps->setRange(kMinVideoFps, kMaxVideoFps);
    Fps->setValue(defaultVideoFps(info.frameRate, tempo_));
    Fps->setSuffix(tr(" フレーム/秒"));
    Fps->setToolTip(tr("1 秒に取り出すフレームの数"));
    form->addRow(tr("フレームレート"), Fps);

    auto* rangeRow = new QHBoxLayout;
    Start = new QDoubleSpinBox(video);
    End = new QDoubleSpinBox(video);
    for (QDoubleSpinBox* box : {Start, End}) {
        box->setDecimals(3);
        box->setRange(0, lengthSeconds);
        box->setSingleStep(0.1);
        box->setSuffix(tr(" 秒"));
    }
    End->setSpecialValueText(tr("最後まで"));
    rangeRow->addWidget(Start);
    rangeRow->addWidget(new QLabel(tr("から"), video));
    rangeRow->addWidget(End);
    rangeRow->addWidget(new QLabel(tr("まで"), video));
    form->addRow(tr("範囲"), rangeRow);

    VideoFacts = new QLabel(video);
    form->addRow(VideoFacts);
    addSection(video);
}

void TVideoImport::connectVideoControls()
{
    connect(Time, &QSlider::valueChanged, this, &TVideoImport::updatePreview);
    connect(Fps, &QSpinBox::valueChanged, this, &TVideoImport::updateFacts);
    // A new start shows the range's first frame.
    connect(Start, &QDoubleSpinBox::valueChanged, this, [this](double seconds) {
        Time->setValue(static_cast<int>(std::lround(seconds * 1000)));
        updateFacts();
    });
    connect(End, &QDoubleSpinBox::valueChanged, this, &TVideoImport::updateFacts);
}

VideoImportChoices TVideoImport::choices() const
{
    VideoImportChoices chosen;
    chosen.conversion = conversion();
    chosen.fps = Fps->value();
    chosen.tempo = tempo_;
    chosen.startUs = toMicroseconds(Start->value());
    chosen.endUs = End->value() > 0 ? toMicroseconds(End->value()) : SampleGrid::kOpenEnd;
    chosen.pictureX = position().x();
    chosen.pictureY = position().y();
    chosen.placement = placement();
    chosen.windowX = windowX_;
    chosen.windowY = windowY_;
    chosen.remainingSteps = std::max(0, kStepLimit - usedSteps_);
    return chosen;
}

std::int64_t TVideoImport::frameCount() const
{
    return videoCountedGrid(file_.info(), choices()).count();
}

GreyImage TVideoImport::frameAt(const DotConversion& chosen)
{
    const FrameCut cut = videoFrameSize(file_.info(), chosen);
    const std::int64_t timeUs = static_cast<std::int64_t>(Time->value()) * 1000;
    TimeValue->setText(QString::fromStdString(formatPlaybackTime(timeUs)));
    GreyImage frame;
    VideoProblem problem;
    if (!file_.frameAt(timeUs, cut, frame, problem))
        return GreyImage(cut.kept.width, cut.kept.height, 255);
    return frame;
}

QString TVideoImport::describe(const DotImage& dots) const
{
    return tr("%1 x %2 ピクセル → %3 x %4 ドット")
        .arg(source().width)
        .arg(source().height)
        .arg(dots.width)
        .arg(dots.height);
}

// What the choices come to. An import that cannot fit, or a range with no
// frame in it, cannot be confirmed. The cable's figure is marked from the
// rate on at which frames placed on whole ticks at the tempo would follow
// closer than a Frame Draw takes on the wire.
void TVideoImport::updateFacts()
{
    const VideoImportChoices chosen = choices();
    const std::int64_t frames = frameCount();
    const bool emptyRange = chosen.endUs != SampleGrid::kOpenEnd && chosen.endUs <= chosen.startUs;
    const std::int64_t left = chosen.remainingSteps - std::max<std::int64_t>(0, frames);
    const int bytes = cableBytesPerSecond(chosen.fps);
    const QString framesText = frames < 0 ? tr("不明") : grouped(frames);
    const QString leftText = frames < 0 ? tr("不明") : grouped(left);
    const auto warn = [](const QString& text, bool over) {
        return over ? QStringLiteral("<span style=\"color:#c00000\">%1</span>").arg(text.toHtmlEscaped())
                    : text.toHtmlEscaped();
    };
    VideoFacts->setText(
        warn(tr("フレーム数: %1").arg(emptyRange ? QStringLiteral("0") : framesText), emptyRange) +
        QStringLiteral("<br>") +
        warn(tr("記録後の残り: %1 ステップ (上限 %2)").arg(leftText, grouped(kStepLimit)), left < 0) +
        QStringLiteral("<br>") +
        warn(tr("ケーブル: %1 / %2 バイト/秒").arg(grouped(bytes), grouped(kCableBytesPerSecond)),
             chosen.fps > cableFrameRate(tempo_)));
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(!emptyRange && left >= 0);
}

} // namespace lumidot
