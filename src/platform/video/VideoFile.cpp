// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoFile.h"

#include "export/UserFile.h"
#include "platform/video/VideoSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

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

// A clip is opened as every user's file is: only a regular file, and never
// waiting for a pipe's writer.
int openClip(const std::string& fileName, VideoProblem& problem)
{
    FileRefusal refused;
    const int fd = openUserFile(fileName, refused);
    if (fd < 0) {
        problem = VideoProblem(VideoFault::CannotOpen);
        problem.reason = refused.error;
    }
    return fd;
}

std::unique_ptr<VideoSource> openSource(const std::string& fileName, VideoProblem& problem)
{
    std::string error;
    const VideoDecoders* decoders = videoDecoders(error);
    if (!decoders) {
        problem = VideoProblem(VideoFault::NoDecoders);
        problem.reason = error;
        return nullptr;
    }
    if (isWebpFile(fileName)) {
        VideoProblem webp;
        const int fd = openClip(fileName, webp);
        if (fd < 0) {
            problem = webp;
            return nullptr;
        }
        if (auto source = decoders->openWebp(fd, fileName, webp))
            return source;
        // A still WebP that libwebp refuses may still be one FFmpeg reads.
        if (webp.fault == VideoFault::FrameTooLarge) {
            problem = webp;
            return nullptr;
        }
    }
    const int fd = openClip(fileName, problem);
    return fd < 0 ? nullptr : decoders->openFfmpeg(fd, fileName, problem);
}

// One reading of a grid: the frame on screen is held until the next one
// tells how many samples it fills, then converted once for all of them.
class SamplingRun {
public:
    SamplingRun(const SampleGrid& grid, FrameCut size, const VideoFile::SampleSink& each,
                std::int64_t decodedLimit)
        : sampler_(grid)
        , size_(size)
        , each_(each)
        , decodedLimit_(decodedLimit)
    {
    }

    bool started() const { return shown_ != nullptr; }

    // Takes the next frame. False when the reading stops here: problem says
    // why, or is None when the range is complete.
    bool take(std::unique_ptr<SourceFrame> frame, VideoProblem& problem)
    {
        const std::int64_t filled = sampler_.takeBefore(frame->start);
        if (shown_) {
            if (!handOn(filled + owed_)) {
                problem = VideoProblem(VideoFault::Cancelled);
                return false;
            }
            owed_ = 0;
        } else {
            owed_ = filled;   // the first frame also fills the samples before it
        }
        if (sampler_.finished()) {
            // The frame starts after the range: it only closed the one before.
            if (!shown_)
                shown_ = std::move(frame);
            return false;
        }
        decoded_ += frame->bytes;
        if (decoded_ > decodedLimit_) {
            problem = VideoProblem(VideoFault::TooMuchData);
            problem.atUs = frame->start.toMicroseconds();
            return false;
        }
        shown_ = std::move(frame);
        return true;
    }

    // The last frame fills the samples up to its own end; a clip that ends
    // well before the length its header gives was cut short.
    VideoProblem finish(VideoProblem problem, bool reachedEnd, const VideoInfo& info)
    {
        if (!shown_)
            return problem.ok() ? VideoProblem(VideoFault::EmptyRange) : problem;
        if (!problem.ok() && !problem.keepsFrames())
            return problem;
        if (!handOn(sampler_.takeBefore(shown_->end) + owed_))
            return VideoProblem(VideoFault::Cancelled);
        const std::int64_t endUs = shown_->end.toMicroseconds();
        if (reachedEnd && info.picturesOwnLength && endUs < info.durationUs - truncationMargin(info))
            problem.fault = VideoFault::Truncated;
        if (problem.keepsFrames())
            problem.atUs = endUs;
        if (problem.ok() && sampler_.taken() == 0)
            problem.fault = VideoFault::EmptyRange;
        return problem;
    }

private:
    bool handOn(std::int64_t samples) { return samples <= 0 || each_(shown_->grey(size_), samples); }

    FrameSampler sampler_;
    FrameCut size_;
    const VideoFile::SampleSink& each_;
    std::int64_t decodedLimit_;
    std::unique_ptr<SourceFrame> shown_;
    std::int64_t owed_ = 0;
    std::int64_t decoded_ = 0;
};

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

VideoProblem VideoFile::sample(const SampleGrid& grid, FrameCut size, const SampleSink& each,
                               std::int64_t decodedLimit)
{
    VideoProblem problem;
    if (!restart(grid.startUs, problem))
        return problem;
    SamplingRun run(grid, size, each, decodedLimit);
    bool fromStart = grid.startUs <= 0;
    for (;;) {
        auto frame = source_->next(problem);
        if (!frame)
            return run.finish(problem, problem.ok(), info_);
        // A seek that lands past the start would show a later frame for the
        // first samples: read the clip from its beginning instead.
        if (!run.started() && !fromStart && compareTimes(frame->start, grid.time(0)) > 0) {
            fromStart = true;
            if (!restart(0, problem))
                return problem;
            continue;
        }
        if (!run.take(std::move(frame), problem))
            return problem.ok() ? run.finish(problem, false, info_) : problem;
    }
}

bool VideoFile::frameAt(std::int64_t timeUs, FrameCut size, GreyImage& frame, VideoProblem& problem)
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

bool isWebpFile(const std::string& fileName)
{
    FileRefusal refused;
    const int fd = openUserFile(fileName, refused);
    if (fd < 0)
        return false;
    char head[12] = {};
    ssize_t got = 0;
    do
        got = ::read(fd, head, sizeof head);
    while (got < 0 && errno == EINTR);
    ::close(fd);
    return got == static_cast<ssize_t>(sizeof head) && std::memcmp(head, "RIFF", 4) == 0 &&
           std::memcmp(head + 8, "WEBP", 4) == 0;
}

} // namespace lumidot
