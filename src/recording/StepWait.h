// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumidot {

// Ticks at 480 a quarter note, as every timed file counts them.
inline constexpr int kTicksPerQuarter = 480;
inline constexpr int kTicksPerBeat = kTicksPerQuarter;
inline constexpr int kBeatsPerBar = 4;
inline constexpr int kTicksPerBar = kBeatsPerBar * kTicksPerBeat;
inline constexpr int kTicksPerSixteenth = kTicksPerQuarter / 4;

// The longest wait a step may have: a thousand bars of 4/4. A song's
// longest rest fits, so a file from elsewhere keeps its ticks; a wait
// still fits a three-byte delta of a Standard MIDI File; and the times of
// a recording as long as memory holds stay far inside 64-bit microseconds.
inline constexpr int kMaxWait = 1000 * kTicksPerBar;

// The end of a recording comes this many ticks after its last event unless
// the last step was given a length of its own.
inline constexpr int kEndOfTrackTicks = 48;

// The wait before a step: the ticks from the previous step's last event to
// this step's text event. Either it follows the tick spacing (every step
// recorded takes the spacing, and a new spacing respaces it) or it is a
// number of ticks of the step's own, 0..kMaxWait.
class StepWait {
public:
    constexpr StepWait() = default;
    static constexpr StepWait spacing() { return {}; }
    static constexpr StepWait ticks(std::int64_t ticks)
    {
        StepWait wait;
        wait.ticks_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(ticks, 0, kMaxWait));
        return wait;
    }

    constexpr bool followsSpacing() const { return ticks_ < 0; }
    // The wait in ticks with this tick spacing.
    constexpr int at(int stepTick) const { return ticks_ < 0 ? stepTick : ticks_; }
    // The ticks of its own; -1 while it follows the spacing.
    constexpr int ownTicks() const { return ticks_; }

    constexpr bool operator==(const StepWait&) const = default;

private:
    std::int32_t ticks_ = -1;
};

} // namespace lumidot
