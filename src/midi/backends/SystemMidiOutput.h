// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"
#include "midi/backends/JackMidiOutput.h"
#include "midi/backends/RtMidiOutput.h"

namespace lumidot {

// The program's MIDI output: the ALSA sequencer where there is one, else a
// JACK (or PipeWire) server. The choice is made again whenever no port is
// open, so a system that comes up later is found by the next port change.
class SystemMidiOutput : public MidiOutput {
public:
    static constexpr int kNoMidiSystem = 1;

    int deviceCount() override;
    std::string deviceName(int deviceId) override;
    int open(int deviceId) override;
    bool sendLong(std::span<const std::uint8_t> message) override;
    void close() override;
    std::string failureReason() const override;

private:
    MidiOutput* system();

    RtMidiOutput alsa_;
    JackMidiOutput jack_;
    MidiOutput* current_ = nullptr;
    bool noSystem_ = false;
};

} // namespace lumidot
