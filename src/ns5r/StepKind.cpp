// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/StepKind.h"

namespace lumidot {

std::optional<StepKind> stepKindOf(std::uint8_t byte)
{
    const auto kind = static_cast<StepKind>(byte);
    switch (kind) {
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Message:
    case StepKind::Frame:
    case StepKind::Off:
    case StepKind::Effect:
        return kind;
    }
    return std::nullopt;
}

StepKind colourStepKind(LcdColour colour)
{
    switch (colour) {
    case LcdColour::Green: return StepKind::Green;
    case LcdColour::Orange: return StepKind::Orange;
    case LcdColour::Red: return StepKind::Red;
    case LcdColour::Off: break;
    }
    return StepKind::Off;
}

LcdColour stepColour(StepKind kind)
{
    switch (kind) {
    case StepKind::Green: return LcdColour::Green;
    case StepKind::Orange: return LcdColour::Orange;
    case StepKind::Red: return LcdColour::Red;
    case StepKind::Off:
    case StepKind::Message:
    case StepKind::Frame:
    case StepKind::Effect: break;
    }
    return LcdColour::Off;
}

bool limitedKind(StepKind kind)
{
    switch (kind) {
    case StepKind::Frame:
    case StepKind::Message: return true;
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off:
    case StepKind::Effect: break;
    }
    return false;
}

} // namespace lumidot
