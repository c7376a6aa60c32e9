// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"

#include <cstdint>
#include <optional>
#include <span>

namespace lumidot {

// The kinds of recorded step. The values are the bytes a recording's event
// stream and the steps' clipboard form hold; the low four bits of the three
// colour kinds are the colour byte of the LCD Colour command. Code that
// treats each kind differently switches over this type without a default, so
// that a kind added here is a compiler warning wherever it is not handled.
enum class StepKind : std::uint8_t {
    Green = 0xF0,
    Orange = 0xF1,
    Red = 0xF2,
    Message = 0xF3,
    Frame = 0xF5,
    Off = 0xF7,
    Effect = 0xF8,
};

// The byte of a kind, as the event stream holds it.
constexpr std::uint8_t stepKindByte(StepKind kind)
{
    return static_cast<std::uint8_t>(kind);
}

// The kind a byte stands for, or nothing for a byte no step has (a damaged
// clipboard).
std::optional<StepKind> stepKindOf(std::uint8_t byte);

// The colour or off step of a backlight choice.
StepKind colourStepKind(LcdColour colour);

// The backlight of a colour or off step.
LcdColour stepColour(StepKind kind);

// The two kinds held to the step limit: frame and message steps.
bool limitedKind(StepKind kind);

// One recorded step as the writers see it.
struct Step {
    StepKind kind = StepKind::Green;
    std::span<const std::uint8_t> text;   // message steps: the 16 + n text bytes
    const PackedFrame* frame = nullptr;   // frame steps
    EffectSetting effect{};               // effect steps
};

} // namespace lumidot
