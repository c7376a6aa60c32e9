// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/MidiLink.h"

#include "ns5r/UserText.h"

#include <algorithm>

namespace lumidot {

MidiLink::MidiLink(MidiOutput& output)
    : output_(output)
{
}

MidiLink::SendResult MidiLink::EXC_Out(std::span<const std::uint8_t> body)
{
    if (body.empty() || body.size() > kMaxBody)
        return SendResult::Refused;
    message_[0] = 0xF0;
    message_[1] = 0x42;
    message_[2] = 0x30;
    message_[3] = 0x42;
    std::copy(body.begin(), body.end(), message_.begin() + 4);
    message_[body.size() + 4] = 0xF7;
    const std::span<const std::uint8_t> message(message_.data(), body.size() + 5);
    if (observer_)
        observer_(message);
    if (!live_)
        return SendResult::Muted;
    if (!portOpen_)
        return SendResult::NoPort;
    if (!output_.sendLong(message)) {
        portLost();
        return SendResult::Lost;
    }
    return SendResult::Sent;
}

// The port is given up as after a failed port change: the next port change
// makes a new one. Recording goes on; only sending stops.
void MidiLink::portLost()
{
    failureReason_ = output_.failureReason();
    closePort();
    lastOpenResult_ = kPortLost;
    live_ = false;
    liveEnabled_ = true;
    if (lossListener_)
        lossListener_(failureReason_);
}

int MidiLink::countDevicesAtStartup()
{
    const int count = output_.deviceCount();
    if (count <= 0)
        live_ = false;
    return count;
}

int MidiLink::openEntry(std::uint8_t midiOutIndex, const std::string& portName)
{
    portName_ = portName;
    openedEntry_ = midiOutIndex;
    const int deviceId = findPort(output_, midiOutIndex, portName);
    if (deviceId == kNoSuchPort) {
        lastOpenResult_ = kPortNotFound;
        failureReason_ = LUMIDOT_TEXT("MidiLink", "「%1」というポートは見つかりません。").arg(portName);
    } else {
        lastOpenResult_ = output_.open(deviceId);
        failureReason_ = lastOpenResult_ == 0 ? std::string() : output_.failureReason();
        if (lastOpenResult_ == 0)
            openedEntry_ = static_cast<std::uint8_t>(deviceId + 1);
    }
    portOpen_ = lastOpenResult_ == 0;
    return lastOpenResult_;
}

bool MidiLink::openAtStartup(std::uint8_t midiOutIndex, const std::string& portName)
{
    if (openEntry(midiOutIndex, portName) != 0) {
        live_ = false;
        liveEnabled_ = false;
        return false;
    }
    live_ = true;
    return true;
}

// The close comes first: it lets the port drop a dead connection to its sound
// system, so that the list is read from a new one.
bool MidiLink::reopen(std::uint8_t midiOutIndex, const std::string& portName)
{
    closePort();
    const bool opened = openEntry(midiOutIndex, portName) == 0;
    live_ = opened;
    liveEnabled_ = true;
    return opened;
}

void MidiLink::MIDI_RealClick()
{
    live_ = !live_;
    if (lastOpenResult_ != 0)
        live_ = false;
}

void MidiLink::closePort()
{
    output_.close();
    portOpen_ = false;
}

std::string MidiLink::caption(std::uint8_t midiOutIndex)
{
    if (midiOutIndex == 0)
        return std::string("Lumidot [") + kMapperName + "]";
    if (!portName_.empty())
        return "Lumidot [" + portName_ + "]";
    return "Lumidot [" + output_.deviceName(deviceIdForEntry(midiOutIndex)) + "]";
}

int findPort(MidiOutput& output, std::uint8_t midiOutIndex, const std::string& portName)
{
    const int listed = deviceIdForEntry(midiOutIndex);
    if (portName.empty())
        return listed;
    if (portName == kMapperName)
        return MidiOutput::kMapperId;
    const int count = output.deviceCount();
    if (listed >= 0 && listed < count && output.deviceName(listed) == portName)
        return listed;
    for (int id = 0; id < count; ++id) {
        if (output.deviceName(id) == portName)
            return id;
    }
    return kNoSuchPort;
}

std::uint8_t chooseMidiOutIndex(int selectedEntry, std::uint8_t previous, int deviceCount)
{
    const auto chosen = static_cast<std::uint8_t>(selectedEntry);
    return chosen > deviceCount ? previous : chosen;
}

} // namespace lumidot
