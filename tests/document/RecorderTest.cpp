// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Recorder.h"
#include "midi/MidiLink.h"
#include "picture/VirtualArea.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The invariants that every writer relies on.
void expectConsistent(const Recording& r)
{
    const auto events = r.kinds();
    ASSERT_EQ(static_cast<int>(events.size()), r.StepCount());
    EXPECT_EQ(std::count(events.begin(), events.end(), StepKind::Frame), r.FrameCount());
    EXPECT_EQ(std::count(events.begin(), events.end(), StepKind::Message), r.MessageCount());
    EXPECT_EQ(r.effectStream().size(),
              3u * static_cast<std::size_t>(std::count(events.begin(), events.end(), StepKind::Effect)));
    EXPECT_LE(r.FrameCount(), kStepLimit);
    EXPECT_LE(r.MessageCount(), kStepLimit);
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.openAtStartup(0));
        recording.setStepCountListener([this](int count) { notified.push_back(count); });
    }

    // Brings the recording to n steps with colour steps, which are cheap.
    void fillTo(int n)
    {
        while (recording.StepCount() < n)
            LCD_Save(recording, LcdColour::Green);
        notified.clear();
    }

    testing::FakeMidiOutput port;
    MidiLink link{port};
    VirtualArea area;
    Recording recording;
    std::vector<int> notified;
};

TEST_F(Recorder, MixedStepsKeepTheirOrderAndPayloads)
{
    area.setDot(0, 0, 1);
    LCD_Save(recording, LcdColour::Green);
    EXPECT_EQ(DotSave(recording, link, area, 0, 0), RecordResult::Recorded);
    EXPECT_EQ(SM_Save(recording, link, "AB", ""), RecordResult::Recorded);
    FXRecClick(recording, {1, 20, 3});
    LCD_Save(recording, LcdColour::Off);

    EXPECT_EQ(Bytes(recording.eventStream().begin(), recording.eventStream().end()),
              (Bytes{0xF0, 0xF5, 0xF3, 0xF8, 0xF7}));
    EXPECT_EQ(recording.FrameCount(), 1);
    EXPECT_EQ(recording.MessageCount(), 1);
    EXPECT_EQ(Bytes(recording.effectStream().begin(), recording.effectStream().end()),
              (Bytes{1, 20, 3}));
    EXPECT_EQ(notified, (std::vector<int>{1, 2, 3, 4, 5}));
    expectConsistent(recording);

    std::vector<Step> steps;
    forEachStep(recording, [&](const Step& s) { steps.push_back(s); });
    ASSERT_EQ(steps.size(), 5u);
    ASSERT_NE(steps[1].frame, nullptr);
    EXPECT_EQ((*steps[1].frame)[0], 0x40);
    EXPECT_EQ(steps[2].text.size(), 16u);
    EXPECT_EQ(steps[2].text[0], 'A');
    EXPECT_EQ(steps[3].effect, (EffectSetting{1, 20, 3}));
}

TEST_F(Recorder, ReadingChangesNothingAndCanBeRepeated)
{
    FXRecClick(recording, {5, 6, 1});
    FXRecClick(recording, {7, 8, 2});
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<EffectSetting> effects;
        forEachStep(recording, [&](const Step& s) { effects.push_back(s.effect); });
        EXPECT_EQ(effects, (std::vector<EffectSetting>{{5, 6, 1}, {7, 8, 2}}));
    }
    StepReader reader(recording);
    Step step;
    EXPECT_TRUE(reader.next(step));
    EXPECT_TRUE(reader.next(step));
    EXPECT_FALSE(reader.next(step));
    EXPECT_FALSE(reader.next(step)); // reading past the end stays at the end
    EXPECT_EQ(recording.StepCount(), 2);
}

TEST_F(Recorder, FrameStepRecordsAndSendsTheSamePackedBytes)
{
    area.setDot(31, 0, 1);
    DotSave(recording, link, area, 0, 0);
    ASSERT_EQ(port.sent.size(), 1u);
    const PackedFrame& record = recording.frameRecord(0);
    EXPECT_EQ(record[64], 0x08);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), port.sent[0].begin() + 8));
}

TEST_F(Recorder, MessageRecordsHoldThePaddedLinesAndTheTextLength)
{
    SM_Save(recording, link, "Hi", "");
    SM_Save(recording, link, "", "abc");
    const auto first = recording.messageRecord(0);
    EXPECT_EQ(first[0], 16);
    EXPECT_EQ(std::string(first.begin() + 1, first.begin() + 17), "Hi              ");
    const auto second = recording.messageRecord(1);
    EXPECT_EQ(second[0], 19);
    EXPECT_EQ(std::string(second.begin() + 1, second.begin() + 20), std::string(16, ' ') + "abc");
    EXPECT_EQ(recording.StepCount(), 2); // one opcode byte per message step
    ASSERT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(port.sent[1].size(), 9u + 19u);
}

TEST_F(Recorder, BothLinesEmptyRecordsAndSendsNothing)
{
    EXPECT_EQ(SM_Save(recording, link, "", ""), RecordResult::NothingToRecord);
    EXPECT_EQ(sendMessageLines(recording, link, "", "", true), MessageSendResult::NothingToSend);
    EXPECT_EQ(recording.StepCount(), 0);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_TRUE(notified.empty());
}

TEST_F(Recorder, LiveMessageSendCommitsOnlyInContinuousMode)
{
    EXPECT_EQ(sendMessageLines(recording, link, "A", "", false), MessageSendResult::Sent);
    EXPECT_EQ(recording.StepCount(), 0);
    EXPECT_EQ(sendMessageLines(recording, link, "AB", "", true), MessageSendResult::Recorded);
    EXPECT_EQ(recording.StepCount(), 1);
    EXPECT_EQ(recording.messageText(0).size(), 16u);
    EXPECT_EQ(recording.messageText(0)[1], 'B');
    EXPECT_EQ(port.sent.size(), 2u);
    expectConsistent(recording);
}

TEST_F(Recorder, FrameAndMessageStepsStopAtTheLimitWhileColoursGoOn)
{
    fillTo(kStepLimit - 1);
    EXPECT_EQ(DotSave(recording, link, area, 0, 0), RecordResult::Recorded);
    EXPECT_EQ(recording.StepCount(), 9999);
    port.sent.clear();

    EXPECT_EQ(DotSave(recording, link, area, 0, 0), RecordResult::Full);
    EXPECT_EQ(SM_Save(recording, link, "X", ""), RecordResult::Full);
    EXPECT_TRUE(port.sent.empty()); // a refused record button sends nothing either
    EXPECT_EQ(recording.StepCount(), 9999);

    // The live send still goes out at the limit, and reports the limit.
    EXPECT_EQ(sendMessageLines(recording, link, "X", "", false), MessageSendResult::Full);
    EXPECT_EQ(sendMessageLines(recording, link, "X", "", true), MessageSendResult::Full);
    EXPECT_EQ(port.sent.size(), 2u);
    EXPECT_EQ(recording.MessageCount(), 0);

    LCD_Save(recording, LcdColour::Red);
    FXRecClick(recording, {0, 0, 0});
    EXPECT_EQ(recording.StepCount(), 10001);
    EXPECT_EQ(notified.back(), 10001);
    EXPECT_EQ(recording.appendFrame(PackedFrame{}), RecordResult::Full);
    expectConsistent(recording);
}

TEST_F(Recorder, TheLargestFrameAndMessageCountsStayInsideTheTables)
{
    for (int i = 0; i < kStepLimit; ++i) {
        const auto r = (i % 2) ? recording.appendFrame(PackedFrame{})
                               : recording.appendMessage("m", std::string(16, 'z'));
        ASSERT_EQ(r, RecordResult::Recorded) << i;
    }
    EXPECT_EQ(recording.FrameCount() + recording.MessageCount(), kStepLimit);
    // Building the next message is still safe: it lands in the spare record.
    EXPECT_EQ(sendMessageLines(recording, link, "n", "", true), MessageSendResult::Full);
    expectConsistent(recording);
}

TEST_F(Recorder, ClearingStartsTheNextRecordingAtItsFirstStep)
{
    DotSave(recording, link, area, 0, 0);
    SM_Save(recording, link, "A", "B");
    FXRecClick(recording, {1, 2, 3});
    notified.clear();
    ClearRecording(recording);
    EXPECT_EQ(notified, (std::vector<int>{0}));
    EXPECT_EQ(recording.StepCount(), 0);
    EXPECT_EQ(recording.FrameCount(), 0);
    EXPECT_EQ(recording.MessageCount(), 0);
    EXPECT_TRUE(recording.effectStream().empty());

    LCD_Save(recording, LcdColour::Orange);
    FXRecClick(recording, {9, 9, 0});
    std::vector<Step> steps;
    forEachStep(recording, [&](const Step& s) { steps.push_back(s); });
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, StepKind::Orange);
    EXPECT_EQ(steps[1].effect, (EffectSetting{9, 9, 0}));
    expectConsistent(recording);
}

TEST_F(Recorder, RecordingGoesOnWhileLiveSendingIsOff)
{
    link.MIDI_RealClick();
    EXPECT_EQ(DotSave(recording, link, area, 0, 0), RecordResult::Recorded);
    EXPECT_EQ(SM_Save(recording, link, "A", ""), RecordResult::Recorded);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(recording.StepCount(), 2);
}

TEST(RecordingOpcodes, ColourOpcodesCarryTheColourByte)
{
    EXPECT_EQ(stepKindByte(colourStepKind(LcdColour::Green)) & 0x0F, colourCode(LcdColour::Green));
    EXPECT_EQ(stepKindByte(colourStepKind(LcdColour::Orange)) & 0x0F, colourCode(LcdColour::Orange));
    EXPECT_EQ(stepKindByte(colourStepKind(LcdColour::Red)) & 0x0F, colourCode(LcdColour::Red));
    EXPECT_EQ(colourStepKind(LcdColour::Off), StepKind::Off);
}

} // namespace
} // namespace lumidot
