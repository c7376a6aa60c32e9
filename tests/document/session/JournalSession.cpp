// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a scripted session with a recovery journal, as the program does,
// telling the number of each completed action on its output, until killed.
#include "document/RecoveryJournal.h"
#include "document/Workspace.h"
#include "document/session/ScriptedSession.h"
#include "support/FakeMidiOutput.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    lumidot::testing::FakeMidiOutput port;
    lumidot::Workspace workspace(port);
    std::string error;
    auto journal = lumidot::RecoveryJournal::start(argv[1], workspace, error);
    if (!journal) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    lumidot::testing::ScriptedSession session(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)));
    for (long done = 1;; ++done) {
        session.act(workspace);
        std::printf("%ld\n", done);
        std::fflush(stdout);
    }
}
