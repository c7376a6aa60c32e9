// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RecoveryJournal.h"
#include "document/Workspace.h"
#include "document/session/ScriptedSession.h"
#include "export/PlanePng.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "support/FakeMidiOutput.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace lumidot {
namespace {

namespace fs = std::filesystem;

// Everything a user could compare of a document, as bytes.
std::vector<std::vector<std::uint8_t>> exportsOf(const Document& document)
{
    return {FileSaveData(document.recording),
            EXPORT_SMF(document.recording, document.stepTick),
            Export_PRT(document.recording, document.stepTick).bytes,
            EXPORT_SSW(document.recording).bytes,
            encodePlanePng(document.plane),
            {static_cast<std::uint8_t>(document.window.x), static_cast<std::uint8_t>(document.window.y),
             static_cast<std::uint8_t>(document.colour), document.effect.effect1, document.effect.effect2,
             document.effect.mode, document.stepTick},
            std::vector<std::uint8_t>(document.lines.line1.begin(), document.lines.line1.end()),
            std::vector<std::uint8_t>(document.lines.line2.begin(), document.lines.line2.end())};
}

// The session's document after count actions, replayed here.
std::vector<std::vector<std::uint8_t>> documentAfter(unsigned seed, long count)
{
    testing::FakeMidiOutput port;
    Workspace workspace(port);
    testing::ScriptedSession session(seed);
    for (long k = 0; k < count; ++k)
        session.act(workspace);
    return exportsOf(workspace.document());
}

// The session runs in a process of its own, with its journal, and is
// killed with SIGKILL after a random number of actions; the journal it
// leaves must give the document after its last completed action. The
// process may have completed one more action than it reported.
TEST(KilledSessionTest, TheJournalOfAKilledProgramGivesItsLastCompletedAction)
{
    std::mt19937 random(::testing::UnitTest::GetInstance()->random_seed());
    for (int run = 0; run < 4; ++run) {
        const fs::path folder = fs::temp_directory_path() / ("lumidot-killed-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        const unsigned seed = random();
        const long killAt = 1 + static_cast<long>(random() % 300);
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::execl(LUMIDOT_JOURNAL_SESSION, LUMIDOT_JOURNAL_SESSION, folder.c_str(),
                    std::to_string(seed).c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        FILE* reports = ::fdopen(out[0], "r");
        long reported = 0;
        while (reported < killAt && std::fscanf(reports, "%ld", &reported) == 1) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        // What it completed before the signal arrived.
        for (long more = 0; std::fscanf(reports, "%ld", &more) == 1;)
            reported = more;
        std::fclose(reports);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the session ended by itself after " << reported;

        std::vector<OrphanJournal> orphans = findOrphanJournals(folder.string());
        ASSERT_EQ(orphans.size(), 1u);
        const JournalRead read = orphans[0].read();
        ASSERT_TRUE(read.document);
        const auto restored = exportsOf(*read.document);
        const bool asReported = restored == documentAfter(seed, reported);
        EXPECT_TRUE(asReported || restored == documentAfter(seed, reported + 1))
            << "seed " << seed << ", killed after action " << reported;
        orphans.clear();
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace lumidot
