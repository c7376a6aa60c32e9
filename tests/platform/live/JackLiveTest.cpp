// SPDX-License-Identifier: GPL-3.0-or-later
// The live MIDI path against a real JACK server (started by
// scripts/jack-live-test.sh): every byte that goes out through the real port
// must arrive at a capture client, in order and unchanged.
#include "midi/MidiLink.h"
#include "midi/backends/JackMidiOutput.h"
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"

#include "support/JackCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace lumidot {
namespace {

using testing::JackCapture;
using testing::Message;
using namespace std::chrono_literals;

constexpr const char* kCaptureClient = "LumidotCapture";
constexpr int kStrokeLength = 200;
// Paced like a pen stroke; the port's buffer keeps whatever a cycle cannot take.
constexpr auto kSendPacing = 2ms;

int deviceNamed(JackMidiOutput& out, const std::string& prefix)
{
    for (int id = 0; id < out.deviceCount(); ++id) {
        if (out.deviceName(id).rfind(prefix, 0) == 0)
            return id;
    }
    return -2;
}

void sendAndRemember(MidiLink& link, std::span<const std::uint8_t> body, std::vector<Message>& expected)
{
    ASSERT_EQ(link.EXC_Out(body), MidiLink::SendResult::Sent);
    expected.push_back(sysExMessage(body));
}

// The greeting of the start-up: colour, Mode Select 01, the banner.
void sendStartup(MidiLink& link, std::vector<Message>& expected)
{
    sendAndRemember(link, lcdColourBody(LcdColour::Green), expected);
    sendAndRemember(link, modeSelectBody(kModeDisplay), expected);
    sendAndRemember(link, showMessageBody(kStartupBannerLine1, kBannerLine2), expected);
}

// A pen stroke: one more dot each time, each frame sent as it is drawn.
void sendPenStroke(MidiLink& link, std::vector<Message>& expected)
{
    VirtualArea area;
    for (int i = 0; i < kStrokeLength; ++i) {
        area.setDot(i % 32, (i / 32) % 16 + (i % 3), 1);
        sendAndRemember(link, frameDrawBody(packWindow(area, 0, 0)), expected);
        std::this_thread::sleep_for(kSendPacing);
    }
}

void expectSameTraffic(const std::vector<Message>& received, const std::vector<Message>& expected)
{
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(received[i], expected[i]) << "message " << i;
}

class JackLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("JACK_DEFAULT_SERVER") == nullptr)
            GTEST_FAIL() << "run through scripts/jack-live-test.sh, which starts the JACK server";
    }
};

TEST_F(JackLive, DevicePortDeliversTheStartupAndAPenStrokeByteForByte)
{
    JackCapture capture;
    capture.openOwnPort();
    JackMidiOutput out;
    ASSERT_TRUE(out.hasMidiSystem());
    const int device = deviceNamed(out, kCaptureClient);
    ASSERT_GE(device, 0) << "the capture port is not in the device list";

    MidiLink link(out);
    ASSERT_GT(link.countDevicesAtStartup(), 0);
    ASSERT_TRUE(link.openAtStartup(static_cast<std::uint8_t>(device + 1)));
    EXPECT_EQ(link.caption(static_cast<std::uint8_t>(device + 1)),
              "Lumidot [" + out.deviceName(device) + "]");

    std::vector<Message> expected;
    sendStartup(link, expected);
    sendPenStroke(link, expected);

    expectSameTraffic(capture.receive(expected.size()), expected);
    link.closePort();
}

// Far more than one server cycle's port buffer takes: what does not fit
// waits in the port's own buffer for the next cycles instead of being lost.
TEST_F(JackLive, AnUnpacedBurstArrivesWholeAndInOrder)
{
    JackCapture capture;
    capture.openOwnPort();
    JackMidiOutput out;
    MidiLink link(out);
    ASSERT_TRUE(link.openAtStartup(static_cast<std::uint8_t>(deviceNamed(out, kCaptureClient) + 1)));

    std::vector<Message> expected;
    VirtualArea area;
    for (int i = 0; i < 1000; ++i) {
        area.setDot(i % 32, (i / 32) % 16, 1);
        sendAndRemember(link, frameDrawBody(packWindow(area, 0, 0)), expected);
    }
    expectSameTraffic(capture.receive(expected.size()), expected);
}

TEST_F(JackLive, APartnerThatLeavesMakesTheNextSendALossThatIsToldOnce)
{
    auto capture = std::make_unique<JackCapture>();
    capture->openOwnPort();
    JackMidiOutput out;
    MidiLink link(out);
    std::vector<std::string> told;
    link.setLossListener([&](const std::string& reason) { told.push_back(reason); });
    ASSERT_TRUE(link.openAtStartup(static_cast<std::uint8_t>(deviceNamed(out, kCaptureClient) + 1)));
    ASSERT_EQ(link.EXC_Out(lcdColourBody(LcdColour::Red)), MidiLink::SendResult::Sent);

    capture.reset();
    std::this_thread::sleep_for(200ms); // the server tells its clients in its own time
    EXPECT_EQ(link.EXC_Out(lcdColourBody(LcdColour::Green)), MidiLink::SendResult::Lost);
    EXPECT_EQ(link.EXC_Out(lcdColourBody(LcdColour::Green)), MidiLink::SendResult::Muted);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(std::string(kCaptureClient) + ":capture"), std::string::npos) << told[0];
    link.MIDI_RealClick();
    EXPECT_FALSE(link.liveSending()) << "switching on is refused until a port change";
}

TEST_F(JackLive, MapperIsAVirtualPortThatOpensWithoutAPartner)
{
    JackMidiOutput out;
    MidiLink link(out);
    ASSERT_TRUE(link.openAtStartup(0)) << "nobody connected yet is still a successful open";

    JackCapture capture;
    ASSERT_TRUE(capture.connectTo(std::string(JackMidiOutput::kClientName) + ":"));
    std::this_thread::sleep_for(100ms); // the connection is made in the server's next cycle

    std::vector<Message> expected;
    sendStartup(link, expected);
    expectSameTraffic(capture.receive(expected.size()), expected);

    link.closePort();
    JackCapture observer;
    EXPECT_FALSE(observer.seesOutput(std::string(JackMidiOutput::kClientName) + ":"))
        << "the virtual port goes away with the close";
    EXPECT_TRUE(link.reopen(0)) << "and comes back with the next open";
    EXPECT_TRUE(observer.seesOutput(std::string(JackMidiOutput::kClientName) + ":"));
}

TEST_F(JackLive, ClosedAndMutedPortsSendNothingAndBadIndexesFail)
{
    JackCapture capture;
    capture.openOwnPort();
    JackMidiOutput out;
    const int device = deviceNamed(out, kCaptureClient);
    ASSERT_GE(device, 0);

    EXPECT_NE(out.open(out.deviceCount()), 0) << "an index past the list";
    EXPECT_NE(out.open(-5), 0);
    EXPECT_FALSE(out.isOpen());

    MidiLink link(out);
    ASSERT_TRUE(link.openAtStartup(static_cast<std::uint8_t>(device + 1)));
    link.MIDI_RealClick();
    link.EXC_Out(lcdColourBody(LcdColour::Red));
    link.MIDI_RealClick();
    link.closePort();
    link.EXC_Out(lcdColourBody(LcdColour::Orange));
    const std::array<std::uint8_t, 7> direct{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x02, 0xF7};
    out.sendLong(direct);

    EXPECT_TRUE(capture.leftovers().empty());
}

} // namespace
} // namespace lumidot
