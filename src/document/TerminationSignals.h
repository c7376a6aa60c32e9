// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace lumidot {

// SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, Ctrl+C) end the
// program at once, without the save question, once the recovery journal is
// on the disk; the next start offers the work back.
//
// Blocks the three in the calling thread and so in every thread started
// after it: call it first thing in main, before any thread exists.
void blockTerminationSignals();
// A thread of its own waits for them; at one it runs beforeExit and ends
// the process with 128 + the signal's number, as the shell reports a
// killed program.
void watchTerminationSignals(std::function<void()> beforeExit);

} // namespace lumidot
