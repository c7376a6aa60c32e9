// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/StepKind.h"
#include "ns5r/StepMessages.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

Step stepOf(StepKind kind)
{
    Step step;
    step.kind = kind;
    return step;
}

// The clipboard and the files hold kinds as bytes: exactly the seven step
// bytes read back as kinds, and each as itself.
TEST(StepKind, OnlyTheSevenStepBytesAreKinds)
{
    int kinds = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const auto kind = stepKindOf(static_cast<std::uint8_t>(byte));
        if (!kind)
            continue;
        ++kinds;
        EXPECT_EQ(stepKindByte(*kind), byte);
    }
    EXPECT_EQ(kinds, 7);
    EXPECT_FALSE(stepKindOf(0xF4));
    EXPECT_FALSE(stepKindOf(0xF6));
}

TEST(StepKind, ColourKindsAndTheirMessages)
{
    for (const LcdColour colour : {LcdColour::Green, LcdColour::Orange, LcdColour::Red, LcdColour::Off}) {
        const StepKind kind = colourStepKind(colour);
        EXPECT_EQ(stepColour(kind), colour);
        EXPECT_FALSE(limitedKind(kind));
        const StepMessages messages = stepMessages(stepOf(kind));
        ASSERT_EQ(messages.count, 1u);
        EXPECT_EQ(messages.messages[0].bytes()[5], colourCode(colour));
    }
    EXPECT_TRUE(limitedKind(StepKind::Frame));
    EXPECT_TRUE(limitedKind(StepKind::Message));
    EXPECT_FALSE(limitedKind(StepKind::Effect));
    EXPECT_EQ(stepMessageCount(StepKind::Effect), 5u);
    EXPECT_EQ(stepMessages(stepOf(StepKind::Effect)).count, 5u);
}

} // namespace
} // namespace lumidot
