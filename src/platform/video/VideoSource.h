// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The decoders behind VideoFile: each delivers the frames of a clip in
// presentation order with their times from the clip's first frame.

#include "platform/video/VideoFile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace lumidot {

// A decoded frame, held until it is known how many samples it fills.
class SourceFrame {
public:
    virtual ~SourceFrame() = default;
    // The frame scaled to size, as grey levels and opacities.
    virtual GreyImage grey(PictureSize size) const = 0;

    ClipTime start;   // when it is first shown
    ClipTime end;     // when the next frame takes over, as far as the frame itself tells
    std::int64_t bytes = 0;   // its picture data as decoded
};

class VideoSource {
public:
    virtual ~VideoSource() = default;
    virtual const VideoInfo& info() const = 0;
    // Moves to the key frame at or before timeUs; false when the clip cannot
    // move there (VideoFile then opens it anew and reads from its start).
    virtual bool seek(std::int64_t timeUs) = 0;
    // The next frame, or null at the end of the clip; problem is then None
    // at a clean end, or says why the clip ended early or was refused.
    virtual std::unique_ptr<SourceFrame> next(VideoProblem& problem) = 0;
};

std::unique_ptr<VideoSource> openFfmpegSource(const std::string& fileName, VideoProblem& problem);

std::unique_ptr<VideoSource> openWebpSource(const std::string& fileName, VideoProblem& problem);

} // namespace lumidot
