// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumidot {

// What one complete message tells the module, read from its bytes alone.
enum class MessageKind {
    LcdColour,
    ModeSelect,
    FxParameter,
    ShowMessage,
    FrameDraw,
    OtherDevice,   // a well-formed System Exclusive message for another device
    Malformed,     // not a message the module's display command set holds
};

struct DecodedMessage {
    MessageKind kind = MessageKind::Malformed;
    LcdColour colour = LcdColour::Green;            // LcdColour
    std::uint8_t mode = 0;                          // ModeSelect: 01 or 05
    FxParam param = FxParam::Effect1;               // FxParameter
    std::uint8_t value = 0;                         // FxParameter
    std::span<const std::uint8_t> text;             // ShowMessage: 16..32 bytes
    const std::uint8_t* frame = nullptr;            // FrameDraw: the 80 packed bytes
    // OtherDevice, Malformed: why, a Japanese source text of the context
    // "DisplayModel" (a string literal), made with UserText when shown.
    std::string_view problem;
};

// Decodes one message, F0 to F7. The spans of the result point into message.
DecodedMessage decodeMessage(std::span<const std::uint8_t> message);

// The module's display as the messages sent so far command it: the last
// backlight colour, frame, message lines, effect choices and mode select.
// Nothing is assumed before its first command arrives.
struct DisplayState {
    std::optional<LcdColour> backlight;
    std::optional<PackedFrame> frame;
    // The 16 + n text bytes of the last Show Message command; empty before one.
    std::array<std::uint8_t, 2 * kMessageLineBytes> text{};
    std::size_t textSize = 0;
    std::optional<std::uint8_t> effect1;
    std::optional<std::uint8_t> effect2;
    std::optional<std::uint8_t> effectMode;
    std::optional<std::uint8_t> modeSelect;

    // The last message that could not be decoded: why, its length and its
    // first bytes, and how many there were since the start.
    int undecodedCount = 0;
    std::string lastUndecoded;

    bool dot(int column, int row) const;   // a set dot of the last frame
    std::string_view line1() const;        // up to 16 bytes
    std::string_view line2() const;        // 0..16 bytes
    bool operator==(const DisplayState&) const = default;
};

class DisplayModel {
public:
    // Applies one complete message; returns what it was.
    MessageKind apply(std::span<const std::uint8_t> message);
    const DisplayState& state() const { return state_; }
    void reset() { state_ = DisplayState{}; }

private:
    DisplayState state_;
};

// The dot of a packed frame at column 0..31, row 0..15.
bool packedDot(const PackedFrame& frame, int column, int row);

} // namespace lumidot
