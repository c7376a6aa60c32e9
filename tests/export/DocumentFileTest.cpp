// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/DocumentFile.h"
#include "export/OpenCommand.h"
#include "export/PlanePng.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "recording/StepClip.h"

#include "export/DocumentTestSupport.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>
#include <map>
#include <string>

namespace lumidot {
namespace {

using testing::Bytes;
using testing::expectSameDocument;

Document sampleDocument()
{
    Document document;
    for (int x = -512; x <= 543; x += 37)
        for (int y = -256; y <= 287; y += 29)
            document.plane.setDot(x, y, 1);
    document.plane.setDot(VirtualArea::kMaxX, VirtualArea::kMaxY, 1);
    document.window = {-40, 12};
    document.recording = testing::mixedRecording();
    document.lines = {"Hello \"quoted\"\\", "line two"};
    document.colour = LcdColour::Red;
    document.effect = {5, 47, 2};
    document.stepTick = 24;
    document.tempo = 96;
    // Waits of their own, one equal to the spacing, and the edges moved.
    document.recording.setWait(1, StepWait::ticks(960));
    document.recording.setWait(2, StepWait::ticks(24));
    document.recording.setWait(4, StepWait::ticks(0));
    document.recording.setEdgeTiming({1920, 240});
    return document;
}

// An archive put together entry by entry, as a hostile or foreign program
// might: names, contents and compression chosen freely.
struct Part {
    std::string name;
    Bytes bytes;
    bool stored = false;
};

Bytes archiveOf(const std::vector<Part>& parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const Part& part : parts) {
        zip_source_t* source = zip_source_buffer(archive, part.bytes.data(), part.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, part.name.c_str(), source, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 part.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    zip_close(archive);
    zip_stat_t stat;
    zip_source_stat(buffer, &stat);
    zip_source_open(buffer);
    Bytes out(stat.size);
    zip_source_read(buffer, out.data(), out.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

// The entries of an archive by name, read back with libzip.
std::map<std::string, Bytes> entriesOf(const Bytes& file)
{
    std::map<std::string, Bytes> entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(file.data(), file.size(), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    EXPECT_NE(archive, nullptr);
    for (zip_int64_t k = 0; archive && k < zip_get_num_entries(archive, 0); ++k) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(k), 0, &stat);
        Bytes bytes(stat.size);
        zip_file_t* entry = zip_fopen_index(archive, static_cast<zip_uint64_t>(k), 0);
        zip_fread(entry, bytes.data(), bytes.size());
        zip_fclose(entry);
        entries[stat.name] = bytes;
    }
    if (archive)
        zip_discard(archive);
    zip_error_fini(&error);
    return entries;
}

Bytes text(std::string_view value)
{
    return testing::ascii(value);
}

class DocumentFileTest : public ::testing::Test {
public:
    Document document = sampleDocument();
    Bytes file = writeDocument(document).bytes;
    std::map<std::string, Bytes> entries = entriesOf(file);

    // The archive with one entry's content replaced (the others as written).
    Bytes withEntry(const std::string& name, Bytes bytes, bool stored = false) const
    {
        std::vector<Part> parts{{"mimetype", text(kDocumentMimeType), true}};
        for (const auto& entry : {"steps.mid", "plane.png", "document.json"})
            parts.push_back({entry, entry == name ? bytes : entries.at(entry)});
        if (name == "mimetype")
            parts[0] = {name, std::move(bytes), stored};
        return archiveOf(parts);
    }

    std::string json() const
    {
        const Bytes& bytes = entries.at("document.json");
        return {bytes.begin(), bytes.end()};
    }

    Bytes jsonWith(const std::string& from, const std::string& to) const
    {
        std::string changed = json();
        const auto at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        changed.replace(at, from.size(), to);
        return withEntry("document.json", text(changed));
    }
};

TEST_F(DocumentFileTest, ReadsBackTheWholeDocument)
{
    const LoadResult read = readDocument(file);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_TRUE(read.document);
    EXPECT_EQ(read.typeIndex, kTypeDocument);
    expectSameDocument(*read.document, document);
    // The steps also come as any file's steps do, for the converter.
    EXPECT_EQ(FileSaveData(read.recording), FileSaveData(document.recording));
    EXPECT_EQ(read.stepTick, 24);
    // Chosen by content, as every format is.
    const LoadResult opened = loadRecordingBytes(file);
    ASSERT_TRUE(opened.ok);
    EXPECT_TRUE(opened.document);
    // Writing is deterministic: the same document, the same bytes.
    EXPECT_EQ(writeDocument(document).bytes, file);
}

TEST_F(DocumentFileTest, AnEmptyDocumentOpens)
{
    const LoadResult read = loadRecordingBytes(writeDocument(Document{}).bytes);
    ASSERT_TRUE(read.ok) << read.error;
    expectSameDocument(*read.document, Document{});
}

TEST_F(DocumentFileTest, IsAnOpenDocumentStyleArchiveOfThePartsOtherProgramsRead)
{
    // The first local header names mimetype, stored: its content is at byte 38.
    ASSERT_GT(file.size(), 60u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{'P', 'K', 3, 4}));
    EXPECT_EQ(file[8], 0);   // compression method: stored
    EXPECT_EQ(std::string(file.begin() + 30, file.begin() + 38), "mimetype");
    EXPECT_EQ(std::string(file.begin() + 38, file.begin() + 38 + kDocumentMimeType.size()), kDocumentMimeType);
    EXPECT_EQ(entries.at("steps.mid"), EXPORT_SMF(document.recording, document.stepTick, {document.tempo}));
    EXPECT_EQ(entries.at("plane.png"), encodePlanePng(document.plane));
    EXPECT_NE(json().find("\"format\": 1"), std::string::npos) << json();
}

struct Hostile {
    const char* name;
    std::function<Bytes(const DocumentFileTest&)> make;
    ReadFault fault;
    const char* entry;
};

class HostileDocumentTest : public DocumentFileTest, public ::testing::WithParamInterface<Hostile> {};

TEST_P(HostileDocumentTest, IsRefusedNamingWhere)
{
    const Hostile& hostile = GetParam();
    const LoadResult read = loadRecordingBytes(hostile.make(*this));
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.fault, hostile.fault) << read.error;
    EXPECT_EQ(read.entry, hostile.entry) << read.error;
    EXPECT_FALSE(read.document);
    EXPECT_EQ(read.recording.StepCount(), 0);
    EXPECT_FALSE(read.error.empty());
}

// A deflated entry that inflates far beyond its limit: a zip bomb.
Bytes bomb(std::size_t size)
{
    return Bytes(size, ' ');
}

INSTANTIATE_TEST_SUITE_P(
    Archives, HostileDocumentTest,
    ::testing::Values(
        Hostile{"CutShort", [](const auto& t) { return Bytes(t.file.begin(), t.file.end() - 30); },
                ReadFault::DamagedArchive, ""},
        Hostile{"DirectoryDamaged",
                [](const auto& t) {
                    Bytes damaged = t.file;
                    damaged[damaged.size() - 22 + 16] ^= 0x55;   // the directory's offset
                    return damaged;
                },
                ReadFault::DamagedArchive, ""},
        Hostile{"EntryDataDamaged",
                [](const auto& t) {
                    Bytes damaged = t.file;
                    damaged[200] ^= 0xFF;   // inside the deflated steps
                    return damaged;
                },
                ReadFault::DamagedArchive, "steps.mid"},
        Hostile{"WrongMimetype", [](const auto& t) { return t.withEntry("mimetype", text("application/zip"), true); },
                ReadFault::NotADocument, "mimetype"},
        Hostile{"CompressedMimetype",
                [](const auto& t) { return t.withEntry("mimetype", text(kDocumentMimeType), false); },
                ReadFault::NotADocument, "mimetype"},
        Hostile{"NoMimetype",
                [](const auto& t) {
                    return archiveOf({{"steps.mid", t.entries.at("steps.mid")},
                                      {"plane.png", t.entries.at("plane.png")},
                                      {"document.json", t.entries.at("document.json")}});
                },
                ReadFault::NotADocument, "mimetype"},
        Hostile{"MissingPlane",
                [](const auto& t) {
                    return archiveOf({{"mimetype", text(kDocumentMimeType), true},
                                      {"steps.mid", t.entries.at("steps.mid")},
                                      {"document.json", t.entries.at("document.json")}});
                },
                ReadFault::MissingEntry, "plane.png"},
        Hostile{"JsonBomb", [](const auto& t) { return t.withEntry("document.json", bomb(kDocumentJsonLimit + 1)); },
                ReadFault::EntryTooLarge, "document.json"},
        Hostile{"PlaneBomb", [](const auto& t) { return t.withEntry("plane.png", bomb(kPlanePngLimit + 1)); },
                ReadFault::EntryTooLarge, "plane.png"},
        Hostile{"NewerVersion", [](const auto& t) { return t.jsonWith("\"format\": 1", "\"format\": 2"); },
                ReadFault::NewerVersion, "document.json"},
        Hostile{"NoVersion", [](const auto& t) { return t.jsonWith("\"format\": 1,", ""); }, ReadFault::BadEntry,
                "document.json"},
        Hostile{"JsonNotJson", [](const auto& t) { return t.withEntry("document.json", text("{\"format\": 1,")); },
                ReadFault::BadEntry, "document.json"},
        Hostile{"LineTooLong", [](const auto& t) { return t.jsonWith("\"line two\"", "\"line two is too long\""); },
                ReadFault::BadEntry, "document.json"},
        Hostile{"EffectOutOfRange",
                [](const auto& t) { return t.jsonWith("\"effect2\": 47", "\"effect2\": 48"); }, ReadFault::BadEntry,
                "document.json"},
        Hostile{"StepCountDisagrees",
                [](const auto& t) {
                    return t.jsonWith("\"count\": " + std::to_string(t.document.recording.StepCount()),
                                      "\"count\": 3");
                },
                ReadFault::Inconsistent, "steps.mid"},
        Hostile{"StepsNotMidi", [](const auto& t) { return t.withEntry("steps.mid", text("MThd broken")); },
                ReadFault::BadEntry, "steps.mid"},
        Hostile{"PlaneOfAnotherSize",
                [](const auto& t) {
                    Bytes png = t.entries.at("plane.png");
                    png[19] = 0x20;   // the width's low byte, checksum now wrong too
                    return t.withEntry("plane.png", png);
                },
                ReadFault::BadEntry, "plane.png"}),
    [](const ::testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

// The directory says an entry holds less than it inflates to: reading
// stops at the size it claims rather than trusting the stream.
TEST_F(DocumentFileTest, AnEntryInflatingPastItsStatedSizeIsRefused)
{
    Bytes lying = withEntry("document.json", bomb(4096));
    // Halve the size the entry's local header and its directory record state.
    const std::string name = "document.json";
    const auto states = [&](std::size_t at, std::uint8_t kind, std::size_t nameAt) {
        return lying[at] == 'P' && lying[at + 1] == 'K' && lying[at + 2] == kind && lying[at + 3] == kind + 1 &&
               std::string(lying.begin() + at + nameAt, lying.begin() + at + nameAt + name.size()) == name;
    };
    int patched = 0;
    for (std::size_t k = 0; k + 46 + name.size() < lying.size(); ++k) {
        const std::size_t sizeAt = states(k, 3, 30) ? 22 : states(k, 1, 46) ? 24 : 0;
        if (sizeAt == 0)
            continue;
        lying[k + sizeAt] = 0x00;
        lying[k + sizeAt + 1] = 0x08;   // 2048 instead of 4096
        ++patched;
    }
    ASSERT_EQ(patched, 2);
    const LoadResult read = readDocument(lying);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.entry, "document.json") << read.error;
}

TEST(PlanePngTest, ReadsBackWhatItWritesAndRefusesAnotherPicture)
{
    VirtualArea plane;
    plane.setDot(VirtualArea::kMinX, VirtualArea::kMinY, 1);
    plane.setDot(0, 0, 1);
    plane.setDot(VirtualArea::kMaxX, VirtualArea::kMaxY, 1);
    const Bytes png = encodePlanePng(plane);
    VirtualArea read;
    ASSERT_TRUE(decodePlanePng(png, read).ok());
    EXPECT_EQ(encodePlanePng(read), png);
    EXPECT_EQ(read.dot(0, 0), 1);
    EXPECT_EQ(read.dot(1, 0), 0);

    Bytes cut(png.begin(), png.end() - 20);
    VirtualArea untouched;
    untouched.setDot(5, 5, 1);
    const PlanePngRead refused = decodePlanePng(cut, untouched);
    EXPECT_EQ(refused.fault, PlanePngFault::Damaged);
    EXPECT_EQ(untouched.dot(5, 5), 1);
}

} // namespace
} // namespace lumidot
