// The live MIDI path against a real JACK server (started by
// scripts/jack-live-test.sh): every byte that goes out through the real port
// must arrive at a capture client, in order and unchanged.
#include "midi/MidiLink.h"
#include "midi/backends/RtMidiOutput.h"
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace lumidot {
namespace {

using Message = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr const char* kCaptureClient = "LumidotCapture";
constexpr unsigned kCaptureQueue = 8192;
constexpr int kStrokeLength = 200;
// JACK moves MIDI once per period; paced sends all fit into its port buffer.
constexpr auto kSendPacing = 2ms;
constexpr auto kArrivalTimeout = 10s;

// A JACK MIDI input of our own that keeps every message, SysEx included.
class Capture {
public:
    Capture()
        : in_(RtMidi::UNIX_JACK, kCaptureClient, kCaptureQueue)
    {
        in_.ignoreTypes(false, false, false);
    }

    void openOwnPort() { in_.openVirtualPort("capture"); }

    // Connects the capture to the output port whose name starts with prefix.
    bool connectTo(const std::string& prefix)
    {
        for (unsigned i = 0; i < in_.getPortCount(); ++i) {
            if (in_.getPortName(i).rfind(prefix, 0) == 0) {
                in_.openPort(i, "capture");
                return in_.isPortOpen();
            }
        }
        return false;
    }

    bool seesOutput(const std::string& prefix)
    {
        for (unsigned i = 0; i < in_.getPortCount(); ++i) {
            if (in_.getPortName(i).rfind(prefix, 0) == 0)
                return true;
        }
        return false;
    }

    // Waits (bounded) until count messages have arrived or the time is up.
    std::vector<Message> receive(std::size_t count)
    {
        std::vector<Message> received;
        const auto deadline = std::chrono::steady_clock::now() + kArrivalTimeout;
        std::vector<unsigned char> bytes;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            in_.getMessage(&bytes);
            if (bytes.empty())
                std::this_thread::sleep_for(1ms);
            else
                received.emplace_back(bytes.begin(), bytes.end());
        }
        return received;
    }

    // Anything that arrives within a short settling time.
    std::vector<Message> leftovers()
    {
        std::this_thread::sleep_for(200ms);
        std::vector<Message> received;
        std::vector<unsigned char> bytes;
        for (in_.getMessage(&bytes); !bytes.empty(); in_.getMessage(&bytes))
            received.emplace_back(bytes.begin(), bytes.end());
        return received;
    }

private:
    RtMidiIn in_;
};

int deviceNamed(RtMidiOutput& out, const std::string& prefix)
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
    Capture capture;
    capture.openOwnPort();
    RtMidiOutput out({MidiSystem::Jack});
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
    EXPECT_EQ(out.droppedMessages(), 0);
    link.closePort();
}

TEST_F(JackLive, MapperIsAVirtualPortThatOpensWithoutAPartner)
{
    RtMidiOutput out({MidiSystem::Jack});
    MidiLink link(out);
    ASSERT_TRUE(link.openAtStartup(0)) << "nobody connected yet is still a successful open";

    Capture capture;
    ASSERT_TRUE(capture.connectTo(std::string(RtMidiOutput::kPortName) + ":"));
    std::this_thread::sleep_for(100ms); // the connection is made in the server's next cycle

    std::vector<Message> expected;
    sendStartup(link, expected);
    expectSameTraffic(capture.receive(expected.size()), expected);

    link.closePort();
    Capture observer;
    EXPECT_FALSE(observer.seesOutput(std::string(RtMidiOutput::kPortName) + ":"))
        << "the virtual port goes away with the close";
    EXPECT_TRUE(link.reopen(0)) << "and comes back with the next open";
    EXPECT_TRUE(observer.seesOutput(std::string(RtMidiOutput::kPortName) + ":"));
}

TEST_F(JackLive, ClosedAndMutedPortsSendNothingAndBadIndexesFail)
{
    Capture capture;
    capture.openOwnPort();
    RtMidiOutput out({MidiSystem::Jack});
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
