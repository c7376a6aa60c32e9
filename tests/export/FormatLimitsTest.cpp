// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

Recording colours(int count)
{
    Recording r;
    for (int k = 0; k < count; ++k)
        r.appendColour(LcdColour::Green);
    return r;
}

TEST(PrtLimit, ABlockOf65532BytesIsWrittenAndOneStepMoreIsRefused)
{
    // Events are 4 bytes each, so 65,532 is the largest block there is:
    // 4,092 colour steps of 16 bytes and a message of 19 text bytes (60).
    Recording r = colours(4092);
    r.appendMessage("", "abc");
    const ExportResult fits = Export_PRT(r, 8);
    ASSERT_TRUE(fits.ok());
    ASSERT_EQ(fits.bytes.size(), 8u + 65532);
    EXPECT_EQ(fits.bytes[6], 0xFC);
    EXPECT_EQ(fits.bytes[7], 0xFF);

    r.appendColour(LcdColour::Red);
    const ExportResult refused = Export_PRT(r, 8);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_NE(refused.refusal.find("Recomposer98"), std::string::npos);

    EXPECT_FALSE(Export_PRT(colours(4096), 8).ok());   // exactly 65,536
}

TEST(SswLimit, The65535thEntryIsWrittenAndThe65536thRefused)
{
    Recording r;
    for (int k = 0; k < 13107; ++k)   // 5 entries each
        r.appendEffect({static_cast<std::uint8_t>(k % 48), 0, 0});
    const ExportResult fits = EXPORT_SSW(r);
    ASSERT_TRUE(fits.ok());
    EXPECT_EQ(fits.bytes[32], 0xFF);
    EXPECT_EQ(fits.bytes[33], 0xFF);
    EXPECT_EQ(fits.bytes.size(), 34u + 13107u * (7 + 10 * 3 + 7 + 10) + 65535u * 32);

    r.appendColour(LcdColour::Green);
    const ExportResult refused = EXPORT_SSW(r);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_NE(refused.refusal.find("Singer Song Writer 4"), std::string::npos);
}

TEST(SmfLimit, TheTrackGrowsPast65536Bytes)
{
    Recording r;
    for (int k = 0; k < 600; ++k)
        r.appendFrame(patternFrame(k));
    const Bytes file = EXPORT_SMF(r, 8);
    const std::uint32_t track = 5 + 600 * 119 + 4;
    ASSERT_EQ(file.size(), 22 + track);
    EXPECT_EQ((Bytes{file[18], file[19], file[20], file[21]}),
              (Bytes{0x00, 0x01, static_cast<std::uint8_t>(track >> 8),
                     static_cast<std::uint8_t>(track)}));
    EXPECT_TRUE(std::ranges::equal(std::span(file).last(4), Bytes{0x30, 0xFF, 0x2F, 0x00}));
    const PackedFrame last = patternFrame(599);
    EXPECT_TRUE(std::ranges::equal(std::span(file).last(4 + 1 + 80).first(80), last));
}

} // namespace
} // namespace lumidot
