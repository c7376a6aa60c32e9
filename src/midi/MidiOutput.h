// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lumidot {

// The system's MIDI output, reduced to the five calls the program makes.
// Device ids run from 0 to deviceCount() - 1; kMapperId (-1) is the
// "MIDI Mapper" entry of the port list, which every backend can open.
// The list is read anew by every call: ports come and go while the program
// runs, so an id is only good for the moment it was read.
class MidiOutput {
public:
    static constexpr int kMapperId = -1;

    virtual ~MidiOutput() = default;

    virtual int deviceCount() = 0;
    // Product name of a device, at most 32 characters; "MIDI Mapper" for kMapperId.
    virtual std::string deviceName(int deviceId) = 0;
    // 0 on success, any other value on failure. Opening closes nothing:
    // callers close first.
    virtual int open(int deviceId) = 0;
    // One complete System Exclusive message, F0 .. F7. Returns within a short
    // bound whatever the sound system does; false when the message was lost
    // because the open port stopped working (its server gone, its partner
    // removed, its buffer full past the bound). Nothing is lost while no port
    // is open.
    virtual bool sendLong(std::span<const std::uint8_t> message) = 0;
    virtual void close() = 0;
    // Why the last open failed or the last message was lost, in the window's
    // language (UTF-8); empty when there is nothing to say.
    virtual std::string failureReason() const = 0;
};

// The entry of the port list that is the mapper.
inline constexpr const char* kMapperName = "MIDI Mapper";

} // namespace lumidot
