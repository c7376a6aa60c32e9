// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumidot {

// How many characters of a port's name the port list shows.
inline constexpr std::size_t kPortNameChars = 32;

// A device name as the port list shows it: at most maxChars characters of
// UTF-8, never cut inside a character.
std::string cutDeviceName(std::string_view name, std::size_t maxChars = kPortNameChars);

// An ALSA sequencer port's name without the "client:port" numbers that
// RtMidi puts at its end ("Synth:Synth MIDI 1 128:0" is "Synth:Synth MIDI 1"):
// the numbers change when the device is plugged in again, its name does not.
std::string withoutSequencerAddress(std::string_view name);

} // namespace lumidot
