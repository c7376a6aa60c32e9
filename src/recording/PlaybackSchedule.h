// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/StepMessages.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lumidot {

// One message of a playback, at its time from the start of the recording.
struct ScheduledMessage {
    std::int64_t time = 0;   // microseconds
    int step = 0;
    SysExMessage message;
};

// Every message of a recording at the export's timing (each step's wait
// taken in) and a tempo, in order.
struct PlaybackSchedule {
    std::vector<ScheduledMessage> messages;
    std::vector<std::int64_t> stepTimes;          // each step's first message
    std::vector<std::size_t> stepFirstMessage;    // index into messages; one more entry at the end
    std::int64_t length = 0;                      // the end of the track

    int stepCount() const { return static_cast<int>(stepTimes.size()); }
    // The step shown at a time: the last one whose first message has come
    // by then, -1 before the first.
    int stepAt(std::int64_t time) const;
};

PlaybackSchedule buildSchedule(const Recording& recording, int stepTick, int tempo);

// Hands on every message of a recording at the export's timing and a tempo,
// in order, holding none of them, and returns the length of the recording:
// what buildSchedule keeps, for a walk through millions of steps. The walk
// stops at once when each returns false, and then returns -1.
std::int64_t forEachScheduledMessage(const Recording& recording, int stepTick, int tempo,
                                     const std::function<bool(const ScheduledMessage&)>& each);

// A DIN MIDI cable carries 31,250 bits a second, ten bits a byte: 3,125
// bytes a second, 320 microseconds each.
inline constexpr int kCableBytesPerSecond = 3125;
inline constexpr std::int64_t kCableMicrosecondsPerByte = 1000000 / kCableBytesPerSecond;

constexpr std::int64_t cableMicroseconds(std::size_t bytes)
{
    return static_cast<std::int64_t>(bytes) * kCableMicrosecondsPerByte;
}

} // namespace lumidot
