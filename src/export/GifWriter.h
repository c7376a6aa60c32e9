// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ExportResult.h"
#include "export/OpenCommand.h"
#include "recording/Recording.h"
#include "recording/StepTiming.h"

#include <cstddef>

namespace lumidot {

struct GifOptions {
    int stepTick = 8;            // the tick spacing of the steps, 1..127
    int tempo = kDefaultTempo;   // quarter notes a minute
    int dotSize = 4;             // pixels a dot, 1..8
    std::size_t largestFile = kLargestReadableFile;
};

// The monitor's picture of a recording played at its timing, as an
// animated GIF that loops: one frame per change of the picture, frames too
// short for a GIF merged into the next. Written through giflib, a frame at a
// time, without a list of the recording's messages. The file is refused
// (tooLarge) the moment it grows past largestFile.
ExportResult EXPORT_GIF(const Recording& recording, const GifOptions& options);

} // namespace lumidot
