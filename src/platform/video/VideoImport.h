// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"
#include "platform/video/VideoFile.h"
#include "recording/Recording.h"
#include "recording/StepTiming.h"
#include "recording/VideoTiming.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumidot {

// The choices of a clip's import; the window's dialog and lumidot-convert's
// options both come down to these, so both make the same steps.
struct VideoImportChoices {
    DotConversion conversion;
    int fps = 0;                    // 0: defaultVideoFps for the clip and the tempo
    int tempo = kDefaultTempo;
    std::int64_t startUs = 0;
    std::int64_t endUs = SampleGrid::kOpenEnd;   // the clip's end
    int pictureX = 0;               // where each frame's top-left dot goes on the plane
    int pictureY = 0;
    Placement placement = Placement::Replace;
    int windowX = 0;                // the window each frame step records
    int windowY = 0;
    int remainingSteps = kStepLimit;
    std::int64_t decodedLimit = kLargestDecodedBytes;
};

// The frame steps of a clip. frames is empty unless the problem is None or
// one that keeps the frames before it (a damaged or truncated file).
struct VideoImport {
    std::vector<TimedFrame> frames;
    std::int64_t samples = 0;
    std::int64_t endTick = 0;       // where the last step ends, at the import's tempo
    int fps = 0;                    // the rate used
    VideoProblem problem;
    VirtualArea plane;              // the plane as the last frame leaves it

    bool imported() const { return !frames.empty() && (problem.ok() || problem.keepsFrames()); }
};

// How far the import has come, in samples of the range (total -1 while the
// clip's length is unknown). Returning false cancels it.
using VideoProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The rate and the times that a file's choices come to, before any decoding.
int videoImportFps(const VideoInfo& info, const VideoImportChoices& choices);
// The samples taken: up to the end chosen, or to the last frame's end.
SampleGrid videoImportGrid(const VideoInfo& info, const VideoImportChoices& choices);
// The samples the clip's header promises, ended by its length where the
// end chosen lies beyond it; the step limit and the progress count these.
SampleGrid videoCountedGrid(const VideoInfo& info, const VideoImportChoices& choices);
// The grey picture the conversion needs from the clip's frames: scaled to
// its size, or, not scaled, cut to the plane's size.
FrameCut videoFrameSize(const VideoInfo& info, const DotConversion& conversion);

// Decodes the range, converts each sampled frame with the picture import's
// conversion, puts it on a copy of the plane and packs the window into a
// frame step. The step limit and the decoded size are checked before the
// decoding where the clip's length allows, and again as it goes.
VideoImport importVideo(VideoFile& file, const VideoImportChoices& choices, const VirtualArea& plane,
                        const VideoProgress& progress = {});

} // namespace lumidot
