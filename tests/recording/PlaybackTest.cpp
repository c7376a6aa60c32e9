// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SmfWriter.h"
#include "recording/CableLimit.h"
#include "recording/PlaybackSchedule.h"
#include "recording/Player.h"
#include "recording/StepTiming.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumidot {
namespace {

PackedFrame frameWith(std::uint8_t firstByte)
{
    PackedFrame frame{};
    frame[0] = firstByte;
    return frame;
}

// Green, an effect, a frame, a message: one step of each timing kind.
Recording mixed()
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendEffect({1, 20, 3});
    r.appendFrame(frameWith(0x40));
    r.appendMessage("AB", "CD");
    return r;
}

Recording frames(int count)
{
    Recording r;
    for (int i = 0; i < count; ++i)
        r.appendFrame(frameWith(static_cast<std::uint8_t>(i & 0x7F)));
    return r;
}

// The tick of every System Exclusive event in an exported file's track.
std::vector<std::int64_t> sysExTicksOfExport(const std::vector<std::uint8_t>& file)
{
    std::vector<std::int64_t> ticks;
    std::int64_t tick = 0;
    for (std::size_t at = 22; at < file.size();) {
        tick += file[at++];   // every delta of the export is one byte
        if (file[at] == 0xF0) {
            ticks.push_back(tick);
            at += 2 + file[at + 1];
        } else {   // a meta event: FF type length data
            at += 3 + file[at + 2];
        }
    }
    return ticks;
}

TEST(StepTiming, FollowsTheExportedFileTickForTick)
{
    const Recording r = mixed();
    for (const int stepTick : {1, 8, 127}) {
        const PlaybackSchedule schedule = buildSchedule(r, stepTick, kDefaultTempo);
        const std::vector<std::int64_t> exported = sysExTicksOfExport(EXPORT_SMF(r, static_cast<std::uint8_t>(stepTick)));
        ASSERT_EQ(schedule.messages.size(), exported.size());
        for (std::size_t i = 0; i < exported.size(); ++i)
            EXPECT_EQ(schedule.messages[i].time, ticksToMicroseconds(exported[i], kDefaultTempo))
                << "message " << i << " at tick spacing " << stepTick;
    }
    // At 8 ticks: green at 16; the effect group at 32..36; the frame at 52, the message at 68.
    EXPECT_EQ(stepTicks(r.kinds(), 8), (std::vector<std::int64_t>{16, 32, 52, 68}));
    StepTickCounter counter(8);
    for (const StepKind kind : r.kinds())
        counter.next(kind);
    EXPECT_EQ(counter.endTick(), 68 + kEndOfTrackTicks);
}

// The walk gives what the schedule holds, in order, and ends the moment
// its receiver says so, without visiting the steps after.
TEST(StepTiming, TheWalkOfMessagesMatchesTheScheduleAndStopsWhenTold)
{
    const Recording r = mixed();
    const PlaybackSchedule schedule = buildSchedule(r, 8, kDefaultTempo);
    std::vector<ScheduledMessage> walked;
    const std::int64_t length = forEachScheduledMessage(r, 8, kDefaultTempo, [&](const ScheduledMessage& m) {
        walked.push_back(m);
        return true;
    });
    EXPECT_EQ(length, schedule.length);
    ASSERT_EQ(walked.size(), schedule.messages.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ(walked[i].time, schedule.messages[i].time);
        EXPECT_EQ(walked[i].step, schedule.messages[i].step);
    }

    int visited = 0;
    EXPECT_EQ(forEachScheduledMessage(frames(1000), 8, kDefaultTempo, [&](const ScheduledMessage&) {
                  return ++visited < 3;
              }),
              -1);
    EXPECT_EQ(visited, 3);
}

TEST(StepTiming, ConvertsTicksAtTheTempo)
{
    EXPECT_EQ(ticksToMicroseconds(480, 120), 500000);
    EXPECT_EQ(ticksToMicroseconds(480, 20), 3000000);
    EXPECT_EQ(ticksToMicroseconds(480, 300), 200000);
    EXPECT_EQ(ticksToMicroseconds(1, 120), 1042) << "rounded to the nearest microsecond";
    EXPECT_EQ(ticksToMicroseconds(480, 1000), 200000) << "a tempo outside the range is brought in";
    // 9,999 frame steps at 127 ticks and 20 BPM: no overflow, no drift from rounding.
    const Recording many = frames(9999);
    EXPECT_EQ(recordingLength(many, 127, 20), ticksToMicroseconds(9999LL * 254 + 48, 20));
    EXPECT_EQ(stepTimes(many, 127, 20).back(), ticksToMicroseconds(9999LL * 254, 20));
    EXPECT_EQ(recordingLength(Recording{}, 8, 120), 0) << "an empty recording shows 0:00.000";
}

TEST(StepTiming, FormatsTimesAsMinutesSecondsAndMilliseconds)
{
    EXPECT_EQ(formatPlaybackTime(0), "0:00.000");
    EXPECT_EQ(formatPlaybackTime(16667), "0:00.017");
    EXPECT_EQ(formatPlaybackTime(61234567), "1:01.235");
    EXPECT_EQ(formatPlaybackTime(-5), "0:00.000");
    EXPECT_EQ(formatPlaybackTime(125LL * 60 * 1000000), "125:00.000");
}

TEST(CableLimit, FindsTheFirstLateStepAndTheSmallestSpacingThatFits)
{
    // An 89-byte frame takes 28.48 ms; frame steps are 2 x spacing ticks apart.
    const Recording r = frames(3);
    struct Case {
        int tempo;
        int smallest;   // 120 BPM: 2 x 14 x 1.0417 ms = 29.2 ms; 300 BPM: 2 x 35 x 0.4167 ms
    };
    for (const Case c : {Case{120, 14}, Case{300, 35}, Case{20, 3}}) {
        const CableCheck check = checkCable(r, 1, c.tempo);
        EXPECT_TRUE(check.outruns) << c.tempo;
        EXPECT_EQ(check.firstLateStep, 1);
        EXPECT_EQ(check.smallestStepTick, c.smallest) << c.tempo;
        EXPECT_TRUE(checkCable(r, c.smallest - 1, c.tempo).outruns);
        EXPECT_FALSE(checkCable(r, c.smallest, c.tempo).outruns);
        EXPECT_EQ(firstLateStep(r, c.smallest, c.tempo), -1);
    }
    // One step alone never comes late; neither do the messages inside an
    // effect group, which the module receives back to back.
    EXPECT_FALSE(checkCable(frames(1), 1, 300).outruns);
    Recording effects;
    effects.appendEffect({1, 2, 3});
    EXPECT_FALSE(checkCable(effects, 1, 300).outruns);
    effects.appendColour(LcdColour::Red);
    // 44 bytes of the group take 14.08 ms; the colour comes 4 + 2 ticks after its start.
    EXPECT_TRUE(checkCable(effects, 1, 120).outruns);
    EXPECT_EQ(checkCable(effects, 1, 120).firstLateStep, 1);
    EXPECT_EQ(checkCable(effects, 1, 120).smallestStepTick, 5);
}

class FakeClock : public PlaybackClock {
public:
    std::int64_t time = 1000000;
    std::int64_t now() override { return time; }
};

struct Sent {
    std::int64_t at;
    int step;
    std::vector<std::uint8_t> bytes;
};

class PlayerTest : public ::testing::Test {
protected:
    FakeClock clock;
    std::vector<Sent> sent;
    Player player{clock, [this](const ScheduledMessage& m) {
                      sent.push_back({clock.time, m.step, {m.message.bytes().begin(), m.message.bytes().end()}});
                  }};

    void load(const Recording& r, int stepTick = 8, int tempo = 120)
    {
        player.load(buildSchedule(r, stepTick, tempo));
    }

    // Moves the clock as a driver would: to each time poll() asks for.
    void runToEnd()
    {
        for (std::int64_t wait = player.poll(); wait >= 0; wait = player.poll())
            clock.time += wait;
    }
};

TEST_F(PlayerTest, SendsEveryMessageInOrderAtItsTimeFromTheStart)
{
    const Recording r = mixed();
    load(r);
    const std::int64_t start = clock.time;
    player.play();
    runToEnd();
    const PlaybackSchedule& schedule = player.schedule();
    ASSERT_EQ(sent.size(), schedule.messages.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].at, start + schedule.messages[i].time) << i;
        const auto expected = schedule.messages[i].message.bytes();
        EXPECT_EQ(sent[i].bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    }
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.shownStep(), 3);
    EXPECT_EQ(sent.size(), 8u) << "colour, five of the effect group, frame, message";
}

TEST_F(PlayerTest, ALateWakeUpCatchesUpWithoutShiftingWhatFollows)
{
    load(frames(10));
    const std::int64_t start = clock.time;
    player.play();
    EXPECT_EQ(player.poll(), player.schedule().messages[0].time) << "nothing is due yet";
    EXPECT_TRUE(sent.empty());
    clock.time = start + player.schedule().messages[4].time + 5000;   // a wake-up 5 ms after step 5
    player.poll();
    EXPECT_EQ(sent.size(), 5u) << "every due step goes out at once";
    sent.clear();
    runToEnd();
    ASSERT_EQ(sent.size(), 5u);
    for (const Sent& s : sent)
        EXPECT_EQ(s.at, start + player.schedule().messages[static_cast<std::size_t>(s.step)].time)
            << "step " << s.step << " keeps its time from the start";
}

TEST_F(PlayerTest, StopHaltsAndPlayGoesOnFromTheShownStepKeepingItsSpacing)
{
    load(frames(6));
    player.play();
    clock.time += player.poll();
    player.poll();
    clock.time += player.poll();
    player.poll();
    ASSERT_EQ(player.shownStep(), 1);
    player.stop();
    clock.time += 10000000;
    EXPECT_EQ(player.poll(), -1);
    EXPECT_EQ(sent.size(), 2u);

    const auto& times = player.schedule().stepTimes;
    player.play();
    const std::int64_t resumed = clock.time;
    runToEnd();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[2].step, 2);
    EXPECT_EQ(sent[2].at - resumed, times[2] - times[1]);
    EXPECT_EQ(sent[5].at - resumed, times[5] - times[1]);

    sent.clear();
    player.play();   // after the last step: from the start again
    runToEnd();
    EXPECT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent.front().step, 0);
}

TEST_F(PlayerTest, SeekSendsTheLastOfEachKindSoTheDisplayIsAsAtThatStep)
{
    Recording r;
    r.appendColour(LcdColour::Red);     // 0
    r.appendFrame(frameWith(1));        // 1
    r.appendMessage("one", "");         // 2
    r.appendEffect({4, 5, 1});          // 3
    r.appendFrame(frameWith(2));        // 4
    r.appendColour(LcdColour::Green);   // 5
    r.appendFrame(frameWith(3));        // 6
    load(r);
    player.seek(4);
    EXPECT_EQ(player.shownStep(), 4);
    std::vector<int> steps;
    for (const Sent& s : sent)
        steps.push_back(s.step);
    // The colour of step 0, the message of 2, the whole effect group of 3
    // (its Mode Select 05 and 01 are kept apart), the frame of 4 but not of 1.
    EXPECT_EQ(steps, (std::vector<int>{0, 2, 3, 3, 3, 3, 3, 4}));
    EXPECT_EQ(sent.back().bytes[8], 2) << "the later frame";

    sent.clear();
    player.stepForward();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].step, 5);
    player.stepBack();
    EXPECT_EQ(player.shownStep(), 4);
    EXPECT_EQ(sent.back().step, 4);

    sent.clear();
    player.seek(-1);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(player.shownStep(), -1);
    player.seek(99);
    EXPECT_EQ(player.shownStep(), 6) << "a seek past the end shows the last step";
}

TEST_F(PlayerTest, SeekWhilePlayingGoesOnFromThere)
{
    load(frames(8));
    player.play();
    clock.time += player.poll();
    player.poll();
    player.seek(5);
    sent.clear();
    const std::int64_t at = clock.time;
    runToEnd();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].step, 6);
    const auto& times = player.schedule().stepTimes;
    EXPECT_EQ(sent[0].at - at, times[6] - times[5]);
}

TEST_F(PlayerTest, PacingToTheCableDelaysMessagesAndReportsTheLag)
{
    load(frames(4), 1, 120);   // 2.08 ms apart; a frame needs 28.48 ms of the wire
    player.setPacedToCable(true);
    const std::int64_t start = clock.time;
    player.play();
    runToEnd();
    ASSERT_EQ(sent.size(), 4u);
    for (std::size_t i = 1; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].at - sent[i - 1].at, cableMicroseconds(89));
    EXPECT_EQ(player.cableLag(), sent.back().at - (start + player.schedule().messages[3].time));
    EXPECT_GT(player.cableLag(), 3 * 26000);
}

TEST_F(PlayerTest, AnEmptyScheduleNeverPlays)
{
    player.play();
    EXPECT_FALSE(player.playing());
    player.seek(3);
    player.stepForward();
    player.stepBack();
    EXPECT_TRUE(sent.empty());
    load(Recording{});
    player.play();
    EXPECT_EQ(player.poll(), -1);
}

} // namespace
} // namespace lumidot
