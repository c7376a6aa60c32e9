// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumidot {
namespace {

TEST(LinkObserver, HearsEveryBuiltMessageWhetherSentOrNot)
{
    testing::FakeMidiOutput midi;
    midi.deviceNames = {"A"};
    MidiLink link(midi);
    std::vector<std::vector<std::uint8_t>> heard;
    link.setObserver([&](std::span<const std::uint8_t> m) { heard.emplace_back(m.begin(), m.end()); });

    link.EXC_Out(lcdColourBody(LcdColour::Red));   // no port open yet
    link.openAtStartup(1);
    link.EXC_Out(modeSelectBody(kModeDisplay));    // sent
    link.MIDI_RealClick();                         // live sending off
    link.EXC_Out(lcdColourBody(LcdColour::Off));
    link.EXC_Out(std::vector<std::uint8_t>{});     // refused: nothing built

    const std::vector<std::vector<std::uint8_t>> expected{
        {0xF0, 0x42, 0x30, 0x42, 0x7D, 0x02, 0xF7},
        {0xF0, 0x42, 0x30, 0x42, 0x00, 0x01, 0xF7},
        {0xF0, 0x42, 0x30, 0x42, 0x7D, 0x7F, 0xF7}};
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(midi.sent, (std::vector<std::vector<std::uint8_t>>{expected[1]}));
}

} // namespace
} // namespace lumidot
