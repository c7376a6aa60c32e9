// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SswReader.h"

#include "export/SswWriter.h"
#include "export/StepDecoder.h"

#include <algorithm>
#include <vector>

namespace lumidot {

namespace {

constexpr std::size_t kNameRecordSize = kSswNameSize + 2;

// The name Lumidot writes for a message: by its command, the five messages
// of an effect group all "NS5R FX MODE".
std::string_view expectedName(std::span<const std::uint8_t> message)
{
    const auto body = message.subspan(kSysExHeader.size());
    switch (body[0]) {
    case 0x7D:
        switch (body[1]) {
        case 0x00: return SswEntryName(StepKind::Green);
        case 0x01: return SswEntryName(StepKind::Orange);
        case 0x02: return SswEntryName(StepKind::Red);
        default: return SswEntryName(StepKind::Off);
        }
    case 0x12: return SswEntryName(body[3] == 0x20 ? StepKind::Frame : StepKind::Message);
    default: return SswEntryName(StepKind::Effect);
    }
}

bool nameMatches(std::span<const std::uint8_t> record, std::string_view name)
{
    for (std::size_t k = 0; k < kSswNameSize; ++k) {
        const char expected = k < name.size() ? name[k] : ' ';
        if (record[k] != static_cast<std::uint8_t>(expected))
            return false;
    }
    return record[kSswNameSize] == 0x00 && record[kSswNameSize + 1] == 0x00;
}

} // namespace

LoadResult readSsw(std::span<const std::uint8_t> bytes)
{
    const std::size_t signature = kSswSignature.size();
    if (bytes.size() < signature + 2 ||
        !std::equal(kSswSignature.begin(), kSswSignature.end(), bytes.begin()))
        return refusedAt(ReadFault::UnknownFormat, 0, "not a Singer Song Writer 4 exclusive library");
    const std::size_t entries = bytes[signature] | bytes[signature + 1] << 8;

    StepDecoder decoder;
    std::vector<std::string_view> names;
    names.reserve(entries);
    std::size_t pos = signature + 2;
    for (std::size_t k = 0; k < entries; ++k) {
        if (pos + 2 > bytes.size())
            return refusedAt(ReadFault::CountMismatch, pos,
                             "entry " + std::to_string(k + 1) + " of " + std::to_string(entries) +
                                 " missing");
        const std::size_t length = bytes[pos] | bytes[pos + 1] << 8;
        if (length > bytes.size() - pos - 2)
            return refusedAt(ReadFault::Truncated, pos, "entry longer than the rest of the file");
        const auto message = bytes.subspan(pos + 2, length);
        // The decoder checks that the whole entry is one NS5R message.
        if (!decoder.add(message, pos + 2))
            return decoder.refusal();
        names.push_back(expectedName(message));
        pos += 2 + length;
    }
    if (bytes.size() - pos != entries * kNameRecordSize)
        return refusedAt(ReadFault::CountMismatch, pos,
                         "expected " + std::to_string(entries) +
                             " name records of 32 bytes to end the file");
    for (const std::string_view name : names) {
        if (!nameMatches(bytes.subspan(pos, kNameRecordSize), name))
            return refusedAt(ReadFault::BrokenStructure, pos,
                             "name record other than \"" + std::string(name) + "\"");
        pos += kNameRecordSize;
    }
    if (!decoder.finish())
        return decoder.refusal();
    LoadResult result;
    result.ok = true;
    result.recording = decoder.takeRecording();
    result.typeIndex = kTypeExc;
    result.workingBytes = result.recording.heldBytes() + names.capacity() * sizeof(std::string_view);
    return result;
}

} // namespace lumidot
