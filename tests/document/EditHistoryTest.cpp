// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/EditHistory.h"

#include <gtest/gtest.h>

namespace lumidot {
namespace {

class EditHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recording.setStepCountListener([this](int) { history.noteRecordingChanged(); });
        history.onRecordingAtSavedState = [this] { recording.markSaved(); };
    }

    // One action: a transaction around a change.
    void act(const std::string& label, const std::function<void()>& change, bool typing = false)
    {
        history.open(label, typing);
        change();
        history.close();
    }

    void keystroke(const std::string& line) { act("typing", [&] { recording.appendMessage(line, ""); }, true); }

    VirtualArea plane;
    Recording recording;
    EditHistory history{plane, recording};
};

TEST_F(EditHistoryTest, ADragHeldOpenIsOneEntryUnderTheNameItStartedWith)
{
    bool dragging = true;
    history.holdOpen = [&] { return dragging; };
    act("pen", [&] { plane.setDot(0, 0, 1); });
    act("", [&] { plane.setDot(1, 0, 1); });
    EXPECT_EQ(history.count(), 0) << "the stroke is still going";
    dragging = false;
    act("", [&] { plane.setDot(2, 0, 1); });
    ASSERT_EQ(history.count(), 1);
    EXPECT_EQ(history.undoEntry()->label, "pen");
    history.undo();
    EXPECT_EQ(plane.dot(0, 0) + plane.dot(1, 0) + plane.dot(2, 0), 0);
}

// Ctrl+Down pressed 23 times is one entry; the way back, or another block,
// starts a new one.
TEST_F(EditHistoryTest, ARunOfTheSameMoveIsOneEntry)
{
    for (int i = 0; i < 30; ++i)
        recording.appendEffect({static_cast<std::uint8_t>(i), 0, 0});
    history.flush();
    history.markClean();
    const int recorded = history.count();
    const auto move = [&](int first, int to) {
        history.edit("move", [&] { return moveSteps(recording, first, 2, to); });
    };
    for (int step = 0; step < 23; ++step)
        move(step, step + 1);
    ASSERT_EQ(history.count(), recorded + 1);
    EXPECT_EQ(recording.effectStream()[3 * 23], 0) << "the first block is at 23 now";
    move(23, 22);
    move(5, 6);
    EXPECT_EQ(history.count(), recorded + 3);
    history.undo();
    history.undo();
    history.undo();
    EXPECT_EQ(recording.effectStream()[0], 0);
    EXPECT_EQ(recording.effectStream()[3 * 23], 23);
    EXPECT_EQ(history.index(), recorded);
}

TEST_F(EditHistoryTest, KeystrokesJoinButNotAcrossTheSavedState)
{
    keystroke("H");
    keystroke("He");
    EXPECT_EQ(history.count(), 1);
    recording.markSaved();
    history.markClean();
    keystroke("Hel");
    EXPECT_EQ(history.count(), 2) << "the saved state must stay between two entries";
    keystroke("Hell");
    EXPECT_EQ(history.count(), 2);
    history.undo();
    EXPECT_EQ(recording.StepCount(), 2);
    EXPECT_FALSE(recording.isModified());
    // A keystroke that also drew is no typing entry.
    act("typing", [&] {
        recording.appendMessage("x", "");
        plane.setDot(5, 5, 1);
    }, true);
    keystroke("y");
    EXPECT_EQ(history.count(), 3);
}

TEST_F(EditHistoryTest, ASaveInsideACommandEndsItsEntryThere)
{
    history.open("open", false);
    recording.appendColour(LcdColour::Red);
    recording.markSaved();
    history.markClean();
    EXPECT_EQ(history.count(), 1) << "what came before the save is an entry already";
    plane.setDot(4, 4, 1);
    history.close();
    ASSERT_EQ(history.count(), 2);
    EXPECT_EQ(history.undoEntry()->label, "open");
    history.undo();
    history.undo();
    EXPECT_TRUE(recording.isModified());
    history.redo();
    EXPECT_FALSE(recording.isModified());
}

TEST_F(EditHistoryTest, TheOldestEntriesGoAndTakeTheSavedStateWithThem)
{
    recording.markSaved();
    history.markClean();
    for (int k = 0; k < EditHistory::kEntriesKept + 1; ++k)
        act("colour", [&] { recording.appendColour(LcdColour::Green); });
    EXPECT_EQ(history.count(), EditHistory::kEntriesKept);
    while (history.canUndo())
        history.undo();
    EXPECT_EQ(recording.StepCount(), 1);
    EXPECT_TRUE(recording.isModified()) << "the empty recording that was saved is out of reach";
}

TEST_F(EditHistoryTest, ANewEntryDropsTheRedoneAndASavedStateAmongThem)
{
    act("a", [&] { recording.appendColour(LcdColour::Green); });
    act("b", [&] { recording.appendColour(LcdColour::Red); });
    recording.markSaved();
    history.markClean();
    history.undo();
    EXPECT_TRUE(recording.isModified());
    act("c", [&] { recording.appendEffect({}); });
    EXPECT_FALSE(history.canRedo());
    history.undo();
    history.redo();
    EXPECT_TRUE(recording.isModified()) << "the saved steps can no longer be reached";
}

} // namespace
} // namespace lumidot
