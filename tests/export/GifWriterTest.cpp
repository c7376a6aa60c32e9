// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifTimeline.h"
#include "export/GifWriter.h"
#include "ns5r/MonitorPicture.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

namespace lumidot {
namespace {

TEST(GifTimeline, MergesShortPicturesAndCarriesTheRoundingForward)
{
    // Changes 16.7 ms apart: every other boundary is too close for a frame of its own.
    const std::vector<std::int64_t> times{16667, 33333, 50000, 66667, 83333};
    const auto frames = gifFrames(times, 133333);
    // Ends rounded to hundredths: 2, 3 (too short: merged), 5, 7, 8 (merged), then 13.
    const std::vector<GifFrame> expected{{0, 2}, {2, 3}, {3, 2}, {5, 6}};
    EXPECT_EQ(frames, expected);

    // Steps 13 ms apart over a minute: the total stays the length, within 5 ms.
    std::vector<std::int64_t> many;
    for (std::int64_t t = 13000; t < 60000000; t += 13000)
        many.push_back(t);
    const auto long_ = gifFrames(many, 60000000 + 40000);
    const int total = std::accumulate(long_.begin(), long_.end(), 0,
                                      [](int sum, const GifFrame& f) { return sum + f.delay; });
    EXPECT_EQ(total, 6004);
    EXPECT_TRUE(std::all_of(long_.begin(), long_.end(), [](const GifFrame& f) { return f.delay >= 2; }));
    EXPECT_EQ(long_.back().changes, many.size()) << "the last picture always shows";

    // A last change too close to the end takes the place of the frame before it.
    EXPECT_EQ(gifFrames(std::vector<std::int64_t>{100000, 195000}, 200000),
              (std::vector<GifFrame>{{0, 10}, {2, 10}}));
    // A frame longer than a GIF delay holds is split.
    EXPECT_EQ(gifFrames({}, 700000000), (std::vector<GifFrame>{{0, 65535}, {0, 4465}}));
}

// A GIF read back by giflib, with every frame composed onto the screen.
struct DecodedGif {
    int width = 0;
    int height = 0;
    std::vector<int> delays;
    std::vector<std::vector<std::uint8_t>> screens;   // palette indices after each frame
    std::vector<GifColorType> palette;
    bool loops = false;
};

struct ReadCursor {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* cursor = static_cast<ReadCursor*>(gif->UserData);
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(length), cursor->bytes->size() - cursor->at);
    std::memcpy(out, cursor->bytes->data() + cursor->at, n);
    cursor->at += n;
    return static_cast<int>(n);
}

DecodedGif decode(const std::vector<std::uint8_t>& bytes)
{
    DecodedGif out;
    ReadCursor cursor{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&cursor, readBytes, &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (!gif)
        return out;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    if (gif->SColorMap)
        out.palette.assign(gif->SColorMap->Colors, gif->SColorMap->Colors + gif->SColorMap->ColorCount);
    std::vector<std::uint8_t> screen(static_cast<std::size_t>(out.width * out.height), 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        out.delays.push_back(control.DelayTime);
        for (int e = 0; e < image.ExtensionBlockCount; ++e)
            if (image.ExtensionBlocks[e].Function == APPLICATION_EXT_FUNC_CODE &&
                image.ExtensionBlocks[e].ByteCount == 11 &&
                std::memcmp(image.ExtensionBlocks[e].Bytes, "NETSCAPE2.0", 11) == 0)
                out.loops = true;
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x)
                screen[static_cast<std::size_t>((d.Top + y) * out.width + d.Left + x)] =
                    image.RasterBits[y * d.Width + x];
        out.screens.push_back(screen);
    }
    DGifCloseFile(gif, &error);
    return out;
}

PackedFrame frameWithDot(int column, int row)
{
    PackedFrame frame{};
    frame[static_cast<std::size_t>(16 * (column / 7) + row)] =
        static_cast<std::uint8_t>(0x40 >> (column % 7));
    return frame;
}

int totalDelay(const DecodedGif& gif)
{
    return std::accumulate(gif.delays.begin(), gif.delays.end(), 0);
}

TEST(GifWriter, ReadsBackWithTheFramesDelaysLengthAndDots)
{
    Recording r;
    r.appendColour(LcdColour::Red);
    for (int i = 0; i < 10; ++i)
        r.appendFrame(frameWithDot(i, i));
    r.appendEffect({1, 2, 3});   // changes nothing in the picture
    r.appendMessage("GIF", "");
    const GifOptions options{30, 120, 2};   // steps 60 ticks = 62.5 ms apart
    const ExportResult gif = EXPORT_GIF(r, options);
    ASSERT_TRUE(gif.ok()) << gif.refusal;
    const DecodedGif decoded = decode(gif.bytes);
    EXPECT_EQ(decoded.width, pictureWidth(2));
    EXPECT_EQ(decoded.height, pictureHeight(2));
    EXPECT_TRUE(decoded.loops);
    ASSERT_GE(decoded.palette.size(), 6u);
    EXPECT_EQ(decoded.palette[kPictureRed].Red, 255);

    // Blank, red, ten frames, the message; the effect step only lengthens the tenth frame.
    ASSERT_EQ(decoded.delays.size(), 13u);
    const std::int64_t length = recordingLength(r, 30, 120);
    EXPECT_LE(std::abs(totalDelay(decoded) * 10000LL - length), 10000) << totalDelay(decoded);
    EXPECT_EQ(decoded.delays[0], 6) << "62.5 ms before the first step";
    EXPECT_EQ(decoded.delays[11], 13) << "the tenth frame holds through the effect step";

    // The third frame step (frame 4 of the GIF) shows the dot at column 2, row 2 only.
    const auto& screen = decoded.screens[4];
    const auto pixel = [&](int dotX, int dotY) {
        return screen[static_cast<std::size_t>((dotY * 2) * decoded.width + dotX * 2)];
    };
    EXPECT_EQ(pixel(2 + 2, 2 + 2), kPictureDot);
    EXPECT_EQ(pixel(2 + 1, 2 + 1), kPictureRed) << "the dot of the frame before is gone";
    EXPECT_EQ(pixel(0, 0), kPictureBezel);
    // The last frame shows the message's "G" in the text area.
    const auto& last = decoded.screens.back();
    EXPECT_EQ(last[static_cast<std::size_t>((2 * 2) * decoded.width + (38 + 1) * 2)], kPictureDot);
}

TEST(GifWriter, AFullRecordingKeepsItsLengthAtEveryTempo)
{
    Recording r;
    for (int i = 0; i < 9999; ++i)
        r.appendFrame(frameWithDot(i % 32, (i / 32) % 16));
    for (const int tempo : {20, 120, 300}) {
        const ExportResult gif = EXPORT_GIF(r, {8, tempo, 1});
        ASSERT_TRUE(gif.ok());
        const DecodedGif decoded = decode(gif.bytes);
        EXPECT_LE(std::abs(totalDelay(decoded) * 10000LL - recordingLength(r, 8, tempo)), 10000) << tempo;
        EXPECT_TRUE(std::all_of(decoded.delays.begin(), decoded.delays.end(), [](int d) { return d >= 2; }));
    }
}

TEST(GifWriter, EachPictureLastsItsStepsLength)
{
    Recording r;
    for (int i = 0; i < 3; ++i)
        r.appendFrame(frameWithDot(i, 0));
    ASSERT_EQ(setStepLengths(r, 0, 3, kTicksPerBeat, 8).result, EditResult::Done);
    ASSERT_EQ(setStepLengths(r, 1, 1, kTicksPerBar, 8).result, EditResult::Done);
    ASSERT_EQ(setStartOffset(r, kTicksPerBeat).result, EditResult::Done);
    const ExportResult gif = EXPORT_GIF(r, {8, 120, 1});
    ASSERT_TRUE(gif.ok());
    // A beat is half a second at 120: blank for a beat, a beat, a bar, a beat.
    const DecodedGif decoded = decode(gif.bytes);
    EXPECT_EQ(decoded.delays, (std::vector<int>{50, 50, 200, 50}));
    EXPECT_EQ(totalDelay(decoded) * 10000LL, recordingLength(r, 8, 120));
}

} // namespace
} // namespace lumidot
