#include "export/FileReplace.h"
#include "export/PrtWriter.h"
#include "export/SaveCommand.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxWriter.h"
#include "export/ExportTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
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

} // namespace
} // namespace lumidot
