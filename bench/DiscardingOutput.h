// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"

#include <benchmark/benchmark.h>

namespace lumidot {

// A MIDI output that takes every message and keeps nothing, so that a
// benchmark measures the program's side of a send.
class DiscardingOutput : public MidiOutput {
public:
    int deviceCount() override { return 1; }
    std::string deviceName(int) override { return "discard"; }
    int open(int) override { return 0; }
    bool sendLong(std::span<const std::uint8_t> message) override
    {
        benchmark::DoNotOptimize(message.data());
        ++sends;
        return true;
    }
    void close() override {}
    std::string failureReason() const override { return {}; }

    int sends = 0;
};

} // namespace lumidot
