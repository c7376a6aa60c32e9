// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Player.h"

#include <cstdint>

namespace lumidot::testing {

// A clock the test moves itself, in microseconds.
class ManualClock : public PlaybackClock {
public:
    std::int64_t time = 1'000'000;
    std::int64_t now() override { return time; }
    void advance(std::int64_t micros) { time += micros; }
};

// A clock on which a second passes between any two readings: the cable is
// always free again, so every live message goes out as it is sent. For the
// tests of what is sent, not of when.
class LeapingClock : public PlaybackClock {
public:
    std::int64_t now() override { return time_ += 1'000'000; }

private:
    std::int64_t time_ = 0;
};

} // namespace lumidot::testing
