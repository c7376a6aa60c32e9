// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"
#include "recording/Recording.h"
#include "recording/StepTiming.h"

#include <cstdint>
#include <string>

namespace lumidot {

// Where the LCD window stands on the plane: the dot at its top-left corner.
struct WindowPosition {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPosition&) const = default;
};

// The two message lines as typed: printable ASCII, at most 16 bytes each.
struct MessageLines {
    std::string line1;
    std::string line2;
    bool operator==(const MessageLines&) const = default;
};

// The tick spacing a run starts with, before the settings are read.
inline constexpr std::uint8_t kDefaultStepTick = 8;

// Everything the user made in a run: what a saved document holds and what a
// restored one brings back. The window shows it; the document layer changes
// it (see document/Workspace.h). The timing of the steps (each step's wait,
// where the first one starts, how long the end lasts) belongs to the
// recording, so that undo, the clipboard and the files carry it; the song's
// tempo belongs here beside the tick spacing.
struct Document {
    VirtualArea plane;
    WindowPosition window;
    Recording recording;
    MessageLines lines;
    LcdColour colour = LcdColour::Green;
    EffectSetting effect;                     // effect 1, effect 2 and the effect mode
    std::uint8_t stepTick = kDefaultStepTick; // ticks between steps in .mid and .prt, 1..127
    // Quarter notes a minute: the monitor plays at it, a picture's frame
    // delays become ticks at it, and a .mid saved with its tempo holds it.
    int tempo = kDefaultTempo;
};

} // namespace lumidot
