// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumidot {

class VirtualArea;

// Every NS5R message: F0 42 30 42, the command body, F7.
inline constexpr std::array<std::uint8_t, 4> kSysExHeader{0xF0, 0x42, 0x30, 0x42};
inline constexpr std::uint8_t kEndOfExclusive = 0xF7;

// The backlight choices of the LCD page.
enum class LcdColour : std::uint8_t { Green, Orange, Red, Off };

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour byte of the LCD Colour command: 00, 01, 02, or 7F for off.
std::uint8_t colourCode(LcdColour colour);
// The colour the editor and the preview paint clear dots with.
Rgb colourRgb(LcdColour colour);

// Mode Select values: 01 for the LCD, Message and Dot pages, 05 for Effect.
inline constexpr std::uint8_t kModeDisplay = 0x01;
inline constexpr std::uint8_t kModeEffect = 0x05;

// FX Parameter parameters.
enum class FxParam : std::uint8_t { Effect1 = 0x08, Effect2 = 0x09, Mode = 0x12 };

inline constexpr int kEffectCount = 48;
inline constexpr int kEffectModeCount = 4;
extern const std::array<std::string_view, kEffectCount> kEffectNames;
extern const std::array<std::string_view, kEffectModeCount> kEffectModeNames;

// Effect 1, effect 2 and the effect mode: the three bytes of an effect step.
struct EffectSetting {
    std::uint8_t effect1 = 1;
    std::uint8_t effect2 = 20;
    std::uint8_t mode = 3;
    bool operator==(const EffectSetting&) const = default;
};

std::array<std::uint8_t, 2> lcdColourBody(LcdColour colour);
std::array<std::uint8_t, 2> modeSelectBody(std::uint8_t mode);
std::array<std::uint8_t, 5> fxParameterBody(FxParam param, std::uint8_t value);

// The 32 x 16 window packed 7 dots a byte: byte 16 * group + row, bit 6 the
// leftmost dot of the group's 7 columns (4 in the last group), bit 7 clear.
inline constexpr std::size_t kPackedFrameSize = 80;
using PackedFrame = std::array<std::uint8_t, kPackedFrameSize>;
PackedFrame packWindow(const VirtualArea& area, int scrollX, int scrollY);
// The dot of a packed frame at window column 0..31 and row 0..15 (0 or 1).
inline std::uint8_t frameDot(const PackedFrame& frame, int column, int row)
{
    return (frame[16 * (column / 7) + row] >> (6 - column % 7)) & 1;
}
// Writes a packed frame's 32 x 16 dots into the plane at the window position.
void unpackWindow(VirtualArea& area, int scrollX, int scrollY, const PackedFrame& frame);

inline constexpr std::array<std::uint8_t, 4> kFrameDrawPrefix{0x12, 0x08, 0x00, 0x20};
inline constexpr std::array<std::uint8_t, 4> kShowMessagePrefix{0x12, 0x08, 0x00, 0x00};
std::array<std::uint8_t, 84> frameDrawBody(const PackedFrame& frame);

// A message line holds at most 16 bytes; longer lines are cut there.
inline constexpr std::size_t kMessageLineBytes = 16;

// The Show Message text: line 1 padded with spaces to 16 bytes, then line 2
// unpadded (16 to 32 bytes).
std::vector<std::uint8_t> messageText(std::string_view line1, std::string_view line2);
// The Show Message body; empty when both lines are empty (nothing is sent).
std::vector<std::uint8_t> showMessageBody(std::string_view line1, std::string_view line2);

// The start-up banner and the banner sent after a port change.
inline constexpr std::string_view kStartupBannerLine1 = "   Welcome to   ";
inline constexpr std::string_view kPortChangeBannerLine1 = "  Welcome to    ";
inline constexpr std::string_view kBannerLine2 = "Lumidot Gallery!";

// A complete message: header, body, F7.
std::vector<std::uint8_t> sysExMessage(std::span<const std::uint8_t> body);

// The five messages written for a recorded effect step: Mode Select 05, the
// FX Parameter commands for effect 1, effect 2 and the mode, Mode Select 01.
std::array<std::vector<std::uint8_t>, 5> effectGroupMessages(const EffectSetting& effect);

} // namespace lumidot
