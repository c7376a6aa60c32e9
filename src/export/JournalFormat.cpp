// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/JournalFormat.h"

#include "export/ByteCodec.h"
#include "export/DocumentFile.h"
#include "recording/StepClip.h"
#include "recording/StepTiming.h"

#include <zlib.h>

#include <algorithm>

namespace lumidot {

namespace {

enum class RecordKind : std::uint8_t { Snapshot = 1, Action = 2 };
enum class PlaneForm : std::uint8_t { None = 0, Mask = 1, Dots = 2 };
enum class StepsForm : std::uint8_t { None = 0, Replace = 1, Move = 2, Retime = 3 };

constexpr std::size_t kPlaneBits = (static_cast<std::size_t>(VirtualArea::kDotCount) + 7) / 8;
constexpr std::size_t kMessageTextLimit = 2 * kMessageLineBytes;

std::uint32_t crcOf(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t get32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

void frame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> payload)
{
    put32(out, static_cast<std::uint32_t>(payload.size()));
    put32(out, crcOf(payload));
    out.insert(out.end(), payload.begin(), payload.end());
}

// The page settings, whole in every record: they are a few bytes.
void writeSettings(ByteWriter& out, const Document& document)
{
    out.signedNumber(document.window.x);
    out.signedNumber(document.window.y);
    out.text(document.lines.line1);
    out.text(document.lines.line2);
    out.byte(static_cast<std::uint8_t>(document.colour));
    out.byte(document.effect.effect1);
    out.byte(document.effect.effect2);
    out.byte(document.effect.mode);
    out.byte(document.stepTick);
    out.number(static_cast<std::uint64_t>(document.tempo));
}

bool printable(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool readSettings(ByteReader& in, Document& document)
{
    const std::int64_t x = in.signedNumber();
    const std::int64_t y = in.signedNumber();
    std::string line1 = in.text(kMessageLineBytes);
    std::string line2 = in.text(kMessageLineBytes);
    const std::uint8_t colour = in.byte();
    const EffectSetting effect{in.byte(), in.byte(), in.byte()};
    const std::uint8_t tick = in.byte();
    const std::uint64_t tempo = in.number(kMaxTempo);
    if (!in.ok() || tempo < static_cast<std::uint64_t>(kMinTempo) || x < kWindowXMin || x > kWindowXMax || y < kWindowYMin || y > kWindowYMax ||
        !printable(line1) || !printable(line2) || colour >= kColourCount || effect.effect1 >= kEffectCount ||
        effect.effect2 >= kEffectCount || effect.mode >= kEffectModeCount || tick < 1 || tick > 127)
        return false;
    document.window = {static_cast<int>(x), static_cast<int>(y)};
    document.lines = {std::move(line1), std::move(line2)};
    document.colour = static_cast<LcdColour>(colour);
    document.effect = effect;
    document.stepTick = tick;
    document.tempo = static_cast<int>(tempo);
    return true;
}

// A wait as its own ticks, -1 while it follows the spacing.
void writeWait(ByteWriter& out, StepWait wait)
{
    out.signedNumber(wait.ownTicks());
}

bool readWait(ByteReader& in, StepWait& wait)
{
    const std::int64_t ticks = in.signedNumber();
    if (!in.ok() || ticks < -1 || ticks > kMaxWait)
        return false;
    wait = ticks < 0 ? StepWait::spacing() : StepWait::ticks(ticks);
    return true;
}

void writeEdges(ByteWriter& out, const EdgeTiming& edges)
{
    out.signedNumber(edges.startOffset ? *edges.startOffset : -1);
    out.number(static_cast<std::uint64_t>(edges.endWait));
}

bool readEdges(ByteReader& in, EdgeTiming& edges)
{
    const std::int64_t start = in.signedNumber();
    const std::uint64_t end = in.number(kMaxWait);
    if (!in.ok() || start < -1 || start > kMaxWait)
        return false;
    edges = {start < 0 ? std::nullopt : std::optional<int>(static_cast<int>(start)), static_cast<int>(end)};
    return true;
}

void writeClip(ByteWriter& out, const StepClip& clip)
{
    out.number(clip.kinds.size());
    out.raw({reinterpret_cast<const std::uint8_t*>(clip.kinds.data()), clip.kinds.size()});
    out.number(clip.waits.size());
    for (const StepWait wait : clip.waits)
        writeWait(out, wait);
    out.run(clip.effects);
    for (const PackedFrame& record : clip.frames)
        out.raw(record);
    for (const MessageRecord& record : clip.messages)
        out.raw(record);
}

// A clip whose kinds, payloads and counts agree, or none.
std::optional<StepClip> readClip(ByteReader& in)
{
    const std::size_t count = in.number(kJournalRecordLimit);
    const auto kinds = in.raw(count);
    StepClip clip;
    std::size_t frames = 0;
    std::size_t messages = 0;
    std::size_t effects = 0;
    for (const std::uint8_t byte : kinds) {
        const std::optional<StepKind> kind = stepKindOf(byte);
        if (!kind)
            return std::nullopt;
        clip.kinds.push_back(*kind);
        frames += *kind == StepKind::Frame;
        messages += *kind == StepKind::Message;
        effects += *kind == StepKind::Effect ? 3 : 0;
    }
    // One wait a step, or none when every step takes the spacing.
    const std::size_t waits = in.number(count);
    if (waits != 0 && waits != count)
        return std::nullopt;
    clip.waits.resize(waits);
    for (StepWait& wait : clip.waits)
        if (!readWait(in, wait))
            return std::nullopt;
    const auto effectBytes = in.run(kJournalRecordLimit);
    if (!in.ok() || effectBytes.size() != effects ||
        frames > static_cast<std::size_t>(kTableRecords) || messages > static_cast<std::size_t>(kTableRecords))
        return std::nullopt;
    clip.effects.assign(effectBytes.begin(), effectBytes.end());
    clip.frames.resize(frames);
    for (PackedFrame& record : clip.frames) {
        const auto bytes = in.raw(record.size());
        std::copy(bytes.begin(), bytes.end(), record.begin());
    }
    clip.messages.resize(messages);
    for (MessageRecord& record : clip.messages) {
        const auto bytes = in.raw(record.size());
        std::copy(bytes.begin(), bytes.end(), record.begin());
        // The text's length is read as a length wherever the record is used.
        if (in.ok() && record[0] > kMessageTextLimit)
            return std::nullopt;
    }
    if (!in.ok())
        return std::nullopt;
    return clip;
}

// The plane's columns lie one after the other from its left edge, so the
// whole plane is one run of dots.
void writePlane(ByteWriter& out, const VirtualArea& plane)
{
    const std::uint8_t* dots = plane.column(VirtualArea::kMinX);
    std::vector<std::uint8_t> bits(kPlaneBits, 0);
    for (std::size_t k = 0; k < static_cast<std::size_t>(VirtualArea::kDotCount); ++k)
        bits[k / 8] |= static_cast<std::uint8_t>(dots[k] << (k % 8));
    out.raw(bits);
}

bool readPlane(ByteReader& in, VirtualArea& plane)
{
    const auto bits = in.raw(kPlaneBits);
    if (!in.ok())
        return false;
    std::uint8_t* dots = plane.column(VirtualArea::kMinX);
    for (std::size_t k = 0; k < static_cast<std::size_t>(VirtualArea::kDotCount); ++k)
        dots[k] = (bits[k / 8] >> (k % 8)) & 1;
    return true;
}

void writePlaneChange(ByteWriter& out, const PlaneChange& change)
{
    if (change.empty()) {
        out.byte(static_cast<std::uint8_t>(PlaneForm::None));
        return;
    }
    if (!change.mask().empty()) {
        const Region& box = change.bounds();
        out.byte(static_cast<std::uint8_t>(PlaneForm::Mask));
        for (const int value : {box.x0, box.y0, box.x1, box.y1})
            out.signedNumber(value);
        out.run(change.mask());
        return;
    }
    out.byte(static_cast<std::uint8_t>(PlaneForm::Dots));
    out.number(change.dots().size());
    for (const PlaneChange::Dot& dot : change.dots()) {
        out.number(dot.x);
        out.number(dot.y);
    }
}

// False for a damaged change; an empty one reads as none.
bool readPlaneChange(ByteReader& in, std::optional<PlaneChange>& change)
{
    switch (static_cast<PlaneForm>(in.byte())) {
    case PlaneForm::None:
        return in.ok();
    case PlaneForm::Mask: {
        Region box;
        for (int* value : {&box.x0, &box.y0, &box.x1, &box.y1})
            *value = static_cast<int>(std::clamp<std::int64_t>(in.signedNumber(), -65536, 65536));
        const auto mask = in.run(kPlaneBits);
        if (!in.ok())
            return false;
        change = PlaneChange::fromMask(box, {mask.begin(), mask.end()});
        return change.has_value();
    }
    case PlaneForm::Dots: {
        const std::size_t count = in.number(static_cast<std::uint64_t>(VirtualArea::kDotCount));
        std::vector<PlaneChange::Dot> dots;
        dots.reserve(std::min<std::size_t>(count, in.left() / 2));
        for (std::size_t k = 0; k < count && in.ok(); ++k) {
            const auto x = static_cast<std::uint16_t>(in.number(VirtualArea::kWidth - 1));
            const auto y = static_cast<std::uint16_t>(in.number(VirtualArea::kHeight - 1));
            dots.push_back({x, y});
        }
        if (!in.ok())
            return false;
        change = PlaneChange::fromDots(std::move(dots));
        return change.has_value();
    }
    }
    return false;
}

void writeStepsChange(ByteWriter& out, const RecordingChange& change)
{
    if (change.empty()) {
        out.byte(static_cast<std::uint8_t>(StepsForm::None));
        return;
    }
    if (change.moves()) {
        out.byte(static_cast<std::uint8_t>(StepsForm::Move));
        out.number(static_cast<std::uint64_t>(change.moveFirst()));
        out.number(static_cast<std::uint64_t>(change.moveCount()));
        out.number(static_cast<std::uint64_t>(change.moveTo()));
    } else if (!change.waitChanges().empty()) {
        out.byte(static_cast<std::uint8_t>(StepsForm::Retime));
        out.number(change.waitChanges().size());
        for (const WaitChange& wait : change.waitChanges()) {
            out.number(static_cast<std::uint64_t>(wait.step));
            writeWait(out, wait.before);
            writeWait(out, wait.after);
        }
    } else {
        out.byte(static_cast<std::uint8_t>(StepsForm::Replace));
        out.number(static_cast<std::uint64_t>(change.at()));
        writeClip(out, change.removed());
        writeClip(out, change.inserted());
    }
    writeEdges(out, change.edgesBefore());
    writeEdges(out, change.edgesAfter());
}

// The part of a change its form names, without the start and the end.
std::optional<RecordingChange> readStepsForm(ByteReader& in, StepsForm form)
{
    constexpr std::uint64_t kLargestIndex = 1u << 30;
    switch (form) {
    case StepsForm::None:
        return std::nullopt;
    case StepsForm::Move: {
        const auto first = static_cast<int>(in.number(kLargestIndex));
        const auto count = static_cast<int>(in.number(kLargestIndex));
        const auto to = static_cast<int>(in.number(kLargestIndex));
        return in.ok() ? std::optional(RecordingChange::moving(first, count, to)) : std::nullopt;
    }
    case StepsForm::Retime: {
        std::vector<WaitChange> waits(in.number(in.left()));
        for (WaitChange& wait : waits) {
            wait.step = static_cast<int>(in.number(kLargestIndex));
            if (!readWait(in, wait.before) || !readWait(in, wait.after))
                return std::nullopt;
        }
        return in.ok() ? std::optional(RecordingChange::retiming(std::move(waits), {}, {})) : std::nullopt;
    }
    case StepsForm::Replace: {
        const auto at = static_cast<int>(in.number(kLargestIndex));
        std::optional<StepClip> removed = readClip(in);
        if (!removed)
            return std::nullopt;
        std::optional<StepClip> inserted = readClip(in);
        if (!inserted)
            return std::nullopt;
        return RecordingChange::replacing(at, std::move(*removed), std::move(*inserted));
    }
    }
    return std::nullopt;
}

bool readStepsChange(ByteReader& in, std::optional<RecordingChange>& change)
{
    const auto form = static_cast<StepsForm>(in.byte());
    if (form == StepsForm::None)
        return in.ok();
    change = readStepsForm(in, form);
    EdgeTiming before;
    EdgeTiming after;
    if (!change || !readEdges(in, before) || !readEdges(in, after))
        return false;
    change->setEdges(before, after);
    return true;
}

int countOf(std::span<const StepKind> kinds, StepKind kind)
{
    return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
}

// A change applies only where it was made: its positions within the steps
// there are, and what it puts in within the tables.
bool applies(const RecordingChange& change, const Recording& recording, bool backward)
{
    const int steps = recording.StepCount();
    if (!change.waitChanges().empty())
        return true;   // a wait of a step there is not is passed over
    if (change.moves()) {
        const int from = backward ? change.moveTo() : change.moveFirst();
        const int to = backward ? change.moveFirst() : change.moveTo();
        const int count = change.moveCount();
        return from + count <= steps && to + count <= steps;
    }
    const StepClip& out = backward ? change.inserted() : change.removed();
    const StepClip& in = backward ? change.removed() : change.inserted();
    if (change.at() + out.size() > steps)
        return false;
    const auto gone = recording.kinds().subspan(static_cast<std::size_t>(change.at()),
                                                static_cast<std::size_t>(out.size()));
    const int frames = recording.FrameCount() - countOf(gone, StepKind::Frame) + countOf(in.kinds, StepKind::Frame);
    const int messages =
        recording.MessageCount() - countOf(gone, StepKind::Message) + countOf(in.kinds, StepKind::Message);
    return frames <= kTableRecords && messages <= kTableRecords;
}

bool readEdit(ByteReader& in, Document& document)
{
    const std::uint8_t direction = in.byte();
    std::optional<PlaneChange> plane;
    std::optional<RecordingChange> steps;
    if (direction > 1 || !readPlaneChange(in, plane) || !readStepsChange(in, steps))
        return false;
    const bool backward = direction == 1;
    if (steps && !applies(*steps, document.recording, backward))
        return false;
    if (plane)
        plane->apply(document.plane);
    if (steps) {
        if (backward)
            steps->undo(document.recording);
        else
            steps->redo(document.recording);
    }
    return true;
}

// Takes one record into the document; false when it is not sound, in which
// case the document may be part-way changed and the caller drops it.
bool readRecord(std::span<const std::uint8_t> payload, Document& document, bool first)
{
    ByteReader in(payload);
    const auto kind = static_cast<RecordKind>(in.byte());
    if (first != (kind == RecordKind::Snapshot))
        return false;
    if (kind == RecordKind::Snapshot) {
        if (!readSettings(in, document) || !readPlane(in, document.plane))
            return false;
        std::optional<StepClip> clip = readClip(in);
        EdgeTiming edges;
        if (!clip || !readEdges(in, edges))
            return false;
        document.recording.replaceSteps(recordingOf(*clip));
        document.recording.setEdgeTiming(edges);
        return in.atEnd();
    }
    if (kind != RecordKind::Action)
        return false;
    Document settings;
    if (!readSettings(in, settings))
        return false;
    const std::uint64_t edits = in.number(payload.size());
    for (std::uint64_t k = 0; k < edits; ++k)
        if (!readEdit(in, document))
            return false;
    if (!in.ok() || !in.atEnd())
        return false;
    document.window = settings.window;
    document.lines = std::move(settings.lines);
    document.colour = settings.colour;
    document.effect = settings.effect;
    document.stepTick = settings.stepTick;
    document.tempo = settings.tempo;
    return true;
}

} // namespace

std::vector<std::uint8_t> journalHeader()
{
    std::vector<std::uint8_t> out(kJournalMagic.begin(), kJournalMagic.end());
    out.push_back(kJournalVersion);
    return out;
}

void appendSnapshotRecord(std::vector<std::uint8_t>& out, const Document& document)
{
    std::vector<std::uint8_t> payload;
    ByteWriter writer(payload);
    writer.byte(static_cast<std::uint8_t>(RecordKind::Snapshot));
    writeSettings(writer, document);
    writePlane(writer, document.plane);
    writeClip(writer, allSteps(document.recording));
    writeEdges(writer, document.recording.edgeTiming());
    frame(out, payload);
}

void ActionRecord::edit(const EditEntry& entry, bool backward)
{
    ByteWriter writer(payload_);
    writer.byte(backward ? 1 : 0);
    writePlaneChange(writer, entry.plane);
    writeStepsChange(writer, entry.recording);
    ++edits_;
}

void ActionRecord::finish(const Document& after, std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> payload;
    payload.reserve(payload_.size() + 64);
    ByteWriter writer(payload);
    writer.byte(static_cast<std::uint8_t>(RecordKind::Action));
    writeSettings(writer, after);
    writer.number(edits_);
    writer.raw(payload_);
    frame(out, payload);
    payload_.clear();
    edits_ = 0;
}

// The records are taken one by one until one is cut short, fails its
// checksum or does not apply; the document keeps what the last sound one
// left. A record that fails part-way is undone by starting again from the
// document as it was before it, which is kept for that.
JournalRead readJournal(std::span<const std::uint8_t> bytes)
{
    JournalRead read;
    const auto header = journalHeader();
    if (bytes.size() < header.size() || !std::equal(header.begin(), header.end(), bytes.begin())) {
        read.cut = !bytes.empty();
        return read;
    }
    std::size_t pos = header.size();
    read.wholeBytes = pos;
    Document document;
    bool first = true;
    bool partly = false;   // a sound record that did not apply, maybe after changing something
    while (pos < bytes.size()) {
        if (bytes.size() - pos < 8)
            break;
        const std::uint32_t length = get32(bytes.data() + pos);
        if (length > kJournalRecordLimit || bytes.size() - pos - 8 < length)
            break;
        const auto payload = bytes.subspan(pos + 8, length);
        if (crcOf(payload) != get32(bytes.data() + pos + 4))
            break;
        if (!readRecord(payload, document, first)) {
            partly = true;
            break;
        }
        if (!first)
            ++read.actions;
        first = false;
        pos += 8 + length;
        read.wholeBytes = pos;
    }
    read.cut = pos < bytes.size();
    if (partly && !first)
        document = readJournal(bytes.first(read.wholeBytes)).document.value_or(Document{});
    if (!first)
        read.document = std::move(document);
    return read;
}

} // namespace lumidot
