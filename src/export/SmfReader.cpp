#include "export/SmfReader.h"

#include "export/StepDecoder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 4> kHeaderId{'M', 'T', 'h', 'd'};
constexpr std::array<std::uint8_t, 4> kTrackId{'M', 'T', 'r', 'k'};

// One NS5R message found in a track, with where and when it was.
struct FoundMessage {
    std::uint64_t time = 0;
    std::size_t offset = 0;
    std::uint32_t delta = 0;
    std::vector<std::uint8_t> bytes;
};

class SmfParser {
public:
    explicit SmfParser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool parse();
    LoadResult takeRefusal() { return std::move(refusal_); }
    std::vector<FoundMessage>& messages() { return messages_; }

private:
    bool fail(ReadFault fault, std::size_t offset, const std::string& what)
    {
        refusal_ = refusedAt(fault, offset, what);
        return false;
    }
    bool read32(std::size_t at, std::uint32_t& value) const;
    bool readTrack(std::size_t begin, std::size_t end);
    bool readQuantity(std::size_t& pos, std::size_t end, std::uint32_t& value);
    void keepIfNs5r(std::vector<std::uint8_t> message, std::size_t offset, std::uint64_t time,
                    std::uint32_t delta);

    std::span<const std::uint8_t> bytes_;
    LoadResult refusal_;
    std::vector<FoundMessage> messages_;
};

bool SmfParser::read32(std::size_t at, std::uint32_t& value) const
{
    if (at + 4 > bytes_.size())
        return false;
    value = static_cast<std::uint32_t>(bytes_[at]) << 24 | static_cast<std::uint32_t>(bytes_[at + 1]) << 16 |
            static_cast<std::uint32_t>(bytes_[at + 2]) << 8 | bytes_[at + 3];
    return true;
}

bool SmfParser::readQuantity(std::size_t& pos, std::size_t end, std::uint32_t& value)
{
    const std::size_t start = pos;
    value = 0;
    for (int k = 0; k < 4; ++k) {
        if (pos >= end)
            return fail(ReadFault::Truncated, start, "number cut off by the end of its track");
        const std::uint8_t b = bytes_[pos++];
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return fail(ReadFault::BrokenStructure, start, "number longer than four bytes");
}

bool SmfParser::parse()
{
    std::uint32_t headerSize = 0;
    if (bytes_.size() < 14 || !std::equal(kHeaderId.begin(), kHeaderId.end(), bytes_.begin()) ||
        !read32(4, headerSize) || headerSize < 6 || 8 + std::size_t{headerSize} > bytes_.size())
        return fail(ReadFault::BrokenStructure, 0, "not a Standard MIDI File header");
    const unsigned format = bytes_[8] << 8 | bytes_[9];
    const unsigned tracks = bytes_[10] << 8 | bytes_[11];
    if (format > 1)
        return fail(ReadFault::Unsupported, 8,
                    "format " + std::to_string(format) + " (only formats 0 and 1 are read)");
    if (bytes_[12] & 0x80)
        return fail(ReadFault::Unsupported, 12,
                    "time code division (only ticks per quarter note are read)");

    std::size_t pos = 8 + std::size_t{headerSize};
    std::size_t trackIndex = 0;
    while (pos < bytes_.size()) {
        std::uint32_t size = 0;
        if (!read32(pos + 4, size))
            return fail(ReadFault::Truncated, pos, "chunk header cut off by the end of the file");
        const std::size_t begin = pos + 8;
        if (size > bytes_.size() - begin)
            return fail(ReadFault::Truncated, pos, "chunk longer than the rest of the file");
        if (std::equal(kTrackId.begin(), kTrackId.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(pos))) {
            ++trackIndex;
            if (!readTrack(begin, begin + size))
                return false;
        }
        pos = begin + size;   // chunks of other kinds are passed over
    }
    if (trackIndex != tracks)
        return fail(ReadFault::CountMismatch, 10,
                    "header names " + std::to_string(tracks) + " tracks, the file holds " +
                        std::to_string(trackIndex));
    return true;
}

bool SmfParser::readTrack(std::size_t pos, std::size_t end)
{
    std::uint64_t time = 0;
    std::uint8_t status = 0;   // for running status
    // A System Exclusive message split over several packets.
    std::vector<std::uint8_t> pending;
    std::size_t pendingOffset = 0;
    std::uint32_t pendingDelta = 0;
    std::uint64_t pendingTime = 0;

    while (pos < end) {
        std::uint32_t delta = 0;
        if (!readQuantity(pos, end, delta))
            return false;
        time += delta;
        if (pos >= end)
            return fail(ReadFault::Truncated, pos, "event cut off by the end of its track");
        const std::size_t eventOffset = pos;
        std::uint8_t byte = bytes_[pos];
        if (byte == 0xF0 || byte == 0xF7) {
            ++pos;
            std::uint32_t length = 0;
            if (!readQuantity(pos, end, length))
                return false;
            if (length > end - pos)
                return fail(ReadFault::Truncated, eventOffset,
                            "System Exclusive event longer than its track");
            const auto data = bytes_.subspan(pos, length);
            pos += length;
            status = 0;
            if (byte == 0xF0) {
                if (!pending.empty())
                    return fail(ReadFault::BrokenStructure, eventOffset,
                                "System Exclusive message begun inside another");
                pending.assign({0xF0});
                pendingOffset = eventOffset;
                pendingDelta = delta;
                pendingTime = time;
            } else if (pending.empty()) {
                continue;   // an escape of raw bytes, not a message
            }
            pending.insert(pending.end(), data.begin(), data.end());
            if (!pending.empty() && pending.back() == 0xF7) {
                keepIfNs5r(std::move(pending), pendingOffset, pendingTime, pendingDelta);
                pending.clear();
            }
            continue;
        }
        if (!pending.empty())
            return fail(ReadFault::Truncated, pendingOffset,
                        "System Exclusive message left unfinished by the next event");
        if (byte == 0xFF) {
            if (pos + 2 > end)
                return fail(ReadFault::Truncated, eventOffset,
                            "meta event cut off by the end of its track");
            const std::uint8_t type = bytes_[pos + 1];
            pos += 2;
            std::uint32_t length = 0;
            if (!readQuantity(pos, end, length))
                return false;
            if (length > end - pos)
                return fail(ReadFault::Truncated, eventOffset, "meta event longer than its track");
            pos += length;
            status = 0;
            if (type == 0x2F)
                return true;   // end of track; anything after it is ignored
            continue;
        }
        if (byte & 0x80) {
            if (byte >= 0xF0)
                return fail(ReadFault::BrokenStructure, eventOffset, "system message inside a track");
            status = byte;
            ++pos;
        } else if (status == 0) {
            return fail(ReadFault::BrokenStructure, eventOffset,
                        "data byte without a status (running status unset)");
        }
        const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (pos + static_cast<std::size_t>(dataBytes) > end)
            return fail(ReadFault::Truncated, eventOffset, "channel event cut off by the end of its track");
        for (int k = 0; k < dataBytes; ++k) {
            if (bytes_[pos++] & 0x80)
                return fail(ReadFault::BrokenStructure, eventOffset, "status byte inside a channel event");
        }
    }
    if (!pending.empty())
        return fail(ReadFault::Truncated, pendingOffset,
                    "System Exclusive message cut off by the end of its track");
    return true;
}

// Only the NS5R's messages are steps; other devices' messages are passed over.
void SmfParser::keepIfNs5r(std::vector<std::uint8_t> message, std::size_t offset,
                           std::uint64_t time, std::uint32_t delta)
{
    if (message.size() >= kSysExHeader.size() &&
        std::equal(kSysExHeader.begin(), kSysExHeader.end(), message.begin()))
        messages_.push_back({time, offset, delta, std::move(message)});
}

} // namespace

LoadResult readSmf(std::span<const std::uint8_t> bytes)
{
    SmfParser parser(bytes);
    if (!parser.parse())
        return parser.takeRefusal();
    auto& found = parser.messages();
    // Tracks were read in file order, so a stable sort by time keeps the
    // order of simultaneous messages: track by track, then as written.
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundMessage& a, const FoundMessage& b) { return a.time < b.time; });

    StepDecoder decoder;
    for (const FoundMessage& message : found) {
        if (!decoder.add(message.bytes, message.offset))
            return decoder.refusal();
    }
    if (!decoder.finish())
        return decoder.refusal();
    LoadResult result;
    result.ok = true;
    result.recording = decoder.takeRecording();
    result.typeIndex = kTypeSmf;
    if (!found.empty() && found.front().delta >= 1 && found.front().delta <= 127)
        result.stepTick = static_cast<int>(found.front().delta);
    return result;
}

} // namespace lumidot
