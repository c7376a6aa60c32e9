// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Recorder.h"
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes message(std::initializer_list<std::uint8_t> body)
{
    Bytes m{0xF0, 0x42, 0x30, 0x42};
    m.insert(m.end(), body);
    m.push_back(0xF7);
    return m;
}

class ExcOut : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.openAtStartup(0)); }
    testing::FakeMidiOutput port;
    MidiLink link{port};
};

TEST_F(ExcOut, WrapsTheBodyWhileLive)
{
    EXPECT_EQ(link.EXC_Out(lcdColourBody(LcdColour::Red)), MidiLink::SendResult::Sent);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0], message({0x7D, 0x02}));
}

TEST_F(ExcOut, NothingReachesThePortWhileMuted)
{
    link.MIDI_RealClick();
    ASSERT_FALSE(link.liveSending());
    const auto callsBefore = port.calls.size();
    EXPECT_EQ(link.EXC_Out(lcdColourBody(LcdColour::Red)), MidiLink::SendResult::Muted);
    VirtualArea area;
    FD_OUT(link, area, 0, 0);
    EXPECT_EQ(port.calls.size(), callsBefore);
}

TEST_F(ExcOut, RefusesBodiesBeyond256BytesWithoutSendingAnyPart)
{
    const Bytes longest(256, 0x01);
    EXPECT_EQ(link.EXC_Out(longest), MidiLink::SendResult::Sent);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].size(), 261u);
    EXPECT_EQ(port.sent[0].back(), 0xF7);

    const Bytes tooLong(257, 0x01);
    EXPECT_EQ(link.EXC_Out(tooLong), MidiLink::SendResult::Refused);
    EXPECT_EQ(link.EXC_Out(Bytes{}), MidiLink::SendResult::Refused);
    EXPECT_EQ(port.sent.size(), 1u);
}

TEST_F(ExcOut, FrameDrawSendsTheWindowAtTheScrollPosition)
{
    VirtualArea area;
    area.setDot(-3, 7, 1);
    FD_OUT(link, area, -3, 7);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].size(), 89u);
    EXPECT_EQ(port.sent[0][8], 0x40);
}

} // namespace
} // namespace lumidot
