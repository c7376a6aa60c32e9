// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/DocumentFile.h"

#include "export/Json.h"
#include "export/OpenCommand.h"
#include "export/PlanePng.h"
#include "export/SmfReader.h"
#include "export/SmfWriter.h"
#include "ns5r/UserText.h"
#include "recording/StepClip.h"
#include "recording/StepTiming.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace lumidot {

namespace {

// Entries carry this time, so that the same document makes the same bytes.
constexpr time_t kEntryTime = 946684800;   // 2000-01-01

constexpr std::array<std::string_view, 4> kColourNames{"green", "orange", "red", "off"};
static_assert(kColourNames.size() == kColourCount);

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFreer>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// What steps.mid cannot tell: which waits are the steps' own rather than
// the spacing, where the first step starts and how long the end lasts.
std::string timingJson(const Recording& steps)
{
    const std::optional<int> start = steps.startOffset();
    std::string json = "{\"startOffset\": " + (start ? std::to_string(*start) : std::string("null")) +
                       ", \"endWait\": " + std::to_string(steps.endWait()) + ", \"waits\": [";
    const char* comma = "";
    for (int k = 0; k < steps.StepCount(); ++k) {
        const StepWait wait = steps.wait(k);
        if (wait.followsSpacing())
            continue;
        json += std::string(comma) + "[" + std::to_string(k) + ", " + std::to_string(wait.ownTicks()) + "]";
        comma = ", ";
    }
    return json + "]}";
}

std::string documentJson(const Document& document)
{
    const Recording& steps = document.recording;
    std::string json = "{\n";
    json += "  \"format\": " + std::to_string(kDocumentFormat) + ",\n";
    json += "  \"generator\": \"Lumidot\",\n";
    json += "  \"window\": {\"x\": " + std::to_string(document.window.x) +
            ", \"y\": " + std::to_string(document.window.y) + "},\n";
    json += "  \"lines\": [" + jsonQuoted(document.lines.line1) + ", " + jsonQuoted(document.lines.line2) +
            "],\n";
    json += "  \"colour\": \"" + std::string(kColourNames[static_cast<int>(document.colour)]) + "\",\n";
    json += "  \"effect\": {\"effect1\": " + std::to_string(document.effect.effect1) +
            ", \"effect2\": " + std::to_string(document.effect.effect2) +
            ", \"mode\": " + std::to_string(document.effect.mode) + "},\n";
    json += "  \"stepTick\": " + std::to_string(document.stepTick) + ",\n";
    json += "  \"tempo\": " + std::to_string(document.tempo) + ",\n";
    json += "  \"timing\": " + timingJson(steps) + ",\n";
    json += "  \"steps\": {\"count\": " + std::to_string(steps.StepCount()) +
            ", \"frames\": " + std::to_string(steps.FrameCount()) +
            ", \"messages\": " + std::to_string(steps.MessageCount()) + "}\n";
    json += "}\n";
    return json;
}

bool addEntry(zip_t* archive, std::string_view name, std::span<const std::uint8_t> bytes, bool stored)
{
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(archive, std::string(name).c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const auto at = static_cast<zip_uint64_t>(index);
    return zip_set_file_compression(archive, at, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0 &&
           zip_file_set_mtime(archive, at, kEntryTime, 0) == 0;
}

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The archive's bytes, built in memory.
std::vector<std::uint8_t> zipped(std::span<const std::uint8_t> steps, std::span<const std::uint8_t> plane,
                                 std::string_view json)
{
    zip_error_t error;
    zip_error_init(&error);
    Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr);
    if (!archive)
        return {};
    // The archive gives the source back on close; it must outlive it to be read.
    zip_source_keep(buffer.get());
    const bool added = addEntry(archive, kMimetypeEntry, bytesOf(kDocumentMimeType), true) &&
                       addEntry(archive, kStepsEntry, steps, false) &&
                       addEntry(archive, kPlaneEntry, plane, false) &&
                       addEntry(archive, kDocumentEntry, bytesOf(json), false);
    if (!added || zip_close(archive) != 0) {
        zip_discard(archive);
        return {};
    }
    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0)
        return {};
    std::vector<std::uint8_t> out(static_cast<std::size_t>(stat.size));
    const zip_int64_t got = zip_source_read(buffer.get(), out.data(), out.size());
    zip_source_close(buffer.get());
    if (got < 0 || static_cast<std::size_t>(got) != out.size())
        return {};
    return out;
}

} // namespace

bool looksLikeArchive(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4;
}

ExportResult writeDocument(const Document& document)
{
    const std::vector<std::uint8_t> steps = EXPORT_SMF(document.recording, document.stepTick, {document.tempo});
    if (steps.size() > kStepsLimit)
        return {{},
                LUMIDOT_TEXT("DocumentFile", "ステップが多すぎるため保存できません (steps.mid が %1 MiB を超えます)")
                    .arg(static_cast<long long>(kStepsLimit >> 20))};
    const std::vector<std::uint8_t> plane = encodePlanePng(document.plane);
    std::vector<std::uint8_t> archive = zipped(steps, plane, documentJson(document));
    if (archive.empty())
        return {{}, LUMIDOT_TEXT("DocumentFile", "ドキュメントを作れません (メモリ不足)")};
    return {std::move(archive), {}};
}

namespace {

LoadResult refused(ReadFault fault, std::string entry, std::optional<std::size_t> offset,
                   const std::string& what)
{
    LoadResult read;
    read.fault = fault;
    read.error = entry.empty() ? what : entry + ": " + what;
    if (offset)
        read.error = (entry.empty() ? "byte offset " : entry + ", byte offset ") + std::to_string(*offset) +
                     ": " + what;
    read.message = readFaultMessage(fault, offset);
    read.entry = std::move(entry);
    read.offset = offset;
    return read;
}

// One entry of the archive read whole, held to its limit by what it says it
// holds and by what it inflates to.
class EntryReader {
public:
    explicit EntryReader(zip_t* archive)
        : archive_(archive)
    {
    }

    std::optional<LoadResult> read(zip_int64_t index, std::string_view name, std::size_t limit,
                                     std::vector<std::uint8_t>& bytes)
    {
        zip_stat_t stat;
        if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_SIZE))
            return refused(ReadFault::DamagedArchive, std::string(name), std::nullopt, "entry unreadable");
        if (stat.size > limit)
            return refused(ReadFault::EntryTooLarge, std::string(name), std::nullopt,
                           "says it holds " + std::to_string(stat.size) + " bytes, more than " +
                               std::to_string(limit));
        Entry file(zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
        if (!file)
            return refused(ReadFault::DamagedArchive, std::string(name), std::nullopt,
                           "cannot be opened: " + std::string(zip_strerror(archive_)));
        bytes.assign(static_cast<std::size_t>(stat.size) + 1, 0);
        std::size_t done = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), bytes.data() + done, bytes.size() - done);
            if (got < 0)
                return refused(ReadFault::DamagedArchive, std::string(name), std::nullopt,
                               "damaged: " + std::string(zip_file_strerror(file.get())));
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
            if (done > stat.size)
                return refused(ReadFault::EntryTooLarge, std::string(name), std::nullopt,
                               "inflates to more than the " + std::to_string(stat.size) +
                                   " bytes it says it holds");
        }
        if (done != stat.size)
            return refused(ReadFault::DamagedArchive, std::string(name), std::nullopt,
                           "holds " + std::to_string(done) + " bytes, not the " + std::to_string(stat.size) +
                               " it says");
        bytes.resize(done);
        return std::nullopt;
    }

private:
    zip_t* archive_;
};

std::optional<LoadResult> checkMimetype(zip_t* archive, EntryReader& entries)
{
    const char* first = zip_get_name(archive, 0, ZIP_FL_ENC_RAW);
    if (!first || std::string_view(first) != kMimetypeEntry)
        return refused(ReadFault::NotADocument, std::string(kMimetypeEntry), std::nullopt,
                       "not the first entry of the archive");
    zip_stat_t stat;
    if (zip_stat_index(archive, 0, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_COMP_METHOD) ||
        stat.comp_method != ZIP_CM_STORE)
        return refused(ReadFault::NotADocument, std::string(kMimetypeEntry), std::nullopt,
                       "compressed; it must be stored");
    std::vector<std::uint8_t> type;
    if (auto refusal = entries.read(0, kMimetypeEntry, kMimetypeLimit, type))
        return refusal;
    if (std::string_view(reinterpret_cast<const char*>(type.data()), type.size()) != kDocumentMimeType)
        return refused(ReadFault::NotADocument, std::string(kMimetypeEntry), std::nullopt,
                       "names another type than " + std::string(kDocumentMimeType));
    return std::nullopt;
}

// The index of the one entry of that name.
std::optional<LoadResult> locate(zip_t* archive, std::string_view name, zip_int64_t& index)
{
    index = -1;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t k = 0; k < count; ++k) {
        const char* found = zip_get_name(archive, static_cast<zip_uint64_t>(k), ZIP_FL_ENC_RAW);
        if (!found || std::string_view(found) != name)
            continue;
        if (index >= 0)
            return refused(ReadFault::Inconsistent, std::string(name), std::nullopt,
                           "stored twice in the archive");
        index = k;
    }
    if (index < 0)
        return refused(ReadFault::MissingEntry, std::string(name), std::nullopt, "missing");
    return std::nullopt;
}

LoadResult badJson(const std::string& what)
{
    return refused(ReadFault::BadEntry, std::string(kDocumentEntry), std::nullopt, what);
}

std::optional<std::int64_t> wholeIn(const JsonValue* value, std::int64_t low, std::int64_t high)
{
    if (!value)
        return std::nullopt;
    const std::optional<std::int64_t> number = value->integer();
    if (!number || *number < low || *number > high)
        return std::nullopt;
    return number;
}

bool messageLine(const JsonValue& value, std::string& line)
{
    const std::string* text = value.asString();
    if (!text || text->size() > kMessageLineBytes)
        return false;
    if (!std::all_of(text->begin(), text->end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
        return false;
    line = *text;
    return true;
}

// What document.json says besides the steps: the version first, so that a
// newer file is named as such whatever else it holds.
std::optional<LoadResult> readSettings(const JsonValue& json, Document& document, JsonValue& steps)
{
    if (json.type() != JsonValue::Type::Object)
        return badJson("not a JSON object");
    const std::optional<std::int64_t> format = wholeIn(json.member("format"), 1, INT32_MAX);
    if (!format)
        return badJson("no format version");
    if (*format > kDocumentFormat)
        return refused(ReadFault::NewerVersion, std::string(kDocumentEntry), std::nullopt,
                       "format " + std::to_string(*format) + " is newer than " +
                           std::to_string(kDocumentFormat) + ", the newest this program reads");
    const JsonValue* window = json.member("window");
    const auto x = wholeIn(window ? window->member("x") : nullptr, kWindowXMin, kWindowXMax);
    const auto y = wholeIn(window ? window->member("y") : nullptr, kWindowYMin, kWindowYMax);
    if (!x || !y)
        return badJson("window position missing or off the scroll range");
    document.window = {static_cast<int>(*x), static_cast<int>(*y)};
    const JsonValue* lines = json.member("lines");
    const std::vector<JsonValue>* pair = lines ? lines->asArray() : nullptr;
    if (!pair || pair->size() != 2 || !messageLine((*pair)[0], document.lines.line1) ||
        !messageLine((*pair)[1], document.lines.line2))
        return badJson("message lines missing or not two lines of printable ASCII, 16 bytes at most");
    const JsonValue* colour = json.member("colour");
    const std::string* colourName = colour ? colour->asString() : nullptr;
    const auto named = colourName ? std::find(kColourNames.begin(), kColourNames.end(), *colourName)
                                  : kColourNames.end();
    if (named == kColourNames.end())
        return badJson("colour missing or not green, orange, red or off");
    document.colour = static_cast<LcdColour>(named - kColourNames.begin());
    const JsonValue* effect = json.member("effect");
    const auto e1 = wholeIn(effect ? effect->member("effect1") : nullptr, 0, kEffectCount - 1);
    const auto e2 = wholeIn(effect ? effect->member("effect2") : nullptr, 0, kEffectCount - 1);
    const auto mode = wholeIn(effect ? effect->member("mode") : nullptr, 0, kEffectModeCount - 1);
    if (!e1 || !e2 || !mode)
        return badJson("effect setting missing or out of range");
    document.effect = {static_cast<std::uint8_t>(*e1), static_cast<std::uint8_t>(*e2),
                       static_cast<std::uint8_t>(*mode)};
    const auto tick = wholeIn(json.member("stepTick"), 1, 127);
    if (!tick)
        return badJson("step tick missing or not 1..127");
    document.stepTick = static_cast<std::uint8_t>(*tick);
    const auto tempo = wholeIn(json.member("tempo"), kMinTempo, kMaxTempo);
    if (!tempo)
        return badJson("tempo missing or not 20..300");
    document.tempo = static_cast<int>(*tempo);
    const JsonValue* stepFigures = json.member("steps");
    if (!stepFigures || stepFigures->type() != JsonValue::Type::Object)
        return badJson("step figures missing");
    steps = *stepFigures;
    return std::nullopt;
}

// The steps of steps.mid, held against the figures document.json gives.
std::optional<LoadResult> readSteps(std::span<const std::uint8_t> mid, const JsonValue& figures,
                                      Document& document)
{
    LoadResult steps = readSmf(mid);
    if (!steps.ok)
        return refused(ReadFault::BadEntry, std::string(kStepsEntry), std::nullopt, steps.error);
    const Recording& read = steps.recording;
    const auto count = wholeIn(figures.member("count"), 0, INT32_MAX);
    const auto frames = wholeIn(figures.member("frames"), 0, INT32_MAX);
    const auto messages = wholeIn(figures.member("messages"), 0, INT32_MAX);
    if (!count || !frames || !messages)
        return badJson("step figures not whole numbers");
    if (*count != read.StepCount() || *frames != read.FrameCount() || *messages != read.MessageCount())
        return refused(ReadFault::Inconsistent, std::string(kStepsEntry), std::nullopt,
                       "holds " + std::to_string(read.StepCount()) + " steps (" +
                           std::to_string(read.FrameCount()) + " frames, " +
                           std::to_string(read.MessageCount()) + " messages); document.json says " +
                           std::to_string(*count) + " (" + std::to_string(*frames) + ", " +
                           std::to_string(*messages) + ")");
    document.recording = std::move(steps.recording);
    return std::nullopt;
}

// The timing document.json gives, on the steps read: every wait the
// spacing but those it lists as the steps' own.
std::optional<LoadResult> readTiming(const JsonValue* timing, Recording& steps)
{
    if (!timing || timing->type() != JsonValue::Type::Object)
        return badJson("timing missing");
    const JsonValue* start = timing->member("startOffset");
    const auto offset = start && start->isNull() ? std::optional<std::int64_t>(-1) : wholeIn(start, 0, kMaxWait);
    const auto end = wholeIn(timing->member("endWait"), 0, kMaxWait);
    const JsonValue* listed = timing->member("waits");
    const std::vector<JsonValue>* waits = listed ? listed->asArray() : nullptr;
    if (!offset || !end || !waits)
        return badJson("timing's start, end or waits missing or out of range");
    std::vector<WaitAt> own(static_cast<std::size_t>(steps.StepCount()));
    for (int k = 0; k < steps.StepCount(); ++k)
        own[static_cast<std::size_t>(k)] = {k, StepWait::spacing()};
    for (const JsonValue& wait : *waits) {
        const std::vector<JsonValue>* pair = wait.asArray();
        const auto step = pair && pair->size() == 2 ? wholeIn(&(*pair)[0], 0, INT32_MAX) : std::nullopt;
        const auto ticks = pair && pair->size() == 2 ? wholeIn(&(*pair)[1], 0, kMaxWait) : std::nullopt;
        if (!step || !ticks)
            return badJson("a wait is not [step, ticks]");
        if (*step >= steps.StepCount())
            return refused(ReadFault::Inconsistent, std::string(kDocumentEntry), std::nullopt,
                           "a wait of step " + std::to_string(*step) + ", beyond the steps of steps.mid");
        own[static_cast<std::size_t>(*step)].wait = StepWait::ticks(*ticks);
    }
    steps.setWaits(own);
    steps.setEdgeTiming({*offset < 0 ? std::nullopt : std::optional<int>(static_cast<int>(*offset)),
                         static_cast<int>(*end)});
    return std::nullopt;
}

std::optional<LoadResult> readPlane(std::span<const std::uint8_t> png, Document& document)
{
    const PlanePngRead plane = decodePlanePng(png, document.plane);
    if (plane.ok())
        return std::nullopt;
    const ReadFault fault = plane.fault == PlanePngFault::WrongSize || plane.fault == PlanePngFault::WrongOrigin
                                    ? ReadFault::Inconsistent
                                    : ReadFault::BadEntry;
    return refused(fault, std::string(kPlaneEntry), plane.offset, plane.error);
}

struct ArchiveParts {
    std::vector<std::uint8_t> json;
    std::vector<std::uint8_t> steps;
    std::vector<std::uint8_t> plane;
};

std::optional<LoadResult> readParts(zip_t* archive, ArchiveParts& parts)
{
    EntryReader entries(archive);
    if (auto refusal = checkMimetype(archive, entries))
        return refusal;
    const std::array<std::tuple<std::string_view, std::size_t, std::vector<std::uint8_t>*>, 3> wanted{
        std::tuple{kDocumentEntry, kDocumentJsonLimit, &parts.json},
        std::tuple{kStepsEntry, kStepsLimit, &parts.steps},
        std::tuple{kPlaneEntry, kPlanePngLimit, &parts.plane}};
    for (const auto& [name, limit, bytes] : wanted) {
        zip_int64_t index = -1;
        if (auto refusal = locate(archive, name, index))
            return refusal;
        if (auto refusal = entries.read(index, name, limit, *bytes))
            return refusal;
    }
    return std::nullopt;
}

LoadResult readArchive(zip_t* archive)
{
    ArchiveParts parts;
    if (auto refusal = readParts(archive, parts))
        return std::move(*refusal);
    const JsonParse parsed =
        parseJson({reinterpret_cast<const char*>(parts.json.data()), parts.json.size()});
    if (!parsed.value)
        return refused(ReadFault::BadEntry, std::string(kDocumentEntry), parsed.offset, parsed.error);
    LoadResult read;
    read.document.emplace();
    JsonValue figures;
    if (auto refusal = readSettings(*parsed.value, *read.document, figures))
        return std::move(*refusal);
    if (auto refusal = readSteps(parts.steps, figures, *read.document))
        return std::move(*refusal);
    if (auto refusal = readTiming(parsed.value->member("timing"), read.document->recording))
        return std::move(*refusal);
    if (auto refusal = readPlane(parts.plane, *read.document))
        return std::move(*refusal);
    read.ok = true;
    read.typeIndex = kTypeDocument;
    read.recording = recordingOf(allSteps(read.document->recording));
    read.recording.setEdgeTiming(read.document->recording.edgeTiming());
    read.stepTick = read.document->stepTick;
    return read;
}

} // namespace

LoadResult readDocument(std::span<const std::uint8_t> bytes)
{
    if (!looksLikeArchive(bytes))
        return refused(ReadFault::DamagedArchive, {}, 0, "not a ZIP archive");
    zip_error_t error;
    zip_error_init(&error);
    Source source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    if (!source) {
        zip_error_fini(&error);
        return refused(ReadFault::DamagedArchive, {}, std::nullopt, "cannot be read");
    }
    Archive archive(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        const std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        return refused(ReadFault::DamagedArchive, {}, std::nullopt, "damaged ZIP archive: " + why);
    }
    zip_error_fini(&error);
    // The archive owns the source from here on.
    source.release();
    return readArchive(archive.get());
}

} // namespace lumidot
