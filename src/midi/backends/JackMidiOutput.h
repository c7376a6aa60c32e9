// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace lumidot {

// The MIDI output port on a JACK server (or PipeWire's JACK), written on
// libjack so that no send can wait for the server: messages go into a ring
// buffer that the server's process cycle drains into the port. The "MIDI
// Mapper" entry is a port "Lumidot" that other programs connect to; device k
// is the k-th MIDI input of another client, which the port is connected to
// by its name.
//
// A server that goes away, a partner whose port is removed, or a buffer that
// stays full past the bound (a server that hangs) make the next send a loss.
// The requests that wait for the server's answer (making the client, its
// port, a connection, closing) are bounded too: a server that does not
// answer is left with its client, and the window goes on. A dead or hung
// client is dropped as soon as the port list is read again and a new one is
// made, so a restarted server is found without restarting the program.
class JackMidiOutput : public MidiOutput {
public:
    static constexpr const char* kClientName = "Lumidot";
    static constexpr const char* kPortName = "Lumidot";
    // Room for several seconds of drawing at the rate the module takes.
    static constexpr std::size_t kBufferBytes = 256 * 1024;
    // The longest a send waits for room in the buffer: below the window's
    // 50 ms for one send.
    static constexpr auto kSendBound = std::chrono::milliseconds(40);
    // The longest the window waits for the server to answer a request.
    static constexpr auto kRequestBound = std::chrono::seconds(2);
    // Open results besides 0.
    static constexpr int kNoMidiSystem = 1;
    static constexpr int kNoSuchDevice = 2;
    static constexpr int kOpenRefused = 3;

    JackMidiOutput();
    ~JackMidiOutput() override;
    JackMidiOutput(const JackMidiOutput&) = delete;
    JackMidiOutput& operator=(const JackMidiOutput&) = delete;

    int deviceCount() override;
    std::string deviceName(int deviceId) override;
    int open(int deviceId) override;
    bool sendLong(std::span<const std::uint8_t> message) override;
    void close() override;
    std::string failureReason() const override { return failure_; }

    // True when a JACK server answers (making a client when there is none).
    bool hasMidiSystem();
    bool isOpen() const { return open_; }

    // One client of one server (defined with the backend).
    struct Connection;

private:
    bool connectServer();
    void dropConnection();
    std::vector<std::string> destinations();
    bool lost(const std::string& reason);
    std::string serverGoneReason() const;
    int registerPort();
    void unregisterPort();
    bool unusable() const;

    Connection* connection_ = nullptr;
    bool open_ = false;
    std::string destinationName_;
    std::string pendingLoss_; // why a port that was open has no client any more
    std::string failure_;
};

} // namespace lumidot
