// SPDX-License-Identifier: GPL-3.0-or-later
// lumidot-convert never destroys its input, never waits on a pipe, and reads
// a file by the name the system gives it.
#include "export/ExportTestSupport.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"
#include "support/GifWriter.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;
namespace fs = std::filesystem;

// The tool run with a time limit: a hang shows as a failure, not as a test
// that never ends.
CommandRun convertWithin(const std::string& args)
{
    return runCommand("timeout 20 " + std::string(LUMIDOT_CONVERT) + " " + args);
}

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

class ConvertSafety : public ::testing::Test {
protected:
    TempFolder folder;

    void writeBlink(const fs::path& path)
    {
        GifWriter gif(1, 1, {0xFFFFFF, 0x000000});
        gif.add({0, 0, 1, 1, 1, -1, 2, {1}});
        gif.add({0, 0, 1, 1, 1, -1, 2, {0}});
        ASSERT_TRUE(gif.save(path.string()));
    }
};

// An output that is an input, by the same name, a hard link or a symbolic
// link, is refused before anything is read, and the input stays as it was.
TEST_F(ConvertSafety, AnOutputThatIsAnInputIsRefusedAndNothingIsWritten)
{
    writeBlink(folder / "anim.gif");
    writeFile(folder / "song.syx", FileSaveData(mixedRecording()));
    fs::create_hard_link(folder / "anim.gif", folder / "hard.gif");
    fs::create_symlink("song.syx", folder / "soft.syx");
    const Bytes gifBefore = readFile(folder / "anim.gif");
    const Bytes songBefore = readFile(folder / "song.syx");
    for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{
             {"anim.gif", "anim.gif"}, {"anim.gif", "hard.gif"}, {"song.syx", "soft.syx"},
             {"song.syx", "song.syx"}}) {
        const CommandRun run = convertWithin(quoted(folder / in) + " " + quoted(folder / out));
        EXPECT_EQ(run.exitCode, 1) << in << " -> " << out << ": " << run.output;
        EXPECT_NE(run.output.find("is the same file as the input"), std::string::npos) << run.output;
    }
    const CommandRun second = convertWithin(quoted(folder / "anim.gif") + " " + quoted(folder / "anim.gif") + " " +
                                            quoted(folder / "hard.gif"));
    EXPECT_EQ(second.exitCode, 1) << "any of several pictures counts";
    EXPECT_EQ(readFile(folder / "anim.gif"), gifBefore);
    EXPECT_EQ(readFile(folder / "song.syx"), songBefore);
    EXPECT_EQ(folder.entries().size(), 4u) << "no file was made";
}

// A pipe named as a picture or a recording is refused at once, in the
// words the recording readers use.
TEST_F(ConvertSafety, APipeIsRefusedAtOnceInTheReadersWords)
{
    ASSERT_EQ(::mkfifo((folder / "pipe.gif").c_str(), 0600), 0);
    const std::string expected = loadRecording((folder / "pipe.gif").string()).error;
    for (const std::string& args : {quoted(folder / "pipe.gif") + " " + quoted(folder / "out.syx"),
                                    "--list " + quoted(folder / "pipe.gif")}) {
        const CommandRun run = convertWithin(args);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
    }
}

// A picture whose name is not UTF-8 is read by the bytes of its name.
TEST_F(ConvertSafety, APictureNamedInAnotherEncodingIsRead)
{
    const fs::path picture = folder / "blink\xff\xfe.gif";
    writeBlink(picture);
    const CommandRun run = convertWithin(quoted(picture) + " " + quoted(folder / "out.syx"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(loadRecording((folder / "out.syx").string()).recording.FrameCount(), 2);
}

} // namespace
} // namespace lumidot
