// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ExportTestSupport.h"
#include "platform/video/VideoFile.h"
#include "platform/video/VideoImport.h"
#include "support/ClipPictures.h"
#include "support/RunCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;

struct Step {
    int number;
    std::int64_t tick;
    bool operator==(const Step&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Step& step)
{
    return out << "#" << step.number << "@" << step.tick;
}

std::vector<Step> stepsOf(const VideoImport& imported)
{
    std::vector<Step> steps;
    for (const TimedFrame& frame : imported.frames)
        steps.push_back({numberShown(frame.frame), frame.tick});
    return steps;
}

std::vector<int> numbersOf(const VideoImport& imported)
{
    std::vector<int> numbers;
    for (const TimedFrame& frame : imported.frames)
        numbers.push_back(numberShown(frame.frame));
    return numbers;
}

std::vector<int> upTo(int count, int from = 0)
{
    std::vector<int> numbers;
    for (int k = from; k < count; ++k)
        numbers.push_back(k);
    return numbers;
}

class VideoClips : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::string clip(const std::string& name, const ClipKind& kind, const std::vector<ClipFrame>& frames)
    {
        const std::string file = path(name);
        const std::string failed = ClipWriter::write(file, kind, frames);
        EXPECT_EQ(failed, "") << name;
        return file;
    }

    VideoImport import(const std::string& file, VideoImportChoices choices = {})
    {
        VideoProblem problem;
        const auto video = VideoFile::open(file, problem);
        EXPECT_TRUE(video) << file << ": " << problem.reason;
        if (!video)
            return {};
        return importVideo(*video, choices, VirtualArea());
    }

    static VideoImportChoices atFps(int fps)
    {
        VideoImportChoices choices;
        choices.fps = fps;
        return choices;
    }

    TempFolder folder;
};

// Six frames at 10 a second in each coding the import promises, named so
// that nothing but the content tells what they are.
TEST_F(VideoClips, EachCodingIsReadByContentWithItsFramesAtTheirTimes)
{
    const struct {
        ClipKind kind;
        const char* codec;
    } kinds[] = {
        {atRate(kH264Mp4, 10), "h264"},      {atRate(kVp9Webm, 10), "vp9"},
        {atRate(kMjpegMkv, 10), "mjpeg"},    {mjpegAvi(10), "mjpeg"},
        {atRate(kAnimatedWebp, 10), "webp"},
    };
    for (const auto& [kind, codec] : kinds) {
        const std::string file = clip(std::string(codec) + "-" + kind.container + ".bin", kind, countingFrames(6));
        VideoProblem problem;
        const auto video = VideoFile::open(file, problem);
        ASSERT_TRUE(video) << kind.container << ": " << problem.reason;
        EXPECT_EQ(video->info().codec, codec);
        EXPECT_EQ(video->info().width, kClipWidth);
        EXPECT_NEAR(video->info().frameRate, 10, 0.01) << kind.container;
        const VideoImport imported = importVideo(*video, atFps(10), VirtualArea());
        EXPECT_TRUE(imported.problem.ok()) << kind.container << " " << static_cast<int>(imported.problem.fault);
        // 10 frames a second at 120 BPM: 96 ticks apart.
        EXPECT_EQ(stepsOf(imported), (std::vector<Step>{{0, 0}, {1, 96}, {2, 192}, {3, 288}, {4, 384}, {5, 480}}))
            << kind.container;
        EXPECT_EQ(imported.samples, 6) << kind.container;
    }
}

// Frames at 0, 100, 150, 400 and 1000 ms: each sample takes the frame that
// shows at its time, so a frame keeps its place in time whatever the rate.
TEST_F(VideoClips, UnevenFramesAreTakenAtTheirPresentationTimes)
{
    const std::string file = clip("uneven.mkv", kFfv1Mkv,
                                  numberedFrames({0, 1, 2, 3, 4}, {0, 100, 150, 400, 1000}));
    EXPECT_EQ(stepsOf(import(file, atFps(10))),
              (std::vector<Step>{{0, 0}, {1, 96}, {2, 192}, {3, 384}, {4, 960}}));
    EXPECT_EQ(stepsOf(import(file, atFps(20))),
              (std::vector<Step>{{0, 0}, {1, 96}, {2, 144}, {3, 384}, {4, 960}}));
    // At 4 a second frame 1 falls between two samples and is not shown.
    EXPECT_EQ(stepsOf(import(file, atFps(4))), (std::vector<Step>{{0, 0}, {2, 240}, {3, 480}, {4, 960}}));
    // At another tempo the same times land on other ticks: 60 BPM, 480 a second.
    VideoImportChoices slow = atFps(10);
    slow.tempo = 60;
    EXPECT_EQ(stepsOf(import(file, slow)), (std::vector<Step>{{0, 0}, {1, 48}, {2, 96}, {3, 192}, {4, 480}}));
}

// B-frames come out of the decoder in another order than they are stored;
// the steps follow the pictures' order.
TEST_F(VideoClips, MotionIsKeptFrameByFrameThroughReorderedFrames)
{
    const std::string file = clip("motion.mp4", atRate(kH264Mp4, 25), countingFrames(50));
    const VideoImport imported = import(file, atFps(25));
    EXPECT_TRUE(imported.problem.ok());
    EXPECT_EQ(numbersOf(imported), upTo(50));
    // At 10 a second every 2.5th frame: the one showing at k / 10 s.
    std::vector<int> sampled;
    for (int k = 0; k < 20; ++k)
        sampled.push_back(k * 25 / 10);
    EXPECT_EQ(numbersOf(import(file, atFps(10))), sampled);
}

TEST_F(VideoClips, EqualFramesInARowBecomeOneLongerStep)
{
    const std::string file =
        clip("repeats.mkv", atRate(kMjpegMkv, 10), numberedFrames({7, 7, 7, 9, 9, 7}, {0, 1, 2, 3, 4, 5}));
    const VideoImport imported = import(file, atFps(10));
    EXPECT_EQ(stepsOf(imported), (std::vector<Step>{{7, 0}, {9, 288}, {7, 480}}));
    ASSERT_EQ(imported.frames.size(), 3u);
    EXPECT_EQ(imported.frames[1].wait, 288);
    EXPECT_EQ(imported.frames[2].wait, 192);
    EXPECT_EQ(imported.samples, 6);
    EXPECT_EQ(imported.endTick, 576);
}

// The range's first step shows the frame that is on screen at the start,
// although decoding starts at the key frame before it; times count from the
// start; the end cuts.
TEST_F(VideoClips, ARangeStartsAtTheFrameShowingThenAndCountsFromThere)
{
    const std::string file = clip("range.mp4", atRate(kH264Mp4, 10), countingFrames(40));
    VideoImportChoices choices = atFps(10);
    choices.startUs = 1'450'000;
    choices.endUs = 2'000'000;
    EXPECT_EQ(stepsOf(import(file, choices)),
              (std::vector<Step>{{14, 0}, {15, 96}, {16, 192}, {17, 288}, {18, 384}, {19, 480}}));
    choices.startUs = 3'500'000;
    choices.endUs = 60'000'000;   // past the clip's end: the clip ends the range
    EXPECT_EQ(numbersOf(import(file, choices)), upTo(40, 35));
    choices.startUs = 50'000'000;
    EXPECT_EQ(import(file, choices).problem.fault, VideoFault::EmptyRange);
}

// A clip cut off in the middle, as an interrupted download leaves it: the
// frames before the cut are kept and the place where it ends is told.
TEST_F(VideoClips, ATruncatedFileKeepsTheFramesBeforeTheCut)
{
    for (const ClipKind& kind : {atRate(kMjpegMkv, 10), atRate(kH264Mp4, 10), atRate(kAnimatedWebp, 10)}) {
        const std::string file = clip(std::string("whole.") + kind.container, kind, grainyFrames(40));
        const std::string cut = path(std::string("cut.") + kind.container);
        std::filesystem::copy_file(file, cut);
        std::filesystem::resize_file(cut, std::filesystem::file_size(file) / 2);

        const VideoImport imported = import(cut, atFps(10));
        ASSERT_TRUE(imported.problem.keepsFrames()) << kind.container << " " << static_cast<int>(imported.problem.fault);
        const int kept = static_cast<int>(imported.frames.size());
        EXPECT_GT(kept, 5) << kind.container;
        EXPECT_LT(kept, 40) << kind.container;
        EXPECT_EQ(numbersOf(imported), upTo(kept)) << kind.container;
        EXPECT_EQ(imported.problem.atUs, kept * 100'000) << kind.container;
    }
}

TEST_F(VideoClips, FilesWithoutPicturesAreRefusedWithFfmpegsReason)
{
    writeFile(path("notes.txt"), Bytes{'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '\n'});
    VideoProblem problem;
    EXPECT_FALSE(VideoFile::open(path("notes.txt"), problem));
    EXPECT_EQ(problem.fault, VideoFault::NotAVideo);
    EXPECT_NE(problem.reason.find("Invalid data"), std::string::npos) << problem.reason;

    EXPECT_FALSE(VideoFile::open(path("missing.mp4"), problem));
    EXPECT_EQ(problem.fault, VideoFault::CannotOpen);
    EXPECT_NE(problem.reason.find("No such file"), std::string::npos) << problem.reason;

    // A second of silence: a container FFmpeg reads, holding sound only.
    const CommandRun sound = runCommand("ffmpeg -nostdin -v error -f lavfi -i anullsrc=d=1 -y " + path("sound.wav"));
    ASSERT_EQ(sound.exitCode, 0) << "the tests need the ffmpeg program (Debian ffmpeg): " << sound.output;
    EXPECT_FALSE(VideoFile::open(path("sound.wav"), problem));
    EXPECT_EQ(problem.fault, VideoFault::NoVideoStream);
    EXPECT_FALSE(isVideoFile(path("sound.wav")));
}

// Sound is never decoded and its length is not the pictures' length: a
// clip whose sound runs on after the last frame is whole.
TEST_F(VideoClips, SoundIsIgnored)
{
    const std::string pictures = clip("pictures.mkv", atRate(kMjpegMkv, 10), countingFrames(10));
    const std::string withSound = path("with-sound.mkv");
    const CommandRun mux = runCommand("ffmpeg -nostdin -v error -i " + pictures +
                                      " -f lavfi -i sine=d=3 -c:v copy -c:a pcm_s16le -shortest -y " + withSound);
    ASSERT_EQ(mux.exitCode, 0) << mux.output;
    const CommandRun longer = runCommand("ffmpeg -nostdin -v error -i " + pictures +
                                         " -f lavfi -i sine=d=3 -c:v copy -c:a pcm_s16le -y " + path("long-sound.mkv"));
    ASSERT_EQ(longer.exitCode, 0) << longer.output;
    for (const std::string& file : {withSound, path("long-sound.mkv")}) {
        const VideoImport imported = import(file, atFps(10));
        EXPECT_TRUE(imported.problem.ok()) << file << " " << static_cast<int>(imported.problem.fault);
        EXPECT_EQ(numbersOf(imported), upTo(10)) << file;
    }
}

// Frames 400 s apart sampled 30 times a second would be 12,001 steps:
// refused from the header alone, before a frame is decoded, with a rate
// and an end that fit.
TEST_F(VideoClips, TheStepLimitIsCheckedBeforeDecoding)
{
    const std::string file = clip("long.mkv", kFfv1Mkv, numberedFrames({1, 2, 2}, {0, 400'000, 400'001}));
    VideoProblem problem;
    const auto video = VideoFile::open(file, problem);
    ASSERT_TRUE(video);
    int progressCalls = 0;
    const VideoImport refused = importVideo(*video, atFps(30), VirtualArea(), [&](std::int64_t, std::int64_t) {
        ++progressCalls;
        return true;
    });
    EXPECT_EQ(refused.problem.fault, VideoFault::TooManySteps);
    EXPECT_EQ(progressCalls, 0);
    EXPECT_TRUE(refused.frames.empty());
    const std::int64_t length = video->info().durationUs;
    EXPECT_EQ(refused.problem.count, (length * 30 + 999'999) / 1'000'000);
    // The rate that fits is the highest whose samples stay within 9,999.
    const int fps = refused.problem.fittingFps;
    EXPECT_LE((length * fps + 999'999) / 1'000'000, kStepLimit);
    EXPECT_GT((length * (fps + 1) + 999'999) / 1'000'000, kStepLimit);
    EXPECT_EQ(refused.problem.fittingEndUs, std::int64_t{kStepLimit} * 1'000'000 / 30);

    // The steps already recorded count: 50 left, a 4 s clip at 25 a second.
    const std::string shortClip = clip("short.mkv", atRate(kMjpegMkv, 25), countingFrames(100));
    VideoImportChoices choices = atFps(25);
    choices.remainingSteps = 50;
    const VideoImport partly = import(shortClip, choices);
    EXPECT_EQ(partly.problem.fault, VideoFault::TooManySteps);
    EXPECT_EQ(partly.problem.count, 100);
    EXPECT_EQ(partly.problem.fittingFps, 12);
    EXPECT_EQ(partly.problem.fittingEndUs, 2'000'000);
    choices.endUs = partly.problem.fittingEndUs;
    EXPECT_EQ(import(shortClip, choices).frames.size(), 50u);
}

TEST_F(VideoClips, HugeFramesAndHugeDecodingAreRefused)
{
    const std::string wide = clip("wide.mkv", kFfv1Mkv, {{numberedPicture(1, kLargestVideoSide + 8, 8), 0}});
    VideoProblem problem;
    EXPECT_FALSE(VideoFile::open(wide, problem));
    EXPECT_EQ(problem.fault, VideoFault::FrameTooLarge);
    EXPECT_EQ(problem.width, kLargestVideoSide + 8);
    // Within the sides, a frame is still held to the largest picture read
    // (a clip that large takes minutes to write here, so only the bounds).
    EXPECT_FALSE(videoFrameTooLarge(kLargestVideoSide, kLargestPicturePixels / kLargestVideoSide));
    EXPECT_TRUE(videoFrameTooLarge(kLargestVideoSide, kLargestPicturePixels / kLargestVideoSide + 1));
    EXPECT_TRUE(videoFrameTooLarge(kLargestVideoSide + 1, 1));

    // 30 frames of 64 x 32 decode to 30 x 2,048 grey bytes.
    const std::string file = clip("thirty.mkv", atRate(kFfv1Mkv, 10), countingFrames(30));
    VideoImportChoices choices = atFps(10);
    choices.decodedLimit = 20 * 2048;
    const VideoImport refused = import(file, choices);
    EXPECT_EQ(refused.problem.fault, VideoFault::TooMuchData);
    EXPECT_TRUE(refused.frames.empty());
    EXPECT_EQ(refused.problem.fittingEndUs, 2'000'000);
    choices.endUs = refused.problem.fittingEndUs;
    EXPECT_EQ(import(file, choices).frames.size(), 20u);
}

// The preview asks for frames in any order, also backwards and between
// frames.
TEST_F(VideoClips, ThePreviewShowsTheFrameAtAnyTime)
{
    const std::string file = clip("preview.mp4", atRate(kH264Mp4, 10), countingFrames(30));
    VideoProblem problem;
    const auto video = VideoFile::open(file, problem);
    ASSERT_TRUE(video);
    const PictureSize size{kClipWidth / 2, kClipHeight / 2};
    for (const std::int64_t us : {2'050'000, 2'099'999, 500'000, 0, 2'900'000, 1'300'000, 9'000'000}) {
        GreyImage frame;
        ASSERT_TRUE(video->frameAt(us, size, frame, problem)) << us;
        ASSERT_EQ(frame.width, size.width);
        const DotImage dots = thresholdDots(frame, 127, false);
        int number = 0;
        for (int bit = 0; bit < 8; ++bit)
            number |= dots.at(4 * bit + 2, 4) << bit;
        EXPECT_EQ(number, std::min<std::int64_t>(29, us / 100'000)) << us;
    }
}

// Video luma runs from 16 to 235; the conversion's grey must still run
// from black 0 to white 255, or every threshold would be off.
TEST_F(VideoClips, GreyLevelsSpanTheFullRangeAtTheConversionsSize)
{
    GreyImage picture(640, 360, 255);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 320; ++x)
            picture.set(x, y, 0);
    for (const ClipKind& kind : {kH264Mp4, kMjpegMkv}) {
        const std::string file = clip(std::string("halves.") + kind.container, kind, {{picture, 0}, {picture, 40}});
        VideoProblem problem;
        const auto video = VideoFile::open(file, problem);
        ASSERT_TRUE(video);
        DotConversion fit;
        const FrameCut size = videoFrameSize(video->info(), fit);
        EXPECT_EQ(size, FrameCut(scaledSize(640, 360, ScaleMode::FitWindow, 100)));
        GreyImage frame;
        ASSERT_TRUE(video->frameAt(0, size, frame, problem));
        ASSERT_EQ(frame.width, size.kept.width);
        EXPECT_NEAR(frame.greyAt(1, 8), 0, 3) << kind.container;
        EXPECT_NEAR(frame.greyAt(size.kept.width - 2, 8), 255, 3) << kind.container;
        EXPECT_EQ(frame.alphaAt(1, 8), 255);
    }
}

// Frames are decoded at the size the scale gives; the conversion must not
// scale them once more.
TEST_F(VideoClips, EveryScaleIsAppliedOnce)
{
    const std::string file = clip("scaled.mkv", atRate(kMjpegMkv, 10), countingFrames(4));
    VideoImportChoices half = atFps(10);
    half.conversion.scale = ScaleMode::Percent;
    half.conversion.percent = 50;
    EXPECT_EQ(numbersOf(import(file, half)), upTo(4));
    VideoImportChoices byHeight = atFps(10);
    byHeight.conversion.scale = ScaleMode::FitHeight;
    EXPECT_EQ(numbersOf(import(file, byHeight)), upTo(4));
}

// Not scaled, a frame larger than the plane is cut to it from its top-left
// pixel as it is converted, as a picture is: squeezed instead, its dots
// would land in the wrong places; kept whole, a large frame would cost far
// more than the plane can show.
TEST_F(VideoClips, FramesNotScaledAreCutToThePlane)
{
    const int width = VirtualArea::kWidth + 112;
    const int height = VirtualArea::kHeight + 56;
    GreyImage checks(width, height, 255);
    const auto dark = [](int x, int y) { return (x / 8 + y / 8) % 2 == 0; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            checks.set(x, y, dark(x, y) ? 0 : 255);
    const std::string file = clip("checks.mkv", atRate(kFfv1Mkv, 10), {{checks, 0}, {checks, 1}});
    VideoProblem problem;
    const auto video = VideoFile::open(file, problem);
    ASSERT_TRUE(video);
    DotConversion none;
    none.scale = ScaleMode::None;
    const FrameCut cut = videoFrameSize(video->info(), none);
    EXPECT_EQ(cut.whole, (PictureSize{width, height}));
    EXPECT_EQ(cut.kept, (PictureSize{VirtualArea::kWidth, VirtualArea::kHeight}));
    GreyImage frame;
    ASSERT_TRUE(video->frameAt(0, cut, frame, problem));
    ASSERT_EQ(frame.width, VirtualArea::kWidth);
    ASSERT_EQ(frame.height, VirtualArea::kHeight);
    int wrong = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            wrong += (frame.greyAt(x, y) < 128) != dark(x, y);
    EXPECT_EQ(wrong, 0);

    VideoImportChoices choices = atFps(10);
    choices.conversion = none;
    choices.conversion.threshold = 127;
    choices.conversion.autoThreshold = false;
    choices.pictureX = VirtualArea::kMinX;
    choices.pictureY = VirtualArea::kMinY;
    const VideoImport imported = import(file, choices);
    ASSERT_TRUE(imported.imported());
    for (const auto& [x, y] : {std::pair{0, 0}, {8, 0}, {VirtualArea::kWidth - 1, VirtualArea::kHeight - 1},
                               {VirtualArea::kWidth - 9, VirtualArea::kHeight - 1}})
        EXPECT_EQ(imported.plane.dot(VirtualArea::kMinX + x, VirtualArea::kMinY + y), dark(x, y) ? 1 : 0)
            << x << "," << y;
}

// A clip is opened as every user's file is: a pipe is refused at once, not
// waited on for a writer that never comes.
TEST_F(VideoClips, APipeIsRefusedWithoutWaiting)
{
    const std::string fifo = path("clip.mp4");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(isWebpFile(fifo));
    VideoProblem problem;
    EXPECT_FALSE(VideoFile::open(fifo, problem));
    EXPECT_EQ(problem.fault, VideoFault::CannotOpen);
    EXPECT_NE(problem.reason.find("pipe"), std::string::npos) << problem.reason;
}

TEST_F(VideoClips, CancellingStopsTheDecodingAndKeepsNothing)
{
    const std::string file = clip("cancel.mkv", atRate(kMjpegMkv, 10), countingFrames(30));
    VideoProblem problem;
    const auto video = VideoFile::open(file, problem);
    ASSERT_TRUE(video);
    std::int64_t lastDone = 0;
    const VideoImport cancelled = importVideo(*video, atFps(10), VirtualArea(), [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 30);
        lastDone = done;
        return done < 5;
    });
    EXPECT_EQ(cancelled.problem.fault, VideoFault::Cancelled);
    EXPECT_TRUE(cancelled.frames.empty());
    EXPECT_EQ(lastDone, 5);
}

} // namespace
} // namespace lumidot
