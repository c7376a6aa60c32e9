// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/backends/JackMidiOutput.h"
#include "midi/backends/RtMidiOutput.h"
#include "midi/backends/SystemMidiOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace lumidot {
namespace {

const std::array<std::uint8_t, 7> kMessage{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7};

TEST(PortNames, KeepAtMost32CharactersAndDropTheSequencerAddress)
{
    EXPECT_EQ(cutDeviceName("Synth"), "Synth");
    const std::string exact(32, 'a');
    EXPECT_EQ(cutDeviceName(exact), exact);
    EXPECT_EQ(cutDeviceName(exact + "bcd"), exact);
    EXPECT_EQ(cutDeviceName(""), "");

    // 31 ASCII characters, then two three-byte characters: the second goes.
    const std::string name = std::string(31, 'x') + "音源";
    EXPECT_EQ(cutDeviceName(name), std::string(31, 'x') + "音");
    EXPECT_EQ(cutDeviceName("ＭＩＤＩ", 2), "ＭＩ");

    // The numbers change when the device is plugged in again; the name stays.
    EXPECT_EQ(withoutSequencerAddress("UM-ONE:UM-ONE MIDI 1 20:0"), "UM-ONE:UM-ONE MIDI 1");
    EXPECT_EQ(withoutSequencerAddress("Midi Through:Midi Through Port-0 14:0"),
              "Midi Through:Midi Through Port-0");
    for (const char* kept : {"Synth", "Synth 1", "Synth 1:", "Synth :0", "Synth a:0", "Synth 12:3x", ""})
        EXPECT_EQ(withoutSequencerAddress(kept), kept);
}

TEST(SendWithRetry, RetriesARefusedSendUntilNoTimeIsLeft)
{
    int attempts = 0;
    int waits = 0;
    EXPECT_TRUE(sendWithRetry([&] { return ++attempts >= 3; }, [&] { return ++waits < 10; }));
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(waits, 2) << "no wait before the first attempt nor after a success";

    attempts = 0;
    waits = 0;
    EXPECT_FALSE(sendWithRetry([&] { ++attempts; return false; }, [&] { return ++waits < 5; }));
    EXPECT_EQ(waits, 5);
    EXPECT_EQ(attempts, 6) << "one last attempt after the last wait";
}

class WithoutJackServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("JACK_DEFAULT_SERVER", "lumidot-no-such-server", 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
    }
};

// Without a reachable server the port list is empty and every open fails,
// quietly and with a reason: nothing is thrown past the port.
TEST_F(WithoutJackServer, JackHasNoDeviceAndFailsEveryOpenWithAReason)
{
    JackMidiOutput out;
    EXPECT_FALSE(out.hasMidiSystem());
    EXPECT_EQ(out.deviceCount(), 0);
    EXPECT_EQ(out.deviceName(MidiOutput::kMapperId), "MIDI Mapper");
    EXPECT_EQ(out.deviceName(0), "");
    EXPECT_EQ(out.open(MidiOutput::kMapperId), JackMidiOutput::kNoMidiSystem);
    EXPECT_NE(out.failureReason().find("JACK"), std::string::npos);
    EXPECT_EQ(out.open(0), JackMidiOutput::kNoMidiSystem);
    EXPECT_FALSE(out.isOpen());
    EXPECT_TRUE(out.sendLong(kMessage)) << "nothing is lost while no port is open";
    out.close();
    out.close();
}

TEST_F(WithoutJackServer, NoSystemAtAllSaysWhatIsNeeded)
{
    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    RtMidiOutput alsa;
    EXPECT_FALSE(alsa.hasMidiSystem());
    EXPECT_EQ(alsa.deviceCount(), 0);
    EXPECT_EQ(alsa.open(MidiOutput::kMapperId), RtMidiOutput::kNoMidiSystem);
    EXPECT_EQ(alsa.open(1), RtMidiOutput::kNoMidiSystem);
    EXPECT_TRUE(alsa.sendLong(kMessage));

    SystemMidiOutput out;
    EXPECT_EQ(out.deviceCount(), 0);
    EXPECT_EQ(out.deviceName(MidiOutput::kMapperId), "MIDI Mapper");
    EXPECT_EQ(out.open(MidiOutput::kMapperId), SystemMidiOutput::kNoMidiSystem);
    const std::string reason = out.failureReason();
    for (const char* named : {"ALSA", "JACK", "PipeWire"})
        EXPECT_NE(reason.find(named), std::string::npos) << named << " in " << reason;
    EXPECT_TRUE(out.sendLong(kMessage));
}

} // namespace
} // namespace lumidot
