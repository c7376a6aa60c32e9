#include "midi/MidiLink.h"

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
    output_.sendLong(message);
    return SendResult::Sent;
}

int MidiLink::countDevicesAtStartup()
{
    const int count = output_.deviceCount();
    if (count <= 0) {
        live_ = false;
        settingsEnabled_ = false;
    }
    return count;
}

int MidiLink::openEntry(std::uint8_t midiOutIndex)
{
    lastOpenResult_ = output_.open(deviceIdForEntry(midiOutIndex));
    portOpen_ = lastOpenResult_ == 0;
    return lastOpenResult_;
}

bool MidiLink::openAtStartup(std::uint8_t midiOutIndex)
{
    if (openEntry(midiOutIndex) != 0) {
        live_ = false;
        liveEnabled_ = false;
        return false;
    }
    live_ = true;
    return true;
}

bool MidiLink::reopen(std::uint8_t midiOutIndex)
{
    closePort();
    const bool opened = openEntry(midiOutIndex) == 0;
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
    return "Lumidot [" + output_.deviceName(deviceIdForEntry(midiOutIndex)) + "]";
}

std::uint8_t chooseMidiOutIndex(int selectedEntry, std::uint8_t previous, int deviceCount)
{
    const auto chosen = static_cast<std::uint8_t>(selectedEntry);
    return chosen > deviceCount ? previous : chosen;
}

} // namespace lumidot
