// SPDX-License-Identifier: GPL-3.0-or-later
// Playback of a short recording at song timing through the real port of a
// JACK server (started by scripts/jack-live-test.sh): every message reaches
// a capture client, in order, byte for byte, and no earlier than its time.
#include "midi/MidiLink.h"
#include "midi/backends/JackMidiOutput.h"
#include "recording/Player.h"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace lumidot {
namespace {

using namespace std::chrono_literals;
using Message = std::vector<std::uint8_t>;

constexpr const char* kCaptureClient = "LumidotPlaybackCapture";

Recording shortSong()
{
    Recording r;
    r.appendColour(LcdColour::Orange);
    for (int i = 0; i < 24; ++i) {
        PackedFrame frame{};
        frame[static_cast<std::size_t>(i % 80)] = 0x7F;
        r.appendFrame(frame);
        if (i % 8 == 7)
            r.appendEffect({static_cast<std::uint8_t>(i), 20, 3});
    }
    r.appendMessage("  That's all", "   folks!");
    return r;
}

TEST(PlaybackLive, ASongReachesTheCaptureInOrderAtItsTimes)
{
    if (std::getenv("JACK_DEFAULT_SERVER") == nullptr)
        GTEST_FAIL() << "run through scripts/jack-live-test.sh, which starts the JACK server";
    RtMidiIn capture(RtMidi::UNIX_JACK, kCaptureClient, 4096);
    capture.ignoreTypes(false, false, false);
    capture.openVirtualPort("capture");

    JackMidiOutput out;
    ASSERT_TRUE(out.hasMidiSystem());
    int device = -1;
    for (int id = 0; id < out.deviceCount(); ++id)
        if (out.deviceName(id).rfind(kCaptureClient, 0) == 0)
            device = id;
    ASSERT_GE(device, 0) << "the capture port is not in the device list";
    MidiLink link(out);
    ASSERT_TRUE(link.openAtStartup(static_cast<std::uint8_t>(device + 1)));

    SteadyPlaybackClock clock;
    std::vector<std::int64_t> lateness;
    Player* playing = nullptr;
    Player player(clock, [&](const ScheduledMessage& m) {
        lateness.push_back(clock.now() - (playing->origin() + m.time));
        const auto bytes = m.message.bytes();
        link.EXC_Out(bytes.subspan(4, bytes.size() - 5));
    });
    playing = &player;
    const Recording song = shortSong();
    player.load(buildSchedule(song, 8, 120));
    player.play();
    for (std::int64_t wait = player.poll(); wait >= 0; wait = player.poll())
        std::this_thread::sleep_for(std::chrono::microseconds(wait));

    const auto& schedule = player.schedule().messages;
    std::vector<Message> received;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    std::vector<unsigned char> bytes;
    while (received.size() < schedule.size() && std::chrono::steady_clock::now() < deadline) {
        capture.getMessage(&bytes);
        if (bytes.empty())
            std::this_thread::sleep_for(1ms);
        else
            received.emplace_back(bytes.begin(), bytes.end());
    }
    ASSERT_EQ(received.size(), schedule.size());
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        const auto expected = schedule[i].message.bytes();
        ASSERT_EQ(received[i], Message(expected.begin(), expected.end())) << "message " << i;
        EXPECT_GE(lateness[i], 0) << "message " << i << " left before its time";
    }
    link.closePort();
}

} // namespace
} // namespace lumidot
