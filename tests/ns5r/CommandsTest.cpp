// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

#include <string>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Range>
Bytes bytes(const Range& r)
{
    return Bytes(r.begin(), r.end());
}

Bytes message(std::initializer_list<std::uint8_t> body)
{
    Bytes m{0xF0, 0x42, 0x30, 0x42};
    m.insert(m.end(), body);
    m.push_back(0xF7);
    return m;
}

TEST(PackWindow, PlacesEachCornerDotInItsByteAndBit)
{
    VirtualArea area;
    area.setDot(0, 0, 1);
    PackedFrame f = packWindow(area, 0, 0);
    EXPECT_EQ(f[0], 0x40);
    for (std::size_t i = 1; i < f.size(); ++i)
        EXPECT_EQ(f[i], 0) << i;

    VirtualArea topRight;
    topRight.setDot(31, 0, 1);
    EXPECT_EQ(packWindow(topRight, 0, 0)[64], 0x08);

    VirtualArea bottomLeft;
    bottomLeft.setDot(0, 15, 1);
    EXPECT_EQ(packWindow(bottomLeft, 0, 0)[15], 0x40);
}

TEST(PackWindow, FullWindowLeavesTheTopBitAndTheLastGroupsLowBitsClear)
{
    VirtualArea area;
    for (int x = 10; x < 42; ++x)
        for (int y = -5; y < 11; ++y)
            area.setDot(x, y, 1);
    area.setDot(42, 0, 1); // just right of the window: must not leak in
    const PackedFrame f = packWindow(area, 10, -5);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(f[i], 0x7F) << i;
    for (int i = 64; i < 80; ++i)
        EXPECT_EQ(f[i], 0x78) << i;
}

TEST(PackWindow, GroupBoundariesAndRowOrder)
{
    VirtualArea area;
    area.setDot(6, 0, 1);  // last column of group 0 -> bit 0
    area.setDot(7, 1, 1);  // first column of group 1, row 1 -> byte 17 bit 6
    area.setDot(27, 2, 1); // last column of group 3, row 2 -> byte 50 bit 0
    area.setDot(28, 3, 1); // first column of group 4, row 3 -> byte 67 bit 6
    const PackedFrame f = packWindow(area, 0, 0);
    EXPECT_EQ(f[0], 0x01);
    EXPECT_EQ(f[17], 0x40);
    EXPECT_EQ(f[50], 0x01);
    EXPECT_EQ(f[67], 0x40);
}

TEST(PackWindow, TheWidestWindowIsOnThePlaneAndDotsPastItReadClear)
{
    VirtualArea area;
    area.setDot(543, 271, 1);
    PackedFrame f = packWindow(area, 512, 256); // the bottom-right dot at the widest limits
    EXPECT_EQ(f[64 + 15], 0x08);

    area.setDot(575, 287, 1);
    f = packWindow(area, 560, 280);             // rows 280..295, past the plane from row 288
    EXPECT_EQ(f[32 + 7], 0x20);
    EXPECT_EQ(f[32 + 8], 0x00);
}

TEST(Commands, FixedBodiesMatchTheModulesFormat)
{
    EXPECT_EQ(sysExMessage(lcdColourBody(LcdColour::Off)), message({0x7D, 0x7F}));
    EXPECT_EQ(sysExMessage(lcdColourBody(LcdColour::Green)), message({0x7D, 0x00}));
    EXPECT_EQ(sysExMessage(lcdColourBody(LcdColour::Orange)), message({0x7D, 0x01}));
    EXPECT_EQ(sysExMessage(lcdColourBody(LcdColour::Red)), message({0x7D, 0x02}));
    EXPECT_EQ(sysExMessage(modeSelectBody(kModeEffect)), message({0x00, 0x05}));
    EXPECT_EQ(sysExMessage(fxParameterBody(FxParam::Effect2, 20)),
              message({0x08, 0x09, 0x00, 0x14, 0x00}));
    EXPECT_EQ(sysExMessage(fxParameterBody(FxParam::Mode, 3)),
              message({0x08, 0x12, 0x00, 0x03, 0x00}));
}

TEST(Commands, ColoursOfTheBacklight)
{
    EXPECT_EQ(colourRgb(LcdColour::Green), (Rgb{0, 255, 0}));
    EXPECT_EQ(colourRgb(LcdColour::Orange), (Rgb{255, 128, 64}));
    EXPECT_EQ(colourRgb(LcdColour::Red), (Rgb{255, 0, 0}));
    EXPECT_EQ(colourRgb(LcdColour::Off), (Rgb{128, 128, 128}));
}

TEST(Commands, FrameDrawMessageIs89Bytes)
{
    VirtualArea area;
    area.setDot(0, 0, 1);
    const Bytes m = sysExMessage(frameDrawBody(packWindow(area, 0, 0)));
    ASSERT_EQ(m.size(), 89u);
    EXPECT_EQ(Bytes(m.begin(), m.begin() + 8), (Bytes{0xF0, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x20}));
    EXPECT_EQ(m[8], 0x40);
    EXPECT_EQ(m[88], 0xF7);
}

TEST(ShowMessage, PadsLineOneAndLeavesLineTwoUnpadded)
{
    Bytes expected{0x12, 0x08, 0x00, 0x00, '1', '2', '3'};
    expected.insert(expected.end(), 13, ' ');
    EXPECT_EQ(showMessageBody("123", ""), expected);
    EXPECT_EQ(sysExMessage(showMessageBody("123", "")).size(), 25u);

    Bytes second{0x12, 0x08, 0x00, 0x00};
    second.insert(second.end(), 16, ' ');
    second.push_back('X');
    second.push_back('Y');
    EXPECT_EQ(showMessageBody("", "XY"), second);
    EXPECT_EQ(sysExMessage(showMessageBody("", "XY")).size(), 27u);

    EXPECT_TRUE(showMessageBody("", "").empty());
    const std::string full(16, 'A');
    EXPECT_EQ(sysExMessage(showMessageBody(full, full)).size(), 41u);
}

TEST(ShowMessage, LinesLongerThanSixteenBytesAreCut)
{
    const std::string tooLong(40, 'Z');
    EXPECT_EQ(showMessageBody(tooLong, tooLong).size(), 4u + 32u);
}

TEST(ShowMessage, BannersFillBothLines)
{
    EXPECT_EQ(kStartupBannerLine1.size(), 16u);
    EXPECT_EQ(kPortChangeBannerLine1, "  Welcome to    ");
    EXPECT_EQ(kBannerLine2.size(), 16u);
    EXPECT_EQ(sysExMessage(showMessageBody(kStartupBannerLine1, kBannerLine2)).size(), 41u);
}

TEST(EffectTables, NamesCarryTheirIndex)
{
    for (int i = 0; i < kEffectCount; ++i) {
        const std::string expected = (i < 10 ? "0" : "") + std::to_string(i) + ":";
        EXPECT_EQ(kEffectNames[i].substr(0, 3), expected) << i;
    }
    EXPECT_EQ(kEffectNames[20], "20:Stereo Chorus 2");
    EXPECT_EQ(kEffectNames[36], "36:Tremoro");
    EXPECT_EQ(kEffectNames[47], "47:Delay/Rotary Speaker");
    EXPECT_EQ(kEffectModeNames[0], "Serial");
    EXPECT_EQ(kEffectModeNames[3], "Parallel-3");
}

TEST(EffectGroup, FiveMessagesInReplayOrder)
{
    const auto group = effectGroupMessages({1, 20, 3});
    EXPECT_EQ(group[0], message({0x00, 0x05}));
    EXPECT_EQ(group[1], message({0x08, 0x08, 0x00, 0x01, 0x00}));
    EXPECT_EQ(group[2], message({0x08, 0x09, 0x00, 0x14, 0x00}));
    EXPECT_EQ(group[3], message({0x08, 0x12, 0x00, 0x03, 0x00}));
    EXPECT_EQ(group[4], message({0x00, 0x01}));
}

} // namespace
} // namespace lumidot
