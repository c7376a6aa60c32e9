// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"
#include "support/GifWriter.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>


namespace lumidot {
namespace {

using namespace lumidot::testing;

CommandRun convertPictures(const std::string& args)
{
    return runCommand(std::string(LUMIDOT_CONVERT) + " " + args);
}

// An animation of 1 x 1 frames, black and white in turn.
void writeBlinkGif(const std::string& path, int frames)
{
    GifWriter gif(1, 1, {0xFFFFFF, 0x000000});
    for (int k = 0; k < frames; ++k)
        gif.add({0, 0, 1, 1, 1, -1, 2, {static_cast<std::uint8_t>(k % 2)}});
    ASSERT_TRUE(gif.save(path));
}

class PictureConvert : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder / name).string(); }
    TempFolder folder;
};

TEST_F(PictureConvert, EveryFrameBecomesAFrameStepInEachFormat)
{
    writeBlinkGif(path("blink.gif"), 4);
    for (const char* out : {"out.syx", "out.mid", "out.prt", "out.exc"}) {
        const CommandRun run = convertPictures(path("blink.gif") + " " + path(out) + " --fit none --tick 20");
        ASSERT_EQ(run.exitCode, 0) << out << ": " << run.output;
        const LoadResult back = loadRecording(path(out));
        ASSERT_TRUE(back.ok) << out;
        EXPECT_EQ(back.recording.FrameCount(), 4) << out;
        EXPECT_EQ(back.recording.StepCount(), 4) << out;
        // The second frame's single dark pixel is the window's top-left dot.
        EXPECT_EQ(back.recording.frameRecord(1)[0], 0x40) << out;
        EXPECT_EQ(back.recording.frameRecord(0)[0], 0x00) << out;
        if (back.stepTick) {
            EXPECT_EQ(back.stepTick, 20) << out;
        }
    }
}

TEST_F(PictureConvert, AnimationsPastTheStepLimitAreRefused)
{
    writeBlinkGif(path("long.gif"), kStepLimit + 1);
    const CommandRun run = convertPictures(path("long.gif") + " " + path("long.syx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("10000 frames"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(path("long.syx")));
}

TEST_F(PictureConvert, PictureOptionsAreCheckedAndOnlyForPictures)
{
    writeBlinkGif(path("blink.gif"), 2);
    Recording one;
    one.appendColour(LcdColour::Red);
    writeFile(path("rec.syx"), FileSaveData(one));
    const std::string gif = path("blink.gif") + " " + path("o.syx");
    for (const std::string& args : {
             gif + " --threshold 256", gif + " --threshold -1", gif + " --dither ordered",
             gif + " --fit wide", gif + " --threshold 10 --dither fs", gif + " --dither fs --threshold 10",
             gif + " --fit", path("rec.syx") + " " + path("o.syx") + " --invert",
             "--list " + path("rec.syx") + " --invert",
         }) {
        const CommandRun run = convertPictures(args);
        EXPECT_EQ(run.exitCode, 2) << args << "\n" << run.output;
    }
    const CommandRun missing = convertPictures(path("none.png") + " " + path("o.syx"));
    EXPECT_EQ(missing.exitCode, 1) << missing.output;
}

} // namespace
} // namespace lumidot
