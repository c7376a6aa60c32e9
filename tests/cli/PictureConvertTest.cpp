// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"
#include "recording/StepTiming.h"
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

// An animation of 1 x 1 frames, black and white in turn, each shown for
// the delay in hundredths of a second.
void writeBlinkGif(const std::string& path, int frames, int delay = 10)
{
    GifWriter gif(1, 1, {0xFFFFFF, 0x000000});
    for (int k = 0; k < frames; ++k)
        gif.add({0, 0, 1, 1, 1, -1, delay, {static_cast<std::uint8_t>(k % 2)}});
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

TEST_F(PictureConvert, EachFrameLastsItsDelayAtTheTempo)
{
    // A tenth of a second is 96 ticks at 120, 48 at 60; a hundredth below
    // two is shown as a tenth, as players do.
    writeBlinkGif(path("tenths.gif"), 3);
    writeBlinkGif(path("fast.gif"), 3, 1);
    writeBlinkGif(path("slow.gif"), 3, 50);
    struct Case {
        std::string gif;
        std::string options;
        std::vector<std::int64_t> starts;
        std::int64_t end;
    };
    for (const Case& c : std::vector<Case>{{"tenths.gif", "", {16, 112, 208}, 304},
                                           {"fast.gif", "", {16, 112, 208}, 304},
                                           {"tenths.gif", " --tempo 60", {16, 64, 112}, 160},
                                           {"slow.gif", " --tick 20", {40, 520, 1000}, 1480}}) {
        const CommandRun run = convertPictures(path(c.gif) + " " + path("out.mid") + c.options);
        ASSERT_EQ(run.exitCode, 0) << c.gif << c.options << ": " << run.output;
        const LoadResult back = loadRecording(path("out.mid"));
        ASSERT_TRUE(back.ok) << back.error;
        const StepLayout layout = stepLayout(back.recording, back.stepTick);
        EXPECT_EQ(layout.starts, c.starts) << c.gif << c.options;
        EXPECT_EQ(layout.end, c.end) << c.gif << c.options;
    }
    // A format without time says what it dropped.
    const CommandRun still = convertPictures(path("tenths.gif") + " " + path("out.syx"));
    ASSERT_EQ(still.exitCode, 0) << still.output;
    EXPECT_NE(still.output.find("dropped"), std::string::npos) << "the GIF's timing is lost in .syx";
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
