// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RecoveryJournal.h"
#include "document/Workspace.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"
#include "export/SmfWriter.h"
#include "export/PlanePng.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace lumidot {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void expectSame(const Document& a, const Document& b)
{
    EXPECT_EQ(FileSaveData(a.recording), FileSaveData(b.recording));
    EXPECT_EQ(EXPORT_SMF(a.recording, a.stepTick), EXPORT_SMF(b.recording, b.stepTick));
    EXPECT_EQ(encodePlanePng(a.plane), encodePlanePng(b.plane));
    EXPECT_EQ(a.window, b.window);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.colour, b.colour);
    EXPECT_EQ(a.effect.effect1, b.effect.effect1);
    EXPECT_EQ(a.effect.mode, b.effect.mode);
    EXPECT_EQ(a.stepTick, b.stepTick);
}

class RecoveryJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("lumidot-journal-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        ASSERT_TRUE(workspace.link().openAtStartup(0));
    }
    void TearDown() override { fs::remove_all(folder); }

    std::unique_ptr<RecoveryJournal> startJournal(Workspace& on)
    {
        std::string error;
        auto journal = RecoveryJournal::start(folder.string(), on, error);
        EXPECT_TRUE(journal) << error;
        return journal;
    }

    // A few actions of every sort the window performs.
    void work(Workspace& on)
    {
        {
            const auto action = on.transaction("pen");
            on.document().plane.setDot(2, 3, 1);
            on.document().plane.setDot(4, 3, 1);
        }
        on.recordWindow();
        on.setLines({"Hello", "there"}, true);
        on.moveWindow({8, -4}, true);
        on.setColour(LcdColour::Orange, true);
        on.recordEffect();
        on.undo();
        on.setEffect(FxParam::Effect2, 33);
        on.editSteps("move", [](Recording& recording) { return moveSteps(recording, 0, 1, 2); });
        on.invert({-8, -8, 4, 16}, false);
        on.undo();
        on.redo();
        on.setStepTick(40);
    }

    fs::path folder;
    testing::FakeMidiOutput port;
    Workspace workspace{port};
};

TEST_F(RecoveryJournalTest, HoldsTheDocumentAfterEveryCompletedAction)
{
    const auto journal = startJournal(workspace);
    work(workspace);
    const JournalRead read = readJournal(fileBytes(journal->path()));
    ASSERT_TRUE(read.document);
    EXPECT_FALSE(read.cut);
    expectSame(*read.document, workspace.document());
    EXPECT_GT(read.actions, 8);
}

TEST_F(RecoveryJournalTest, ALiveJournalIsLeftAloneAndAnOrphanIsOfferedOnce)
{
    auto journal = startJournal(workspace);
    work(workspace);
    const std::string path = journal->path();
    EXPECT_TRUE(findOrphanJournals(folder.string()).empty());

    // The program is gone without a clean exit: its journal stays.
    journal.reset();
    std::vector<OrphanJournal> orphans = findOrphanJournals(folder.string());
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].path(), path);
    // Claimed by this program while it decides: no other one sees it.
    EXPECT_TRUE(findOrphanJournals(folder.string()).empty());
    expectSame(*orphans[0].read().document, workspace.document());

    // Kept as a document file: it opens as the same document.
    const std::string kept = orphans[0].keepAsDocument();
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(fs::path(kept).parent_path(), folder);
    EXPECT_FALSE(fs::exists(path));
    const LoadResult opened = loadRecording(kept);
    ASSERT_TRUE(opened.ok) << opened.error;
    expectSame(*opened.document, workspace.document());
    orphans.clear();
    EXPECT_TRUE(findOrphanJournals(folder.string()).empty());
}

TEST_F(RecoveryJournalTest, ACleanExitRemovesTheJournalAndSeveralProgramsKeepTheirOwn)
{
    testing::FakeMidiOutput otherPort;
    Workspace other(otherPort);
    auto first = startJournal(workspace);
    auto second = startJournal(other);
    EXPECT_NE(first->path(), second->path());
    work(other);
    first->discard();
    first.reset();
    EXPECT_TRUE(findOrphanJournals(folder.string()).empty());
    second.reset();
    const std::vector<OrphanJournal> orphans = findOrphanJournals(folder.string());
    ASSERT_EQ(orphans.size(), 1u);
    expectSame(*orphans[0].read().document, other.document());
}

TEST_F(RecoveryJournalTest, AGrownJournalStartsAfreshFromTheDocumentAsItIs)
{
    const auto journal = startJournal(workspace);
    // Whole-plane inverts write a mask of the plane each.
    std::size_t largest = 0;
    for (int k = 0; k < 200 && !HasFailure(); ++k) {
        workspace.invert({VirtualArea::kMinX, VirtualArea::kMinY, VirtualArea::kWidth, VirtualArea::kHeight}, false);
        largest = std::max(largest, journal->size());
    }
    EXPECT_GT(largest, RecoveryJournal::kCompactAfter / 2);
    EXPECT_LT(journal->size(), largest);
    journal->sync();
    const JournalRead read = readJournal(fileBytes(journal->path()));
    ASSERT_TRUE(read.document);
    EXPECT_FALSE(read.cut);
    expectSame(*read.document, workspace.document());
}

} // namespace
} // namespace lumidot
