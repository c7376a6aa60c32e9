// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/SmfWriter.h"
#include "recording/CableLimit.h"
#include "recording/EditEntry.h"
#include "recording/PlaybackSchedule.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace lumidot {
namespace {

using namespace lumidot::testing;

using Ticks = std::vector<std::int64_t>;

Recording frames(int count)
{
    Recording r;
    for (int k = 0; k < count; ++k)
        r.appendFrame(patternFrame(k));
    return r;
}

// A frame, an effect group, a frame, a colour: the ways a step can end.
Recording frameEffectFrameColour()
{
    Recording r;
    r.appendFrame(patternFrame(1));
    r.appendEffect({1, 2, 3});
    r.appendFrame(patternFrame(2));
    r.appendColour(LcdColour::Red);
    return r;
}

std::vector<std::int64_t> lengths(const Recording& r, int stepTick)
{
    const StepLayout layout = stepLayout(r, stepTick);
    std::vector<std::int64_t> out;
    for (int k = 0; k < layout.size(); ++k)
        out.push_back(layout.length(k));
    return out;
}

TEST(StepWaits, NewStepsFollowTheSpacingAndOwnWaitsPlaceTheirStep)
{
    Recording r = frameEffectFrameColour();
    EXPECT_FALSE(r.hasOwnTiming());
    // 8 + 8; the effect group 32..36; the frame 36 + 16; the colour 52 + 16; the end 48 later.
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{16, 32, 52, 68}));
    EXPECT_EQ(stepLayout(r, 8).end, 68 + 48);

    r.setWait(2, StepWait::ticks(1000));   // text at 36 + 1000, frame 8 later
    r.setWait(3, StepWait::ticks(0));      // text on the frame's tick
    EXPECT_TRUE(r.hasOwnTiming());
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{16, 32, 1044, 1052}));
    // A new spacing moves the steps that follow it and each message after its text.
    EXPECT_EQ(stepLayout(r, 20).starts, (Ticks{40, 80, 1104, 1124}));

    r.setStartOffset(0);
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{0, 16, 1028, 1036}));
    r.setStartOffset(1920);
    r.setEndWait(480);
    EXPECT_EQ(stepLayout(r, 8).starts.front(), 1920);
    EXPECT_EQ(stepLayout(r, 8).end, stepLayout(r, 8).starts.back() + 480);

    r.setWait(1, StepWait::ticks(5'000'000));
    EXPECT_EQ(r.wait(1), StepWait::ticks(kMaxWait)) << "a wait never leaves its range";
    r.setWait(-1, StepWait::ticks(3));
    r.setWait(99, StepWait::ticks(3));
    EXPECT_EQ(r.StepCount(), 4);

    r.clear();
    EXPECT_FALSE(r.hasOwnTiming()) << "New forgets the start and the end too";
}

TEST(StepWaits, StepEditsCarryEachStepsWaitWithIt)
{
    Recording r = frames(5);
    for (int k = 0; k < 5; ++k)
        r.setWait(k, StepWait::ticks(100 * k));
    StepEdit moved = moveSteps(r, 3, 2, 0);   // steps 3 and 4 to the front
    ASSERT_EQ(moved.result, EditResult::Done);
    auto waitsOf = [](const Recording& rec) {
        std::vector<int> out;
        for (const StepWait wait : rec.waits())
            out.push_back(wait.ownTicks());
        return out;
    };
    EXPECT_EQ(waitsOf(r), (std::vector<int>{300, 400, 0, 100, 200}));
    EXPECT_EQ(r.frameRecord(0), patternFrame(3));

    const StepClip copied = r.copySteps(1, 2);
    ASSERT_EQ(insertSteps(r, 5, copied).result, EditResult::Done);
    EXPECT_EQ(waitsOf(r), (std::vector<int>{300, 400, 0, 100, 200, 400, 0}));
    ASSERT_EQ(deleteSteps(r, 0, 2).result, EditResult::Done);
    EXPECT_EQ(waitsOf(r), (std::vector<int>{0, 100, 200, 400, 0}));

    // A clip from before steps had waits pastes as steps that take the spacing.
    StepClip old = r.copySteps(0, 2);
    old.waits.clear();
    ASSERT_EQ(insertSteps(r, 0, old).result, EditResult::Done);
    EXPECT_TRUE(r.wait(0).followsSpacing() && r.wait(1).followsSpacing());
    EXPECT_EQ(r.wait(2), StepWait::ticks(0));
}

TEST(StepWaits, DuplicatesLastAsLongAsTheirOriginalsAndTheOriginalsKeepTheirLengths)
{
    // In the middle: the step after the block waits long, the block's own waits vary.
    Recording r = frameEffectFrameColour();
    r.setWait(1, StepWait::ticks(100));
    r.setWait(2, StepWait::ticks(300));
    r.setWait(3, StepWait::ticks(40));
    const Ticks before = lengths(r, 8);
    ASSERT_EQ(duplicateSteps(r, 1, 2, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8), (Ticks{before[0], before[1], before[2], before[1], before[2], before[3]}));

    // At the end the last step lasts until the end of the track, here one
    // shorter than a step after it could (0 ticks: the spacing alone).
    for (const int endWait : {kEndOfTrackTicks, 960, 0}) {
        SCOPED_TRACE(endWait);
        Recording tail = frameEffectFrameColour();
        tail.setEndWait(endWait);
        const Ticks was = lengths(tail, 8);
        ASSERT_EQ(duplicateSteps(tail, 2, 2, 8).result, EditResult::Done);
        const Ticks now = lengths(tail, 8);
        EXPECT_EQ(now[4], was[2]);
        EXPECT_EQ(now[5], was[3]);
        EXPECT_EQ(now[3], std::max<std::int64_t>(was[3], 8));
    }
}

// The whole timing of a recording, as the .mid export writes it.
Bytes timed(const Recording& r)
{
    return EXPORT_SMF(r, 8);
}

TEST(StepWaits, UndoAndRedoOfEveryKindOfChangeRestoreTheTiming)
{
    Recording r = frameEffectFrameColour();
    const Bytes recorded = timed(r);

    // A timing edit, which knows what it changed.
    const StepEdit lengths = setStepLengths(r, 0, 4, 480, 8);
    ASSERT_EQ(lengths.result, EditResult::Done);
    const Bytes retimed = timed(r);
    ASSERT_NE(retimed, recorded);
    lengths.change.undo(r);
    EXPECT_EQ(timed(r), recorded);
    EXPECT_FALSE(r.hasOwnTiming());
    lengths.change.redo(r);
    EXPECT_EQ(timed(r), retimed);

    // A wait changed behind the tracker's back, and a file read in place of
    // the steps (Open): both found by comparing.
    EditTracker tracker;
    const VirtualArea plane;
    tracker.takeChanges(plane, r);
    r.setWait(2, StepWait::ticks(7));
    const EditEntry nudged = tracker.takeChanges(plane, r);
    EXPECT_FALSE(nudged.empty());
    Recording opened = frames(2);
    opened.setStartOffset(1920);
    opened.setEndWait(0);
    const Bytes before = timed(r);
    r.replaceSteps(std::move(opened));
    const Bytes after = timed(r);
    const EditEntry open = tracker.takeChanges(plane, r);
    VirtualArea area;
    tracker.undo(open, area, r);
    EXPECT_EQ(timed(r), before);
    tracker.redo(open, area, r);
    EXPECT_EQ(timed(r), after);
    EXPECT_EQ(r.startOffset(), 1920);
    tracker.undo(open, area, r);
    tracker.undo(nudged, area, r);
    EXPECT_EQ(timed(r), retimed);
}

TEST(TimingEdits, LengthsRunFromMessageToMessageAndStayWithinWhatAStepCanHave)
{
    Recording r = frameEffectFrameColour();
    EXPECT_EQ(lengths(r, 8), (Ticks{16, 20, 16, 48}));
    EXPECT_EQ(shortestLength(r, 0, 8), 8);
    EXPECT_EQ(shortestLength(r, 1, 8), 12) << "the group's four ticks and the spacing";
    EXPECT_EQ(shortestLength(r, 3, 8), 0) << "the last step ends with the track";

    ASSERT_EQ(setStepLengths(r, 0, 4, kTicksPerBar, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8), (Ticks{1920, 1920, 1920, 1920}));
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{16, 1936, 3856, 5776}));
    EXPECT_EQ(r.wait(2), StepWait::ticks(1920 - 4 - 8));
    EXPECT_EQ(r.endWait(), 1920);
    EXPECT_EQ(setStepLengths(r, 0, 4, kTicksPerBar, 8).result, EditResult::Nothing)
        << "an edit that changes nothing makes no undo entry";

    ASSERT_EQ(setStepLengths(r, 0, 2, 1, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8), (Ticks{8, 12, 1920, 1920}));
    ASSERT_EQ(setStepLengths(r, 2, 1, 9'999'999, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8)[2], kMaxWait + 8);

    ASSERT_EQ(resetStepLengths(r, 0, 4).result, EditResult::Done);
    EXPECT_FALSE(r.hasOwnTiming());
}

TEST(TimingEdits, HalvingAndDoublingAndTheirLimits)
{
    Recording r = frames(3);
    ASSERT_EQ(setStepLengths(r, 0, 3, 480, 8).result, EditResult::Done);
    ASSERT_EQ(scaleStepLengths(r, 0, 2, false, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8), (Ticks{240, 240, 480}));
    ASSERT_EQ(scaleStepLengths(r, 1, 2, true, 8).result, EditResult::Done);
    EXPECT_EQ(lengths(r, 8), (Ticks{240, 480, 960}));
    for (int k = 0; k < 10; ++k)
        scaleStepLengths(r, 0, 3, false, 8);
    EXPECT_EQ(lengths(r, 8), (Ticks{8, 8, 0})) << "halved down to the shortest, then no further";
    EXPECT_EQ(scaleStepLengths(r, 0, 3, false, 8).result, EditResult::Nothing);
}

TEST(TimingEdits, NudgingMovesTheStepsWithoutMovingTheOnesAfterThem)
{
    Recording r = frames(4);
    ASSERT_EQ(setStepLengths(r, 0, 4, 480, 8).result, EditResult::Done);
    const Ticks at = stepLayout(r, 8).starts;   // 16, 496, 976, 1456
    ASSERT_EQ(nudgeSteps(r, 1, 2, kTicksPerSixteenth, 8).result, EditResult::Done);
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{at[0], at[1] + 120, at[2] + 120, at[3]}));
    ASSERT_EQ(nudgeSteps(r, 3, 1, -2 * kTicksPerSixteenth, 8).result, EditResult::Done);
    EXPECT_EQ(stepLayout(r, 8).starts[3], at[3] - 240);
    EXPECT_EQ(stepLayout(r, 8).end, at[3] + 480) << "the end stays where it was";

    // The first step moves the start, down to tick 0 and no further.
    ASSERT_EQ(nudgeSteps(r, 0, 1, -kTicksPerSixteenth, 8).result, EditResult::Done);
    EXPECT_EQ(r.startOffset(), 0);
    EXPECT_EQ(stepLayout(r, 8).starts[1], at[1] + 120);
    EXPECT_EQ(nudgeSteps(r, 0, 1, -kTicksPerSixteenth, 8).result, EditResult::Nothing);

    // A step cannot pass the one after it: it moves as far as there is room.
    ASSERT_EQ(nudgeSteps(r, 1, 1, 100000, 8).result, EditResult::Done);
    EXPECT_EQ(stepLayout(r, 8).starts[1], stepLayout(r, 8).starts[2] - 8);
}

TEST(TimingEdits, HoldStretchesFramesToTheNextBeatOrBarAndThoseAfterFollow)
{
    Recording r = frameEffectFrameColour();   // frames at 16 and 52, the colour at 68
    ASSERT_EQ(holdFrames(r, 0, 4, kTicksPerBeat, 8).result, EditResult::Done);
    // The first frame ends on beat 2; the effect follows at 480 and lasts
    // 20, so the second frame starts at 500 and is held to beat 3.
    EXPECT_EQ(stepLayout(r, 8).starts, (Ticks{16, 480, 500, 960}));
    EXPECT_EQ(lengths(r, 8)[3], 48) << "only frames are held";
    ASSERT_EQ(holdFrames(r, 2, 1, kTicksPerBar, 8).result, EditResult::Done);
    EXPECT_EQ(stepLayout(r, 8).starts[3], 1920);
    ASSERT_EQ(holdFrames(r, 2, 1, kTicksPerBar, 8).result, EditResult::Done);
    EXPECT_EQ(stepLayout(r, 8).starts[3], 3840) << "a frame already on the bar goes on to the next";

    Recording colours;
    colours.appendColour(LcdColour::Green);
    EXPECT_EQ(holdFrames(colours, 0, 1, kTicksPerBar, 8).result, EditResult::Nothing);
}

TEST(StepTiming, BarsBeatsAndTicksCountFromOne)
{
    EXPECT_EQ(formatBarBeatTick(0), "1:1:000");
    EXPECT_EQ(formatBarBeatTick(16), "1:1:016");
    EXPECT_EQ(formatBarBeatTick(479), "1:1:479");
    EXPECT_EQ(formatBarBeatTick(480), "1:2:000");
    EXPECT_EQ(formatBarBeatTick(1919), "1:4:479");
    EXPECT_EQ(formatBarBeatTick(1920), "2:1:000");
    EXPECT_EQ(formatBarBeatTick(9999LL * kMaxWait), "9999001:1:000");
    EXPECT_EQ(formatBarBeatTick(-5), "1:1:000");
    EXPECT_EQ(microsecondsToTicks(500000, 120), 480);
    EXPECT_EQ(microsecondsToTicks(100000, 120), 96);
}

TEST(PlaybackSchedule, FollowsUnevenWaitsAndFindsTheStepAtATime)
{
    Recording r = frameEffectFrameColour();
    ASSERT_EQ(setStepLengths(r, 0, 1, 960, 8).result, EditResult::Done);
    ASSERT_EQ(setStartOffset(r, 480).result, EditResult::Done);
    const PlaybackSchedule schedule = buildSchedule(r, 8, 120);
    // At 120 a quarter lasts half a second: 480, 1440 .. 1444, 1460, 1476, the end 48 on.
    const std::vector<std::int64_t> expected{500000, 1500000, 1520833, 1537500};
    EXPECT_EQ(schedule.stepTimes, expected);
    EXPECT_EQ(schedule.messages[2].time, ticksToMicroseconds(1441, 120));
    EXPECT_EQ(schedule.length, ticksToMicroseconds(1476 + 48, 120));
    EXPECT_EQ(schedule.stepAt(0), -1);
    EXPECT_EQ(schedule.stepAt(499999), -1);
    EXPECT_EQ(schedule.stepAt(500000), 0);
    EXPECT_EQ(schedule.stepAt(1499999), 0);
    EXPECT_EQ(schedule.stepAt(1520833), 2);
    EXPECT_EQ(schedule.stepAt(schedule.length), 3);
    EXPECT_EQ(recordingLength(r, 8, 120), schedule.length);
}

TEST(CableLimit, WaitsOfTheirOwnCanOutrunOrSpareTheCable)
{
    // Frames 2 x 14 ticks apart just fit at 120 BPM; one with a wait of 0
    // after its neighbour comes 14 ticks after it, too soon for 89 bytes.
    Recording r = frames(3);
    EXPECT_FALSE(checkCable(r, 14, 120).outruns);
    r.setWait(2, StepWait::ticks(0));
    const CableCheck tight = checkCable(r, 14, 120);
    EXPECT_TRUE(tight.outruns);
    EXPECT_EQ(tight.firstLateStep, 2);
    EXPECT_EQ(tight.smallestStepTick, 28) << "the spacing alone must then carry the frame";
    // A long own wait spares the cable even at the smallest spacing.
    r.setWait(1, StepWait::ticks(480));
    r.setWait(2, StepWait::ticks(480));
    EXPECT_FALSE(checkCable(r, 1, 120).outruns);
    EXPECT_EQ(checkCable(r, 1, 120).firstLateStep, -1);
}
} // namespace
} // namespace lumidot
