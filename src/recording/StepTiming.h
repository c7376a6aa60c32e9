// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"
#include "recording/StepWait.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// The timing of the Standard MIDI File export, which a sequencer plays: 480
// ticks a quarter note; every step is a text event its wait after the
// previous step's last event (the wait follows the tick spacing unless the
// step has one of its own) and its first message stepTick ticks after
// that, so consecutive steps that follow the spacing are 2 x stepTick
// apart; the further messages of an effect group follow one tick apart;
// the end of the track comes the recording's end wait (48 ticks unless
// set) after the last event. A start offset puts the first step's first
// message at that tick, its text event stepTick before it or at 0.

// The tempo a sequencer assumes for a file without a tempo event, and the
// range the monitor offers, in quarter notes a minute.
inline constexpr int kDefaultTempo = 120;
inline constexpr int kMinTempo = 20;
inline constexpr int kMaxTempo = 300;

// A tempo brought into kMinTempo..kMaxTempo.
int validTempo(int tempo);

// How long ticks last at a tempo, in microseconds (rounded to the nearest).
std::int64_t ticksToMicroseconds(std::int64_t ticks, int tempo);
// The ticks nearest to a time at a tempo.
std::int64_t microsecondsToTicks(std::int64_t microseconds, int tempo);

// Counts the ticks step by step, as the export writes them. stepTick is
// brought into 1..127 as the export brings it.
class StepTickCounter {
public:
    explicit StepTickCounter(int stepTick, std::optional<int> startOffset = std::nullopt);
    // Counts the next step: the tick of its first message (of its text
    // event, for a step that gives no message); its further messages
    // follow one tick apart.
    std::int64_t next(StepKind kind, StepWait wait = {});
    // The step counted last: its text event and its last event.
    std::int64_t textTick() const { return text_; }
    std::int64_t lastTick() const { return last_; }
    // The tick of the end of the track after the steps counted so far: the
    // length of the recording.
    std::int64_t endTick(int endWait = kEndOfTrackTicks) const { return last_ + endWait; }
    int stepTick() const { return static_cast<int>(stepTick_); }

private:
    std::int64_t stepTick_;
    std::optional<int> startOffset_;
    bool first_ = true;
    std::int64_t text_ = 0;
    std::int64_t last_ = 0;   // the last event so far: the channel prefix at tick 0
};

// The counter for a recording: its start offset taken in.
StepTickCounter tickCounterFor(const Recording& recording, int stepTick);

// Where every step of a recording lies at a tick spacing.
struct StepLayout {
    std::vector<std::int64_t> starts;   // the tick of each step's first message
    std::vector<std::int64_t> lasts;    // the tick of each step's last event
    std::int64_t end = kEndOfTrackTicks;   // the end of the track

    int size() const { return static_cast<int>(starts.size()); }
    // From a step's first message to the next step's (to the end for the last).
    std::int64_t length(int step) const;
};

StepLayout stepLayout(const Recording& recording, int stepTick);

// The tick of each step's first message, for steps that all follow the spacing.
std::vector<std::int64_t> stepTicks(std::span<const StepKind> kinds, int stepTick);
// The tick of each step's first message, every wait taken in.
std::vector<std::int64_t> stepStartTicks(const Recording& recording, int stepTick);

// The time of each step's first message from the start of playback, and the
// length of the whole recording, in microseconds.
std::vector<std::int64_t> stepTimes(const Recording& recording, int stepTick, int tempo);
std::int64_t recordingLength(const Recording& recording, int stepTick, int tempo);

// A position in 4/4 at 480 ticks a quarter, bars and beats counted from 1.
struct BarBeatTick {
    std::int64_t bar = 1;
    int beat = 1;
    int tick = 0;
};
BarBeatTick barBeatTick(std::int64_t tick);
// "bar:beat:tick" with the tick in three digits, as sequencers show it: "1:1:016".
std::string formatBarBeatTick(std::int64_t tick);

// "m:ss.mmm", minutes without a bound; negative times count as 0.
std::string formatPlaybackTime(std::int64_t microseconds);

} // namespace lumidot
