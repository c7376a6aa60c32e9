// SPDX-License-Identifier: GPL-3.0-or-later
// The module's one exported symbol: everything else stays inside it, so
// that its copies of the core's functions never stand in for the program's.

#include "platform/video/VideoSource.h"

namespace lumidot {

std::unique_ptr<VideoSource> openFfmpegSource(int fd, const std::string& fileName, VideoProblem& problem);
std::unique_ptr<VideoSource> openWebpSource(int fd, const std::string& fileName, VideoProblem& problem);

} // namespace lumidot

extern "C" __attribute__((visibility("default"))) const lumidot::VideoDecoders* lumidot_video_decoders()
{
    static const lumidot::VideoDecoders decoders{lumidot::openFfmpegSource, lumidot::openWebpSource};
    return &decoders;
}
