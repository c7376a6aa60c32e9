// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MonitorWindow.h"

#include "widgets/MonitorView.h"
#include "app/PlaybackDriver.h"
#include "export/OpenCommand.h"
#include "export/SaveCommand.h"
#include "midi/MidiLink.h"
#include "ns5r/MonitorPicture.h"
#include "recording/StepTiming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumidot {

namespace {

constexpr int kPositionRefreshMs = 33;
// The slider counts milliseconds, or coarser steps for a recording so long
// that it would have more positions than this.
constexpr std::int64_t kSliderPositions = 1000000;

constexpr std::string_view kOpenFilter =
    "All supported(*.syx;*.mid;*.prt;*.exc)|*.syx;*.mid;*.prt;*.exc|";

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString timeText(std::int64_t microseconds)
{
    return QString::fromStdString(formatPlaybackTime(microseconds));
}

template <class Names>
QString nameOr(const std::optional<std::uint8_t>& value, const Names& names)
{
    return value ? latin1(names[*value]) : QStringLiteral("—");
}

} // namespace

TMonitor::TMonitor(const DisplayModel& display, MidiLink& link, const Document& document,
                   Prompts& prompts, SettingsStore& store, PlaybackClock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , display_(display)
    , link_(link)
    , document_(document)
    , prompts_(prompts)
    , store_(store)
    , prefs_(loadMonitorSettings(store))
    , player_(clock, [this](const ScheduledMessage& message) { sendPlayed(message); })
{
    setWindowTitle(tr("モニター"));
    buildControls();
    driver_ = new PlaybackDriver(player_, this);
    driver_->onFinished = [this] {
        positionTimer_->stop();
        showPosition();
    };
    positionTimer_ = new QTimer(this);
    positionTimer_->setInterval(kPositionRefreshMs);
    connectControls();
    View->setDotSize(prefs_.dotSize);
    setWindowFlag(Qt::WindowStaysOnTopHint, prefs_.stayOnTop);
    setLiveSending(link_.liveSending());
    showDisplayTexts();
    showPosition();
}

TMonitor::~TMonitor() = default;

// Closing the window stops the playback; the display goes on being followed.
void TMonitor::closeEvent(QCloseEvent* event)
{
    stopPlayback();
    QWidget::closeEvent(event);
}

void TMonitor::buildControls()
{
    View = new MonitorView(display_, this);
    FxNames = new QLabel(this);
    FxNames->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LiveOff = new QLabel(tr("● MIDI送信オフ: 送信されるはずの内容を表示しています"), this);
    LiveOff->setStyleSheet(QStringLiteral("color: #c00000;"));
    Undecoded = new QLabel(this);
    Undecoded->setWordWrap(true);
    Undecoded->setStyleSheet(QStringLiteral("color: #a05000;"));

    Source = new QLabel(this);
    OpenFile = new QPushButton(tr("ファイルを開く(&F)..."), this);
    OpenFile->setToolTip(tr("保存したファイルを再生します。記録中のデータは変わりません"));
    UseRecording = new QPushButton(tr("記録中のデータ(&R)"), this);
    UseRecording->setToolTip(tr("記録中のデータを再生します"));

    auto tool = [this](QStyle::StandardPixmap icon, const QString& tip) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(tip);
        button->setAutoRaise(true);
        return button;
    };
    StepBack = tool(QStyle::SP_MediaSkipBackward, tr("前のステップ"));
    Play = tool(QStyle::SP_MediaPlay, tr("再生 / 停止 (Space)"));
    StepForward = tool(QStyle::SP_MediaSkipForward, tr("次のステップ"));
    Position = new QSlider(Qt::Horizontal, this);
    Position->setToolTip(tr("再生位置"));
    StepText = new QLabel(this);
    TimeText = new QLabel(this);
    TimeText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Tempo = new QSpinBox(this);
    Tempo->setRange(kMinTempo, kMaxTempo);
    Tempo->setValue(validTempo(prefs_.tempo));
    Tempo->setSuffix(QStringLiteral(" BPM"));
    Tempo->setToolTip(tr("再生のテンポ。テンポのないMIDIファイルをシーケンサーは120で演奏します"));
    CablePace = new QCheckBox(tr("MIDIケーブルの速度で送る(&C)"), this);
    CablePace->setToolTip(tr(
        "毎秒3,125バイトのMIDIケーブルで届く時刻に合わせて送り、音源の表示の遅れを示します"));
    CableLag = new QLabel(this);
    DotSize = new QComboBox(this);
    for (int size = kMinDotSize; size <= kMaxDotSize; ++size)
        DotSize->addItem(QStringLiteral("x%1").arg(size));
    DotSize->setCurrentIndex(prefs_.dotSize - kMinDotSize);
    OnTop = new QCheckBox(tr("常に手前に表示(&T)"), this);
    OnTop->setChecked(prefs_.stayOnTop);

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(new QLabel(tr("再生:"), this));
    sourceRow->addWidget(Source, 1);
    sourceRow->addWidget(OpenFile);
    sourceRow->addWidget(UseRecording);

    auto* transport = new QHBoxLayout;
    transport->addWidget(StepBack);
    transport->addWidget(Play);
    transport->addWidget(StepForward);
    transport->addWidget(Position, 1);

    auto* positionRow = new QHBoxLayout;
    positionRow->addWidget(StepText);
    positionRow->addStretch(1);
    positionRow->addWidget(TimeText);

    auto* options = new QGridLayout;
    options->addWidget(new QLabel(tr("テンポ"), this), 0, 0);
    options->addWidget(Tempo, 0, 1);
    options->addWidget(CablePace, 0, 2);
    options->addWidget(CableLag, 0, 3);
    options->addWidget(new QLabel(tr("ドットの大きさ"), this), 1, 0);
    options->addWidget(DotSize, 1, 1);
    options->addWidget(OnTop, 1, 2);
    options->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(View, 1);
    layout->addWidget(FxNames);
    layout->addWidget(LiveOff);
    layout->addWidget(Undecoded);
    layout->addLayout(sourceRow);
    layout->addLayout(transport);
    layout->addLayout(positionRow);
    layout->addLayout(options);
}

void TMonitor::connectControls()
{
    connect(Play, &QToolButton::clicked, this, &TMonitor::PlayClick);
    connect(StepBack, &QToolButton::clicked, this, &TMonitor::StepBackClick);
    connect(StepForward, &QToolButton::clicked, this, &TMonitor::StepForwardClick);
    connect(OpenFile, &QPushButton::clicked, this, &TMonitor::OpenFileClick);
    connect(UseRecording, &QPushButton::clicked, this, &TMonitor::UseRecordingClick);
    connect(Position, &QSlider::valueChanged, this, &TMonitor::PositionMoved);
    connect(Tempo, &QSpinBox::valueChanged, this, &TMonitor::TempoChange);
    connect(CablePace, &QCheckBox::toggled, this, [this](bool on) {
        player_.setPacedToCable(on);
        showPosition();
    });
    connect(DotSize, &QComboBox::currentIndexChanged, this, &TMonitor::DotSizeChange);
    connect(OnTop, &QCheckBox::toggled, this, &TMonitor::OnTopClick);
    connect(positionTimer_, &QTimer::timeout, this, &TMonitor::showPosition);
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(space, &QShortcut::activated, this, &TMonitor::PlayClick);
}

// Played messages take the way of every other message, through EXC_Out.
void TMonitor::sendPlayed(const ScheduledMessage& message)
{
    const auto bytes = message.message.bytes();
    sendingPlayed_ = true;
    link_.EXC_Out(bytes.subspan(kSysExHeader.size(), bytes.size() - kSysExHeader.size() - 1));
    sendingPlayed_ = false;
}

void TMonitor::messageObserved()
{
    if (!sendingPlayed_ && player_.playing())
        stopPlayback();
    View->update();
    showDisplayTexts();
}

void TMonitor::recordingChanged()
{
    if (player_.playing())
        stopPlayback();
    if (!file_)
        scheduleStale_ = true;
    showPosition();
}

void TMonitor::stepTickChanged()
{
    if (file_ && fileStepTick_)
        return;
    scheduleStale_ = true;
    if (player_.playing())
        reschedule();
    showPosition();
}

void TMonitor::setLiveSending(bool live)
{
    LiveOff->setVisible(!live);
}

void TMonitor::showDisplayTexts()
{
    const DisplayState& state = display_.state();
    QString fx = QStringLiteral("Effect-1: %1    Effect-2: %2    Mode: %3")
                     .arg(nameOr(state.effect1, kEffectNames), nameOr(state.effect2, kEffectNames),
                          nameOr(state.effectMode, kEffectModeNames));
    if (state.modeSelect)
        fx += QStringLiteral("    Mode Select %1").arg(*state.modeSelect, 2, 16, QLatin1Char('0'));
    FxNames->setText(fx);
    Undecoded->setVisible(state.undecodedCount > 0);
    if (state.undecodedCount > 0)
        Undecoded->setText(tr("解読できないメッセージ %n 件。最後: %1", nullptr, state.undecodedCount)
                               .arg(QString::fromStdString(state.lastUndecoded)));
}

// Transport.

void TMonitor::ensureSchedule()
{
    if (scheduleStale_)
        reschedule();
}

void TMonitor::reschedule()
{
    const Recording& source = file_ ? *file_ : document_.recording;
    const int stepTick = file_ && fileStepTick_ ? fileStepTick_ : document_.stepTick;
    player_.reschedule(buildSchedule(source, stepTick, prefs_.tempo));
    scheduleStale_ = false;
    if (player_.playing())
        startDriver();
}

void TMonitor::startDriver()
{
    driver_->start();
    if (player_.playing())
        positionTimer_->start();
    showPosition();
}

void TMonitor::stopPlayback()
{
    player_.stop();
    driver_->stop();
    positionTimer_->stop();
    showPosition();
}

void TMonitor::PlayClick()
{
    if (player_.playing()) {
        stopPlayback();
        return;
    }
    ensureSchedule();
    player_.play();
    startDriver();
}

void TMonitor::StepForwardClick()
{
    stopPlayback();
    ensureSchedule();
    player_.stepForward();
    showPosition();
}

void TMonitor::StepBackClick()
{
    stopPlayback();
    ensureSchedule();
    player_.stepBack();
    showPosition();
}

int TMonitor::sliderValue(std::int64_t micros) const
{
    return static_cast<int>(std::max<std::int64_t>(0, micros) / sliderUnit_);
}

// The slider seeks the step shown at its time.
void TMonitor::PositionMoved(int value)
{
    if (showingPosition_)
        return;
    ensureSchedule();
    // A position stands for the whole stretch of time up to the next one.
    const int step = player_.schedule().stepAt((value + std::int64_t{1}) * sliderUnit_ - 1);
    if (step != player_.shownStep() || player_.playing())
        player_.seek(step);
    if (player_.playing())
        startDriver();
    showPosition();
}

void TMonitor::OpenFileClick()
{
    const QString filter = latin1(kOpenFilter) + latin1(kSaveFilter);
    if (!prompts_.openFile(filter, fileChoice_))
        return;
    LoadResult loaded = loadRecording(QFile::encodeName(fileChoice_.fileName).toStdString());
    if (!loaded.ok) {
        prompts_.information(QString::fromStdString(loaded.message));
        return;
    }
    stopPlayback();
    file_ = std::make_unique<Recording>(std::move(loaded.recording));
    fileStepTick_ = loaded.stepTick;
    player_.load({});
    scheduleStale_ = true;
    showPosition();
}

void TMonitor::UseRecordingClick()
{
    stopPlayback();
    file_.reset();
    player_.load({});
    scheduleStale_ = true;
    showPosition();
}

void TMonitor::showPosition()
{
    const Recording& source = file_ ? *file_ : document_.recording;
    const int stepTick = file_ && fileStepTick_ ? fileStepTick_ : document_.stepTick;
    const int total = scheduleStale_ ? source.StepCount() : player_.schedule().stepCount();
    const std::int64_t length = scheduleStale_ ? recordingLength(source, stepTick, prefs_.tempo)
                                               : player_.schedule().length;
    const int shown = std::min(player_.shownStep(), total - 1);
    std::int64_t at = 0;
    if (!scheduleStale_)
        at = player_.position();
    else if (shown >= 0)
        at = stepTimes(source, stepTick, prefs_.tempo)[static_cast<std::size_t>(shown)];
    sliderUnit_ = std::max<std::int64_t>(1000, length / kSliderPositions + 1);
    showingPosition_ = true;
    Position->setRange(0, sliderValue(length));
    Position->setValue(sliderValue(at));
    showingPosition_ = false;
    Source->setText(file_ ? QFileInfo(fileChoice_.fileName).fileName() + QStringLiteral(" (%1 Tick)").arg(stepTick)
                          : tr("記録中のデータ (%1 Tick)").arg(stepTick));
    UseRecording->setEnabled(file_ != nullptr);
    StepText->setText(tr("ステップ %1 / %2").arg(shown + 1).arg(total));
    TimeText->setText(timeText(at) + QStringLiteral(" / ") + timeText(length));
    Play->setIcon(style()->standardIcon(player_.playing() ? QStyle::SP_MediaStop
                                                          : QStyle::SP_MediaPlay));
    CableLag->setText(player_.pacedToCable()
                          ? tr("遅れ %1 ms").arg(player_.cableLag() / 1000.0, 0, 'f', 1)
                          : QString());
}

void TMonitor::TempoChange(int tempo)
{
    prefs_.tempo = validTempo(tempo);
    storePreferences();
    scheduleStale_ = true;
    if (player_.playing())
        reschedule();
    showPosition();
    emit tempoChanged(prefs_.tempo);
}

void TMonitor::DotSizeChange(int index)
{
    prefs_.dotSize = index + kMinDotSize;
    View->setDotSize(prefs_.dotSize);
    resize(size().expandedTo(sizeHint()));
    storePreferences();
}

void TMonitor::OnTopClick(bool on)
{
    prefs_.stayOnTop = on;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show();
    storePreferences();
}

// A preference that cannot be stored is only lost for the next run; the
// monitor goes on with it.
void TMonitor::storePreferences()
{
    saveMonitorSettings(prefs_, store_);
}

} // namespace lumidot
