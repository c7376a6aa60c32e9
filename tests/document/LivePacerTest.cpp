// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LivePacer.h"
#include "document/Workspace.h"
#include "ns5r/Commands.h"
#include "support/FakeMidiOutput.h"
#include "support/TestClocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 89 bytes at 320 microseconds each.
constexpr std::int64_t kFrameOnWire = 28'480;

Bytes wrapped(std::span<const std::uint8_t> body)
{
    Bytes message{0xF0, 0x42, 0x30, 0x42};
    message.insert(message.end(), body.begin(), body.end());
    message.push_back(0xF7);
    return message;
}

// A frame whose first packed byte tells it apart.
std::array<std::uint8_t, 84> frame(std::uint8_t mark)
{
    PackedFrame dots{};
    dots[0] = mark;
    return frameDrawBody(dots);
}

class LivePacerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.openAtStartup(0));
        pacer.onWaiting = [this](std::int64_t wait) { waits.push_back(wait); };
    }

    // The messages that reached the port, as the frames' marks and the
    // other messages' bodies.
    std::vector<Bytes> sent() const { return port.sent; }
    Bytes sentFrame(std::uint8_t mark) const { return wrapped(frame(mark)); }

    testing::FakeMidiOutput port;
    testing::ManualClock clock;
    MidiLink link{port};
    LivePacer pacer{link, clock};
    std::vector<std::int64_t> waits;
};

TEST_F(LivePacerTest, ANewerFrameReplacesTheOneWaitingAndGoesOutWhenTheCableIsFree)
{
    EXPECT_EQ(pacer.EXC_Out(frame(1)), SendResult::Sent);
    clock.advance(1000);
    EXPECT_EQ(pacer.EXC_Out(frame(2)), SendResult::Waiting);
    clock.advance(1000);
    EXPECT_EQ(pacer.EXC_Out(frame(3)), SendResult::Waiting);
    EXPECT_EQ(sent(), std::vector<Bytes>{sentFrame(1)});
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_EQ(waits[0], kFrameOnWire - LivePacer::kEarlyStart - 1000);

    // Not yet: the first frame is still on the wire.
    clock.time = 1'000'000 + kFrameOnWire - LivePacer::kEarlyStart - 1;
    EXPECT_EQ(pacer.poll(), 1);
    EXPECT_EQ(sent().size(), 1u);
    clock.advance(1);
    EXPECT_EQ(pacer.poll(), -1);
    EXPECT_EQ(sent(), (std::vector<Bytes>{sentFrame(1), sentFrame(3)}));
    EXPECT_FALSE(pacer.waiting());
}

TEST_F(LivePacerTest, OtherMessagesWaitBehindAWaitingFrameAndAreNeverDropped)
{
    pacer.EXC_Out(frame(1));
    const auto orange = lcdColourBody(LcdColour::Orange);
    const auto effect = modeSelectBody(kModeEffect);
    EXPECT_EQ(pacer.EXC_Out(orange), SendResult::Sent) << "nothing waits: at once";
    pacer.EXC_Out(frame(2));
    EXPECT_EQ(pacer.EXC_Out(effect), SendResult::Waiting) << "behind the waiting frame";
    const auto message = showMessageBody("AB", "");
    pacer.EXC_Out(message);
    // The colour took the cable too, after the first frame.
    clock.advance(kFrameOnWire + 7 * 320 - LivePacer::kEarlyStart - 1);
    EXPECT_EQ(pacer.poll(), 1);
    clock.advance(1);
    pacer.poll();
    EXPECT_EQ(sent(), (std::vector<Bytes>{sentFrame(1), wrapped(orange), sentFrame(2), wrapped(effect),
                                          wrapped(message)}));
}

TEST_F(LivePacerTest, AFrameReplacedWhileAColourWaitsBehindItLetsTheColourGoFirst)
{
    // The picture drawn after the colour change must not come before it.
    pacer.EXC_Out(frame(1));
    pacer.EXC_Out(frame(2));
    const auto red = lcdColourBody(LcdColour::Red);
    pacer.EXC_Out(red);
    pacer.EXC_Out(frame(3));
    EXPECT_EQ(sent(), (std::vector<Bytes>{sentFrame(1), wrapped(red)}));
    EXPECT_TRUE(pacer.waiting());
    clock.advance(kFrameOnWire + 7 * 320);
    pacer.poll();
    EXPECT_EQ(sent(), (std::vector<Bytes>{sentFrame(1), wrapped(red), sentFrame(3)}));
}

TEST_F(LivePacerTest, EveryMessageTakesTheCableSoAFrameWaitsForTheOnesBeforeIt)
{
    const auto banner = showMessageBody("   Welcome to   ", "Lumidot Gallery!");
    pacer.EXC_Out(banner);   // 41 bytes: 13,120 microseconds on the wire
    EXPECT_EQ(pacer.EXC_Out(frame(1)), SendResult::Waiting);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0], 41 * 320 - LivePacer::kEarlyStart);
    clock.advance(41 * 320 - LivePacer::kEarlyStart);
    EXPECT_EQ(pacer.poll(), -1);
    EXPECT_EQ(sent().back(), sentFrame(1));
}

TEST_F(LivePacerTest, AFastStrokeAlwaysEndsOnItsLastPicture)
{
    std::uint8_t mark = 0;
    for (int move = 0; move < 500; ++move) {
        pacer.EXC_Out(frame(mark = static_cast<std::uint8_t>(move % 127)));
        clock.advance(1000);
        if (pacer.waiting() && move % 3 == 0)
            pacer.poll();
    }
    // The stroke has ended; the timer comes once more.
    clock.advance(kFrameOnWire);
    pacer.poll();
    ASSERT_FALSE(sent().empty());
    EXPECT_EQ(sent().back(), sentFrame(mark));
    // Half a second of frames at the cable's pace, not 500.
    EXPECT_GE(sent().size(), 15u);
    EXPECT_LE(sent().size(), 19u);
}

TEST_F(LivePacerTest, UnpacedMutedOrPortlessEverythingGoesToTheLinkAtOnce)
{
    pacer.EXC_Out(frame(1));
    pacer.EXC_Out(frame(2));
    EXPECT_TRUE(pacer.waiting());
    pacer.setPacing(false);
    EXPECT_FALSE(pacer.waiting()) << "what waited goes out as pacing goes off";
    EXPECT_EQ(pacer.EXC_Out(frame(3)), SendResult::Sent);
    EXPECT_EQ(pacer.EXC_Out(frame(4)), SendResult::Sent);
    EXPECT_EQ(sent().size(), 4u);

    pacer.setPacing(true);
    link.MIDI_RealClick();   // muted
    EXPECT_EQ(pacer.EXC_Out(frame(5)), SendResult::Muted);
    EXPECT_EQ(pacer.EXC_Out(frame(6)), SendResult::Muted);
    EXPECT_FALSE(pacer.waiting());
}

TEST_F(LivePacerTest, AFrameWaitingWhenSendingGoesOffIsToldToTheLinkInItsTurn)
{
    std::vector<Bytes> observed;
    link.setObserver([&](std::span<const std::uint8_t> m) { observed.emplace_back(m.begin(), m.end()); });
    pacer.EXC_Out(frame(1));
    pacer.EXC_Out(frame(2));
    link.MIDI_RealClick();
    pacer.EXC_Out(lcdColourBody(LcdColour::Red));
    EXPECT_EQ(observed, (std::vector<Bytes>{sentFrame(1), sentFrame(2), wrapped(lcdColourBody(LcdColour::Red))}));
    EXPECT_EQ(sent().size(), 1u);
}

// The document's sends go through the pacer; what is recorded does not.
TEST(WorkspacePacing, EveryRecordedFrameIsRecordedWhileTheCableCarriesTheNewest)
{
    testing::FakeMidiOutput port;
    testing::ManualClock clock;
    Workspace workspace(port, clock);
    ASSERT_TRUE(workspace.link().openAtStartup(0));
    for (int x = 0; x < 5; ++x) {
        const auto action = workspace.transaction({});
        workspace.document().plane.setDot(x, 0, 1);
        EXPECT_EQ(workspace.windowChanged(true), RecordResult::Recorded);
        clock.advance(2000);
    }
    EXPECT_EQ(workspace.document().recording.StepCount(), 5);
    EXPECT_EQ(port.sent.size(), 1u);
    clock.advance(kFrameOnWire);
    workspace.pacer().poll();
    ASSERT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(port.sent.back(), wrapped(frameDrawBody(packWindow(workspace.document().plane, 0, 0))));
    // The monitor's model of the display follows what the module was sent.
    ASSERT_TRUE(workspace.display().state().frame.has_value());
    EXPECT_EQ(*workspace.display().state().frame, packWindow(workspace.document().plane, 0, 0));
}

} // namespace
} // namespace lumidot
