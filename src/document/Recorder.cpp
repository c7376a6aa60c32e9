// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Recorder.h"

#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"

#include <algorithm>
#include <array>

namespace lumidot {

namespace {

// Show Message body in a fixed buffer: the prefix and up to 32 text bytes.
void sendMessageText(SysExOut& link, std::span<const std::uint8_t> text)
{
    std::array<std::uint8_t, 4 + 2 * kMessageLineBytes> body{};
    std::copy(kShowMessagePrefix.begin(), kShowMessagePrefix.end(), body.begin());
    std::copy(text.begin(), text.end(), body.begin() + 4);
    link.EXC_Out(std::span(body.data(), 4 + text.size()));
}

} // namespace

void FD_OUT(SysExOut& link, const VirtualArea& area, int scrollX, int scrollY)
{
    link.EXC_Out(frameDrawBody(packWindow(area, scrollX, scrollY)));
}

void LCD_Save(Recording& recording, LcdColour selected)
{
    recording.appendColour(selected);
}

RecordResult DotSave(Recording& recording, SysExOut& link, const VirtualArea& area, int scrollX,
                     int scrollY)
{
    return recordFrame(recording, link, packWindow(area, scrollX, scrollY));
}

RecordResult recordFrame(Recording& recording, SysExOut& link, const PackedFrame& frame)
{
    if (recording.full())
        return RecordResult::Full;
    recording.appendFrame(frame);
    link.EXC_Out(frameDrawBody(frame));
    return RecordResult::Recorded;
}

RecordResult SM_Save(Recording& recording, SysExOut& link, std::string_view line1,
                     std::string_view line2)
{
    if (recording.full())
        return RecordResult::Full;
    if (line1.empty() && line2.empty())
        return RecordResult::NothingToRecord;
    sendMessageText(link, recording.buildMessage(line1, line2));
    return recording.commitMessage();
}

MessageSendResult sendMessageLines(Recording& recording, SysExOut& link, std::string_view line1,
                                   std::string_view line2, bool continuousRecording)
{
    if (line1.empty() && line2.empty())
        return MessageSendResult::NothingToSend;
    sendMessageText(link, recording.buildMessage(line1, line2));
    if (recording.full())
        return MessageSendResult::Full;
    if (!continuousRecording)
        return MessageSendResult::Sent;
    recording.commitMessage();
    return MessageSendResult::Recorded;
}

void FXRecClick(Recording& recording, const EffectSetting& effect)
{
    recording.appendEffect(effect);
}

void ClearRecording(Recording& recording)
{
    recording.clear();
}

} // namespace lumidot
