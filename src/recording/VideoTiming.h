// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumidot {

// A clip imported as frame steps: frames are taken at a steady rate from a
// start to an end time, each step placed on the tick of its time at a tempo,
// and a run of equal frames becomes one longer step.

// A Frame Draw message on the wire: F0 42 30 42, 84 body bytes, F7.
inline constexpr int kFrameDrawBytes = 89;

// The frame rates the import offers. The top one is the most frame steps a
// second the cable carries at all.
inline constexpr int kMinVideoFps = 1;
inline constexpr int kMaxVideoFps = 35;

// Ticks at 480 a quarter note, per second at a tempo.
constexpr std::int64_t ticksPerSecond(int tempo)
{
    return 8 * static_cast<std::int64_t>(tempo);
}

// The highest frame rate whose frame steps, each put on the nearest tick at
// the tempo, all leave the cable before the next one starts: the shortest
// gap the rounding leaves must still carry the 89 bytes (34 at 120 BPM).
int cableFrameRate(int tempo);

// The rate the import starts with: the clip's own rate, rounded up so that a
// 29.97 clip keeps every frame, held to what the cable carries at the tempo.
// videoFps <= 0 (unknown) gives the cable's rate.
int defaultVideoFps(double videoFps, int tempo);

// Bytes a second that frame steps at fps put on the cable, at most.
constexpr int cableBytesPerSecond(int fps)
{
    return fps * kFrameDrawBytes;
}

// A time in a clip as containers give it: value x num / den seconds.
struct ClipTime {
    std::int64_t value = 0;
    std::int64_t num = 1;
    std::int64_t den = 1;

    static ClipTime microseconds(std::int64_t us) { return {us, 1, 1000000}; }
    // Rounded towards minus infinity.
    std::int64_t toMicroseconds() const;
};

// -1, 0 or 1 as a is before, at or after b; exact for every value a
// container can hold.
int compareTimes(const ClipTime& a, const ClipTime& b);

// The times at which frames are taken: fps a second from startUs on, up to
// and not including endUs. Times count from the clip's first frame.
struct SampleGrid {
    std::int64_t startUs = 0;
    std::int64_t endUs = kOpenEnd;
    int fps = 30;

    static constexpr std::int64_t kOpenEnd = -1;   // up to the end of the clip, wherever it is

    bool open() const { return endUs == kOpenEnd; }
    // The number of samples; -1 for an open grid.
    std::int64_t count() const;
    // Sample k's time, exactly.
    ClipTime time(std::int64_t k) const;
    // Sample k's time from the clip's start in microseconds, rounded down.
    std::int64_t microsecondsOf(std::int64_t k) const;
};

// Takes the samples in the order of a clip's frames. A sample is filled by
// the frame shown at its time: the last one that starts at or before it
// (the first frame also fills the samples before it). Feed every frame's
// start in presentation order; each call tells how many further samples the
// frame before it fills.
class FrameSampler {
public:
    explicit FrameSampler(const SampleGrid& grid);

    // The samples not yet filled whose time lies before `start`, the start of
    // the next frame; those belong to the frame before it. Held to the grid's end.
    std::int64_t takeBefore(const ClipTime& start);
    // Every sample left on a closed grid; 0 on an open one.
    std::int64_t takeRest();

    std::int64_t taken() const { return taken_; }
    // A closed grid with every sample filled: no later frame is needed.
    bool finished() const;

private:
    SampleGrid grid_;
    std::int64_t taken_ = 0;
};

// One frame step of an imported clip.
struct TimedFrame {
    PackedFrame frame{};
    std::int64_t tick = 0;   // its time from the first frame, at 480 a quarter
    std::int64_t wait = 0;   // ticks after the frame step before it; 0 for the first
};

// The frame steps of a clip, built sample by sample. Each step lies on the
// tick nearest its sample's exact time, counted from the first sample, so
// the rounding never adds up: every step, the last one included, lies
// within half a tick of its time. A sample equal to the step before it
// lengthens that step instead of adding one.
class TimedFrameBuilder {
public:
    TimedFrameBuilder(int fps, int tempo);

    // The next `count` samples all show this window.
    void add(const PackedFrame& frame, std::int64_t count = 1);

    std::int64_t samples() const { return samples_; }
    int steps() const { return static_cast<int>(frames_.size()); }
    const std::vector<TimedFrame>& frames() const { return frames_; }
    std::vector<TimedFrame> take() { return std::move(frames_); }
    // The tick at which the samples so far end: the last step's end.
    std::int64_t endTick() const { return tickOf(samples_); }
    std::int64_t tickOf(std::int64_t sample) const;

private:
    int fps_;
    int tempo_;
    std::int64_t samples_ = 0;
    std::vector<TimedFrame> frames_;
};

class Recording;

// Appends the frame steps of a clip to a recording, one a step, each
// waiting so that it starts at its tick from the first one at the tick
// spacing stepTick (a frame's message comes stepTick after its wait). A
// step that cannot come so soon comes as soon as it can and the later ones
// still start at their own ticks. The last step lasts to endTick: the
// recording's end wait. False, changing nothing, when the steps do not fit
// under the step limit.
bool appendTimedFrames(Recording& recording, std::span<const TimedFrame> frames, std::int64_t endTick,
                       int stepTick);

// Whether a range at a rate stays within the steps left, and if not, what
// would: the highest lower rate for the same range, and the end time that
// keeps the rate. Counted in samples, which no merging can push past.
struct StepLimitCheck {
    bool fits = true;
    std::int64_t samples = 0;
    int fittingFps = 0;             // 0 when even 1 a second passes the limit
    std::int64_t fittingEndUs = 0;  // the range start..this at the same rate fits
};

StepLimitCheck checkStepLimit(const SampleGrid& grid, int remainingSteps);

} // namespace lumidot
