// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/StepClip.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumidot {

// The clipboard forms of copied steps. Our own form keeps every step with
// its payload; the plain form is the steps' .syx bytes, for any program
// that takes System Exclusive data.
inline constexpr const char* kStepsMimeType = "application/x-lumidot-steps";
inline constexpr const char* kSysExMimeType = "application/x-sysex";

std::vector<std::uint8_t> encodeSteps(const StepClip& steps);
// The steps of our own form, or nothing when the bytes are not that form
// exactly (a damaged or foreign clipboard).
std::optional<StepClip> decodeSteps(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> stepsAsSyx(const StepClip& steps);
// The steps of .syx bytes as Lumidot writes them, or nothing.
std::optional<StepClip> stepsFromSyx(std::span<const std::uint8_t> bytes);

} // namespace lumidot
