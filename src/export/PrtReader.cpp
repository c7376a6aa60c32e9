// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtReader.h"

#include "export/FileTiming.h"
#include "export/StepDecoder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 6> kSignature{'R', 'C', 'P', 'P', 'R', 0x01};
constexpr std::size_t kHeaderSize = 8;
constexpr std::uint8_t kExclusiveStart = 0x98;
constexpr std::uint8_t kExclusiveData = 0xF7;

} // namespace

LoadResult readPrt(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()))
        return refusedAt(ReadFault::UnknownFormat, 0,
                         "not a Recomposer98 file as Lumidot writes it (RCPPR 01)");
    const std::size_t block = bytes[6] | bytes[7] << 8;
    if (kHeaderSize + block != bytes.size())
        return refusedAt(ReadFault::CountMismatch, 6,
                         "event block of " + std::to_string(block) + " bytes in a file of " +
                             std::to_string(bytes.size()) + " bytes");
    if (block % 4 != 0)
        return refusedAt(ReadFault::BrokenStructure, 6,
                         "event block not a whole number of 4-byte events");

    StepDecoder decoder;
    std::vector<std::uint8_t> stepTicks;   // the tick of each step's first message
    std::uint8_t tick = 0;
    std::vector<std::uint8_t> message;   // empty between messages
    std::size_t messageOffset = 0;
    for (std::size_t pos = kHeaderSize; pos < bytes.size(); pos += 4) {
        const auto event = bytes.subspan(pos, 4);
        if (message.empty()) {
            if (event[0] != kExclusiveStart || event[1] != 0x00 || event[3] != 0x00)
                return refusedAt(ReadFault::BrokenStructure, pos,
                                 "expected an exclusive start event (98 00 tick 00)");
            // Every message of a step carries the step's wait.
            const bool inGroup = decoder.inGroup();
            if (event[2] < 1 || event[2] > 127 || (inGroup && event[2] != tick))
                return refusedAt(ReadFault::BadValue, pos + 2,
                                 "tick " + std::to_string(event[2]) +
                                     (inGroup ? " inside an effect group differs from its first, " +
                                                    std::to_string(tick)
                                              : std::string(" outside 1..127")));
            tick = event[2];
            if (!inGroup)
                stepTicks.push_back(tick);
            message.assign({0xF0});
            messageOffset = pos;
            continue;
        }
        if (event[0] != kExclusiveData || event[1] != 0x00)
            return refusedAt(ReadFault::BrokenStructure, pos,
                             "expected an exclusive data event (F7 00 ..)");
        message.push_back(event[2]);
        if (event[2] == kEndOfExclusive && event[3] != kEndOfExclusive)
            return refusedAt(ReadFault::BrokenStructure, pos + 3,
                             "byte after the end of a message is not the F7 filler");
        if (event[2] != kEndOfExclusive) {
            message.push_back(event[3]);
            if (event[3] != kEndOfExclusive)
                continue;
        }
        if (!decoder.add(message, messageOffset))
            return decoder.refusal();
        message.clear();
    }
    if (!message.empty())
        return refusedAt(ReadFault::Truncated, messageOffset,
                         "message cut off by the end of the event block");
    if (!decoder.finish())
        return decoder.refusal();
    LoadResult result;
    result.ok = true;
    result.recording = decoder.takeRecording();
    result.stepTick = applyPrtTiming(result.recording, stepTicks);
    result.typeIndex = kTypePrt;
    result.workingBytes = result.recording.heldBytes() + message.capacity();
    return result;
}

} // namespace lumidot
