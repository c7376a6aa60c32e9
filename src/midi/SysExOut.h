// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace lumidot {

// What became of a message handed to EXC_Out.
enum class SendResult {
    Sent,    // handed to the port
    Muted,   // live sending is off
    NoPort,  // no port is open
    Refused, // a body of 0 or more than 256 bytes
    Lost,    // the port stopped working; live sending is off now
    Waiting, // held back to go out when the cable is free
};

// Where the live messages go: EXC_Out wraps a body into F0 42 30 42 .. F7
// and sends it on. The link sends at once; a pacer in front of it may hold
// a message back for the cable.
class SysExOut {
public:
    virtual ~SysExOut() = default;
    virtual SendResult EXC_Out(std::span<const std::uint8_t> body) = 0;
};

} // namespace lumidot
