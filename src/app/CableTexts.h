// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/CableLimit.h"

#include <QString>

#include <cstdint>

namespace lumidot {

// The recording's length with the timing it holds at: "0:12.345 (120 BPM, 8 Tick)".
QString recordingLengthText(std::int64_t length, int tempo, int stepTick);

// The information window's warning line; empty when every step is on time.
QString cableWarningText(const CableCheck& check);

// The question asked once before a .mid or .prt whose steps outrun the cable is saved.
QString cableSaveQuestion(const CableCheck& check, int tempo, int stepTick);

} // namespace lumidot
