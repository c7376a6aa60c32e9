// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/OpenCommand.h"
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"
#include "export/ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

enum class Format { Syx, Mid, Prt, Exc };
const std::array kFormats{Format::Syx, Format::Mid, Format::Prt, Format::Exc};

Bytes exportAs(Format format, const Recording& r, std::uint8_t tick)
{
    switch (format) {
    case Format::Syx: return FileSaveData(r);
    case Format::Mid: return EXPORT_SMF(r, tick);
    case Format::Prt: return Export_PRT(r, tick).bytes;
    case Format::Exc: return EXPORT_SSW(r).bytes;
    }
    return {};
}

// The save dialog's file-type index of each format.
int typeIndexOf(Format format)
{
    switch (format) {
    case Format::Syx: return 1;
    case Format::Mid: return 2;
    case Format::Prt: return 3;
    case Format::Exc: return 4;
    }
    return 0;
}

int tickKept(Format format, int tick)
{
    return format == Format::Mid || format == Format::Prt ? tick : 0;
}

void expectRoundTrip(const Recording& r, Format format, std::uint8_t tick)
{
    const Bytes file = exportAs(format, r, tick);
    ASSERT_FALSE(file.empty());
    const LoadResult loaded = loadRecordingBytes(file);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.stepTick, tickKept(format, tick));
    EXPECT_EQ(loaded.typeIndex, typeIndexOf(format));
    EXPECT_TRUE(loaded.error.empty() && loaded.message.empty());
    expectSameSteps(r, loaded.recording);
    EXPECT_EQ(exportAs(format, loaded.recording, tick), file);
}

TEST(Readers, EveryFormatReadsBackEveryKindOfStep)
{
    const Recording r = mixedRecording();
    for (const Format format : kFormats) {
        SCOPED_TRACE(static_cast<int>(format));
        expectRoundTrip(r, format, 8);
        expectRoundTrip(r, format, 127);
    }
}

TEST(Readers, TheLargestRecordingsEachWriterAcceptsReadBack)
{
    Recording longest;   // every frame and message step the recorder takes
    for (int k = 0; longest.StepCount() < kStepLimit; ++k) {
        if (k % 2)
            longest.appendMessage("frame " + std::to_string(k), "x");
        else
            longest.appendFrame(patternFrame(k));
    }
    longest.appendEffect({3, 4, 1});
    expectRoundTrip(longest, Format::Syx, 8);
    expectRoundTrip(longest, Format::Mid, 1);

    Recording prt;   // a block of 65,532 bytes
    for (int k = 0; k < 4092; ++k)
        prt.appendColour(static_cast<LcdColour>(k % 4));
    prt.appendMessage("", "abc");
    expectRoundTrip(prt, Format::Prt, 99);

    Recording exc;   // 65,535 entries
    for (int k = 0; k < 13107; ++k)
        exc.appendEffect({static_cast<std::uint8_t>(k % 48), static_cast<std::uint8_t>(47 - k % 48),
                          static_cast<std::uint8_t>(k % 4)});
    expectRoundTrip(exc, Format::Exc, 8);
}

TEST(Readers, ConvertingBetweenFormatsEqualsTheDirectExport)
{
    const Recording r = mixedRecording();
    for (const Format from : kFormats) {
        const LoadResult loaded = loadRecordingBytes(exportAs(from, r, 30));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        for (const Format to : kFormats)
            EXPECT_EQ(exportAs(to, loaded.recording, 30), exportAs(to, r, 30))
                << static_cast<int>(from) << " -> " << static_cast<int>(to);
    }
}

Bytes be32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes track(const Bytes& events)
{
    return concat({ascii("MTrk"), be32(static_cast<std::uint32_t>(events.size())), events});
}

Bytes smf(int format, std::initializer_list<Bytes> tracks)
{
    Bytes file = concat({ascii("MThd"), be32(6),
                         {0x00, static_cast<std::uint8_t>(format), 0x00,
                          static_cast<std::uint8_t>(tracks.size()), 0x01, 0xE0}});
    for (const Bytes& t : tracks)
        file = concat({file, track(t)});
    return file;
}

TEST(SmfReader, TakesTheNs5rMessagesOfAnotherProgramsFileInTimeOrder)
{
    const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00};
    // Notes with running status (which a System Exclusive event ends), a GM reset, the colour at tick 10 and the
    // start of an effect group at tick 25 split into two packets.
    const Bytes music = {
        0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,
        0x00, 0x90, 0x3C, 0x64, 0x05, 0x40, 0x64,
        0x05, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x01, 0xF7,
        0x05, 0x80, 0x3C, 0x00, 0x00, 0xC0, 0x05, 0x00, 0xB0, 0x07, 0x64,
        0x0A, 0xF0, 0x03, 0x42, 0x30, 0x42, 0x01, 0xF7, 0x03, 0x00, 0x05, 0xF7,
        0x00, 0xFF, 0x2F, 0x00};
    // The rest of the group and a message at tick 20, on a track of its own.
    const Bytes display = concat({
        {0x14, 0xF0, 0x19, 0x42, 0x30, 0x42, 0x12, 0x08, 0x00, 0x00}, ascii("Hello           "),
        ascii("!"), {0xF7},
        {0x0A, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x08, 0x00, 0x02, 0x00, 0xF7},
        {0x00, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x09, 0x00, 0x03, 0x00, 0xF7},
        {0x00, 0xF0, 0x09, 0x42, 0x30, 0x42, 0x08, 0x12, 0x00, 0x01, 0x00, 0xF7},
        {0x00, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x00, 0x01, 0xF7},
        {0x00, 0xFF, 0x2F, 0x00}});
    const LoadResult loaded = loadRecordingBytes(smf(1, {tempo, music, display}));
    ASSERT_TRUE(loaded.ok) << loaded.error;

    Recording expected;
    expected.appendColour(LcdColour::Orange);
    expected.appendMessage("Hello", "!");
    expected.appendEffect({2, 3, 1});
    expectSameSteps(expected, loaded.recording);
    EXPECT_EQ(loaded.stepTick, 5);
}

// Other programs write a whole message as an F7 "escape" event, or split
// it into an F0 packet and F7 packets; both are the message. An F7 packet
// that belongs to no message is refused where it stands.
TEST(SmfReader, ReadsEscapedAndSplitMessagesAndRefusesAStrayPacket)
{
    const Bytes escaped = {0x08, 0xF7, 0x07, 0xF0, 0x42, 0x30, 0x42, 0x7D, 0x02, 0xF7,
                           0x08, 0xF0, 0x03, 0x42, 0x30, 0x42,
                           0x00, 0xF7, 0x02, 0x7D, 0x01, 0x00, 0xF7, 0x01, 0xF7,
                           0x00, 0xFF, 0x2F, 0x00};
    const LoadResult loaded = loadRecordingBytes(smf(0, {escaped}));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    Recording expected;
    expected.appendColour(LcdColour::Red);
    expected.appendColour(LcdColour::Orange);
    expectSameSteps(expected, loaded.recording);
    // Messages 8 ticks apart without step labels: the spacing whose steps
    // Lumidot writes 8 ticks apart.
    EXPECT_EQ(loaded.stepTick, 4);
    EXPECT_FALSE(loaded.recording.startOffset());
    EXPECT_TRUE(loaded.recording.wait(1).followsSpacing());
    EXPECT_EQ(loaded.recording.endWait(), 0) << "the track ends with its last message";

    // Track data starts at byte 22; the stray packet stands at 32, after the first message.
    const Bytes stray = {0x08, 0xF0, 0x06, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7,
                         0x00, 0xF7, 0x01, 0xF8, 0x00, 0xFF, 0x2F, 0x00};
    expectRefusedAt(loadRecordingBytes(smf(0, {stray})), ReadFault::BrokenStructure, 32);
}

// Another program's song with no NS5R message would replace the work in
// the window with nothing: it is refused.
TEST(OpenCommand, ASongWithoutNs5rMessagesIsRefused)
{
    const Bytes notes = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00,
                         0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0xFF, 0x2F, 0x00};
    const LoadResult loaded = loadRecordingBytes(smf(0, {notes}));
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.fault, ReadFault::NoSteps);
    EXPECT_NE(loaded.message.find("NS5R のデータがありません"), std::string::npos) << loaded.message;
}

struct Broken {
    const char* name;
    Bytes file;
    ReadFault fault;
    std::size_t offset;
};

class BrokenFile : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenFile, IsRefusedNamingTheOffsetInBothLanguages)
{
    expectRefusedAt(loadRecordingBytes(GetParam().file), GetParam().fault, GetParam().offset);
}

Recording greenThenEffect()
{
    Recording r;
    r.appendColour(LcdColour::Green);
    r.appendEffect({1, 2, 3});
    return r;
}

Bytes edited(Bytes file, std::size_t at, std::uint8_t value)
{
    file.at(at) = value;
    return file;
}

Bytes cut(Bytes file, std::size_t size)
{
    file.resize(size);
    return file;
}

const Bytes kPrt = Export_PRT(greenThenEffect(), 8).bytes;   // 8 + 16 + 104
const Bytes kExc = EXPORT_SSW(greenThenEffect()).bytes;       // 34 + 9 + 54 + 6 * 32
const Bytes kMid = EXPORT_SMF(greenThenEffect(), 8);

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenFile,
    ::testing::Values(
        Broken{"SmfFormat2", edited(kMid, 9, 2), ReadFault::Unsupported, 8},
        Broken{"SmfTrackLongerThanFile", cut(kMid, kMid.size() - 1), ReadFault::Truncated, 14},
        Broken{"SmfDataByteWithoutStatus", smf(0, {{0x00, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00}}),
               ReadFault::BrokenStructure, 23},
        Broken{"SmfSysExBeyondTrack", smf(0, {{0x00, 0xF0, 0x7F, 0x42}}), ReadFault::Truncated, 23},
        Broken{"SmfBrokenEffectGroup", edited(kMid, 101, 0x09), ReadFault::BrokenEffectGroup, 95},
        Broken{"SmfUnfinishedSysEx", smf(0, {{0x00, 0xF0, 0x02, 0x42, 0x30, 0x00, 0xFF, 0x2F, 0x00}}),
               ReadFault::Truncated, 23},
        Broken{"SmfHeaderTooShort", cut(kMid, 12), ReadFault::BrokenStructure, 0},
        Broken{"SmfTimeCodeDivision", edited(kMid, 12, 0xE7), ReadFault::Unsupported, 12},
        Broken{"SmfTrackCountWrong", edited(kMid, 11, 2), ReadFault::CountMismatch, 10},
        Broken{"PrtOtherVersion", edited(kPrt, 5, 0x02), ReadFault::UnknownFormat, 0},
        Broken{"PrtBlockLengthWrong", edited(kPrt, 6, 0x10), ReadFault::CountMismatch, 6},
        Broken{"PrtTickDiffersInsideAGroup", edited(kPrt, 8 + 16 + 16 + 2, 9), ReadFault::BadValue, 42},
        Broken{"PrtTickZero", edited(kPrt, 8 + 2, 0), ReadFault::BadValue, 10},
        Broken{"PrtFillerNotF7", edited(kPrt, 63, 0x00), ReadFault::BrokenStructure, 63},
        Broken{"PrtDataWithoutStart", edited(kPrt, 8 + 16, 0xF7), ReadFault::BrokenStructure, 24},
        Broken{"PrtOtherDevice", edited(kPrt, 8 + 6, 0x41), ReadFault::ForeignMessage, 8},
        Broken{"ExcOtherSignature", edited(kExc, 25, '5'), ReadFault::UnknownFormat, 0},
        Broken{"ExcCountTooHigh", edited(kExc, 32, 7), ReadFault::Truncated, 97},
        Broken{"ExcCountTooLow", edited(kExc, 32, 5), ReadFault::CountMismatch, 88},
        Broken{"ExcEntryCutShort", edited(kExc, 34, 6), ReadFault::ForeignMessage, 36},
        Broken{"ExcWrongName", edited(kExc, 97 + 5, 'X'), ReadFault::BrokenStructure, 97},
        Broken{"ExcTrailingByte", concat({kExc, {0x00}}), ReadFault::CountMismatch, 97}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenCommand, ChoosesTheReaderByContentAndReportsUnreadableFiles)
{
    TempFolder folder;
    writeFile(folder / "really a prt.syx", kPrt);
    const LoadResult prt = loadRecording((folder / "really a prt.syx").string());
    ASSERT_TRUE(prt.ok) << prt.error;
    EXPECT_EQ(prt.stepTick, 8);
    EXPECT_EQ(prt.typeIndex, 3);

    const auto expectRefused = [&](const std::string& name, ReadFault fault, const std::string& text) {
        const LoadResult loaded = loadRecording((folder / name).string());
        EXPECT_FALSE(loaded.ok) << name;
        EXPECT_EQ(loaded.fault, fault) << name;
        EXPECT_EQ(loaded.typeIndex, 0) << name;
        EXPECT_FALSE(loaded.error.empty()) << name;
        EXPECT_EQ(loaded.message, text) << name;
    };
    writeFile(folder / "text.syx", ascii("hello"));
    expectRefused("text.syx", ReadFault::UnknownFormat,
                  "ファイルを読み込めません: "
                  "Lumidot で保存できる形式 (.syx .mid .prt .exc .lumidot) のファイルではありません");
    writeFile(folder / "empty.syx", {});
    expectRefused("empty.syx", ReadFault::EmptyFile, "ファイルを読み込めません: ファイルが空です");
    const std::string missing = (folder / "missing.syx").string();
    expectRefused("missing.syx", ReadFault::CannotRead, "ファイル " + missing + " を開けません");
    expectRefused("", ReadFault::CannotRead, "ファイル " + (folder / "").string() + " を開けません");

    // Sparse: the size alone refuses it, nothing is read.
    std::filesystem::resize_file(folder / "empty.syx", kLargestReadableFile + 1);
    const std::string huge = (folder / "empty.syx").string();
    expectRefused("empty.syx", ReadFault::TooLarge,
                  "ファイル " + huge + " は大きすぎるため開けません (" +
                      std::to_string(kLargestReadableFile >> 20) + " MiB まで)");
}

// Pipes, sockets and devices are refused at once, without waiting for a
// writer that may never come.
TEST(OpenCommand, PipesSocketsAndDevicesAreRefusedWithoutBlocking)
{
    TempFolder folder;
    const std::filesystem::path fifo = folder / "pipe.mid";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::filesystem::path socketPath = folder / "socket.mid";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const std::string& name : {fifo.string(), socketPath.string(), std::string("/dev/zero")}) {
        const LoadResult loaded = loadRecording(name);
        EXPECT_EQ(loaded.fault, ReadFault::NotAFile) << name;
        EXPECT_NE(loaded.message.find(name), std::string::npos) << loaded.message;
    }
    ::close(listener);
}

} // namespace
} // namespace lumidot
