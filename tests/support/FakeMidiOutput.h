// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "midi/MidiOutput.h"

#include <string>
#include <vector>

namespace lumidot::testing {

// A MIDI output that records every call and every message byte for byte.
class FakeMidiOutput : public MidiOutput {
public:
    std::vector<std::string> deviceNames;      // device ids 0.. in order
    int failOpenResult = 0;                    // non-zero: every open fails with it
    std::string reason;                        // what failureReason() answers
    bool losing = false;                       // every send is lost, as by a dead port
    std::vector<int> openedIds;                // every open, in order
    int closeCount = 0;
    bool portOpen = false;                     // an open succeeded and no close followed
    int sendsWhileClosed = 0;                  // messages handed over without an open port
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<std::string> calls;            // "count", "name", "open", "send", "close"

    int deviceCount() override
    {
        calls.push_back("count");
        return static_cast<int>(deviceNames.size());
    }

    std::string deviceName(int deviceId) override
    {
        calls.push_back("name");
        if (deviceId == kMapperId)
            return kMapperName;
        if (deviceId < 0 || deviceId >= static_cast<int>(deviceNames.size()))
            return {};
        return deviceNames[static_cast<std::size_t>(deviceId)];
    }

    int open(int deviceId) override
    {
        calls.push_back("open");
        openedIds.push_back(deviceId);
        const int result = failOpenResult != 0 ? failOpenResult
                           : deviceId >= kMapperId && deviceId < static_cast<int>(deviceNames.size()) ? 0
                                                                                                        : 2;
        portOpen = result == 0;
        return result;
    }

    bool sendLong(std::span<const std::uint8_t> message) override
    {
        calls.push_back("send");
        if (!portOpen)
            ++sendsWhileClosed;
        if (losing)
            return false;
        sent.emplace_back(message.begin(), message.end());
        return true;
    }

    void close() override
    {
        calls.push_back("close");
        portOpen = false;
        ++closeCount;
    }

    std::string failureReason() const override { return reason; }
};

} // namespace lumidot::testing
