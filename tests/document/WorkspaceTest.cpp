// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Workspace.h"
#include "ns5r/Commands.h"
#include "recording/StepTiming.h"
#include "support/FakeMidiOutput.h"
#include "support/TestClocks.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace lumidot {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes sysex(std::initializer_list<std::uint8_t> body)
{
    Bytes m{0xF0, 0x42, 0x30, 0x42};
    m.insert(m.end(), body);
    m.push_back(0xF7);
    return m;
}

Bytes frameAt(const VirtualArea& plane, WindowPosition at)
{
    return sysExMessage(frameDrawBody(packWindow(plane, at.x, at.y)));
}

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workspace.link().openAtStartup(0));
        workspace.addObserver([this](DocumentChanges changes) { heard.push_back(changes); });
    }

    const Document& document() const { return workspace.document(); }
    const EditHistory& history() const { return workspace.history(); }

    testing::FakeMidiOutput port;
    // The cable is always free: every message goes out as it is sent.
    testing::LeapingClock clock;
    Workspace workspace{port, clock};
    std::vector<DocumentChanges> heard;
};

TEST_F(WorkspaceTest, ACommandIsOneEntryUnderItsOwnNameWhateverItRuns)
{
    {
        const auto action = workspace.transaction("clear");
        workspace.document().plane.setDot(3, 3, 1);
        workspace.recordWindow();
        workspace.moveWindow({5, 0}, true);
        EXPECT_EQ(history().count(), 0) << "nothing is an entry before the command ends";
        EXPECT_TRUE(heard.empty()) << "observers hear of a completed action only";
    }
    ASSERT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoEntry()->label, "clear");
    EXPECT_EQ(document().recording.StepCount(), 2);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_TRUE(heard[0].has(DocumentChange::History));
    EXPECT_TRUE(heard[0].has(DocumentChange::Window));
    EXPECT_FALSE(heard[0].has(DocumentChange::Lines));

    workspace.undo();
    EXPECT_EQ(document().recording.StepCount(), 0);
    EXPECT_EQ(document().plane.dot(3, 3), 0);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(WorkspaceTest, AnOperationOutsideACommandIsAnActionOfItsOwn)
{
    workspace.recordEffect();
    workspace.recordColour();
    EXPECT_EQ(history().count(), 2);
    EXPECT_EQ(history().undoEntry()->label, "");
    EXPECT_EQ(heard.size(), 2u);
    // An action that changes nothing makes no entry and tells no one.
    { const auto idle = workspace.transaction("hover"); }
    EXPECT_EQ(history().count(), 2);
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(WorkspaceTest, TheStepLimitIsReportedOncePerCommand)
{
    EXPECT_TRUE(workspace.firstRefusalOfAction());
    EXPECT_TRUE(workspace.firstRefusalOfAction()) << "outside a command every refusal counts";
    {
        const auto action = workspace.transaction("new");
        EXPECT_TRUE(workspace.firstRefusalOfAction());
        const auto inner = workspace.transaction("move");
        EXPECT_FALSE(workspace.firstRefusalOfAction());
    }
    const auto next = workspace.transaction("next");
    EXPECT_TRUE(workspace.firstRefusalOfAction());
}

TEST_F(WorkspaceTest, PageSettingsChangeTheDocumentAndSendAsThePagesDo)
{
    workspace.setColour(LcdColour::Red, true);
    EXPECT_EQ(document().colour, LcdColour::Red);
    EXPECT_EQ(Bytes(document().recording.eventStream().begin(), document().recording.eventStream().end()),
              Bytes{stepKindByte(StepKind::Red)}) << "continuous recording takes the new colour";
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent.back(), sysex({0x7D, 0x02}));

    workspace.setEffect(FxParam::Effect2, 33);
    workspace.setEffect(FxParam::Mode, 2);
    EXPECT_EQ(document().effect, (EffectSetting{1, 33, 2}));
    EXPECT_EQ(port.sent.back(), sysex({0x08, 0x12, 0x00, 0x02, 0x00}));

    EXPECT_EQ(workspace.setLines({"Hi", ""}, false), MessageSendResult::Sent);
    EXPECT_EQ(document().lines, (MessageLines{"Hi", ""}));
    EXPECT_EQ(document().recording.StepCount(), 1) << "the lines alone record nothing";
    EXPECT_EQ(workspace.recordLines(), RecordResult::Recorded);
    EXPECT_EQ(document().recording.StepCount(), 2);

    workspace.setStepTick(24);
    EXPECT_EQ(document().stepTick, 24);
    EXPECT_TRUE(heard.back().has(DocumentChange::StepTick));
}

TEST_F(WorkspaceTest, AWindowMoveRecordsTheNewPlaceThenSendsIt)
{
    workspace.document().plane.setDot(40, 20, 1);
    port.sent.clear();
    EXPECT_EQ(workspace.moveWindow({33, 10}, true), RecordResult::Recorded);
    EXPECT_EQ(document().window, (WindowPosition{33, 10}));
    const Bytes frame = frameAt(document().plane, {33, 10});
    EXPECT_EQ(port.sent, (std::vector<Bytes>{frame, frame}));
    EXPECT_EQ(document().recording.frameRecord(0), packWindow(document().plane, 33, 10));
}

TEST_F(WorkspaceTest, AFrameStepComesBackIntoTheWindowWhereItStandsNow)
{
    workspace.document().plane.setDot(1, 2, 1);
    workspace.recordWindow();
    workspace.recordColour();
    workspace.moveWindow({100, 50}, false);
    EXPECT_FALSE(workspace.takeFrame(1)) << "a colour step has no frame";
    EXPECT_FALSE(workspace.takeFrame(7));
    EXPECT_EQ(document().plane.dot(101, 52), 0);
    port.sent.clear();
    EXPECT_TRUE(workspace.takeFrame(0));
    EXPECT_EQ(document().plane.dot(101, 52), 1);
    EXPECT_EQ(port.sent, (std::vector<Bytes>{frameAt(document().plane, {100, 50})}));
}

TEST_F(WorkspaceTest, StepFromEachPageAndNoneForEmptyLines)
{
    EXPECT_FALSE(workspace.stepFrom(StepSource::Lines));
    workspace.setLines({"", "two"}, false);
    ASSERT_TRUE(workspace.stepFrom(StepSource::Lines));
    EXPECT_EQ(workspace.stepFrom(StepSource::Lines)->kinds, std::vector<StepKind>{StepKind::Message});
    EXPECT_EQ(workspace.stepFrom(StepSource::Effect)->effects, (std::vector<std::uint8_t>{1, 20, 3}));
    EXPECT_EQ(workspace.stepFrom(StepSource::Window)->kinds, std::vector<StepKind>{StepKind::Frame});
    EXPECT_EQ(document().recording.StepCount(), 0) << "asking records nothing";
}

TEST_F(WorkspaceTest, AnOpenedRecordingIsOneEntryAndTheSavedState)
{
    workspace.recordColour();
    Recording read;
    read.appendEffect({2, 3, 1});
    read.appendEffect({4, 5, 0});
    {
        const auto action = workspace.transaction("open");
        workspace.replaceRecording(std::move(read));
    }
    EXPECT_FALSE(workspace.isModified());
    EXPECT_EQ(history().count(), 2);
    EXPECT_EQ(history().undoEntry()->label, "open");
    workspace.undo();
    EXPECT_EQ(document().recording.StepCount(), 1);
    EXPECT_TRUE(workspace.isModified());
    workspace.redo();
    EXPECT_FALSE(workspace.isModified()) << "redo comes back to the steps read";
}

// A timing edit changes nothing but waits, the start or the end: still an
// entry of its own, undone and redone, and a change since the save.
TEST_F(WorkspaceTest, TimingEditsAreEntriesAndChangesSinceTheSave)
{
    Recording read;
    for (int k = 0; k < 3; ++k)
        read.appendColour(LcdColour::Red);
    {
        const auto action = workspace.transaction("open");
        workspace.replaceRecording(std::move(read));
    }
    ASSERT_FALSE(workspace.isModified());
    const int saved = history().count();
    const auto layout = [&] { return stepLayout(document().recording, document().stepTick); };
    const StepLayout recorded = layout();

    struct Edit {
        const char* name;
        std::function<EditResult()> run;
    };
    const Edit edits[] = {
        {"length", [&] { return workspace.setStepLengths(0, 2, 480); }},
        {"nudge", [&] { return workspace.nudgeSteps(1, 1, 30); }},
        {"start", [&] { return workspace.setStartOffset(1920); }},
        {"end", [&] { return workspace.setStepLengths(2, 1, 960); }},
        {"duplicate", [&] { return workspace.duplicateSteps(1, 2); }},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        const StepLayout before = layout();
        const int entries = history().count();
        {
            const auto action = workspace.transaction(edit.name);
            ASSERT_EQ(edit.run(), EditResult::Done);
        }
        EXPECT_TRUE(workspace.isModified());
        ASSERT_EQ(history().count(), entries + 1);
        EXPECT_EQ(history().undoEntry()->label, edit.name);
        const StepLayout after = layout();
        EXPECT_FALSE(after.starts == before.starts && after.end == before.end) << "the timing changed";
        workspace.undo();
        EXPECT_EQ(layout().starts, before.starts);
        EXPECT_EQ(layout().end, before.end);
        workspace.redo();
        EXPECT_EQ(layout().starts, after.starts);
    }
    while (history().index() > saved)
        workspace.undo();
    EXPECT_FALSE(workspace.isModified()) << "undone back to the file, the steps are as saved";
    EXPECT_EQ(layout().starts, recorded.starts);
}

} // namespace
} // namespace lumidot
