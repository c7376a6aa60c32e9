// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoImport.h"

#include <algorithm>

namespace lumidot {

namespace {

// The decoded size of the range, judged from the header before decoding.
bool checkDecodedSize(const VideoInfo& info, const SampleGrid& grid, std::int64_t limit,
                      VideoProblem& problem)
{
    if (grid.open() || info.frameRate <= 0 || info.frameBytes <= 0)
        return true;
    const double frames = static_cast<double>(grid.endUs - grid.startUs) / 1e6 * info.frameRate;
    if (frames * static_cast<double>(info.frameBytes) <= static_cast<double>(limit))
        return true;
    problem = VideoProblem(VideoFault::TooMuchData);
    problem.atUs = grid.startUs;
    const double fittingFrames = static_cast<double>(limit / info.frameBytes);
    problem.fittingEndUs = grid.startUs + static_cast<std::int64_t>(fittingFrames / info.frameRate * 1e6);
    return false;
}

bool checkSteps(const SampleGrid& grid, int remaining, VideoProblem& problem)
{
    const StepLimitCheck check = checkStepLimit(grid, remaining);
    if (check.fits)
        return true;
    problem = VideoProblem(VideoFault::TooManySteps);
    problem.atUs = grid.startUs;
    problem.count = check.samples;
    problem.fittingFps = check.fittingFps;
    problem.fittingEndUs = check.fittingEndUs;
    return false;
}

} // namespace

int videoImportFps(const VideoInfo& info, const VideoImportChoices& choices)
{
    if (choices.fps > 0)
        return std::clamp(choices.fps, kMinVideoFps, kMaxVideoFps);
    return defaultVideoFps(info.frameRate, choices.tempo);
}

SampleGrid videoImportGrid(const VideoInfo& info, const VideoImportChoices& choices)
{
    SampleGrid grid;
    grid.fps = videoImportFps(info, choices);
    grid.startUs = std::max<std::int64_t>(0, choices.startUs);
    grid.endUs = choices.endUs < 0 ? SampleGrid::kOpenEnd : std::max(choices.endUs, grid.startUs);
    return grid;
}

// A container's length may leave out the last frame's own duration, so it
// only estimates; the sampling itself runs to the last frame's end.
SampleGrid videoCountedGrid(const VideoInfo& info, const VideoImportChoices& choices)
{
    SampleGrid grid = videoImportGrid(info, choices);
    if (info.durationUs > 0 && (grid.open() || grid.endUs > info.durationUs))
        grid.endUs = std::max(info.durationUs, grid.startUs);
    return grid;
}

FrameCut videoFrameSize(const VideoInfo& info, const DotConversion& conversion)
{
    const PictureSize size = scaledSize(info.displayWidth, info.displayHeight, conversion.scale, conversion.percent);
    if (conversion.scale != ScaleMode::None)
        return size;
    return {PictureSize{info.displayWidth, info.displayHeight}, size};
}

VideoImport importVideo(VideoFile& file, const VideoImportChoices& choices, const VirtualArea& plane,
                        const VideoProgress& progress)
{
    VideoImport result;
    const VideoInfo& info = file.info();
    const SampleGrid grid = videoImportGrid(info, choices);
    const SampleGrid counted = videoCountedGrid(info, choices);
    result.fps = grid.fps;
    if (!grid.open() && grid.count() == 0) {
        result.problem = VideoProblem(VideoFault::EmptyRange);
        return result;
    }
    if (!checkSteps(counted, choices.remainingSteps, result.problem) ||
        !checkDecodedSize(info, counted, choices.decodedLimit, result.problem))
        return result;

    result.plane.copyFrom(plane);
    TimedFrameBuilder builder(grid.fps, choices.tempo);
    bool tooMany = false;
    // The frames come already scaled to the conversion's size; scaling them
    // again would shrink a percentage twice.
    DotConversion atSize = choices.conversion;
    atSize.scale = ScaleMode::None;
    const auto each = [&](const GreyImage& grey, std::int64_t samples) {
        const DotImage dots = convertToDots(grey, atSize);
        placeDots(result.plane, dots, choices.pictureX, choices.pictureY, choices.placement);
        builder.add(packWindow(result.plane, choices.windowX, choices.windowY), samples);
        if (builder.steps() > choices.remainingSteps) {
            tooMany = true;
            return false;
        }
        return !progress || progress(builder.samples(), counted.count());
    };
    result.problem = file.sample(grid, videoFrameSize(info, choices.conversion), each, choices.decodedLimit);
    if (tooMany) {
        result.problem = VideoProblem(VideoFault::TooManySteps);
        result.problem.count = builder.steps();
        result.problem.atUs = grid.microsecondsOf(builder.samples());
        result.problem.fittingEndUs = result.problem.atUs;
        return result;
    }
    if (!result.problem.ok() && !result.problem.keepsFrames())
        return result;
    result.samples = builder.samples();
    result.endTick = builder.endTick();
    result.frames = builder.take();
    return result;
}

} // namespace lumidot
