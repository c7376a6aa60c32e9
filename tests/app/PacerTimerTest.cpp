// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PacerTimer.h"

#include "document/LivePacer.h"
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "support/FakeMidiOutput.h"
#include "support/TestClocks.h"

#include <gtest/gtest.h>

namespace lumidot::testing {
namespace {

std::array<std::uint8_t, 84> frame(std::uint8_t mark)
{
    PackedFrame dots{};
    dots[0] = mark;
    return frameDrawBody(dots);
}

// The timer stands for the mouse move that would otherwise have to carry
// the last frame of a stroke out; its due time is called by hand.
TEST(PacerTimer, ArmsWhileAFrameWaitsAndSendsTheLastOneWhenItFires)
{
    FakeMidiOutput port;
    ManualClock clock;
    MidiLink link(port);
    ASSERT_TRUE(link.openAtStartup(0));
    LivePacer pacer(link, clock);
    {
        PacerTimer timer(pacer, nullptr);
        pacer.EXC_Out(frame(1));
        EXPECT_FALSE(timer.armed());
        pacer.EXC_Out(frame(2));
        pacer.EXC_Out(frame(3));
        EXPECT_TRUE(timer.armed());
        ASSERT_EQ(port.sent.size(), 1u);

        clock.advance(10'000);
        timer.fire();   // early: the cable is still busy
        EXPECT_TRUE(timer.armed());
        EXPECT_EQ(port.sent.size(), 1u);
        clock.advance(20'000);
        timer.fire();
        EXPECT_FALSE(timer.armed());
        ASSERT_EQ(port.sent.size(), 2u);
        EXPECT_EQ(port.sent.back()[4 + 4], 3) << "the newest frame";
    }
    // A timer gone leaves no call behind in the pacer.
    pacer.EXC_Out(frame(4));
    EXPECT_TRUE(pacer.waiting());
}

} // namespace
} // namespace lumidot::testing
