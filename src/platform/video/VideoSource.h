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
    // The frame scaled and cut to size, as grey levels and opacities.
    virtual GreyImage grey(const FrameCut& size) const = 0;

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

// The decoders live in a module of their own (decoders/), loaded on the
// first clip opened: FFmpeg's libraries and the hundred-odd libraries they
// pull in cost a program a third of a second at every start, which a
// conversion of pictures or recordings should not pay.
// Each reads the clip from fd, a regular file opened for reading as every
// user's file is opened, and closes it; fileName names it in messages and
// hints at its format.
struct VideoDecoders {
    std::unique_ptr<VideoSource> (*openFfmpeg)(int fd, const std::string& fileName, VideoProblem& problem);
    std::unique_ptr<VideoSource> (*openWebp)(int fd, const std::string& fileName, VideoProblem& problem);
};

// The name of the function the module exports, returning its decoders.
inline constexpr const char* kVideoDecodersEntry = "lumidot_video_decoders";

// The decoders, loaded once for the process; null, with the loader's words,
// when the module cannot be loaded.
const VideoDecoders* videoDecoders(std::string& error);

} // namespace lumidot
