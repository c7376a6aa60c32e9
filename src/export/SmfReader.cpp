// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SmfReader.h"

#include "export/FileTiming.h"
#include "export/SmfWriter.h"
#include "export/StepDecoder.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <utility>
#include <vector>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 4> kHeaderId{'M', 'T', 'h', 'd'};
constexpr std::array<std::uint8_t, 4> kTrackId{'M', 'T', 'r', 'k'};

// One NS5R message found in a track, with where and when it was, and the
// time of the step label (a text event as Lumidot writes before each step)
// that came in its track since the NS5R message before it. The bytes
// belong to the track reader and stay valid until its next message.
struct FoundMessage {
    std::uint64_t time = 0;
    std::size_t offset = 0;
    std::span<const std::uint8_t> bytes;
    std::optional<std::uint64_t> labelTime;
};

bool isStepLabel(std::span<const std::uint8_t> text)
{
    const std::string_view asText(reinterpret_cast<const char*>(text.data()), text.size());
    for (const StepKind kind : {StepKind::Green, StepKind::Orange, StepKind::Red, StepKind::Message,
                                StepKind::Frame, StepKind::Off, StepKind::Effect})
        if (asText == StepLabel(kind))
            return true;
    return false;
}

// Walks the events of one track and yields its NS5R messages one at a time,
// so that reading a file needs memory for one message per track, not for
// every message of the file.
class TrackReader {
public:
    TrackReader(std::span<const std::uint8_t> file, std::size_t begin, std::size_t end)
        : bytes_(file), pos_(begin), end_(end)
    {
    }

    // The next NS5R message of the track; false at its end, or on a fault
    // (then failed() is true).
    bool next(FoundMessage& found);
    bool failed() const { return fault_ != ReadFault::None; }
    LoadResult refusal() const { return refusedAt(fault_, faultOffset_, faultDetail_); }
    // After the last message: the time of the track's end.
    std::uint64_t time() const { return time_; }
    // What the reader holds besides the file's bytes.
    std::size_t heldBytes() const { return sizeof(TrackReader) + message_.capacity() + faultDetail_.capacity(); }

private:
    // A file may hold tens of thousands of tracks, each with a reader:
    // the fault is kept as its parts, not as a whole LoadResult, whose
    // recording would cost every track the tables of a recording.
    bool fail(ReadFault fault, std::size_t offset, const std::string& what)
    {
        fault_ = fault;
        faultOffset_ = offset;
        faultDetail_ = what;
        return false;
    }
    bool readQuantity(std::uint32_t& value);
    // One System Exclusive event (F0 or F7 form); true when it completed a
    // message, which is then in message_.
    bool sysExEvent(std::uint8_t kind, std::size_t eventOffset, bool& complete);
    bool skipMeta(std::size_t eventOffset, bool& endOfTrack);
    bool skipChannelEvent(std::size_t eventOffset);
    bool isNs5r() const
    {
        return message_.size() >= kSysExHeader.size() &&
               std::equal(kSysExHeader.begin(), kSysExHeader.end(), message_.begin());
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_;
    std::size_t end_;
    std::uint64_t time_ = 0;
    std::uint8_t status_ = 0;    // for running status
    ReadFault fault_ = ReadFault::None;
    std::size_t faultOffset_ = 0;
    std::string faultDetail_;
    // The message being gathered: whole in one event, or split into an F0
    // packet followed by F7 packets.
    std::vector<std::uint8_t> message_;
    bool pending_ = false;
    std::size_t messageOffset_ = 0;
    std::uint64_t messageTime_ = 0;
    std::optional<std::uint64_t> labelTime_;
};

bool TrackReader::readQuantity(std::uint32_t& value)
{
    const std::size_t start = pos_;
    value = 0;
    for (int k = 0; k < 4; ++k) {
        if (pos_ >= end_)
            return fail(ReadFault::Truncated, start, "number cut off by the end of its track");
        const std::uint8_t b = bytes_[pos_++];
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return fail(ReadFault::BrokenStructure, start, "number longer than four bytes");
}

// An F0 event starts a message. An F7 event continues the pending one; with
// none pending, an F7 event that holds a message from its F0 on (the
// "escape" form other programs write) is that message, and any other is
// refused, since its bytes belong to no message.
bool TrackReader::sysExEvent(std::uint8_t kind, std::size_t eventOffset, bool& complete)
{
    ++pos_;
    std::uint32_t length = 0;
    if (!readQuantity(length))
        return false;
    if (length > end_ - pos_)
        return fail(ReadFault::Truncated, eventOffset, "System Exclusive event longer than its track");
    const auto data = bytes_.subspan(pos_, length);
    pos_ += length;
    status_ = 0;
    if (kind == 0xF0 && pending_)
        return fail(ReadFault::BrokenStructure, eventOffset,
                    "System Exclusive message begun inside another");
    if (!pending_) {
        const bool escapedStart = kind == 0xF7 && !data.empty() && data.front() == 0xF0;
        if (kind == 0xF7 && !escapedStart)
            return fail(ReadFault::BrokenStructure, eventOffset,
                        "F7 packet outside any System Exclusive message");
        message_.clear();
        if (kind == 0xF0)
            message_.push_back(0xF0);
        pending_ = true;
        messageOffset_ = eventOffset;
        messageTime_ = time_;
    }
    message_.insert(message_.end(), data.begin(), data.end());
    complete = message_.back() == 0xF7;
    if (complete)
        pending_ = false;
    return true;
}

bool TrackReader::skipMeta(std::size_t eventOffset, bool& endOfTrack)
{
    if (pos_ + 2 > end_)
        return fail(ReadFault::Truncated, eventOffset, "meta event cut off by the end of its track");
    const std::uint8_t type = bytes_[pos_ + 1];
    pos_ += 2;
    std::uint32_t length = 0;
    if (!readQuantity(length))
        return false;
    if (length > end_ - pos_)
        return fail(ReadFault::Truncated, eventOffset, "meta event longer than its track");
    if (type == 0x01 && isStepLabel(bytes_.subspan(pos_, length)))
        labelTime_ = time_;
    pos_ += length;
    status_ = 0;
    endOfTrack = type == 0x2F;
    return true;
}

bool TrackReader::skipChannelEvent(std::size_t eventOffset)
{
    const std::uint8_t byte = bytes_[pos_];
    if (byte & 0x80) {
        if (byte >= 0xF0)
            return fail(ReadFault::BrokenStructure, eventOffset, "system message inside a track");
        status_ = byte;
        ++pos_;
    } else if (status_ == 0) {
        return fail(ReadFault::BrokenStructure, eventOffset,
                    "data byte without a status (running status unset)");
    }
    const int dataBytes = (status_ & 0xF0) == 0xC0 || (status_ & 0xF0) == 0xD0 ? 1 : 2;
    if (pos_ + static_cast<std::size_t>(dataBytes) > end_)
        return fail(ReadFault::Truncated, eventOffset, "channel event cut off by the end of its track");
    for (int k = 0; k < dataBytes; ++k) {
        if (bytes_[pos_++] & 0x80)
            return fail(ReadFault::BrokenStructure, eventOffset, "status byte inside a channel event");
    }
    return true;
}

bool TrackReader::next(FoundMessage& found)
{
    while (!failed() && pos_ < end_) {
        std::uint32_t delta = 0;
        if (!readQuantity(delta))
            return false;
        time_ += delta;
        if (pos_ >= end_)
            return fail(ReadFault::Truncated, pos_, "event cut off by the end of its track");
        const std::size_t eventOffset = pos_;
        const std::uint8_t byte = bytes_[pos_];
        if (byte == 0xF0 || byte == 0xF7) {
            bool complete = false;
            if (!sysExEvent(byte, eventOffset, complete))
                return false;
            if (complete && isNs5r()) {
                found = {messageTime_, messageOffset_, message_, labelTime_};
                labelTime_.reset();
                return true;
            }
            continue;
        }
        if (pending_)
            return fail(ReadFault::Truncated, messageOffset_,
                        "System Exclusive message left unfinished by the next event");
        if (byte == 0xFF) {
            bool endOfTrack = false;
            if (!skipMeta(eventOffset, endOfTrack))
                return false;
            if (endOfTrack)
                pos_ = end_;   // anything after it is ignored
            continue;
        }
        if (!skipChannelEvent(eventOffset))
            return false;
    }
    if (!failed() && pending_) {
        pending_ = false;
        return fail(ReadFault::Truncated, messageOffset_,
                    "System Exclusive message cut off by the end of its track");
    }
    return false;
}

struct TrackRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The most the decoding holds at once besides the file: the track list, a
// reader, a waiting message and a place in the queue for each track that
// holds an NS5R message, and the recording.
std::size_t decodingBytes(std::size_t trackCount, std::size_t readerBytes, std::size_t readers,
                          const Recording& recording)
{
    const std::size_t perReader = sizeof(FoundMessage) + sizeof(std::pair<std::uint64_t, std::size_t>);
    return trackCount * sizeof(TrackRange) + readerBytes + readers * perReader + recording.heldBytes();
}

class SmfParser {
public:
    explicit SmfParser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Checks the whole file, every track to its end, so that a damaged file
    // is refused at its first fault before any step is decoded.
    bool parse();
    LoadResult takeRefusal() { return std::move(refusal_); }
    LoadResult decode();

private:
    bool checkHeader(std::size_t& headerEnd);
    bool fail(ReadFault fault, std::size_t offset, const std::string& what)
    {
        refusal_ = refusedAt(fault, offset, what);
        return false;
    }
    bool read32(std::size_t at, std::uint32_t& value) const;
    // A file's time in ticks at 480 a quarter, rounded to the nearest.
    std::int64_t scaled(std::uint64_t time) const;

    std::span<const std::uint8_t> bytes_;
    std::uint64_t division_ = kTicksPerQuarter;
    LoadResult refusal_;
    std::vector<TrackRange> tracks_;        // every track, to check the count
    std::vector<TrackRange> withMessages_;  // the tracks that hold an NS5R message
    unsigned claimedTracks_ = 0;
    std::uint64_t end_ = 0;                 // the end of the longest track, with messages or not
};

bool SmfParser::read32(std::size_t at, std::uint32_t& value) const
{
    if (at + 4 > bytes_.size())
        return false;
    value = static_cast<std::uint32_t>(bytes_[at]) << 24 | static_cast<std::uint32_t>(bytes_[at + 1]) << 16 |
            static_cast<std::uint32_t>(bytes_[at + 2]) << 8 | bytes_[at + 3];
    return true;
}

bool SmfParser::checkHeader(std::size_t& headerEnd)
{
    std::uint32_t headerSize = 0;
    if (bytes_.size() < 14 || !std::equal(kHeaderId.begin(), kHeaderId.end(), bytes_.begin()) ||
        !read32(4, headerSize) || headerSize < 6 || 8 + std::size_t{headerSize} > bytes_.size())
        return fail(ReadFault::BrokenStructure, 0, "not a Standard MIDI File header");
    const unsigned format = bytes_[8] << 8 | bytes_[9];
    claimedTracks_ = bytes_[10] << 8 | bytes_[11];
    if (format > 1)
        return fail(ReadFault::Unsupported, 8,
                    "format " + std::to_string(format) + " (only formats 0 and 1 are read)");
    // A format 0 file is one track by definition; a player takes the first
    // of several and drops the rest, so the file is not what it says.
    if (format == 0 && claimedTracks_ != 1)
        return fail(ReadFault::CountMismatch, 10,
                    "format 0 file naming " + std::to_string(claimedTracks_) +
                        " tracks (it holds exactly one)");
    if (bytes_[12] & 0x80)
        return fail(ReadFault::Unsupported, 12,
                    "time code division (only ticks per quarter note are read)");
    division_ = static_cast<std::uint64_t>(bytes_[12] << 8 | bytes_[13]);
    if (division_ == 0)
        return fail(ReadFault::BadValue, 12, "division of 0 ticks per quarter note");
    headerEnd = 8 + std::size_t{headerSize};
    return true;
}

bool SmfParser::parse()
{
    std::size_t pos = 0;
    if (!checkHeader(pos))
        return false;
    while (pos < bytes_.size()) {
        std::uint32_t size = 0;
        if (!read32(pos + 4, size))
            return fail(ReadFault::Truncated, pos, "chunk header cut off by the end of the file");
        const std::size_t begin = pos + 8;
        if (size > bytes_.size() - begin)
            return fail(ReadFault::Truncated, pos, "chunk longer than the rest of the file");
        if (std::equal(kTrackId.begin(), kTrackId.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(pos))) {
            TrackReader reader(bytes_, begin, begin + size);
            FoundMessage found;
            bool holdsMessages = false;
            while (reader.next(found))
                holdsMessages = true;
            if (reader.failed()) {
                refusal_ = reader.refusal();
                return false;
            }
            tracks_.push_back({begin, begin + size});
            end_ = std::max(end_, reader.time());
            if (holdsMessages)
                withMessages_.push_back(tracks_.back());
        }
        pos = begin + size;   // chunks of other kinds are passed over
    }
    if (tracks_.size() != claimedTracks_)
        return fail(ReadFault::CountMismatch, 10,
                    "header names " + std::to_string(claimedTracks_) + " tracks, the file holds " +
                        std::to_string(tracks_.size()));
    return true;
}

std::int64_t SmfParser::scaled(std::uint64_t time) const
{
    if (division_ == kTicksPerQuarter)
        return static_cast<std::int64_t>(time);
    // A file of at most 64 MiB holds fewer than 2^24 events of at most 2^28
    // ticks each, so the product stays far inside 64 bits.
    return static_cast<std::int64_t>((time * kTicksPerQuarter + division_ / 2) / division_);
}

// Feeds the messages of all tracks to the decoder in time order; messages
// at the same time go track by track, then as written. Tracks without an
// NS5R message (tempo, notes, empty ones) get no reader.
LoadResult SmfParser::decode()
{
    const std::vector<TrackRange>& tracks = withMessages_;
    std::vector<TrackReader> readers;
    std::vector<FoundMessage> heads(tracks.size());
    readers.reserve(tracks.size());
    // The track whose next message comes first on top; the lower track
    // index wins a tie.
    using Next = std::pair<std::uint64_t, std::size_t>;
    std::priority_queue<Next, std::vector<Next>, std::greater<Next>> order;
    for (std::size_t k = 0; k < tracks.size(); ++k) {
        readers.emplace_back(bytes_, tracks[k].begin, tracks[k].end);
        if (readers[k].next(heads[k]))
            order.push({heads[k].time, k});
    }

    StepDecoder decoder;
    std::vector<FileStepTimes> steps;
    while (!order.empty()) {
        const std::size_t k = order.top().second;
        order.pop();
        const FoundMessage& message = heads[k];
        const std::int64_t time = scaled(message.time);
        // A message outside an effect group begins a step.
        if (!decoder.inGroup())
            steps.push_back({message.labelTime ? std::optional(scaled(*message.labelTime)) : std::nullopt,
                             time, time, message.offset});
        steps.back().last = time;
        if (!decoder.add(message.bytes, message.offset))
            return decoder.refusal();
        if (readers[k].next(heads[k]))
            order.push({heads[k].time, k});
    }
    if (!decoder.finish())
        return decoder.refusal();
    LoadResult result;
    result.recording = decoder.takeRecording();
    FileTimingResult timing = applySmfTiming(result.recording, steps, scaled(end_));
    if (timing.refusal)
        return std::move(*timing.refusal);
    result.ok = true;
    result.typeIndex = kTypeSmf;
    result.stepTick = timing.stepTick;
    std::size_t readerBytes = steps.capacity() * sizeof(FileStepTimes);   // the steps' times, kept to the end
    for (const TrackReader& reader : readers)
        readerBytes += reader.heldBytes();
    result.workingBytes = decodingBytes(tracks_.capacity() + withMessages_.capacity(), readerBytes, readers.size(), result.recording);
    return result;
}

} // namespace

LoadResult readSmf(std::span<const std::uint8_t> bytes)
{
    SmfParser parser(bytes);
    if (!parser.parse())
        return parser.takeRefusal();
    return parser.decode();
}

} // namespace lumidot
