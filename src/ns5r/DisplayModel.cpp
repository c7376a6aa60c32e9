// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/DisplayModel.h"

#include "ns5r/UserText.h"

#include <algorithm>
#include <cstdio>

namespace lumidot {

namespace {

constexpr std::size_t kFrameDrawSize = 4 + 4 + kPackedFrameSize + 1;   // 89
constexpr std::size_t kShowMessageMin = 4 + 4 + kMessageLineBytes + 1;  // 25
constexpr std::size_t kShowMessageMax = kShowMessageMin + kMessageLineBytes;

DecodedMessage refused(MessageKind kind, std::string_view problem)
{
    DecodedMessage out;
    out.kind = kind;
    out.problem = problem;
    return out;
}

DecodedMessage malformed(std::string_view problem)
{
    return refused(MessageKind::Malformed, problem);
}

std::optional<LcdColour> colourOfCode(std::uint8_t code)
{
    switch (code) {
    case 0x00: return LcdColour::Green;
    case 0x01: return LcdColour::Orange;
    case 0x02: return LcdColour::Red;
    case 0x7F: return LcdColour::Off;
    default: return std::nullopt;
    }
}

DecodedMessage decodeColour(std::span<const std::uint8_t> body)
{
    if (body.size() != 2)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "LCD Colour コマンドの長さが不正です"));
    const auto colour = colourOfCode(body[1]);
    if (!colour)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知の LCD Colour 値です"));
    DecodedMessage out;
    out.kind = MessageKind::LcdColour;
    out.colour = *colour;
    return out;
}

DecodedMessage decodeModeSelect(std::span<const std::uint8_t> body)
{
    if (body.size() != 2)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "Mode Select コマンドの長さが不正です"));
    if (body[1] != kModeDisplay && body[1] != kModeEffect)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知の Mode Select 値です"));
    DecodedMessage out;
    out.kind = MessageKind::ModeSelect;
    out.mode = body[1];
    return out;
}

DecodedMessage decodeFxParameter(std::span<const std::uint8_t> body)
{
    if (body.size() != 5 || body[2] != 0x00 || body[4] != 0x00)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "FX Parameter コマンドの形が不正です"));
    const std::uint8_t value = body[3];
    DecodedMessage out;
    out.kind = MessageKind::FxParameter;
    out.value = value;
    switch (body[1]) {
    case 0x08: out.param = FxParam::Effect1; break;
    case 0x09: out.param = FxParam::Effect2; break;
    case 0x12: out.param = FxParam::Mode; break;
    default: return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知の FX Parameter です"));
    }
    const int limit = out.param == FxParam::Mode ? kEffectModeCount : kEffectCount;
    if (value >= limit)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "FX Parameter の値が範囲外です"));
    return out;
}

DecodedMessage decodeDisplayWrite(std::span<const std::uint8_t> message)
{
    const std::span<const std::uint8_t> body = message.subspan(4, message.size() - 5);
    if (body.size() < 4 || body[1] != 0x08 || body[2] != 0x00)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知のコマンドです"));
    DecodedMessage out;
    if (body[3] == kFrameDrawPrefix[3]) {
        if (message.size() != kFrameDrawSize)
            return malformed(
                LUMIDOT_TEXT_NOOP("DisplayModel", "Frame Draw コマンドの長さが不正です"));
        out.kind = MessageKind::FrameDraw;
        out.frame = body.data() + 4;
        return out;
    }
    if (body[3] == kShowMessagePrefix[3]) {
        if (message.size() < kShowMessageMin || message.size() > kShowMessageMax)
            return malformed(
                LUMIDOT_TEXT_NOOP("DisplayModel", "Show Message コマンドの長さが不正です"));
        out.kind = MessageKind::ShowMessage;
        out.text = body.subspan(4);
        return out;
    }
    return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知のコマンドです"));
}

} // namespace

DecodedMessage decodeMessage(std::span<const std::uint8_t> message)
{
    if (message.size() < 2 || message.front() != 0xF0 || message.back() != kEndOfExclusive)
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "System Exclusive メッセージではありません"));
    const auto data = message.subspan(1, message.size() - 2);
    if (std::any_of(data.begin(), data.end(), [](std::uint8_t b) { return b >= 0x80; }))
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "メッセージの途中にステータスバイトがあります"));
    if (!std::equal(kSysExHeader.begin(), kSysExHeader.end(), message.begin(),
                    message.begin() + std::min(message.size(), kSysExHeader.size())) ||
        message.size() < kSysExHeader.size() + 1)
        return refused(MessageKind::OtherDevice,
                       LUMIDOT_TEXT_NOOP("DisplayModel", "ほかの機器へのメッセージです"));
    const std::span<const std::uint8_t> body = message.subspan(4, message.size() - 5);
    if (body.empty())
        return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "コマンドがありません"));
    switch (body[0]) {
    case 0x7D: return decodeColour(body);
    case 0x00: return decodeModeSelect(body);
    case 0x08: return decodeFxParameter(body);
    case 0x12: return decodeDisplayWrite(message);
    default: return malformed(LUMIDOT_TEXT_NOOP("DisplayModel", "未知のコマンドです"));
    }
}

bool packedDot(const PackedFrame& frame, int column, int row)
{
    const int group = column / 7;
    const int bit = 6 - column % 7;
    return (frame[static_cast<std::size_t>(16 * group + row)] >> bit) & 1;
}

bool DisplayState::dot(int column, int row) const
{
    return frame && packedDot(*frame, column, row);
}

std::string_view DisplayState::line1() const
{
    return {reinterpret_cast<const char*>(text.data()), std::min(textSize, kMessageLineBytes)};
}

std::string_view DisplayState::line2() const
{
    if (textSize <= kMessageLineBytes)
        return {};
    return {reinterpret_cast<const char*>(text.data()) + kMessageLineBytes,
            textSize - kMessageLineBytes};
}

namespace {

// "理由 (n バイト: F0 43 10 ...)": enough of the bytes to recognise the message.
std::string undecodedSummary(const DecodedMessage& decoded, std::span<const std::uint8_t> message)
{
    constexpr std::size_t kShownBytes = 8;
    std::string bytes;
    char hex[4];
    for (std::size_t i = 0; i < std::min(message.size(), kShownBytes); ++i) {
        std::snprintf(hex, sizeof hex, " %02X", message[i]);
        bytes += hex;
    }
    if (message.size() > kShownBytes)
        bytes += " ...";
    return LUMIDOT_TEXT("DisplayModel", "%1 (%2 バイト:%3)")
        .arg(UserText("DisplayModel", decoded.problem.data()).str())
        .arg(static_cast<long long>(message.size()))
        .arg(bytes);
}

} // namespace

MessageKind DisplayModel::apply(std::span<const std::uint8_t> message)
{
    const DecodedMessage decoded = decodeMessage(message);
    switch (decoded.kind) {
    case MessageKind::LcdColour:
        state_.backlight = decoded.colour;
        break;
    case MessageKind::ModeSelect:
        state_.modeSelect = decoded.mode;
        break;
    case MessageKind::FxParameter:
        switch (decoded.param) {
        case FxParam::Effect1: state_.effect1 = decoded.value; break;
        case FxParam::Effect2: state_.effect2 = decoded.value; break;
        case FxParam::Mode: state_.effectMode = decoded.value; break;
        }
        break;
    case MessageKind::ShowMessage:
        state_.text.fill(' ');
        std::copy(decoded.text.begin(), decoded.text.end(), state_.text.begin());
        state_.textSize = decoded.text.size();
        break;
    case MessageKind::FrameDraw: {
        PackedFrame frame;
        std::copy_n(decoded.frame, kPackedFrameSize, frame.begin());
        state_.frame = frame;
        break;
    }
    case MessageKind::OtherDevice:
    case MessageKind::Malformed:
        ++state_.undecodedCount;
        state_.lastUndecoded = undecodedSummary(decoded, message);
        break;
    }
    return decoded.kind;
}

} // namespace lumidot
