// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/backends/SystemMidiOutput.h"

#include "ns5r/UserText.h"

namespace lumidot {

// While a port is open its system stays chosen.
MidiOutput* SystemMidiOutput::system()
{
    const bool portOpen = (current_ == &alsa_ && alsa_.isOpen()) || (current_ == &jack_ && jack_.isOpen());
    if (portOpen)
        return current_;
    if (alsa_.hasMidiSystem())
        current_ = &alsa_;
    else if (jack_.hasMidiSystem())
        current_ = &jack_;
    else
        current_ = nullptr;
    return current_;
}

int SystemMidiOutput::deviceCount()
{
    MidiOutput* output = system();
    return output != nullptr ? output->deviceCount() : 0;
}

std::string SystemMidiOutput::deviceName(int deviceId)
{
    if (deviceId == kMapperId)
        return kMapperName;
    MidiOutput* output = system();
    return output != nullptr ? output->deviceName(deviceId) : std::string();
}

int SystemMidiOutput::open(int deviceId)
{
    close();
    MidiOutput* output = system();
    noSystem_ = output == nullptr;
    return noSystem_ ? kNoMidiSystem : output->open(deviceId);
}

bool SystemMidiOutput::sendLong(std::span<const std::uint8_t> message)
{
    return current_ == nullptr || current_->sendLong(message);
}

void SystemMidiOutput::close()
{
    if (current_ != nullptr)
        current_->close();
}

std::string SystemMidiOutput::failureReason() const
{
    if (noSystem_)
        return LUMIDOT_TEXT("SystemMidiOutput",
                            "MIDIシステムが見つかりません。Lumidotの送信には、ALSAシーケンサー（/dev/snd/seq）か、"
                            "起動しているJACKサーバー（またはPipeWire）が必要です。どちらかを用意してから、"
                            "「設定」を開いて閉じるとポートが開き直されます。");
    return current_ != nullptr ? current_->failureReason() : std::string();
}

} // namespace lumidot
