// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SyxReader.h"

#include "export/StepDecoder.h"

namespace lumidot {

LoadResult readSyx(std::span<const std::uint8_t> bytes)
{
    StepDecoder decoder;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (bytes[pos] != 0xF0)
            return refusedAt(ReadFault::OutsideMessage, pos, "byte outside a System Exclusive message");
        std::size_t end = pos + 1;
        while (end < bytes.size() && bytes[end] < 0x80)
            ++end;
        if (end == bytes.size())
            return refusedAt(ReadFault::Truncated, pos, "message cut off by the end of the file");
        if (bytes[end] != kEndOfExclusive)
            return refusedAt(ReadFault::Truncated, pos,
                             "message cut off by a status byte at offset " + std::to_string(end));
        if (!decoder.add(bytes.subspan(pos, end + 1 - pos), pos))
            return decoder.refusal();
        pos = end + 1;
    }
    if (!decoder.finish())
        return decoder.refusal();
    LoadResult result;
    result.ok = true;
    result.recording = decoder.takeRecording();
    result.typeIndex = kTypeSyx;
    result.workingBytes = result.recording.heldBytes();
    return result;
}

} // namespace lumidot
