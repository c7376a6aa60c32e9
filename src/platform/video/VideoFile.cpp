// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoFile.h"

#include "platform/video/VideoSource.h"

#include <algorithm>

namespace lumidot {

namespace {

// A clip counts as cut short when its last frame ends this much before the
// length its header gives: containers round their lengths, and a last frame
// may lack its duration.
std::int64_t truncationMargin(const VideoInfo& info)
{
    const std::int64_t twoFrames = info.frameRate > 0 ? static_cast<std::int64_t>(2e6 / info.frameRate) : 0;
    return std::max<std::int64_t>(250000, twoFrames);
}

std::unique_ptr<VideoSource> openSource(const std::string& fileName, VideoProblem& problem)
{
    if (isWebpFile(fileName)) {
        VideoProblem webp;
        if (auto source = openWebpSource(fileName, webp))
            return source;
        // A still WebP that libwebp refuses may still be one FFmpeg reads.
        if (webp.fault == VideoFault::FrameTooLarge) {
            problem = webp;
            return nullptr;
        }
    }
    return openFfmpegSource(fileName, problem);
}

} // namespace

struct VideoFile::Shown {
    std::unique_ptr<SourceFrame> frame;
    ClipTime until;   // the next frame's start, or the frame's own end
};

VideoFile::VideoFile(std::string fileName, std::unique_ptr<VideoSource> source)
    : fileName_(std::move(fileName))
    , source_(std::move(source))
    , info_(source_->info())
{
}

VideoFile::~VideoFile() = default;

std::unique_ptr<VideoFile> VideoFile::open(const std::string& fileName, VideoProblem& problem)
{
    problem = {};
    auto source = openSource(fileName, problem);
    if (!source)
        return nullptr;
    return std::unique_ptr<VideoFile>(new VideoFile(fileName, std::move(source)));
}

// Moves to the key frame before timeUs; where the clip cannot move, it is
// opened anew and read from its start.
bool VideoFile::restart(std::int64_t timeUs, VideoProblem& problem)
{
    shown_.reset();   // its frame refers to the source's scaler
    if (source_->seek(timeUs))
        return true;
    auto fresh = openSource(fileName_, problem);
    if (!fresh)
        return false;
    source_ = std::move(fresh);
    return true;
}

VideoProblem VideoFile::sample(const SampleGrid& grid, PictureSize size, const SampleSink& each,
                               std::int64_t decodedLimit)
{
    VideoProblem problem;
    if (!restart(grid.startUs, problem))
        return problem;
    FrameSampler sampler(grid);
    std::unique_ptr<SourceFrame> shown;   // the frame whose samples are still being counted
    std::int64_t owed = 0;                // samples before the first frame, which it fills
    std::int64_t decoded = 0;
    bool reachedEnd = false;
    bool fromStart = grid.startUs <= 0;
    for (;;) {
        auto frame = source_->next(problem);
        if (!frame) {
            reachedEnd = problem.ok();
            break;
        }
        // A seek that lands past the start would show a later frame for the
        // first samples: read the clip from its beginning instead.
        if (!shown && !fromStart && compareTimes(frame->start, grid.time(0)) > 0) {
            fromStart = true;
            if (!restart(0, problem))
                return problem;
            continue;
        }
        const std::int64_t filled = sampler.takeBefore(frame->start);
        if (shown) {
            if (filled + owed > 0 && !each(shown->grey(size), filled + owed))
                return VideoProblem(VideoFault::Cancelled);
            owed = 0;
        } else {
            owed = filled;
        }
        if (sampler.finished())
            break;   // the frame starts after the range: it only closed the one before
        decoded += frame->bytes;
        if (decoded > decodedLimit) {
            problem = VideoProblem(VideoFault::TooMuchData);
            problem.atUs = frame->start.toMicroseconds();
            return problem;
        }
        shown = std::move(frame);
    }
    if (!shown)
        return problem.ok() ? VideoProblem(VideoFault::EmptyRange) : problem;
    if (!problem.ok() && !problem.keepsFrames())
        return problem;
    const std::int64_t last = sampler.takeBefore(shown->end) + owed;
    if (last > 0 && !each(shown->grey(size), last))
        return VideoProblem(VideoFault::Cancelled);
    const std::int64_t endUs = shown->end.toMicroseconds();
    if (reachedEnd && info_.picturesOwnLength && endUs < info_.durationUs - truncationMargin(info_))
        problem.fault = VideoFault::Truncated;
    if (problem.keepsFrames())
        problem.atUs = endUs;
    if (problem.ok() && sampler.taken() == 0)
        problem.fault = VideoFault::EmptyRange;
    return problem;
}

bool VideoFile::frameAt(std::int64_t timeUs, PictureSize size, GreyImage& frame, VideoProblem& problem)
{
    problem = {};
    const ClipTime time = ClipTime::microseconds(std::max<std::int64_t>(0, timeUs));
    if (shown_ && compareTimes(shown_->frame->start, time) <= 0 && compareTimes(time, shown_->until) < 0) {
        frame = shown_->frame->grey(size);
        return true;
    }
    if (!restart(timeUs, problem))
        return false;
    std::unique_ptr<SourceFrame> current;
    bool fromStart = timeUs <= 0;
    for (;;) {
        auto next = source_->next(problem);
        if (!next)
            break;
        if (!current && !fromStart && compareTimes(next->start, time) > 0) {
            fromStart = true;
            if (!restart(0, problem))
                return false;
            continue;
        }
        if (current && compareTimes(next->start, time) > 0) {
            shown_ = std::make_unique<Shown>(Shown{std::move(current), next->start});
            frame = shown_->frame->grey(size);
            return true;
        }
        current = std::move(next);
    }
    if (!current)
        return false;
    // The last frame before the end or the damage.
    const ClipTime until = current->end;
    shown_ = std::make_unique<Shown>(Shown{std::move(current), until});
    frame = shown_->frame->grey(size);
    problem = {};
    return true;
}

bool isVideoFile(const std::string& fileName)
{
    VideoProblem problem;
    return VideoFile::open(fileName, problem) != nullptr;
}

} // namespace lumidot
