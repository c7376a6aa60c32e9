// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

namespace lumidot {

// Whether the steps, at the export's spacing and a tempo, outrun a DIN MIDI
// cable: a step outruns it when the messages before it are still on the
// wire at its time, so that the module would show it late.
struct CableCheck {
    bool outruns = false;
    int firstLateStep = -1;     // the first step that would come late (0-based)
    int smallestStepTick = 0;   // the smallest spacing 1..127 that fits; 0 when none does
};

CableCheck checkCable(const Recording& recording, int stepTick, int tempo);

// Just the first late step at this spacing, -1 when every step is on time.
int firstLateStep(const Recording& recording, int stepTick, int tempo);

} // namespace lumidot
