// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"
#include "ns5r/StepKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lumidot {

// One complete System Exclusive message, F0 to F7. The longest one a step
// produces is the 89-byte Frame Draw command.
class SysExMessage {
public:
    static constexpr std::size_t kCapacity = 89;

    SysExMessage() = default;
    explicit SysExMessage(std::span<const std::uint8_t> body);

    std::span<const std::uint8_t> bytes() const { return {bytes_.data(), size_}; }
    std::size_t size() const { return size_; }

private:
    std::array<std::uint8_t, kCapacity> bytes_{};
    std::size_t size_ = 0;
};

// The messages that replay one recorded step, in the order every file format
// writes them: one for a colour, off, message or frame step, the five-message
// effect group for an effect step.
struct StepMessages {
    std::array<SysExMessage, 5> messages;
    std::size_t count = 0;

    const SysExMessage* begin() const { return messages.data(); }
    const SysExMessage* end() const { return messages.data() + count; }
};

StepMessages stepMessages(const Step& step);

// How many messages a step of this kind gives (5 or 1), without building them.
std::size_t stepMessageCount(StepKind kind);

// The tick spacing the timed formats can hold, 1..127: a larger value would
// not fit the one-byte delta of a Standard MIDI File nor a .prt tick byte,
// so a value from outside is brought to the nearest end.
std::uint8_t validStepTick(std::uint8_t stepTick);

} // namespace lumidot
