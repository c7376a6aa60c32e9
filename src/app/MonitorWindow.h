// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/DisplayModel.h"
#include "platform/MonitorSettings.h"
#include "platform/Prompts.h"
#include "recording/Document.h"
#include "recording/Player.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;

namespace lumidot {

class MidiLink;
class MonitorView;
class PlaybackDriver;
class SettingsStore;

// "モニター": the module's display as the messages sent to it command it,
// and a transport that plays the recording, or a file, at song timing.
// Played messages go through EXC_Out like any other, so the monitor shows
// them and, while live sending is on, the module plays along.
class TMonitor : public QWidget {
    Q_OBJECT

public:
    TMonitor(const DisplayModel& display, MidiLink& link, const Document& document,
             Prompts& prompts, SettingsStore& store, PlaybackClock& clock,
             QWidget* parent = nullptr);
    ~TMonitor() override;

    // A message went through EXC_Out. One the playback did not send (the
    // user drew, typed or chose something) stops the playback.
    void messageObserved();
    // The recording in memory changed: recording while playing stops it.
    void recordingChanged();
    // The document's tick spacing may have changed.
    void stepTickChanged();
    void setLiveSending(bool live);
    // Shows the playback position: the slider, the step and the time.
    void showPosition();

    int tempo() const { return prefs_.tempo; }
    // The slider's position of a time of the recording: the slider runs
    // through the recording's time, so that a step's place on it is when it
    // plays.
    int sliderValue(std::int64_t micros) const;
    const MonitorSettings& preferences() const { return prefs_; }
    Player& player() { return player_; }

    // Transport.
    void PlayClick();
    void StepBackClick();
    void StepForwardClick();
    void OpenFileClick();
    void UseRecordingClick();

    MonitorView* View = nullptr;
    QLabel* FxNames = nullptr;
    QLabel* LiveOff = nullptr;
    QLabel* Undecoded = nullptr;
    QLabel* Source = nullptr;
    QPushButton* OpenFile = nullptr;
    QPushButton* UseRecording = nullptr;
    QToolButton* StepBack = nullptr;
    QToolButton* Play = nullptr;
    QToolButton* StepForward = nullptr;
    QSlider* Position = nullptr;
    QLabel* StepText = nullptr;
    QLabel* TimeText = nullptr;
    QSpinBox* Tempo = nullptr;
    QCheckBox* CablePace = nullptr;
    QLabel* CableLag = nullptr;
    QComboBox* DotSize = nullptr;
    QCheckBox* OnTop = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    // The tempo changed: the information window's length follows it.
    void tempoChanged(int tempo);

private:
    void buildControls();
    void connectControls();
    void sendPlayed(const ScheduledMessage& message);
    void ensureSchedule();
    void reschedule();
    void stopPlayback();
    void startDriver();
    void showDisplayTexts();
    void PositionMoved(int value);
    void TempoChange(int tempo);
    void DotSizeChange(int index);
    void OnTopClick(bool on);
    void storePreferences();

    const DisplayModel& display_;
    MidiLink& link_;
    const Document& document_;
    Prompts& prompts_;
    SettingsStore& store_;
    MonitorSettings prefs_;
    Player player_;
    PlaybackDriver* driver_ = nullptr;
    QTimer* positionTimer_ = nullptr;
    std::unique_ptr<Recording> file_;   // a recording opened for playback; none: the one in memory
    int fileStepTick_ = 0;
    Prompts::FileChoice fileChoice_;
    bool scheduleStale_ = true;
    bool sendingPlayed_ = false;
    bool showingPosition_ = false;
    std::int64_t sliderUnit_ = 1000;   // microseconds a slider position
};

} // namespace lumidot
