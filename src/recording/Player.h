// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/PlaybackSchedule.h"

#include <cstdint>
#include <functional>

namespace lumidot {

// A monotonic clock in microseconds. Playback reads the time only through
// it, so that tests hand in a clock they move themselves.
class PlaybackClock {
public:
    virtual ~PlaybackClock() = default;
    virtual std::int64_t now() = 0;
};

class SteadyPlaybackClock final : public PlaybackClock {
public:
    std::int64_t now() override;
};

// Plays a schedule: sends each message when its time has come, counted from
// the start of playback rather than from the previous message, so that
// late wake-ups never add up. The player only reads its schedule; whoever
// drives it calls poll() again after the time poll() returns.
//
// The shown step is the last step whose messages have been sent (-1 before
// the first); playing goes on from the step after it.
class Player {
public:
    using Send = std::function<void(const ScheduledMessage&)>;

    Player(PlaybackClock& clock, Send send);

    // Takes a new schedule; stops, and nothing is shown of it yet.
    void load(PlaybackSchedule schedule);
    // Takes a new schedule of the same recording (another tempo or tick
    // spacing, steps added) and goes on from the shown step, playing or not.
    void reschedule(PlaybackSchedule schedule);
    const PlaybackSchedule& schedule() const { return schedule_; }

    // Plays from the step after the shown one; after the last step, from the start.
    void play();
    void stop();
    bool playing() const { return playing_; }

    // Sends every message that is due. Returns the microseconds until the
    // next one is due, or -1 when nothing more is to be sent (playback has
    // then stopped after the last step).
    std::int64_t poll();

    // Sends the next step's messages at once.
    void stepForward();
    // Shows the step before the shown one.
    void stepBack();
    // Shows step (-1: before the first): the last message of each kind up
    // to it is sent again, so that the display is as it was at that step.
    // While playing, playback goes on from there.
    void seek(int step);

    int shownStep() const { return shownStep_; }
    // The time of the playback position: while playing, the time elapsed in
    // the recording; otherwise the time of the shown step.
    std::int64_t position();

    // Paces the messages as a DIN cable would carry them: a message starts
    // only when the one before it has gone through.
    void setPacedToCable(bool paced) { paced_ = paced; }
    bool pacedToCable() const { return paced_; }
    // How far the last message sent came after its time, on the paced cable.
    std::int64_t cableLag() const { return lag_; }

    // While playing: the clock time of the recording's time 0, and the clock
    // time at which the message at index is due.
    std::int64_t origin() const { return origin_; }
    std::int64_t dueAt(std::size_t index) const;

private:
    void sendAt(std::size_t index);
    void startFrom(int shown);
    std::int64_t stepTime(int step) const;

    PlaybackClock& clock_;
    Send send_;
    PlaybackSchedule schedule_;
    bool playing_ = false;
    bool paced_ = false;
    int shownStep_ = -1;
    std::size_t next_ = 0;        // the next message to send
    std::int64_t origin_ = 0;
    std::int64_t wireFree_ = 0;   // paced: when the cable is free again
    std::int64_t lag_ = 0;
};

} // namespace lumidot
