// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

const Bytes kGreen{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7};
const Bytes kOff{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x7F, 0xF7};
const Bytes kEffectGroup{
    0xF0, 0x42, 0x30, 0x42, 0x00, 0x05, 0xF7,
    0xF0, 0x42, 0x30, 0x42, 0x08, 0x08, 0x00, 0x01, 0x00, 0xF7,
    0xF0, 0x42, 0x30, 0x42, 0x08, 0x09, 0x00, 0x14, 0x00, 0xF7,
    0xF0, 0x42, 0x30, 0x42, 0x08, 0x12, 0x00, 0x03, 0x00, 0xF7,
    0xF0, 0x42, 0x30, 0x42, 0x00, 0x01, 0xF7};

Recording single(void (*add)(Recording&))
{
    Recording r;
    add(r);
    return r;
}

Recording oneGreen()
{
    return single([](Recording& r) { r.appendColour(LcdColour::Green); });
}

// Green, a frame, a message with an empty line 2, an effect, off.
Recording fiveKinds(const PackedFrame& frame)
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendFrame(frame);
    r.appendMessage("123", "");
    r.appendEffect({1, 20, 3});
    r.appendColour(LcdColour::Off);
    return r;
}

TEST(SyxWriter, WritesEachStepsMessagesBackToBack)
{
    const PackedFrame frame = patternFrame(3);
    const Bytes expected = concat({
        kGreen,
        {0xF0, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x20}, Bytes(frame.begin(), frame.end()), {0xF7},
        {0xF0, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x00}, ascii("123"), repeat(' ', 13), {0xF7},
        kEffectGroup,
        kOff,
    });
    ASSERT_EQ(expected.size(), 7u + 89 + 25 + 44 + 7);
    EXPECT_EQ(FileSaveData(fiveKinds(frame)), expected);

    EXPECT_EQ(FileSaveData(single([](Recording& r) { r.appendColour(LcdColour::Orange); })),
              (Bytes{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x01, 0xF7}));
    const Bytes full = FileSaveData(
        single([](Recording& r) { r.appendMessage("abcdefghijklmnop", "ABCDEFGHIJKLMNOP"); }));
    EXPECT_EQ(full.size(), 41u);
    EXPECT_EQ(full[24], 'A');
}

TEST(SmfWriter, SingleGreenStepIsTheWholeWorkedFile)
{
    const Bytes expected = concat({
        {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0},
        {0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x2F},
        {0x00, 0xFF, 0x20, 0x01, 0x00},
        {0x08, 0xFF, 0x01, 0x19}, ascii("==KORG NS5R LCD (Green)=="),
        {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7},
        {0x30, 0xFF, 0x2F, 0x00},
    });
    ASSERT_EQ(expected.size(), 69u);
    EXPECT_EQ(EXPORT_SMF(oneGreen(), 8), expected);
}

TEST(SmfWriter, StepSizesDeltasAndLabels)
{
    const PackedFrame frame = patternFrame(4);
    const Recording r = fiveKinds(frame);
    const Bytes file = EXPORT_SMF(r, 127);
    // Track: prefix 5, green 38, frame 119, message 41 + 16, effect 74, off 37, end 4.
    const std::size_t track = 5 + 38 + 119 + 57 + 74 + 37 + 4;
    ASSERT_EQ(file.size(), 22 + track);
    EXPECT_EQ(file[20] * 256u + file[21], track);

    const Bytes message = concat({
        {0x7F, 0xFF, 0x01, 0x1A}, ascii("==KORG NS5R ShowMesasge =="),
        {0x7F, 0xF0, 0x18, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x00}, ascii("123"), repeat(' ', 13),
        {0xF7}});
    EXPECT_TRUE(std::ranges::equal(std::span(file).subspan(22 + 5 + 38 + 119, message.size()), message));

    // Inside an effect group the messages after the first are one tick apart.
    const Bytes effect = concat({
        {0x7F, 0xFF, 0x01, 0x10}, ascii("==KORG NS5R FX=="),
        {0x7F, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x00, 0x05, 0xF7},
        {0x01, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x08, 0x00, 0x01, 0x00, 0xF7},
        {0x01, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x09, 0x00, 0x14, 0x00, 0xF7},
        {0x01, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x12, 0x00, 0x03, 0x00, 0xF7},
        {0x01, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x00, 0x01, 0xF7}});
    EXPECT_TRUE(std::ranges::equal(std::span(file).subspan(22 + 5 + 38 + 119 + 57, effect.size()), effect));
    EXPECT_TRUE(std::ranges::equal(std::span(file).last(4 + 37),
                                   concat({{0x7F, 0xFF, 0x01, 0x18}, ascii("==KORG NS5R LCD (Hide)=="),
                                           {0x7F, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x7F, 0xF7},
                                           {0x30, 0xFF, 0x2F, 0x00}})));

    // The tick changes the step deltas and nothing else.
    // The tick changes the two step deltas of each of the five steps and nothing else.
    const Bytes slow = EXPORT_SMF(r, 8);
    ASSERT_EQ(slow.size(), file.size());
    int changed = 0;
    for (std::size_t k = 0; k < file.size(); ++k) {
        if (file[k] != slow[k]) {
            ++changed;
            EXPECT_EQ(file[k], 0x7F);
            EXPECT_EQ(slow[k], 0x08);
        }
    }
    EXPECT_EQ(changed, 10);
}

TEST(TimedWriters, KeepATickFromOutside1To127WithinTheOneByteFields)
{
    const Recording r = oneGreen();
    EXPECT_EQ(EXPORT_SMF(r, 200), EXPORT_SMF(r, 127));
    EXPECT_EQ(EXPORT_SMF(r, 0), EXPORT_SMF(r, 1));
    EXPECT_EQ(Export_PRT(r, 255).bytes, Export_PRT(r, 127).bytes);
    EXPECT_EQ(Export_PRT(r, 0).bytes, Export_PRT(r, 1).bytes);
}

TEST(PrtWriter, SingleGreenStepIsTheWorkedFile)
{
    const ExportResult result = Export_PRT(oneGreen(), 8);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.bytes, (Bytes{0x52, 0x43, 0x50, 0x50, 0x52, 0x01, 0x10, 0x00,
                                   0x98, 0x00, 0x08, 0x00, 0xF7, 0x00, 0x42, 0x30,
                                   0xF7, 0x00, 0x42, 0x7D, 0xF7, 0x00, 0x00, 0xF7}));
}

TEST(PrtWriter, EventSizesAndTheOddFiller)
{
    const ExportResult full = Export_PRT(
        single([](Recording& r) { r.appendMessage("abcdefghijklmnop", "ABCDEFGHIJKLMNOP"); }), 8);
    ASSERT_EQ(full.bytes.size(), 8u + 84);
    EXPECT_TRUE(std::ranges::equal(std::span(full.bytes).last(4), Bytes{0xF7, 0x00, 'P', 0xF7}));

    const ExportResult odd = Export_PRT(single([](Recording& r) { r.appendMessage("", "z"); }), 8);
    ASSERT_EQ(odd.bytes.size(), 8u + 56);
    EXPECT_TRUE(std::ranges::equal(std::span(odd.bytes).last(4), Bytes{0xF7, 0x00, 0xF7, 0xF7}));

    const ExportResult effects = Export_PRT(single([](Recording& r) {
        r.appendEffect({0, 0, 0});
        r.appendEffect({47, 47, 3});
    }), 127);
    ASSERT_EQ(effects.bytes.size(), 8u + 2 * 104);
    EXPECT_EQ(effects.bytes[6], 208);
    EXPECT_EQ(effects.bytes[8 + 104 + 2], 0x7F);   // the tick of every exclusive start

    const ExportResult frame = Export_PRT(single([](Recording& r) { r.appendFrame({}); }), 1);
    EXPECT_EQ(frame.bytes.size(), 8u + 180);
}

TEST(SswWriter, SingleGreenStepIsTheWorkedFile)
{
    const ExportResult result = EXPORT_SSW(oneGreen());
    ASSERT_TRUE(result.ok());
    const Bytes expected = concat({ascii("SSW Exc Data Ver1.00W           "), {0x01, 0x00},
                                   {0x07, 0x00}, kGreen,
                                   ascii("NS5R LCD GREEN"), repeat(' ', 16), {0x00, 0x00}});
    ASSERT_EQ(expected.size(), 75u);
    EXPECT_EQ(result.bytes, expected);
}

TEST(SswWriter, EffectStepsGiveFiveNamedEntriesAndMessagesTheirLength)
{
    const ExportResult effect = EXPORT_SSW(single([](Recording& r) { r.appendEffect({1, 20, 3}); }));
    const Bytes records = concat({{0x07, 0x00}, Bytes(kEffectGroup.begin(), kEffectGroup.begin() + 7),
                                  {0x0A, 0x00}, Bytes(kEffectGroup.begin() + 7, kEffectGroup.begin() + 17),
                                  {0x0A, 0x00}, Bytes(kEffectGroup.begin() + 17, kEffectGroup.begin() + 27),
                                  {0x0A, 0x00}, Bytes(kEffectGroup.begin() + 27, kEffectGroup.begin() + 37),
                                  {0x07, 0x00}, Bytes(kEffectGroup.begin() + 37, kEffectGroup.end())});
    Bytes names;
    for (int k = 0; k < 5; ++k)
        names = concat({names, ascii("NS5R FX MODE"), repeat(' ', 18), {0x00, 0x00}});
    EXPECT_EQ(effect.bytes, concat({ascii(kSswSignature), {0x05, 0x00}, records, names}));

    const ExportResult messages = EXPORT_SSW(single([](Recording& r) {
        r.appendMessage("abcdefghijklmnop", "ABCDEFGHIJKLMNOP");
        r.appendMessage("short", "");
        r.appendFrame({});
    }));
    const auto& b = messages.bytes;
    ASSERT_EQ(b.size(), 32u + 2 + (2 + 41) + (2 + 25) + (2 + 89) + 3 * 32);
    EXPECT_EQ(b[34], 41);
    EXPECT_EQ(b[34 + 43], 25);
    EXPECT_EQ(b[34 + 43 + 27], 89);
    EXPECT_TRUE(std::ranges::equal(std::span(b).last(32).first(15), ascii("NS5R FRAME DRAW")));
}

} // namespace
} // namespace lumidot
