// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlaybackDriver.h"

#include <chrono>

namespace lumidot {

namespace {

// Timers on a desktop wake to the millisecond, sometimes a little late:
// wake this much early and wait out the rest on the clock.
constexpr std::int64_t kEarlyWake = 1000;
constexpr std::int64_t kLongestWaitOnClock = 2000;

} // namespace

PlaybackDriver::PlaybackDriver(Player& player, QObject* parent)
    : QObject(parent), player_(player)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PlaybackDriver::wake);
}

void PlaybackDriver::start()
{
    wake();
}

void PlaybackDriver::stop()
{
    timer_.stop();
}

// The last stretch before a message is waited out on the system's steady
// clock, then the event loop gets its turn again before the next wait.
void PlaybackDriver::wake()
{
    std::int64_t wait = player_.poll();
    if (wait >= 0 && wait <= kLongestWaitOnClock) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(wait);
        // A busy wait: yielding here hands the core to other programs for
        // whole time slices on a loaded machine, and the message goes late.
        while (std::chrono::steady_clock::now() < until) {
        }
        wait = player_.poll();
    }
    if (wait < 0) {
        timer_.stop();
        if (onFinished)
            onFinished();
        return;
    }
    timer_.start(wait > kLongestWaitOnClock ? static_cast<int>((wait - kEarlyWake) / 1000) : 0);
}

} // namespace lumidot
