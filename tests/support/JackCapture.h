// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <RtMidi.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace lumidot::testing {

using Message = std::vector<std::uint8_t>;

// A JACK MIDI input of our own (a client with one input port) that keeps
// every message, SysEx included: the module's side of the live tests.
class JackCapture {
public:
    static constexpr unsigned kQueue = 8192;
    static constexpr auto kArrivalTimeout = std::chrono::seconds(10);

    explicit JackCapture(const std::string& clientName = "LumidotCapture")
        : in_(RtMidi::UNIX_JACK, clientName, kQueue)
    {
        in_.ignoreTypes(false, false, false);
    }

    // The input port "<client>:capture" that the program's port list offers.
    void openOwnPort() { in_.openVirtualPort("capture"); }

    // Connects the capture to the output port whose name starts with prefix.
    bool connectTo(const std::string& prefix)
    {
        for (unsigned i = 0; i < in_.getPortCount(); ++i) {
            if (in_.getPortName(i).rfind(prefix, 0) == 0) {
                in_.openPort(i, "capture");
                return in_.isPortOpen();
            }
        }
        return false;
    }

    bool seesOutput(const std::string& prefix)
    {
        for (unsigned i = 0; i < in_.getPortCount(); ++i) {
            if (in_.getPortName(i).rfind(prefix, 0) == 0)
                return true;
        }
        return false;
    }

    // Waits (bounded) until count messages have arrived or the time is up.
    std::vector<Message> receive(std::size_t count)
    {
        std::vector<Message> received;
        const auto deadline = std::chrono::steady_clock::now() + kArrivalTimeout;
        std::vector<unsigned char> bytes;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            in_.getMessage(&bytes);
            if (bytes.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            else
                received.emplace_back(bytes.begin(), bytes.end());
        }
        return received;
    }

    // Anything that arrives within a short settling time.
    std::vector<Message> leftovers()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::vector<Message> received;
        std::vector<unsigned char> bytes;
        for (in_.getMessage(&bytes); !bytes.empty(); in_.getMessage(&bytes))
            received.emplace_back(bytes.begin(), bytes.end());
        return received;
    }

private:
    RtMidiIn in_;
};

} // namespace lumidot::testing
