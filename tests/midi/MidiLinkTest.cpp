// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace lumidot {
namespace {

using testing::FakeMidiOutput;

const std::vector<std::uint8_t> kColourBody{0x00, 0x7D};

class MidiLinkTest : public ::testing::Test {
protected:
    FakeMidiOutput port;
    MidiLink link{port};

    void withDevices(std::vector<std::string> names) { port.deviceNames = std::move(names); }

    // Forgets what the start-up did, so a test sees only its own traffic.
    void clearTraffic()
    {
        port.calls.clear();
        port.sent.clear();
        port.openedIds.clear();
        port.closeCount = 0;
    }

    std::size_t sendCount() const
    {
        return static_cast<std::size_t>(std::count(port.calls.begin(), port.calls.end(), "send"));
    }
};

// --- start-up --------------------------------------------------------------

TEST_F(MidiLinkTest, FirstStartOpensTheMapperAndGoesLive)
{
    withDevices({"Synth A", "Synth B"});
    EXPECT_EQ(link.countDevicesAtStartup(), 2);
    EXPECT_TRUE(link.openAtStartup(0));

    EXPECT_EQ(port.openedIds, std::vector<int>{MidiOutput::kMapperId});
    EXPECT_TRUE(link.liveSending());
    EXPECT_TRUE(link.liveSwitchEnabled());
    EXPECT_EQ(link.lastOpenResult(), 0);
    EXPECT_EQ(link.caption(0), "Lumidot [MIDI Mapper]");
}

TEST_F(MidiLinkTest, EntryTwoOpensDeviceOneAndNamesItInTheCaption)
{
    withDevices({"Synth A", "Synth B", "Synth C"});
    link.countDevicesAtStartup();
    ASSERT_TRUE(link.openAtStartup(2));
    EXPECT_EQ(port.openedIds, std::vector<int>{1});
    EXPECT_EQ(link.caption(2), "Lumidot [Synth B]");
}

TEST_F(MidiLinkTest, NoDeviceSwitchesLiveSendingOffButTheStoredEntryStillDecides)
{
    link.countDevicesAtStartup();
    EXPECT_FALSE(link.liveSending());

    // The mapper needs no device: the open succeeds and live sending comes back.
    EXPECT_TRUE(link.openAtStartup(0));
    EXPECT_TRUE(link.liveSending());
}

TEST_F(MidiLinkTest, NoDeviceAndAStoredDeviceEntryFailsTheOpen)
{
    link.countDevicesAtStartup();
    EXPECT_FALSE(link.openAtStartup(2));
    EXPECT_FALSE(link.liveSending());
    EXPECT_FALSE(link.liveSwitchEnabled());
    EXPECT_EQ(link.caption(2), "Lumidot []");
}

// --- the state table -------------------------------------------------------

TEST_F(MidiLinkTest, OpenLiveSendsTheWholeMessage)
{
    withDevices({"Synth A"});
    link.openAtStartup(1);
    EXPECT_EQ(link.EXC_Out(kColourBody), MidiLink::SendResult::Sent);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0], (std::vector<std::uint8_t>{0xF0, 0x42, 0x30, 0x42, 0x00, 0x7D, 0xF7}));
    EXPECT_EQ(port.sendsWhileClosed, 0);
}

TEST_F(MidiLinkTest, MutedSendsNothingAndSwitchingOnResumes)
{
    link.openAtStartup(0);
    clearTraffic();

    link.MIDI_RealClick();
    EXPECT_FALSE(link.liveSending());
    EXPECT_TRUE(link.liveSwitchEnabled());
    EXPECT_EQ(link.EXC_Out(kColourBody), MidiLink::SendResult::Muted);
    EXPECT_EQ(link.EXC_Out(frameDrawBody(PackedFrame{})), MidiLink::SendResult::Muted);
    EXPECT_TRUE(port.calls.empty()) << "no call of any kind reaches the port while muted";

    link.MIDI_RealClick();
    EXPECT_TRUE(link.liveSending());
    EXPECT_EQ(link.EXC_Out(kColourBody), MidiLink::SendResult::Sent);
    EXPECT_EQ(sendCount(), 1u);
}

TEST_F(MidiLinkTest, FailedStartupOpenDisablesTheSwitchUntilAPortChange)
{
    withDevices({"Synth A"});
    port.failOpenResult = 4;
    EXPECT_FALSE(link.openAtStartup(1));
    EXPECT_EQ(link.lastOpenResult(), 4);
    EXPECT_FALSE(link.liveSending());
    EXPECT_FALSE(link.liveSwitchEnabled());

    link.MIDI_RealClick();
    EXPECT_FALSE(link.liveSending());
    EXPECT_NE(link.EXC_Out(kColourBody), MidiLink::SendResult::Sent);
    EXPECT_EQ(sendCount(), 0u);

    // A port change enables the switch whatever its outcome.
    EXPECT_FALSE(link.reopen(1));
    EXPECT_TRUE(link.liveSwitchEnabled());
    EXPECT_FALSE(link.liveSending());

    port.failOpenResult = 0;
    EXPECT_TRUE(link.reopen(1));
    EXPECT_TRUE(link.liveSwitchEnabled());
    EXPECT_TRUE(link.liveSending());
}

TEST_F(MidiLinkTest, FailedPortChangeRefusesSwitchingOn)
{
    withDevices({"Synth A"});
    link.openAtStartup(1);
    port.failOpenResult = 2;
    EXPECT_FALSE(link.reopen(1));
    EXPECT_FALSE(link.liveSending());
    EXPECT_TRUE(link.liveSwitchEnabled());
    EXPECT_FALSE(link.portOpen());

    clearTraffic();
    link.MIDI_RealClick();
    EXPECT_FALSE(link.liveSending());
    link.MIDI_RealClick();
    EXPECT_FALSE(link.liveSending());
    link.EXC_Out(kColourBody);
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MidiLinkTest, ClosedPortSendsNothing)
{
    link.openAtStartup(0);
    link.closePort();
    EXPECT_FALSE(link.portOpen());
    clearTraffic();
    EXPECT_EQ(link.EXC_Out(kColourBody), MidiLink::SendResult::NoPort);
    EXPECT_TRUE(port.calls.empty());
}

// --- the port change -------------------------------------------------------

TEST_F(MidiLinkTest, ClosingTheDialogUnchangedClosesAndReopensTheSamePort)
{
    withDevices({"Synth A", "Synth B"});
    link.openAtStartup(2);
    link.MIDI_RealClick(); // muted before the dialog
    clearTraffic();

    const std::uint8_t index = chooseMidiOutIndex(2, 2, 2);
    EXPECT_TRUE(link.reopen(index));
    EXPECT_EQ(port.calls, (std::vector<std::string>{"close", "open"}));
    EXPECT_EQ(port.openedIds, std::vector<int>{1});
    EXPECT_TRUE(link.liveSending()) << "a successful reopen goes live again";

    // The colour and the port-change banner then go out on the new port.
    link.EXC_Out(lcdColourBody(LcdColour::Green));
    link.EXC_Out(showMessageBody(kPortChangeBannerLine1, kBannerLine2));
    ASSERT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(port.sent[1], sysExMessage(showMessageBody("  Welcome to", "Lumidot Gallery!")));
    EXPECT_EQ(port.sendsWhileClosed, 0);
}

TEST(ChooseMidiOutIndex, KeepsThePreviousEntryForASelectionPastTheList)
{
    EXPECT_EQ(chooseMidiOutIndex(0, 3, 3), 0);
    EXPECT_EQ(chooseMidiOutIndex(3, 1, 3), 3) << "the last device is a valid entry";
    EXPECT_EQ(chooseMidiOutIndex(4, 1, 3), 1);
    EXPECT_EQ(chooseMidiOutIndex(2, 1, 0), 1) << "with no device only the mapper is valid";
    EXPECT_EQ(chooseMidiOutIndex(-1, 2, 3), 2) << "no selection reads as 255";
    EXPECT_EQ(chooseMidiOutIndex(-1, 2, 255), 255);
}

TEST_F(MidiLinkTest, BodiesOutsideOneTo256BytesAreRefused)
{
    link.openAtStartup(0);
    clearTraffic();
    const std::vector<std::uint8_t> longest(256, 0x11);
    const std::vector<std::uint8_t> tooLong(257, 0x11);

    EXPECT_EQ(link.EXC_Out({}), MidiLink::SendResult::Refused);
    EXPECT_EQ(link.EXC_Out(tooLong), MidiLink::SendResult::Refused);
    EXPECT_EQ(link.EXC_Out(longest), MidiLink::SendResult::Sent);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].size(), 261u);
    EXPECT_EQ(port.sent[0].back(), 0xF7);
    EXPECT_EQ(port.sent[0][259], 0x11);
}

} // namespace
} // namespace lumidot
