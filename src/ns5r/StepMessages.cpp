// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/StepMessages.h"

#include <algorithm>

namespace lumidot {

SysExMessage::SysExMessage(std::span<const std::uint8_t> body)
{
    // Callers pass bodies of at most 84 bytes; cut longer ones rather than overrun.
    body = body.first(std::min(body.size(), kCapacity - kSysExHeader.size() - 1));
    auto out = std::copy(kSysExHeader.begin(), kSysExHeader.end(), bytes_.begin());
    out = std::copy(body.begin(), body.end(), out);
    *out++ = kEndOfExclusive;
    size_ = static_cast<std::size_t>(out - bytes_.begin());
}

std::uint8_t validStepTick(std::uint8_t stepTick)
{
    return std::clamp<std::uint8_t>(stepTick, 1, 127);
}

namespace {

SysExMessage showMessage(std::span<const std::uint8_t> text)
{
    std::array<std::uint8_t, 4 + 2 * kMessageLineBytes> body{};
    text = text.first(std::min(text.size(), 2 * kMessageLineBytes));
    std::copy(kShowMessagePrefix.begin(), kShowMessagePrefix.end(), body.begin());
    std::copy(text.begin(), text.end(), body.begin() + 4);
    return SysExMessage(std::span<const std::uint8_t>(body).first(4 + text.size()));
}

} // namespace

std::size_t stepMessageCount(StepKind kind)
{
    switch (kind) {
    case StepKind::Effect: return 5;
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off:
    case StepKind::Message:
    case StepKind::Frame: break;
    }
    return 1;
}

StepMessages stepMessages(const Step& step)
{
    StepMessages out;
    auto add = [&out](std::span<const std::uint8_t> body) {
        out.messages[out.count++] = SysExMessage(body);
    };
    switch (step.kind) {
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off:
        add(lcdColourBody(stepColour(step.kind)));
        break;
    case StepKind::Message:
        out.messages[out.count++] = showMessage(step.text);
        break;
    case StepKind::Frame:
        if (step.frame)
            add(frameDrawBody(*step.frame));
        break;
    case StepKind::Effect:
        add(modeSelectBody(kModeEffect));
        add(fxParameterBody(FxParam::Effect1, step.effect.effect1));
        add(fxParameterBody(FxParam::Effect2, step.effect.effect2));
        add(fxParameterBody(FxParam::Mode, step.effect.mode));
        add(modeSelectBody(kModeDisplay));
        break;
    }
    return out;
}

} // namespace lumidot
