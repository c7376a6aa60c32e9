// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/PlaybackSchedule.h"
#include "recording/Recording.h"
#include "recording/StepTiming.h"
#include "recording/VideoTiming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lumidot {
namespace {

PackedFrame frameNumbered(std::uint8_t number)
{
    PackedFrame frame{};
    frame[0] = number;
    return frame;
}

std::vector<std::int64_t> waitsOf(const TimedFrameBuilder& builder)
{
    std::vector<std::int64_t> waits;
    for (const TimedFrame& frame : builder.frames())
        waits.push_back(frame.wait);
    return waits;
}

// The shortest gap between frame steps at a rate, after each is put on its
// nearest tick, in microseconds.
double shortestGap(int fps, int tempo)
{
    TimedFrameBuilder builder(fps, tempo);
    std::int64_t shortest = -1;
    for (int k = 1; k <= 4 * fps; ++k) {
        const std::int64_t gap = builder.tickOf(k) - builder.tickOf(k - 1);
        shortest = shortest < 0 ? gap : std::min(shortest, gap);
    }
    return static_cast<double>(shortest) * 1e6 / static_cast<double>(ticksPerSecond(tempo));
}

TEST(VideoRates, TheCableRateLetsEveryFrameStepLeaveTheWireInTime)
{
    const double frameOnWire = static_cast<double>(cableMicroseconds(kFrameDrawBytes));   // 28,480 us
    // At 120 BPM a tick is 1,041.7 us: 35 a second would leave some frames 27 ticks apart, too close.
    EXPECT_EQ(cableFrameRate(120), 34);
    for (int tempo = 20; tempo <= 300; ++tempo) {
        const int fps = cableFrameRate(tempo);
        ASSERT_GE(shortestGap(fps, tempo), frameOnWire) << tempo;
        if (fps < kMaxVideoFps) {
            ASSERT_LT(shortestGap(fps + 1, tempo), frameOnWire) << tempo;
        }
    }
    EXPECT_EQ(cableBytesPerSecond(34), 3026);
    EXPECT_LE(cableBytesPerSecond(kMaxVideoFps), kCableBytesPerSecond);
    EXPECT_GT(cableBytesPerSecond(kMaxVideoFps + 1), kCableBytesPerSecond);
}

TEST(VideoRates, TheDefaultIsTheClipsOwnRateUpToTheCables)
{
    EXPECT_EQ(defaultVideoFps(30, 120), 30);
    EXPECT_EQ(defaultVideoFps(30000.0 / 1001, 120), 30);   // NTSC 29.97 keeps every frame
    EXPECT_EQ(defaultVideoFps(24000.0 / 1001, 120), 24);
    EXPECT_EQ(defaultVideoFps(25.0001, 120), 25);           // a container's rounding
    EXPECT_EQ(defaultVideoFps(12.5, 120), 13);
    EXPECT_EQ(defaultVideoFps(60, 120), 34);
    EXPECT_EQ(defaultVideoFps(0, 120), 34);                 // unknown
    EXPECT_EQ(defaultVideoFps(0.2, 120), 1);
    EXPECT_EQ(defaultVideoFps(60, 20), cableFrameRate(20));
}

TEST(SampleGrids, CountAndTimes)
{
    EXPECT_EQ((SampleGrid{0, 1'000'000, 30}.count()), 30);
    EXPECT_EQ((SampleGrid{0, 1'000'001, 30}.count()), 31);      // a sample at exactly 1 s
    EXPECT_EQ((SampleGrid{500'000, 1'000'000, 35}.count()), 18);  // 17.5 samples
    EXPECT_EQ((SampleGrid{2'000'000, 2'000'000, 10}.count()), 0);
    EXPECT_EQ((SampleGrid{0, SampleGrid::kOpenEnd, 10}.count()), -1);
    const SampleGrid grid{1'000'000, 2'000'000, 30};
    EXPECT_EQ(grid.microsecondsOf(1), 1'033'333);
    EXPECT_EQ(compareTimes(grid.time(3), ClipTime::microseconds(1'100'000)), 0);
    EXPECT_EQ(compareTimes(grid.time(1), ClipTime::microseconds(1'033'333)), 1);
    EXPECT_EQ(compareTimes(grid.time(1), ClipTime::microseconds(1'033'334)), -1);
}

TEST(SampleGrids, TimesCompareExactlyAcrossTimeBases)
{
    // 90 kHz ticks, NTSC frame counts and milliseconds, far into a long clip.
    EXPECT_EQ(compareTimes({3003, 1, 90000}, {1001, 1, 30000}), 0);
    EXPECT_EQ(compareTimes({3004, 1, 90000}, {1001, 1, 30000}), 1);
    EXPECT_EQ(compareTimes({36'000'000'000'000LL, 1, 90000}, {400'000'000'001LL, 1, 1000}), -1);
    EXPECT_EQ(compareTimes({1, -1, -25}, {40, 1, 1000}), 0);
    EXPECT_EQ((ClipTime{-1, 1, 3}.toMicroseconds()), -333'334);
    EXPECT_EQ((ClipTime{1001, 1, 30000}.toMicroseconds()), 33'366);
}

// Frames of a 30-a-second clip in a 90 kHz time base, sampled at 30 a second:
// each sample lies exactly on a frame's start and takes that frame, never
// the one before.
TEST(FrameSamplers, ASampleOnAFramesStartTakesThatFrame)
{
    FrameSampler sampler({0, 1'000'000, 30});
    EXPECT_EQ(sampler.takeBefore({0, 1, 90000}), 0);   // nothing before the first frame
    for (int k = 1; k < 30; ++k)
        ASSERT_EQ(sampler.takeBefore({3000 * k, 1, 90000}), 1) << k;
    EXPECT_FALSE(sampler.finished());
    EXPECT_EQ(sampler.takeBefore({90000, 1, 90000}), 1);
    EXPECT_TRUE(sampler.finished());
    EXPECT_EQ(sampler.takeBefore({120000, 1, 90000}), 0);
}

TEST(FrameSamplers, FastFramesAreSkippedAndSlowOnesRepeat)
{
    // 60 a second sampled at 25 from 0.1 s: 2.4 frames a sample.
    FrameSampler fast({100'000, SampleGrid::kOpenEnd, 25});
    std::vector<std::int64_t> perFrame;
    for (int k = 1; k <= 30; ++k)
        perFrame.push_back(fast.takeBefore({k, 1, 60}));
    // Frames 6 (0.1 s), 8 (0.14 s), 10, 13, 15, 18 take one sample each.
    std::vector<std::int64_t> expected(30, 0);
    for (const int frame : {6, 8, 10, 13, 15, 18, 20, 22, 25, 27})
        expected[static_cast<std::size_t>(frame)] = 1;
    EXPECT_EQ(perFrame, expected);

    // 2 a second sampled at 5: each frame fills the samples before the next.
    FrameSampler slow({0, 1'500'000, 5});
    EXPECT_EQ(slow.takeBefore({500, 1, 1000}), 3);
    EXPECT_EQ(slow.takeBefore({1000, 1, 1000}), 2);
    EXPECT_EQ(slow.takeRest(), 3);   // the last frame to the grid's end
    EXPECT_TRUE(slow.finished());
    // A frame that goes back in time fills nothing.
    EXPECT_EQ(slow.takeBefore({0, 1, 1000}), 0);
}

TEST(TimedFrames, WaitsCarryTheirRoundingForward)
{
    // 35 a second at 120 BPM is 27.43 ticks a frame.
    TimedFrameBuilder builder(35, 120);
    for (std::uint8_t k = 0; k < 8; ++k)
        builder.add(frameNumbered(k));
    EXPECT_EQ(waitsOf(builder), (std::vector<std::int64_t>{0, 27, 28, 27, 28, 27, 28, 27}));
    EXPECT_EQ(builder.frames().back().tick, 192);   // 7 / 35 s exactly
    EXPECT_EQ(builder.endTick(), 219);              // 8 / 35 s = 219.4 ticks

    // Nearly 10,000 frames later the last one still lies within half a tick of its time.
    TimedFrameBuilder longer(29, 97);
    for (int k = 0; k < kStepLimit; ++k)
        longer.add(frameNumbered(static_cast<std::uint8_t>(k % 2)));
    const double exact = (kStepLimit - 1) / 29.0 * static_cast<double>(ticksPerSecond(97));
    EXPECT_LE(std::abs(static_cast<double>(longer.frames().back().tick) - exact), 0.5);
    std::int64_t sum = 0;
    for (const TimedFrame& frame : longer.frames())
        sum += frame.wait;
    EXPECT_EQ(sum, longer.frames().back().tick);
}

TEST(TimedFrames, EqualFramesInARowLengthenOneStep)
{
    TimedFrameBuilder builder(10, 120);
    builder.add(frameNumbered(1), 3);
    builder.add(frameNumbered(1));
    builder.add(frameNumbered(2), 2);
    builder.add(frameNumbered(1));
    ASSERT_EQ(builder.steps(), 3);
    EXPECT_EQ(builder.frames()[1].tick, 384);
    EXPECT_EQ(waitsOf(builder), (std::vector<std::int64_t>{0, 384, 192}));
    EXPECT_EQ(builder.samples(), 7);
    EXPECT_EQ(builder.endTick(), 672);
    builder.add(frameNumbered(3), 0);   // fills no sample: no step
    EXPECT_EQ(builder.steps(), 3);
}

// Where the frame steps of a clip start and how long the last lasts, as the
// export lays them out at the tick spacing, counted from the first of them.
struct ClipLayout {
    std::vector<std::int64_t> starts;
    std::int64_t end = 0;
};

ClipLayout clipLayout(const Recording& recording, int first, int stepTick)
{
    const StepLayout layout = stepLayout(recording, stepTick);
    ClipLayout clip;
    for (int k = first; k < layout.size(); ++k)
        clip.starts.push_back(layout.starts[static_cast<std::size_t>(k)] - layout.starts[static_cast<std::size_t>(first)]);
    clip.end = layout.end - layout.starts[static_cast<std::size_t>(first)];
    return clip;
}

// Each frame step starts at its time in the clip, whatever came before it
// and whatever the spacing, and the recording ends where the clip does.
TEST(TimedFrames, EachStepStartsAtItsTimeAndTheLastLastsToTheEnd)
{
    TimedFrameBuilder builder(35, 120);
    for (std::uint8_t k = 0; k < 8; ++k)
        builder.add(frameNumbered(k / 2), 1);   // pairs: 4 steps of two samples each
    for (const int stepTick : {1, 8, 24}) {
        Recording recording;
        recording.appendColour(LcdColour::Red);
        ASSERT_TRUE(appendTimedFrames(recording, builder.frames(), builder.endTick(), stepTick));
        ASSERT_EQ(recording.FrameCount(), 4);
        const ClipLayout clip = clipLayout(recording, 1, stepTick);
        EXPECT_EQ(clip.starts, (std::vector<std::int64_t>{0, 55, 110, 165})) << stepTick;   // 2k / 35 s
        EXPECT_EQ(clip.end, 219) << stepTick;
        EXPECT_EQ(recording.wait(0), StepWait::spacing());   // what came before keeps its timing
    }
}

// A step that cannot come as soon as its time (the spacing is longer than
// the gap) comes as soon as it can; the next still starts at its own time.
TEST(TimedFrames, ALateStepIsCaughtUpByTheNext)
{
    const std::vector<TimedFrame> frames{{frameNumbered(1), 0, 0}, {frameNumbered(2), 10, 10},
                                         {frameNumbered(3), 300, 290}};
    Recording recording;
    ASSERT_TRUE(appendTimedFrames(recording, frames, 400, 20));
    EXPECT_EQ(clipLayout(recording, 0, 20).starts, (std::vector<std::int64_t>{0, 20, 300}));
    EXPECT_EQ(recording.endWait(), 100);

    // A recording near its limit takes nothing it cannot hold.
    Recording nearlyFull;
    for (int k = 0; k < kStepLimit - 2; ++k)
        nearlyFull.appendFrame(frameNumbered(0));
    EXPECT_FALSE(appendTimedFrames(nearlyFull, frames, 400, 20));
    EXPECT_EQ(nearlyFull.StepCount(), kStepLimit - 2);
    EXPECT_EQ(nearlyFull.endWait(), kEndOfTrackTicks);
}

TEST(StepLimits, ARangeTooLongIsToldWhatWouldFit)
{
    // 400 s at 30 a second: 12,000 samples.
    const StepLimitCheck check = checkStepLimit({0, 400'000'000, 30}, kStepLimit);
    EXPECT_FALSE(check.fits);
    EXPECT_EQ(check.samples, 12'000);
    EXPECT_EQ(check.fittingFps, 24);                  // 9,600; 25 a second would be 10,000
    EXPECT_EQ(check.fittingEndUs, 333'300'000);       // 9,999 samples at 30 a second

    const StepLimitCheck late = checkStepLimit({10'000'000, 11'000'000, 10}, 4);
    EXPECT_FALSE(late.fits);
    EXPECT_EQ(late.fittingFps, 4);
    EXPECT_EQ(late.fittingEndUs, 10'400'000);

    EXPECT_TRUE(checkStepLimit({0, 10'000'000, 10}, 100).fits);
    const StepLimitCheck full = checkStepLimit({0, 10'000'000, 10}, 0);
    EXPECT_EQ(full.fittingFps, 0);
    EXPECT_EQ(full.fittingEndUs, 0);
    EXPECT_TRUE(checkStepLimit({0, SampleGrid::kOpenEnd, 10}, 0).fits);   // counted as it goes
}

} // namespace
} // namespace lumidot
