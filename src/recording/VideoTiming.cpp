// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/VideoTiming.h"

#include "recording/PlaybackSchedule.h"
#include "recording/Recording.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <cmath>

namespace lumidot {

namespace {

using Wide = __int128;

constexpr std::int64_t kMicrosecondsPerSecond = 1000000;

// The smallest whole number not below n / d, for d > 0.
Wide ceilDiv(Wide n, Wide d)
{
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// The same time with a positive denominator.
ClipTime normal(ClipTime t)
{
    if (t.den < 0) {
        t.den = -t.den;
        t.num = -t.num;
    }
    return t;
}

} // namespace

int cableFrameRate(int tempo)
{
    const std::int64_t perSecond = ticksPerSecond(validTempo(tempo));
    // The ticks one Frame Draw needs on the wire: its microseconds over a
    // tick's (1,000,000 / perSecond), rounded up.
    const std::int64_t frameMicroseconds = cableMicroseconds(kFrameDrawBytes);
    const std::int64_t neededTicks =
        (frameMicroseconds * perSecond + kMicrosecondsPerSecond - 1) / kMicrosecondsPerSecond;
    // Ticks put on the nearest whole tick are never closer than the whole
    // part of their exact spacing.
    for (int fps = kMaxVideoFps; fps > kMinVideoFps; --fps)
        if (perSecond / fps >= neededTicks)
            return fps;
    return kMinVideoFps;
}

int defaultVideoFps(double videoFps, int tempo)
{
    const int cable = cableFrameRate(tempo);
    if (!(videoFps > 0))
        return cable;
    // 29.97 and 23.976 round up; a rate a hair above a whole number (a
    // container's rounding) does not.
    const double rounded = std::ceil(videoFps - 0.01);
    return static_cast<int>(std::clamp<double>(rounded, kMinVideoFps, cable));
}

std::int64_t ClipTime::toMicroseconds() const
{
    const ClipTime t = normal(*this);
    const Wide n = static_cast<Wide>(t.value) * t.num * kMicrosecondsPerSecond;
    const Wide q = n / t.den;
    return static_cast<std::int64_t>(n % t.den < 0 ? q - 1 : q);
}

int compareTimes(const ClipTime& a, const ClipTime& b)
{
    const ClipTime x = normal(a);
    const ClipTime y = normal(b);
    const Wide left = static_cast<Wide>(x.value) * x.num * y.den;
    const Wide right = static_cast<Wide>(y.value) * y.num * x.den;
    return left < right ? -1 : left > right ? 1 : 0;
}

std::int64_t SampleGrid::count() const
{
    if (open())
        return -1;
    if (endUs <= startUs)
        return 0;
    const Wide span = static_cast<Wide>(endUs - startUs) * fps;
    return static_cast<std::int64_t>(ceilDiv(span, kMicrosecondsPerSecond));
}

ClipTime SampleGrid::time(std::int64_t k) const
{
    return {startUs * fps + k * kMicrosecondsPerSecond, 1, kMicrosecondsPerSecond * fps};
}

std::int64_t SampleGrid::microsecondsOf(std::int64_t k) const
{
    return startUs + k * kMicrosecondsPerSecond / fps;
}

FrameSampler::FrameSampler(const SampleGrid& grid)
    : grid_(grid)
{
}

std::int64_t FrameSampler::takeBefore(const ClipTime& start)
{
    // Sample k lies before start when
    //   (startUs * fps + k * 10^6) / (10^6 * fps) < value * num / den,
    // that is k < (value * num * 10^6 * fps - startUs * fps * den) / (10^6 * den).
    const ClipTime t = normal(start);
    const Wide fps = grid_.fps;
    const Wide top = static_cast<Wide>(t.value) * t.num * kMicrosecondsPerSecond * fps -
                     static_cast<Wide>(grid_.startUs) * fps * t.den;
    Wide before = std::max<Wide>(0, ceilDiv(top, static_cast<Wide>(kMicrosecondsPerSecond) * t.den));
    if (!grid_.open())
        before = std::min<Wide>(before, grid_.count());
    const std::int64_t reached = std::max(taken_, static_cast<std::int64_t>(before));
    const std::int64_t newly = reached - taken_;
    taken_ = reached;
    return newly;
}

std::int64_t FrameSampler::takeRest()
{
    if (grid_.open())
        return 0;
    const std::int64_t newly = std::max<std::int64_t>(0, grid_.count() - taken_);
    taken_ += newly;
    return newly;
}

bool FrameSampler::finished() const
{
    return !grid_.open() && taken_ >= grid_.count();
}

TimedFrameBuilder::TimedFrameBuilder(int fps, int tempo)
    : fps_(std::clamp(fps, kMinVideoFps, kMaxVideoFps))
    , tempo_(validTempo(tempo))
{
}

std::int64_t TimedFrameBuilder::tickOf(std::int64_t sample) const
{
    // The nearest tick to sample / fps seconds, halves rounded up.
    return (2 * sample * ticksPerSecond(tempo_) + fps_) / (2 * static_cast<std::int64_t>(fps_));
}

void TimedFrameBuilder::add(const PackedFrame& frame, std::int64_t count)
{
    if (count <= 0)
        return;
    if (frames_.empty() || frames_.back().frame != frame) {
        const std::int64_t tick = tickOf(samples_);
        const std::int64_t wait = frames_.empty() ? 0 : tick - frames_.back().tick;
        frames_.push_back({frame, tick, wait});
    }
    samples_ += count;
}

bool appendTimedFrames(Recording& recording, std::span<const TimedFrame> frames, std::int64_t endTick,
                       int stepTick)
{
    if (static_cast<std::int64_t>(frames.size()) > kStepLimit - recording.StepCount())
        return false;
    if (frames.empty())
        return true;
    const int first = recording.StepCount();
    const std::int64_t spacing = StepTickCounter(stepTick).stepTick();
    std::vector<WaitAt> waits;
    waits.reserve(frames.size());
    std::int64_t placed = frames.front().tick;   // where the step appended last starts
    for (std::size_t k = 0; k < frames.size(); ++k) {
        recording.appendFrame(frames[k].frame);
        if (k == 0)
            continue;
        const std::int64_t wait = std::clamp<std::int64_t>(frames[k].tick - placed - spacing, 0, kMaxWait);
        placed += spacing + wait;
        waits.push_back({first + static_cast<int>(k), StepWait::ticks(wait)});
    }
    recording.setWaits(waits);
    recording.setEndWait(static_cast<int>(std::clamp<std::int64_t>(endTick - placed, 0, kMaxWait)));
    return true;
}

StepLimitCheck checkStepLimit(const SampleGrid& grid, int remainingSteps)
{
    StepLimitCheck check;
    check.samples = grid.count();
    if (grid.open() || check.samples <= remainingSteps)
        return check;
    check.fits = false;
    const std::int64_t room = std::max(0, remainingSteps);
    for (int fps = grid.fps - 1; fps >= kMinVideoFps && check.fittingFps == 0; --fps)
        if (room > 0 && SampleGrid{grid.startUs, grid.endUs, fps}.count() <= room)
            check.fittingFps = fps;
    check.fittingEndUs = grid.startUs + room * kMicrosecondsPerSecond / grid.fps;
    return check;
}

} // namespace lumidot
