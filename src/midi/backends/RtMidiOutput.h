// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"
#include "midi/backends/PortName.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class RtMidiOut;

namespace lumidot {

// The MIDI output port on the ALSA sequencer, through RtMidi. The "MIDI
// Mapper" entry is a virtual output port named "Lumidot" that synthesizers
// and sequencers connect to; device k is sequencer port k. Nothing RtMidi
// reports is printed or thrown past this class: failures become open results
// and lost messages, and a machine without a sequencer simply has no devices.
// RtMidi's ALSA client does not block (it is opened non-blocking), so a send
// is bounded by this class's own retries. JACK has a backend of its own.
class RtMidiOutput : public MidiOutput {
public:
    static constexpr const char* kPortName = "Lumidot";
    static constexpr std::size_t kNameChars = kPortNameChars;
    // Open results besides 0.
    static constexpr int kNoMidiSystem = 1;
    static constexpr int kNoSuchDevice = 2;
    static constexpr int kOpenRefused = 3;

    RtMidiOutput();
    ~RtMidiOutput() override;
    RtMidiOutput(const RtMidiOutput&) = delete;
    RtMidiOutput& operator=(const RtMidiOutput&) = delete;

    int deviceCount() override;
    std::string deviceName(int deviceId) override;
    int open(int deviceId) override;
    bool sendLong(std::span<const std::uint8_t> message) override;
    void close() override;
    std::string failureReason() const override { return failure_; }

    // True when the ALSA sequencer can be reached.
    bool hasMidiSystem();
    bool isOpen() const { return open_; }
    // Long messages that the sequencer kept refusing until the bound.
    int droppedMessages() const { return dropped_; }

private:
    static void onError(int type, const std::string& text, void* self);
    void connect();
    bool attemptSend(std::span<const std::uint8_t> message);
    int openDevice(int deviceId);
    int openVirtual();

    std::unique_ptr<RtMidiOut> out_;
    bool open_ = false;
    bool virtualOpen_ = false;
    int errors_ = 0;
    int dropped_ = 0;
    std::string failure_;
};

// Sends with attempt until it is accepted, calling wait between attempts;
// wait answers false when no time is left for another one. False when every
// attempt was refused.
bool sendWithRetry(const std::function<bool()>& attempt, const std::function<bool()>& wait);

} // namespace lumidot
