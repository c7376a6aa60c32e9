// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/StepClipboard.h"
#include "export/SyxWriter.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

TEST(StepClipboard, BothFormsGiveBackTheSameSteps)
{
    const Recording source = mixedRecording();
    const StepClip steps = source.copySteps(1, 8);
    const Bytes ours = encodeSteps(steps);
    const auto fromOurs = decodeSteps(ours);
    ASSERT_TRUE(fromOurs);
    expectSameSteps(recordingOf(*fromOurs), recordingOf(steps));

    const Bytes syx = stepsAsSyx(steps);
    EXPECT_EQ(syx, FileSaveData(recordingOf(steps)));
    const auto fromSyx = stepsFromSyx(syx);
    ASSERT_TRUE(fromSyx);
    expectSameSteps(recordingOf(*fromSyx), recordingOf(steps));
}

TEST(StepClipboard, DamagedOrForeignBytesAreRefused)
{
    const Bytes ours = encodeSteps(mixedRecording().copySteps(0, 11));
    // Every cut of the form, and one byte too many.
    for (std::size_t n = 0; n < ours.size(); ++n)
        EXPECT_FALSE(decodeSteps(std::span(ours.data(), n))) << n;
    Bytes longer = ours;
    longer.push_back(0);
    EXPECT_FALSE(decodeSteps(longer));
    // An opcode no step has, and a count larger than the steps.
    Bytes badOpcode = ours;
    badOpcode[12] = 0xF4;
    EXPECT_FALSE(decodeSteps(badOpcode));
    Bytes badCount = ours;
    badCount[11] = 0x7F;
    EXPECT_FALSE(decodeSteps(badCount));
    EXPECT_FALSE(stepsFromSyx(ascii("hello")));
    EXPECT_FALSE(decodeSteps(FileSaveData(mixedRecording())));
}

} // namespace
} // namespace lumidot
