// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs made to cost as much as their headers claim, and outputs that must
// never destroy what they were made from.
#include "export/FileReplace.h"
#include "export/GifWriter.h"
#include "export/OpenCommand.h"
#include "export/SaveCommand.h"
#include "export/SmfWriter.h"
#include "export/SmfReader.h"
#include "export/SyxReader.h"
#include "export/SyxWriter.h"
#include "export/UserFile.h"
#include "export/ExportTestSupport.h"
#include "export/ReaderTestSupport.h"
#include "support/HostileInputs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;
namespace fs = std::filesystem;

// Empty tracks cost the reader a few bytes each, not a recording's tables:
// the memory it counts grows by far less than a kilobyte a track.
TEST(BoundedReaders, EmptyTracksCostBytesNotRecordings)
{
    const LoadResult few = readSmf(midiWithEmptyTracks(1000));
    const LoadResult many = readSmf(midiWithEmptyTracks(65534));
    ASSERT_TRUE(few.ok) << few.error;
    ASSERT_TRUE(many.ok) << many.error;
    EXPECT_EQ(many.recording.StepCount(), 1);
    EXPECT_EQ(many.recording.FrameCount(), 1);
    const double perTrack = static_cast<double>(many.workingBytes - few.workingBytes) / 64534;
    EXPECT_LT(perTrack, 64) << "bytes a track";
    EXPECT_LT(many.workingBytes, 4u * 1024 * 1024);
    EXPECT_GE(many.workingBytes, many.recording.heldBytes()) << "the recording is counted";
}

// The largest file of the smallest steps: the recording grows with its
// steps, about one byte of memory for each seven of file.
TEST(BoundedReaders, TheLargestFileOfColourStepsStaysFarBelowTheMemoryGoal)
{
    const Bytes green{0xF0, 0x42, 0x30, 0x42, 0x7D, 0x00, 0xF7};
    Bytes file(kLargestReadableFile / green.size() * green.size());
    for (std::size_t at = 0; at < file.size(); at += green.size())
        std::copy(green.begin(), green.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    const LoadResult loaded = readSyx(file);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(static_cast<std::size_t>(loaded.recording.StepCount()), file.size() / 7);
    EXPECT_LT(loaded.workingBytes, 40u * 1024 * 1024);
}

// Every user's file is opened the same way: only a regular file, without
// waiting on a pipe, with the same refusal whoever asks; and a file is known
// by its device and inode through any name.
TEST(UserFile, OpensOnlyRegularFilesAndKnowsThemThroughEveryName)
{
    TempFolder folder;
    writeFile(folder / "song.syx", {1, 2, 3});
    fs::create_hard_link(folder / "song.syx", folder / "linked.syx");
    fs::create_symlink("song.syx", folder / "symbolic.syx");
    ASSERT_EQ(::mkfifo((folder / "pipe.syx").c_str(), 0600), 0);
    fs::create_directory(folder / "folder.syx");

    std::vector<std::uint8_t> bytes;
    FileIdentity read;
    ASSERT_FALSE(readUserFile((folder / "symbolic.syx").string(), bytes, kLargestReadableFile, &read).refused());
    EXPECT_EQ(bytes, Bytes({1, 2, 3}));
    EXPECT_TRUE(read.sameFileAs(fileIdentity((folder / "linked.syx").string())));
    EXPECT_FALSE(read.sameFileAs(fileIdentity((folder / "missing.syx").string())));
    writeFile(folder / "copy.syx", {1, 2, 3});
    EXPECT_FALSE(read.sameFileAs(fileIdentity((folder / "copy.syx").string())));

    const auto refusal = [&](const std::string& name, std::size_t limit = kLargestReadableFile) {
        return readUserFile((folder / name).string(), bytes, limit).fault;
    };
    EXPECT_EQ(refusal("pipe.syx"), ReadFault::NotAFile);
    EXPECT_EQ(refusal("folder.syx"), ReadFault::CannotRead);
    EXPECT_EQ(refusal("missing.syx"), ReadFault::CannotRead);
    EXPECT_EQ(refusal("song.syx", 2), ReadFault::TooLarge);
    EXPECT_TRUE(bytes.empty()) << "nothing is handed on from a refused file";

    FileRefusal refused;
    EXPECT_EQ(openUserFile((folder / "pipe.syx").string(), refused), -1);
    EXPECT_EQ(refused.error, (folder / "pipe.syx").string() + " is a pipe, socket or device, not a file");
    EXPECT_EQ(loadRecording((folder / "pipe.syx").string()).error, refused.error)
        << "the recording readers refuse in the same words";
    const int fd = openUserFile((folder / "song.syx").string(), refused);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(::fcntl(fd, F_GETFL) & O_NONBLOCK) << "the descriptor blocks again for its reader";
    ::close(fd);
}

// A format 0 file is one track; a division of 0 ticks puts every event at
// once. Neither is what its header says it is.
TEST(BoundedReaders, HeadersThatContradictThemselvesAreRefusedAtTheirOffset)
{
    expectRefusedAt(readSmf(midiFile(0, 480, {frameTrack(), frameTrack(), frameTrack()}, 3)),
                    ReadFault::CountMismatch, 10);
    expectRefusedAt(readSmf(midiFile(0, 480, {frameTrack(), frameTrack()}, 1)), ReadFault::CountMismatch, 10);
    expectRefusedAt(readSmf(midiFile(0, 0, {frameTrack()}, 1)), ReadFault::BadValue, 12);
    expectRefusedAt(readSmf(midiFile(1, 0, {frameTrack(), frameTrack()}, 2)), ReadFault::BadValue, 12);
    EXPECT_TRUE(readSmf(midiFile(1, 480, {frameTrack(), frameTrack()}, 2)).ok);
}

Recording alternatingColours(int steps)
{
    Recording r;
    for (int k = 0; k < steps; ++k)
        r.appendColour(k % 2 ? LcdColour::Red : LcdColour::Green);
    return r;
}

// The GIF stops growing the moment it would pass its limit, and says that
// the limit is why.
TEST(GifWriter, StopsAtItsSizeLimitAndSaysSo)
{
    const Recording r = alternatingColours(400);
    const ExportResult whole = EXPORT_GIF(r, {8, 120, 1});
    ASSERT_TRUE(whole.ok());
    GifOptions options{8, 120, 1};
    options.largestFile = whole.bytes.size();
    EXPECT_TRUE(EXPORT_GIF(r, options).ok()) << "a file of exactly the limit is kept";
    options.largestFile = whole.bytes.size() - 1;
    const ExportResult cut = EXPORT_GIF(r, options);
    EXPECT_FALSE(cut.ok());
    EXPECT_TRUE(cut.tooLarge);
    EXPECT_TRUE(cut.bytes.empty());
    options.largestFile = 20;
    EXPECT_TRUE(EXPORT_GIF(r, options).tooLarge) << "even the header passes it";
}

// A Standard MIDI File is counted before it is built: one that would pass
// the largest readable size is refused without taking its memory, and the
// count is the size of the file built.
TEST(BoundedWriters, AMidiFileTooLargeToReadBackIsRefusedBeforeItIsBuilt)
{
    Recording mixed = mixedRecording();
    EXPECT_EQ(smfFileSize(mixed, 8), EXPORT_SMF(mixed, 8).size());
    // Waits of several bytes, a tempo and a long end count as written.
    mixed.setWait(1, StepWait::ticks(100000));
    mixed.setEndWait(5000);
    EXPECT_EQ(smfFileSize(mixed, 8, {120}), EXPORT_SMF(mixed, 8, {120}).size());
    const Recording colours = alternatingColours(2'000'000);
    EXPECT_GT(smfFileSize(colours, 8), kLargestReadableFile);
    TempFolder folder;
    const SaveResult saved = saveRecording(2, (folder / "long.mid").string(), colours, 8);
    EXPECT_NE(saved.message.find("MiB"), std::string::npos) << saved.message;
    EXPECT_FALSE(fs::exists(folder / "long.mid"));
}

// A save keeps the replaced file's mode and owner; the rename makes a new
// file, so another hard link keeps the old contents, as the manual says.
TEST(FileReplace, KeepsModeAndOwnerAndLeavesOtherHardLinksAsTheyWere)
{
    TempFolder folder;
    const fs::path target = folder / "song.syx";
    writeFile(target, ascii("old"));
    fs::create_hard_link(target, folder / "other-name.syx");
    ::chmod(target.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 4321), 0);
    }
    ASSERT_TRUE(replaceFileContents(target.string(), ascii("new")).ok());
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4321u);
    }
    EXPECT_EQ(info.st_nlink, 1u);
    EXPECT_EQ(readFile(target), ascii("new"));
    EXPECT_EQ(readFile(folder / "other-name.syx"), ascii("old"));
}

} // namespace
} // namespace lumidot
