// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/TerminationSignals.h"

#include <csignal>
#include <cstdlib>
#include <thread>

#include <pthread.h>

namespace lumidot {

namespace {

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

void blockTerminationSignals()
{
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void watchTerminationSignals(std::function<void()> beforeExit)
{
    std::thread([beforeExit = std::move(beforeExit)] {
        const sigset_t set = terminationSignals();
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        if (beforeExit)
            beforeExit();
        std::_Exit(128 + signal);
    }).detach();
}

} // namespace lumidot
