// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// The timing of the Standard MIDI File export, which a sequencer plays: 480
// ticks a quarter note; every step is a text event stepTick ticks after the
// previous step's last event and its first message stepTick ticks after
// that, so consecutive steps' messages are 2 x stepTick apart; the further
// messages of an effect group follow one tick apart; the end of the track
// comes 48 ticks after the last event.
inline constexpr int kTicksPerQuarter = 480;
inline constexpr int kEndOfTrackTicks = 48;

// The tempo a sequencer assumes for a file without a tempo event, and the
// range the monitor offers, in quarter notes a minute.
inline constexpr int kDefaultTempo = 120;
inline constexpr int kMinTempo = 20;
inline constexpr int kMaxTempo = 300;

// A tempo brought into kMinTempo..kMaxTempo.
int validTempo(int tempo);

// How long ticks last at a tempo, in microseconds (rounded to the nearest).
std::int64_t ticksToMicroseconds(std::int64_t ticks, int tempo);

// Counts the ticks step by step, as the export writes them. stepTick is
// brought into 1..127 as the export brings it.
class StepTickCounter {
public:
    explicit StepTickCounter(int stepTick);
    // The tick of the next step's first message (of its text event, for an
    // step that gives no message); its further messages follow one tick apart.
    std::int64_t next(StepKind kind);
    // The tick of the end of the track after the steps counted so far: the
    // length of the recording.
    std::int64_t endTick() const { return last_ + kEndOfTrackTicks; }

private:
    std::int64_t stepTick_;
    std::int64_t last_ = 0;   // the last event so far: the channel prefix at tick 0
};

// The tick of each step's first message.
std::vector<std::int64_t> stepTicks(std::span<const StepKind> kinds, int stepTick);

// The time of each step's first message from the start of playback, and the
// length of the whole recording, in microseconds.
std::vector<std::int64_t> stepTimes(const Recording& recording, int stepTick, int tempo);
std::int64_t recordingLength(const Recording& recording, int stepTick, int tempo);

// "m:ss.mmm", minutes without a bound; negative times count as 0.
std::string formatPlaybackTime(std::int64_t microseconds);

} // namespace lumidot
