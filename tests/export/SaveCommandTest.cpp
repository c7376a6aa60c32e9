// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FileReplace.h"
#include "export/OpenCommand.h"
#include "export/PrtWriter.h"
#include "export/SaveCommand.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;
namespace fs = std::filesystem;

constexpr const char* kAccessDenied = "ファイルへのアクセスが拒否されました";
constexpr const char* kDiskFull = "ディスクがいっぱいです";

const Bytes kPrevious = ascii("the user's previous file");

Bytes expectedFile(int type, const Recording& r, std::uint8_t tick)
{
    switch (type) {
    case 1: return FileSaveData(r);
    case 2: return EXPORT_SMF(r, tick);
    case 3: return Export_PRT(r, tick).bytes;
    default: return EXPORT_SSW(r).bytes;
    }
}

class SaveEachType : public ::testing::TestWithParam<int> {
protected:
    TempFolder folder;
    Recording recording = mixedRecording();
};

TEST_P(SaveEachType, ReplacesTheFileAsNamedAndLeavesNothingElse)
{
    const fs::path target = folder / "no extension";
    writeFile(target, kPrevious);
    const SaveResult result = saveRecording(GetParam(), target.string(), recording, 12);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(readFile(target), expectedFile(GetParam(), recording, 12));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"no extension"});
}

TEST_P(SaveEachType, AMissingFolderIsReportedAndNothingIsWritten)
{
    const fs::path target = folder / "missing" / "out.file";
    const SaveResult result = saveRecording(GetParam(), target.string(), recording, 8);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, GetParam() == 4 ? "ファイル " + target.string() + " を作成できません"
                                              : std::string(kAccessDenied));
    EXPECT_TRUE(folder.entries().empty());
}

TEST_P(SaveEachType, AFolderInPlaceOfTheFileIsLeftAlone)
{
    const fs::path target = folder / "taken";
    fs::create_directory(target);
    writeFile(target / "inside", kPrevious);
    const SaveResult result = saveRecording(GetParam(), target.string(), recording, 8);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, GetParam() == 4 ? "ファイル " + target.string() + " を作成できません"
                                              : std::string(kAccessDenied));
    EXPECT_EQ(readFile(target / "inside"), kPrevious);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken"});
}

TEST_P(SaveEachType, AFullDiskIsReportedForEveryFormat)
{
    // /dev/full accepts the open and fails every write with ENOSPC.
    const SaveResult result = saveRecording(GetParam(), "/dev/full", recording, 8);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, kDiskFull);
}

TEST_P(SaveEachType, AnUnwritableSystemFolderKeepsItsFile)
{
    // Root may write anywhere permission bits allow; /proc refuses every new
    // file, so its existing ones show that the old file survives.
    const Bytes before = readFile("/proc/version");
    const SaveResult result = saveRecording(GetParam(), "/proc/version", recording, 8);
    EXPECT_FALSE(result.ok);
    if (GetParam() != 4) {
        EXPECT_EQ(result.message, kAccessDenied);
    }
    EXPECT_EQ(readFile("/proc/version"), before);

    EXPECT_FALSE(saveRecording(GetParam(), "/sys/lumidot-test.out", recording, 8).ok);
    EXPECT_FALSE(fs::exists("/sys/lumidot-test.out"));
}

INSTANTIATE_TEST_SUITE_P(Types, SaveEachType, ::testing::Values(1, 2, 3, 4));

TEST(SaveCommand, OtherTypesAndEmptyRecordingsWriteNothing)
{
    TempFolder folder;
    const Recording r = mixedRecording();
    for (const int type : {0, 5, -1})
        EXPECT_TRUE(saveRecording(type, (folder / "x").string(), r, 8).ok);
    const SaveResult empty = saveRecording(1, (folder / "x").string(), Recording{}, 8);
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.message, "エクスポートするデータがありません");
    EXPECT_TRUE(folder.entries().empty());
}

// The name's own extension picks the format; a bare name gets the filter's.
TEST(SaveCommand, TheNameDecidesTheTypeAndABareNameGetsTheFiltersExtension)
{
    const struct {
        const char* name;
        int filter;
        SaveTarget target;
    } cases[] = {
        {"trap.mid", 1, {"trap.mid", 2}},
        {"/music/TRAP.Mid", 4, {"/music/TRAP.Mid", 2}},
        {"song.syx", 3, {"song.syx", 1}},
        {"song.PRT", 1, {"song.PRT", 3}},
        {"song.exc", 2, {"song.exc", 4}},
        {"anim", 2, {"anim.mid", 2}},
        {"/music/v1.2/anim", 4, {"/music/v1.2/anim.exc", 4}},
        {".hidden", 1, {".hidden.syx", 1}},
        {"song.v2", 3, {"song.v2", 3}},
        {"song.mid.bak", 1, {"song.mid.bak", 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(saveTargetFor(c.name, c.filter), c.target) << c.name << " " << c.filter;
}

// What Open could not read back is not written: 1.8 million colour steps
// make an SMF of 67 MB, past the readers' limit.
TEST(SaveCommand, AFileLargerThanTheReadersTakeIsNotWritten)
{
    TempFolder folder;
    Recording r;
    const std::size_t steps = kLargestReadableFile / 38 + 1000;   // 38 bytes per green step
    for (std::size_t k = 0; k < steps; ++k)
        r.appendColour(LcdColour::Green);
    const SaveResult smf = saveRecording(2, (folder / "long.mid").string(), r, 8);
    EXPECT_FALSE(smf.ok);
    EXPECT_NE(smf.message.find("64 MiB"), std::string::npos) << smf.message;
    EXPECT_TRUE(folder.entries().empty());
    EXPECT_TRUE(saveRecording(1, (folder / "long.syx").string(), r, 8).ok) << "7 bytes a step fit";
}

TEST(SaveCommand, ARefusedFormatKeepsThePreviousFile)
{
    TempFolder folder;
    Recording r;
    for (int k = 0; k < 5000; ++k)
        r.appendColour(LcdColour::Red);
    writeFile(folder / "long.prt", kPrevious);
    const SaveResult result = saveRecording(3, (folder / "long.prt").string(), r, 8);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("Recomposer98"), std::string::npos);
    EXPECT_EQ(readFile(folder / "long.prt"), kPrevious);
}

TEST(FileReplace, AWriteThatFailsMidwayKeepsTheOldFileAndRemovesTheTemporary)
{
    TempFolder folder;
    const fs::path target = folder / "song.syx";
    writeFile(target, kPrevious);
    std::string tempPath;
    // The temporary file is a real one in the folder, but the bytes go to /dev/full.
    const auto fullDisk = [&](const std::string& dir, const std::string& base) {
        TempFile temp = openTempFileBeside(dir, base);
        tempPath = temp.path;
        ::close(temp.fd);
        temp.fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        return temp;
    };
    const Bytes bytes(100000, 0x42);
    const FileWriteOutcome outcome = replaceFileContents(target.string(), bytes, fullDisk);
    EXPECT_EQ(outcome.stage, FileWriteOutcome::Stage::Write);
    EXPECT_EQ(outcome.error, ENOSPC);
    EXPECT_EQ(readFile(target), kPrevious);
    EXPECT_FALSE(tempPath.empty());
    EXPECT_FALSE(fs::exists(tempPath));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"song.syx"});
}

TEST(FileReplace, KeepsPermissionsAndFollowsSymbolicLinks)
{
    TempFolder folder;
    const fs::path real = folder / "real.mid";
    writeFile(real, kPrevious);
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, folder / "link.mid");

    ASSERT_TRUE(replaceFileContents((folder / "link.mid").string(), ascii("new")).ok());
    EXPECT_TRUE(fs::is_symlink(folder / "link.mid"));
    EXPECT_EQ(readFile(real), ascii("new"));
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Pipes and sockets would hold the save for good: refused at once, and the
// node stays as it was. A device is still written in place.
TEST(FileReplace, PipesAndSocketsAreRefusedAtOnce)
{
    TempFolder folder;
    const fs::path fifo = folder / "pipe.syx";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path socketPath = folder / "socket.syx";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink(fifo, folder / "to-pipe.syx");

    for (const fs::path& target : {fifo, socketPath, folder / "to-pipe.syx"}) {
        const FileWriteOutcome outcome = replaceFileContents(target.string(), ascii("x"));
        EXPECT_EQ(outcome.stage, FileWriteOutcome::Stage::NotAFile) << target;
        const SaveResult saved = saveRecording(1, target.string(), mixedRecording(), 8);
        EXPECT_FALSE(saved.ok);
        EXPECT_NE(saved.message.find("パイプまたはソケット"), std::string::npos) << saved.message;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_socket(socketPath));
    ::close(listener);
    EXPECT_TRUE(replaceFileContents("/dev/null", ascii("x")).ok());
}

// A dangling link creates the file it names and stays a link; a loop of
// links is refused; the mode of a replaced file is kept; temporary files of
// a killed save to the same target on this machine are cleared away, while
// another machine's (whose process id means nothing here) and one whose
// name tells no machine are left alone.
TEST(FileReplace, LinksModesAndLeftoversOfAKilledSave)
{
    TempFolder folder;
    fs::create_directory(folder / "sub");
    fs::create_symlink("sub/made.mid", folder / "dangling.mid");
    ASSERT_TRUE(replaceFileContents((folder / "dangling.mid").string(), ascii("new")).ok());
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.mid"));
    EXPECT_EQ(readFile(folder / "sub" / "made.mid"), ascii("new"));

    fs::create_symlink("loop-b.mid", folder / "loop-a.mid");
    fs::create_symlink("loop-a.mid", folder / "loop-b.mid");
    const FileWriteOutcome loop = replaceFileContents((folder / "loop-a.mid").string(), ascii("x"));
    EXPECT_EQ(loop.stage, FileWriteOutcome::Stage::Create);
    EXPECT_EQ(loop.error, ELOOP);
    EXPECT_TRUE(fs::is_symlink(folder / "loop-a.mid"));
    EXPECT_NE(saveRecording(2, (folder / "loop-a.mid").string(), mixedRecording(), 8)
                  .message.find("循環"),
              std::string::npos);

    const fs::path target = folder / "song.syx";
    writeFile(target, kPrevious);
    ::chmod(target.c_str(), 0604);
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string host = temporaryFileHost();
    EXPECT_EQ(host.find('.'), std::string::npos);
    const std::string leftover = ".song.syx." + host + "." + std::to_string(gone) + "-17.tmp";
    const std::string ours = ".song.syx." + host + "." + std::to_string(::getpid()) + "-18.tmp";
    const std::string elsewhere = ".song.syx.other-" + host + "." + std::to_string(gone) + "-19.tmp";
    const std::string unplaced = ".song.syx." + std::to_string(gone) + "-20.tmp";
    for (const std::string& name : {leftover, elsewhere, unplaced})
        writeFile(folder / name, ascii("half"));
    writeFile(folder / ours, ascii("running"));
    writeFile(folder / (".other.syx." + host + ".1-1.tmp"), ascii("another target"));
    ASSERT_TRUE(replaceFileContents(target.string(), ascii("new")).ok());
    EXPECT_FALSE(fs::exists(folder / leftover));
    EXPECT_TRUE(fs::exists(folder / ours)) << "a save of a running process is left alone";
    EXPECT_TRUE(fs::exists(folder / elsewhere)) << "another machine's save may still be running";
    EXPECT_TRUE(fs::exists(folder / unplaced));
    EXPECT_TRUE(fs::exists(folder / (".other.syx." + host + ".1-1.tmp")));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
}

} // namespace
} // namespace lumidot
