// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxReader.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"
#include "export/ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

struct AllFormats {
    Bytes syx, mid, prt, exc;
    bool operator==(const AllFormats&) const = default;
};

AllFormats exportAll(const Recording& r, std::uint8_t tick = 8)
{
    return {FileSaveData(r), EXPORT_SMF(r, tick), Export_PRT(r, tick).bytes, EXPORT_SSW(r).bytes};
}

Bytes message(std::initializer_list<std::uint8_t> body)
{
    return concat({{0xF0, 0x42, 0x30, 0x42}, Bytes(body), {0xF7}});
}

TEST(SyxRoundTrip, ReadingBackGivesTheSameStepsAndTheSameFilesInEveryFormat)
{
    const Recording original = mixedRecording();
    const LoadResult loaded = readSyx(FileSaveData(original));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.stepTick, 0);
    expectSameSteps(original, loaded.recording);
    EXPECT_EQ(exportAll(loaded.recording), exportAll(original));
}

TEST(SyxRoundTrip, ExportingChangesNothingAndALaterExportWritesEveryStepAgain)
{
    Recording r = mixedRecording();
    const AllFormats first = exportAll(r);
    EXPECT_EQ(exportAll(r), first);   // the streams are read from their start each time
    const Recording copy = readSyx(first.syx).recording;
    expectSameSteps(r, copy);

    r.appendFrame(patternFrame(9));
    r.appendEffect({2, 3, 1});
    const AllFormats second = exportAll(r);
    ASSERT_EQ(second.syx.size(), first.syx.size() + 89 + 44);
    EXPECT_TRUE(std::ranges::equal(std::span(second.syx).first(first.syx.size()), first.syx));
    EXPECT_EQ(readSyx(second.syx).recording.StepCount(), r.StepCount());
}

TEST(SyxRoundTrip, TheLargestRecordingComesBackWhole)
{
    Recording r;
    for (int k = 0; r.StepCount() < kStepLimit; ++k) {
        if (k % 3 == 0)
            r.appendMessage(std::to_string(k), "line two");
        else
            r.appendFrame(patternFrame(k));
    }
    r.appendColour(LcdColour::Red);   // colour and effect steps go on past the limit
    r.appendEffect({5, 6, 2});
    const LoadResult loaded = readSyx(FileSaveData(r));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    expectSameSteps(r, loaded.recording);
}

struct Refusal {
    const char* name;
    Bytes file;
    ReadFault fault;
    std::size_t offset;   // the offset both texts must name
};

class SyxRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SyxRefusal, NamesTheOffsetInBothLanguagesAndLoadsNothing)
{
    expectRefusedAt(readSyx(GetParam().file), GetParam().fault, GetParam().offset);
}

const Bytes kGreen = message({0x7D, 0x00});
const Bytes kGroupStart = message({0x00, 0x05});
const Bytes kFx1 = message({0x08, 0x08, 0x00, 0x01, 0x00});
const Bytes kFx2 = message({0x08, 0x09, 0x00, 0x14, 0x00});
const Bytes kMode = message({0x08, 0x12, 0x00, 0x03, 0x00});
const Bytes kGroupEnd = message({0x00, 0x01});

INSTANTIATE_TEST_SUITE_P(
    Files, SyxRefusal,
    ::testing::Values(
        Refusal{"ByteBeforeTheFirstMessage", concat({{0x00}, kGreen}), ReadFault::OutsideMessage, 0},
        Refusal{"ByteBetweenMessages", concat({kGreen, {0x7D}, kGreen}), ReadFault::OutsideMessage, 7},
        Refusal{"AnotherDevice", concat({kGreen, {0xF0, 0x41, 0x10, 0x42, 0x12, 0xF7}}),
                ReadFault::ForeignMessage, 7},
        Refusal{"CutOffAtTheEnd", concat({kGreen, {0xF0, 0x42, 0x30, 0x42, 0x7D}}), ReadFault::Truncated, 7},
        Refusal{"CutOffByAStatusByte", concat({{0xF0, 0x42, 0x30, 0x42, 0x7D}, kGreen}),
                ReadFault::Truncated, 0},
        Refusal{"UnknownColour", message({0x7D, 0x03}), ReadFault::BadValue, 0},
        Refusal{"UnknownCommand", message({0x08, 0x08, 0x00, 0x01, 0x00}), ReadFault::UnknownCommand, 0},
        Refusal{"ShortMessageText", message({0x12, 0x08, 0x00, 0x00, 'A', 'B'}), ReadFault::BadLength, 0},
        Refusal{"ShortFrame", concat({kGreen, message({0x12, 0x08, 0x00, 0x20, 0x00})}),
                ReadFault::BadLength, 7},
        Refusal{"EffectGroupMissingAMessage", concat({kGroupStart, kFx1, kMode, kGroupEnd}),
                ReadFault::BrokenEffectGroup, 17},
        Refusal{"EffectValueOutOfRange",
                concat({kGroupStart, message({0x08, 0x08, 0x00, 0x30, 0x00})}),
                ReadFault::BrokenEffectGroup, 7},
        Refusal{"EffectGroupCutByTheEnd", concat({kGreen, kGroupStart, kFx1, kFx2}), ReadFault::Truncated,
                7},
        Refusal{"LoneModeSelect", kGroupEnd, ReadFault::UnknownCommand, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SyxReader, RefusesAFrameStepBeyondTheRecordersLimit)
{
    Recording r;
    while (r.StepCount() < kStepLimit)
        r.appendFrame(patternFrame(r.StepCount()));
    Bytes file = FileSaveData(r);
    const std::size_t at = file.size();
    file = concat({file, kGreen});   // a colour step past the limit is fine
    ASSERT_TRUE(readSyx(file).ok);
    file = concat({file, Bytes(file.begin(), file.begin() + 89)});
    const LoadResult loaded = readSyx(file);
    expectRefusedAt(loaded, ReadFault::TooManySteps, at + 7);
    EXPECT_NE(loaded.message.find(std::to_string(kStepLimit)), std::string::npos) << loaded.message;
}

} // namespace
} // namespace lumidot
