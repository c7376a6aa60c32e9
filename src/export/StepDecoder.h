// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace lumidot {

// Turns the NS5R messages that the writers produce, fed one by one in file
// order, back into recorded steps: a colour or off command, a Show Message
// command, a Frame Draw command, or the five messages of an effect group.
// Anything else is refused with a text that names the byte offset of the
// offending message; after a refusal nothing more is accepted.
class StepDecoder {
public:
    // message: one complete message, F0 to F7; offset: where it starts in the file.
    bool add(std::span<const std::uint8_t> message, std::size_t offset);
    // Refuses an effect group that the file ends inside of.
    bool finish();
    // Inside an effect group: the next message continues the step begun.
    bool inGroup() const { return groupPosition_ > 0; }

    const std::string& error() const { return error_; }
    // The refusal, for a reader to return, once add or finish has refused.
    LoadResult refusal() const { return refusedAt(fault_, faultOffset_, detail_); }
    Recording takeRecording() { return std::move(recording_); }

private:
    bool refuse(ReadFault fault, std::size_t offset, const std::string& what);
    bool addStep(std::span<const std::uint8_t> body, std::size_t offset);
    bool addGroupMessage(std::span<const std::uint8_t> body, std::size_t offset);
    bool addMessageStep(std::span<const std::uint8_t> text, std::size_t offset);

    Recording recording_;
    std::string error_;
    ReadFault fault_ = ReadFault::None;
    std::size_t faultOffset_ = 0;
    std::string detail_;
    int groupPosition_ = 0;   // effect-group messages seen, 0 outside a group
    std::size_t groupOffset_ = 0;
    EffectSetting groupEffect_{};
};

// "byte offset N: what", the form every reader's refusal takes.
std::string offsetError(std::size_t offset, const std::string& what);

} // namespace lumidot
