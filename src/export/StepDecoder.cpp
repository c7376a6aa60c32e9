// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/StepDecoder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace lumidot {

namespace {

constexpr std::uint8_t kColourCommand = 0x7D;

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

template <std::size_t N>
bool equals(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& expected)
{
    return bytes.size() == N && std::equal(expected.begin(), expected.end(), bytes.begin());
}

// Matches FX Parameter param with any value; the value goes to value.
bool fxParameter(std::span<const std::uint8_t> body, FxParam param, std::uint8_t& value)
{
    const auto expected = fxParameterBody(param, 0);
    if (body.size() != expected.size() || body[0] != expected[0] || body[1] != expected[1] ||
        body[2] != 0x00 || body[4] != 0x00)
        return false;
    value = body[3];
    return true;
}

std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string hexByte(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

} // namespace

std::string offsetError(std::size_t offset, const std::string& what)
{
    return "byte offset " + std::to_string(offset) + ": " + what;
}

bool StepDecoder::refuse(ReadFault fault, std::size_t offset, const std::string& what)
{
    if (!error_.empty())
        return false;
    error_ = offsetError(offset, what);
    fault_ = fault;
    faultOffset_ = offset;
    detail_ = what;
    return false;
}

bool StepDecoder::add(std::span<const std::uint8_t> message, std::size_t offset)
{
    if (!error_.empty())
        return false;
    if (message.size() < kSysExHeader.size() + 1 || !startsWith(message, kSysExHeader) ||
        message.back() != kEndOfExclusive)
        return refuse(ReadFault::ForeignMessage, offset,
                      "not an NS5R message (expected F0 42 30 42 ... F7)");
    const auto body = message.subspan(kSysExHeader.size(), message.size() - kSysExHeader.size() - 1);
    if (std::any_of(body.begin(), body.end(), [](std::uint8_t b) { return b >= 0x80; }))
        return refuse(ReadFault::BrokenStructure, offset, "status byte inside an NS5R message");
    return groupPosition_ > 0 ? addGroupMessage(body, offset) : addStep(body, offset);
}

bool StepDecoder::addStep(std::span<const std::uint8_t> body, std::size_t offset)
{
    if (body.size() == 2 && body[0] == kColourCommand) {
        switch (body[1]) {
        case 0x00: recording_.appendColour(LcdColour::Green); return true;
        case 0x01: recording_.appendColour(LcdColour::Orange); return true;
        case 0x02: recording_.appendColour(LcdColour::Red); return true;
        case 0x7F: recording_.appendColour(LcdColour::Off); return true;
        default: return refuse(ReadFault::BadValue, offset, "unknown LCD colour " + hexByte(body[1]));
        }
    }
    if (equals(body, modeSelectBody(kModeEffect))) {
        groupPosition_ = 1;
        groupOffset_ = offset;
        return true;
    }
    if (startsWith(body, kShowMessagePrefix))
        return addMessageStep(body.subspan(kShowMessagePrefix.size()), offset);
    if (startsWith(body, kFrameDrawPrefix)) {
        if (body.size() != kFrameDrawPrefix.size() + kPackedFrameSize)
            return refuse(ReadFault::BadLength, offset,
                          "Frame Draw command without exactly 80 frame bytes");
        PackedFrame frame;
        std::copy(body.begin() + 4, body.end(), frame.begin());
        if (recording_.appendFrame(frame) == RecordResult::Full)
            return refuse(ReadFault::TooManySteps, offset,
                          "frame step beyond the recorder's limit of " + std::to_string(kStepLimit) +
                              " steps");
        return true;
    }
    return refuse(ReadFault::UnknownCommand, offset, "NS5R command that no recorded step produces");
}

bool StepDecoder::addMessageStep(std::span<const std::uint8_t> text, std::size_t offset)
{
    // A recorded message holds line 1 padded to 16 bytes and up to 16 more.
    if (text.size() < kMessageLineBytes || text.size() > 2 * kMessageLineBytes)
        return refuse(ReadFault::BadLength, offset,
                      "Show Message command with " + std::to_string(text.size()) +
                          " text bytes (a recorded message has 16 to 32)");
    const auto line1 = asText(text.first(kMessageLineBytes));
    const auto line2 = asText(text.subspan(kMessageLineBytes));
    if (recording_.appendMessage(line1, line2) == RecordResult::Full)
        return refuse(ReadFault::TooManySteps, offset,
                      "message step beyond the recorder's limit of " + std::to_string(kStepLimit) +
                          " steps");
    return true;
}

bool StepDecoder::addGroupMessage(std::span<const std::uint8_t> body, std::size_t offset)
{
    const std::string broken = "broken effect group (begun at byte offset " +
                               std::to_string(groupOffset_) + ")";
    std::uint8_t value = 0;
    switch (groupPosition_) {
    case 1:
        if (!fxParameter(body, FxParam::Effect1, value) || value >= kEffectCount)
            return refuse(ReadFault::BrokenEffectGroup, offset, broken + ": expected effect 1 (0..47)");
        groupEffect_.effect1 = value;
        break;
    case 2:
        if (!fxParameter(body, FxParam::Effect2, value) || value >= kEffectCount)
            return refuse(ReadFault::BrokenEffectGroup, offset, broken + ": expected effect 2 (0..47)");
        groupEffect_.effect2 = value;
        break;
    case 3:
        if (!fxParameter(body, FxParam::Mode, value) || value >= kEffectModeCount)
            return refuse(ReadFault::BrokenEffectGroup, offset,
                          broken + ": expected the effect mode (0..3)");
        groupEffect_.mode = value;
        break;
    default:
        if (!equals(body, modeSelectBody(kModeDisplay)))
            return refuse(ReadFault::BrokenEffectGroup, offset, broken + ": expected Mode Select 01");
        recording_.appendEffect(groupEffect_);
        groupPosition_ = 0;
        return true;
    }
    ++groupPosition_;
    return true;
}

bool StepDecoder::finish()
{
    if (!error_.empty())
        return false;
    if (groupPosition_ > 0)
        return refuse(ReadFault::Truncated, groupOffset_, "effect group cut short by the end of the file");
    return true;
}

} // namespace lumidot
