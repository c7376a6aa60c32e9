// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiLink.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace lumidot {

class PlaybackClock;

// Paces the live Frame Draw commands to a DIN MIDI cable. A frame takes
// 28.5 ms on the wire (89 bytes at 3,125 bytes a second), while a pen moves
// up to 1,000 times a second: sent as drawn, the frames would pile up in the
// interface, the module lagging further behind the pen with every stroke,
// and an ALSA interface drops what overflows its buffer, the last frame
// among them. So while the cable is still busy, a frame waits, and a newer
// frame takes the place of the one waiting: the module shows the newest
// picture as soon as the cable can carry it, and the last one drawn always
// goes out last.
//
// No other message is ever dropped, and none overtakes another: a colour,
// message, Mode Select or effect message goes out at once, unless a frame
// is waiting, in which case it waits behind that frame. When a newer frame
// replaces the waiting one, the messages behind the old frame go out at
// once and the newer frame waits after them, so what reaches the module
// is always in the order it was sent, less the frames replaced.
//
// Pacing applies only while messages really reach a port; muted, without a
// port, or with pacing switched off, every message goes to the link at once.
// The clock is handed in, so that tests move time themselves; whoever owns
// the pacer calls poll() when it is told something waits.
class LivePacer final : public SysExOut {
public:
    // A frame may start this long before the cable is free: its first bytes
    // then wait a moment in the interface, and a timer that wakes on whole
    // milliseconds never sends it late.
    static constexpr std::int64_t kEarlyStart = 1000;

    LivePacer(MidiLink& link, PlaybackClock& clock);

    SendResult EXC_Out(std::span<const std::uint8_t> body) override;

    // On at start. Switching it off sends what waits, then every message at once.
    void setPacing(bool on);
    bool pacing() const { return pacing_; }

    // Sends what is due. Returns the microseconds until the waiting frame
    // may go, or -1 when nothing waits any more.
    std::int64_t poll();
    // Sends everything that waits, now: before the port closes or pacing
    // goes off.
    void flush();
    bool waiting() const { return frame_.has_value(); }

    // Told, with the microseconds until poll() has something to send, each
    // time a frame starts waiting.
    std::function<void(std::int64_t wait)> onWaiting;

private:
    using Body = std::vector<std::uint8_t>;

    bool paced() const;
    SendResult sendNow(std::span<const std::uint8_t> body, std::int64_t now);
    void sendQueued(std::int64_t now);
    std::int64_t frameDue() const { return wireFree_ - kEarlyStart; }

    MidiLink& link_;
    PlaybackClock& clock_;
    bool pacing_ = true;
    // The frame waiting for the cable, and the messages sent after it, in order.
    std::optional<Body> frame_;
    std::vector<Body> behind_;
    // When the cable has carried everything sent so far.
    std::int64_t wireFree_ = std::numeric_limits<std::int64_t>::min() / 2;
};

// True for the body of a Frame Draw command.
bool isFrameDrawBody(std::span<const std::uint8_t> body);

} // namespace lumidot
