// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "export/OpenCommand.h"
#include "export/SyxWriter.h"
#include "recording/StepTiming.h"
#include "support/ClipPictures.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumidot {
namespace {

using namespace lumidot::testing;

class VideoConvert : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::string clip(const std::string& name, const ClipKind& kind, const std::vector<ClipFrame>& frames)
    {
        const std::string file = path(name);
        EXPECT_EQ(ClipWriter::write(file, kind, frames), "") << name;
        return file;
    }

    static CommandRun convert(const std::string& args)
    {
        return runCommand(std::string(LUMIDOT_CONVERT) + " " + args);
    }

    // The numbers the frame steps of a written file show, in order.
    std::vector<int> numbersIn(const std::string& file)
    {
        const LoadResult back = loadRecording(file);
        EXPECT_TRUE(back.ok) << file << ": " << back.error;
        std::vector<int> numbers;
        for (int k = 0; k < back.recording.FrameCount(); ++k)
            numbers.push_back(numberShown(back.recording.frameRecord(k)));
        return numbers;
    }

    TempFolder folder;
};

// Each frame step starts at its time at the tempo: a tenth of a second is
// 96 ticks at 120 BPM, 72 at 90; the last lasts its tenth to the end. The
// formats without time say that they dropped it.
TEST_F(VideoConvert, AClipBecomesFrameStepsAtTheirTimesInEveryFormat)
{
    const std::string mp4 = clip("clip.mp4", atRate(kH264Mp4, 10), countingFrames(12));
    for (const char* out : {"out.syx", "out.mid", "out.prt", "out.exc"}) {
        const CommandRun run = convert(mp4 + " " + path(out));
        ASSERT_EQ(run.exitCode, 0) << out << ": " << run.output;
        const bool timed = std::string(out) == "out.mid" || std::string(out) == "out.prt";
        EXPECT_EQ(run.output.find("the format holds no time") != std::string::npos, !timed) << out << run.output;
        EXPECT_EQ(numbersIn(path(out)), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})) << out;
    }
    for (const auto& [tempo, tenth] : {std::pair{120, 96}, std::pair{90, 72}}) {
        const CommandRun run = convert(mp4 + " " + path("timed.mid") + " --tick 12 --tempo " + std::to_string(tempo));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const LoadResult back = loadRecording(path("timed.mid"));
        const StepLayout layout = stepLayout(back.recording, back.stepTick ? back.stepTick : 12);
        ASSERT_EQ(layout.size(), 12);
        for (int k = 1; k < 12; ++k)
            EXPECT_EQ(layout.starts[k] - layout.starts[0], k * tenth) << tempo << " " << k;
        EXPECT_EQ(layout.end - layout.starts[0], 12 * tenth) << tempo;
    }
}

TEST_F(VideoConvert, RateRangeAndPictureOptionsApply)
{
    const std::string mkv = clip("clip.mkv", atRate(kMjpegMkv, 10), countingFrames(40));
    CommandRun run = convert(mkv + " " + path("range.syx") + " --start 1.5 --end 0:02.5 --fps 5");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(numbersIn(path("range.syx")), (std::vector<int>{15, 17, 19, 21, 23}));

    // Inverted, every dot swaps: frame 0's white becomes all set dots.
    run = convert(mkv + " " + path("inverted.syx") + " --end 0.1 --invert --threshold 100");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const LoadResult back = loadRecording(path("inverted.syx"));
    ASSERT_EQ(back.recording.FrameCount(), 1);
    EXPECT_EQ(back.recording.frameRecord(0)[0], 0x7F);
}

// The frames before the cut are written, and standard error says where the
// clip ended.
TEST_F(VideoConvert, ATruncatedClipKeepsItsFirstFramesAndSaysWhere)
{
    const std::string whole = clip("whole.mkv", atRate(kMjpegMkv, 10), countingFrames(40));
    const std::string cut = path("cut.mkv");
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(whole) / 2);
    const CommandRun run = convert(cut + " " + path("cut.syx"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<int> kept = numbersIn(path("cut.syx"));
    ASSERT_GT(kept.size(), 5u);
    EXPECT_NE(run.output.find("ends early, at 0:0" + std::to_string(kept.size() / 10) + "." +
                              std::to_string(kept.size() % 10) + "00"),
              std::string::npos)
        << run.output;
}

TEST_F(VideoConvert, WhatIsNoVideoIsRefusedWithFfmpegsReason)
{
    writeFile(path("notes.txt"), Bytes{'n', 'o', 't', 'e', 's', '\n'});
    CommandRun run = convert(path("notes.txt") + " " + path("o.syx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("nor a video that FFmpeg reads (Invalid data found when processing input)"),
              std::string::npos)
        << run.output;
    const CommandRun sound = runCommand("ffmpeg -nostdin -v error -f lavfi -i anullsrc=d=1 -y " + path("a.wav"));
    ASSERT_EQ(sound.exitCode, 0) << "the tests need the ffmpeg program (Debian ffmpeg): " << sound.output;
    run = convert(path("a.wav") + " " + path("o.syx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no video stream"), std::string::npos) << run.output;

    // An MP4 whose index was to come after the pictures cannot be read once
    // cut; that is what it says, whatever options came with it.
    ClipKind indexLast = atRate(kH264Mp4, 10);
    indexLast.indexAtEnd = true;
    const std::string whole = clip("recorded.mp4", indexLast, grainyFrames(20));
    std::filesystem::resize_file(whole, std::filesystem::file_size(whole) / 2);
    run = convert(whole + " " + path("o.syx") + " --dither fs --fps 5");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("(Invalid data found when processing input: moov atom not found)"), std::string::npos)
        << run.output;
    EXPECT_FALSE(std::filesystem::exists(path("o.syx")));
}

TEST_F(VideoConvert, TooManyStepsAreRefusedWithARateAndAnEndThatFit)
{
    const std::string file = clip("long.mkv", kFfv1Mkv, numberedFrames({1, 2, 2}, {0, 400'000, 400'001}));
    const CommandRun run = convert(file + " " + path("long.syx") + " --fps 30");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("a recording holds at most 9999 frame steps"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("--fps 24 or --end 5:33.300 would fit"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(path("long.syx")));
    // What it suggests is taken.
    EXPECT_EQ(convert(file + " " + path("long.syx") + " --fps 30 --end 5:33.300").exitCode, 0);
}

TEST_F(VideoConvert, VideoOptionsAreCheckedAndOnlyForVideos)
{
    const std::string mkv = clip("clip.mkv", atRate(kMjpegMkv, 10), countingFrames(3));
    Recording one;
    one.appendColour(LcdColour::Red);
    writeFile(path("rec.syx"), FileSaveData(one));
    for (const std::string& args : {
             mkv + " o.syx --fps 0", mkv + " o.syx --fps 36", mkv + " o.syx --start -1",
             mkv + " o.syx --start 1:60", mkv + " o.syx --end 1.", mkv + " o.syx --start 2 --end 1",
             mkv + " " + mkv + " o.syx", path("rec.syx") + " o.syx --fps 10", "--list " + mkv + " --start 1",
         }) {
        const CommandRun run = convert(args);
        EXPECT_EQ(run.exitCode, 2) << args << "\n" << run.output;
    }
    EXPECT_EQ(convert(mkv + " " + path("o.mid") + " --tempo 90 --start 0:00.1").exitCode, 0);
}

// FFmpeg's libraries are loaded with the decoders' module, and only for a
// clip: converting a recording or a picture does not wait for them.
TEST_F(VideoConvert, OnlyAClipLoadsTheVideoDecoders)
{
    const std::string mkv = clip("clip.mkv", atRate(kMjpegMkv, 10), countingFrames(3));
    Recording one;
    one.appendColour(LcdColour::Red);
    writeFile(path("rec.syx"), FileSaveData(one));
    // What the dynamic loader reports loading.
    const auto loads = [&](const std::string& in) {
        const CommandRun run = runCommand("LD_DEBUG=files " + std::string(LUMIDOT_CONVERT) + " " + in + " " +
                                          path("o.mid"));
        EXPECT_EQ(run.exitCode, 0) << in;
        return std::pair{run.output.find("lumidot-video.so") != std::string::npos,
                         run.output.find("libavcodec") != std::string::npos};
    };
    EXPECT_EQ(loads(path("rec.syx")), std::pair(false, false));
    EXPECT_EQ(loads(mkv), std::pair(true, true));
}

} // namespace
} // namespace lumidot
