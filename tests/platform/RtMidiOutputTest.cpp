#include "midi/backends/RtMidiOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace lumidot {
namespace {

TEST(CutDeviceName, KeepsAtMost32CharactersWithoutSplittingOne)
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
}

TEST(SendWithRetry, RetriesARefusedSendAndGivesUpAfterTheBound)
{
    int attempts = 0;
    int waits = 0;
    const auto wait = [&] { ++waits; };

    EXPECT_TRUE(sendWithRetry([&] { return ++attempts >= 3; }, wait, 10));
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(waits, 2) << "no wait before the first attempt nor after the last";

    attempts = 0;
    waits = 0;
    EXPECT_FALSE(sendWithRetry([&] { ++attempts; return false; }, wait, 5));
    EXPECT_EQ(attempts, 5);
    EXPECT_EQ(waits, 4);
}

// Without any reachable sound system the port list is empty and every open
// fails, quietly: nothing is thrown past the port.
TEST(RtMidiOutputWithoutSystem, JackWithoutServerHasNoDeviceAndFailsEveryOpen)
{
    ::setenv("JACK_DEFAULT_SERVER", "lumidot-no-such-server", 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    RtMidiOutput out({MidiSystem::Jack});

    EXPECT_FALSE(out.hasMidiSystem());
    EXPECT_EQ(out.deviceCount(), 0);
    EXPECT_EQ(out.deviceName(MidiOutput::kMapperId), "MIDI Mapper");
    EXPECT_EQ(out.deviceName(0), "");
    EXPECT_EQ(out.open(MidiOutput::kMapperId), RtMidiOutput::kNoMidiSystem);
    EXPECT_EQ(out.open(0), RtMidiOutput::kNoMidiSystem);
    EXPECT_FALSE(out.isOpen());

    const std::array<std::uint8_t, 7> message{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7};
    out.sendLong(message);
    out.close();
    out.close();
    EXPECT_EQ(out.droppedMessages(), 0) << "a send on a closed port is not even attempted";
}

TEST(RtMidiOutputWithoutSystem, AlsaWithoutSequencerIsNoSystemAtAll)
{
    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    RtMidiOutput out({MidiSystem::Alsa});
    EXPECT_FALSE(out.hasMidiSystem());
    EXPECT_EQ(out.deviceCount(), 0);
    EXPECT_EQ(out.open(MidiOutput::kMapperId), RtMidiOutput::kNoMidiSystem);
    EXPECT_EQ(out.open(1), RtMidiOutput::kNoMidiSystem);
}

} // namespace
} // namespace lumidot
