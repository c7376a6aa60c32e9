// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <string_view>

namespace lumidot {

class SysExOut;
class VirtualArea;

// Packs the window at the scroll position and sends it as a Frame Draw command.
// The functions below send through link: the MIDI link itself, or the pacer
// in front of it.
void FD_OUT(SysExOut& link, const VirtualArea& area, int scrollX, int scrollY);

// The record commands of the pages. Each takes the page's current state,
// sends through the link where the command sends, and reports a refusal at
// the step limit instead of showing anything; the window turns Full into
// "これ以上記録できません".

// LCD page "記録": a colour or off step for the selected colour; sends nothing.
void LCD_Save(Recording& recording, LcdColour selected);

// Dot page "記録": records the window as a frame step, then sends the same frame.
RecordResult DotSave(Recording& recording, SysExOut& link, const VirtualArea& area, int scrollX,
                     int scrollY);
// The same for a window packed before: an import that made its frames on a
// copy of the plane records them afterwards.
RecordResult recordFrame(Recording& recording, SysExOut& link, const PackedFrame& frame);

// Message page "記録": sends the two lines and records them. Both lines empty
// send and record nothing (NothingToRecord), silently.
RecordResult SM_Save(Recording& recording, SysExOut& link, std::string_view line1,
                     std::string_view line2);

// What the message lines' live send did.
enum class MessageSendResult { NothingToSend, Sent, Recorded, Full };

// The live send of the message lines on every change: builds the message in
// the next free record and sends it; at the step limit reports Full (whether
// continuous recording is on or not); otherwise commits it as a step while
// continuous recording is on.
MessageSendResult sendMessageLines(Recording& recording, SysExOut& link, std::string_view line1,
                                   std::string_view line2, bool continuousRecording);

// Effect page "記録": an effect step from the three positions; sends nothing.
void FXRecClick(Recording& recording, const EffectSetting& effect);

// New: empties the recording.
void ClearRecording(Recording& recording);

} // namespace lumidot
