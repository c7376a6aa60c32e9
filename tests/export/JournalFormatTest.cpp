// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/JournalFormat.h"
#include "picture/RegionOps.h"
#include "recording/EditEntry.h"
#include "recording/StepClip.h"

#include "export/DocumentTestSupport.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumidot {
namespace {

using testing::Bytes;
using testing::expectSameDocument;

// A journal written as the program writes it: the document at start, then
// one record per action, each made of what the history saw change.
class JournalWriter {
public:
    Document document;
    Bytes bytes = journalHeader();
    std::vector<std::size_t> recordStarts;

    JournalWriter() { appendSnapshotRecord(bytes, document); }

    // Runs change on the document and records it as one action.
    void action(const std::function<void(Document&)>& change)
    {
        change(document);
        EditEntry entry = tracker_.takeChanges(document.plane, document.recording);
        if (!entry.empty()) {
            record_.edit(entry, false);
            entries_.push_back(std::move(entry));
        }
        finish();
    }
    // A step edit kept as it is (a move stays a move).
    void move(int first, int count, int to)
    {
        document.recording.moveSteps(first, count, to);
        EditEntry entry = tracker_.adopt(RecordingChange::moving(first, count, to));
        record_.edit(entry, false);
        entries_.push_back(std::move(entry));
        finish();
    }
    // A length, a hold or a nudge: waits and the edges changed as one.
    void retime(int step, StepWait wait, EdgeTiming edges)
    {
        const EdgeTiming before = document.recording.edgeTiming();
        const WaitChange change{step, document.recording.wait(step), wait};
        document.recording.setWait(step, wait);
        document.recording.setEdgeTiming(edges);
        EditEntry entry = tracker_.adopt(RecordingChange::retiming({change}, before, edges));
        record_.edit(entry, false);
        entries_.push_back(std::move(entry));
        finish();
    }
    void undo()
    {
        tracker_.undo(entries_.back(), document.plane, document.recording);
        record_.edit(entries_.back(), true);
        redoable_.push_back(std::move(entries_.back()));
        entries_.pop_back();
        finish();
    }
    void redo()
    {
        tracker_.redo(redoable_.back(), document.plane, document.recording);
        record_.edit(redoable_.back(), false);
        entries_.push_back(std::move(redoable_.back()));
        redoable_.pop_back();
        finish();
    }

private:
    void finish()
    {
        recordStarts.push_back(bytes.size());
        record_.finish(document, bytes);
    }

    EditTracker tracker_;
    ActionRecord record_;
    std::vector<EditEntry> entries_;
    std::vector<EditEntry> redoable_;
};

// A session touching every kind of change: dots one by one and in a
// whole region, steps appended, moved, deleted, undone and redone, and
// each page setting.
void session(JournalWriter& journal)
{
    journal.action([](Document& d) { d.plane.setDot(3, 4, 1); d.plane.setDot(-512, -256, 1); });
    journal.action([](Document& d) { d.recording = testing::mixedRecording(); });
    journal.action([](Document& d) { fillRegion(d.plane, {-100, -50, 200, 100}, 1); });
    journal.move(1, 2, 5);
    journal.action([](Document& d) { d.lines = {"Line 1", "Line two"}; d.colour = LcdColour::Orange; });
    journal.undo();
    journal.action([](Document& d) { d.recording.removeSteps(0, 3); d.window = {-64, 32}; });
    journal.undo();
    journal.redo();
    journal.action([](Document& d) { d.effect = {9, 10, 3}; d.stepTick = 96; d.recording.appendFrame(testing::patternFrame(7)); });
    journal.retime(2, StepWait::ticks(1440), EdgeTiming{480, 96});
    journal.action([](Document& d) { d.tempo = 150; d.recording.setWait(0, StepWait::ticks(5)); });
    journal.undo();
}

TEST(JournalFormatTest, ReplaysEveryActionIntoTheDocumentAsItWas)
{
    JournalWriter journal;
    session(journal);
    const JournalRead read = readJournal(journal.bytes);
    ASSERT_TRUE(read.document);
    EXPECT_FALSE(read.cut);
    EXPECT_EQ(read.actions, static_cast<int>(journal.recordStarts.size()));
    EXPECT_EQ(read.wholeBytes, journal.bytes.size());
    expectSameDocument(*read.document, journal.document);
}

// A crash in the middle of a write leaves the last record cut anywhere:
// whatever is left of it, the document is the one before it.
TEST(JournalFormatTest, AJournalCutAtEveryByteOfItsLastRecordReadsUpToTheRecordBefore)
{
    const auto start = [](JournalWriter& journal) {
        journal.action([](Document& d) { d.recording = testing::mixedRecording(); d.plane.setDot(0, 0, 1); });
        journal.undo();
        journal.redo();
    };
    JournalWriter before;
    start(before);
    JournalWriter journal;
    start(journal);
    journal.action([](Document& d) {
        fillRegion(d.plane, {-20, -10, 40, 30}, 0);
        d.recording.appendMessage("last", "record");
        d.lines = {"changed", ""};
    });
    const std::size_t last = journal.recordStarts.back();
    for (std::size_t cut = last; cut < journal.bytes.size(); ++cut) {
        const JournalRead read = readJournal(std::span(journal.bytes).first(cut));
        ASSERT_TRUE(read.document) << cut;
        ASSERT_EQ(read.wholeBytes, last) << cut;
        ASSERT_EQ(read.cut, cut > last) << cut;
        ASSERT_EQ(FileSaveData(read.document->recording), FileSaveData(before.document.recording)) << cut;
        ASSERT_EQ(read.document->lines, before.document.lines) << cut;
    }
    expectSameDocument(*readJournal(std::span(journal.bytes).first(last)).document, before.document);
}

TEST(JournalFormatTest, StopsAtADamagedRecordAndKeepsWhatCameBefore)
{
    JournalWriter journal;
    session(journal);
    const std::size_t third = journal.recordStarts[2];
    Bytes damaged = journal.bytes;
    damaged[third + 12] ^= 0x01;
    const JournalRead read = readJournal(damaged);
    ASSERT_TRUE(read.document);
    EXPECT_TRUE(read.cut);
    EXPECT_EQ(read.actions, 2);
    EXPECT_EQ(read.wholeBytes, third);
    EXPECT_EQ(FileSaveData(read.document->recording), FileSaveData(testing::mixedRecording()));

    // Without a whole first record there is no document at all.
    EXPECT_FALSE(readJournal(std::span(journal.bytes).first(kJournalHeaderSize + 20)).document);
    EXPECT_FALSE(readJournal(testing::ascii("LUMIDOTX")).document);
}

// A record whose checksum holds but which does not fit the steps there are
// (another program's bug, a hostile file) is not applied, not even in part.
TEST(JournalFormatTest, ARecordThatDoesNotApplyIsDroppedWhole)
{
    JournalWriter journal;
    journal.action([](Document& d) { d.recording.appendColour(LcdColour::Red); });
    JournalWriter wrong;
    wrong.action([](Document& d) { d.plane.setDot(1, 1, 1); d.recording = testing::mixedRecording(); });
    wrong.action([](Document& d) { d.plane.setDot(9, 9, 1); d.recording.removeSteps(2, 5); });
    // Its last record, taken from a journal of many steps into one of a single step.
    const Bytes last(wrong.bytes.begin() + static_cast<std::ptrdiff_t>(wrong.recordStarts[1]), wrong.bytes.end());
    Bytes mixed = journal.bytes;
    mixed.insert(mixed.end(), last.begin(), last.end());
    const JournalRead read = readJournal(mixed);
    ASSERT_TRUE(read.document);
    EXPECT_TRUE(read.cut);
    EXPECT_EQ(read.actions, 1);
    expectSameDocument(*read.document, journal.document);
}

} // namespace
} // namespace lumidot
