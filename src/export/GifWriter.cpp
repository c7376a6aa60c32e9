// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/GifWriter.h"

#include "export/GifTimeline.h"
#include "ns5r/DisplayModel.h"
#include "ns5r/MonitorPicture.h"
#include "ns5r/UserText.h"
#include "recording/PlaybackSchedule.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace lumidot {

namespace {

constexpr int kPaletteSize = 8;   // the picture's colours, padded to a power of two

// The file as giflib writes it, held to its largest size: a write that
// would pass it writes nothing, which giflib takes for a failed write and
// stops at once.
struct Output {
    std::vector<std::uint8_t> bytes;
    std::size_t largest = 0;
    bool tooLarge = false;
};

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<Output*>(gif->UserData);
    if (length < 0 || static_cast<std::size_t>(length) > out->largest - out->bytes.size()) {
        out->tooLarge = true;
        return 0;
    }
    out->bytes.insert(out->bytes.end(), data, data + length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The smallest rectangle holding every pixel that differs; empty when none does.
Rect changedRect(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after, int width,
                 int height)
{
    int top = height, bottom = -1, left = width, right = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* a = before.data() + y * width;
        const std::uint8_t* b = after.data() + y * width;
        if (std::memcmp(a, b, static_cast<std::size_t>(width)) == 0)
            continue;
        top = std::min(top, y);
        bottom = y;
        for (int x = 0; x < left; ++x)
            if (a[x] != b[x]) {
                left = x;
                break;
            }
        for (int x = width - 1; x > right; --x)
            if (a[x] != b[x]) {
                right = x;
                break;
            }
    }
    if (bottom < 0)
        return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

class GifEncoder {
public:
    GifEncoder(int width, int height, std::size_t largestFile)
        : width_(width), height_(height), canvas_(static_cast<std::size_t>(width * height))
    {
        output_.largest = largestFile;
    }

    bool open()
    {
        int error = 0;
        gif_.reset(EGifOpen(&output_, appendBytes, &error));
        if (!gif_)
            return false;
        EGifSetGifVersion(gif_.get(), true);
        std::array<GifColorType, kPaletteSize> colours{};
        const auto& palette = picturePalette();
        for (std::size_t i = 0; i < palette.size(); ++i)
            colours[i] = {palette[i].r, palette[i].g, palette[i].b};
        ColorMapObject* map = GifMakeMapObject(kPaletteSize, colours.data());
        const bool ok = map && EGifPutScreenDesc(gif_.get(), width_, height_, 3, 0, map) == GIF_OK &&
                        putLoopForever();
        GifFreeMapObject(map);
        return ok;
    }

    // Writes the part of the picture that differs from what the GIF shows
    // so far; each frame stays under the next.
    bool put(std::vector<std::uint8_t>& picture, int delay, bool first)
    {
        Rect rect = first ? Rect{0, 0, width_, height_} : changedRect(canvas_, picture, width_, height_);
        if (rect.width == 0)
            rect = {0, 0, 1, 1};   // an unchanged picture still holds its time
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif_.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK ||
            EGifPutImageDesc(gif_.get(), rect.left, rect.top, rect.width, rect.height, false, nullptr) != GIF_OK)
            return false;
        for (int y = rect.top; y < rect.top + rect.height; ++y)
            if (EGifPutLine(gif_.get(), picture.data() + y * width_ + rect.left, rect.width) != GIF_OK)
                return false;
        canvas_.swap(picture);
        return true;
    }

    // giflib does not check the write of the closing byte: a refused one
    // shows only in the output.
    bool close()
    {
        int error = 0;
        const bool ok = EGifCloseFile(gif_.release(), &error) == GIF_OK;
        return ok && !output_.tooLarge;
    }

    std::vector<std::uint8_t>& bytes() { return output_.bytes; }
    bool tooLarge() const { return output_.tooLarge; }

private:
    bool putLoopForever()
    {
        static const char kApplication[] = "NETSCAPE2.0";
        const GifByteType loop[3] = {1, 0, 0};   // sub-block 1: loop count 0, forever
        return EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
               EGifPutExtensionBlock(gif_.get(), 11, kApplication) == GIF_OK &&
               EGifPutExtensionBlock(gif_.get(), 3, loop) == GIF_OK &&
               EGifPutExtensionTrailer(gif_.get()) == GIF_OK;
    }

    int width_;
    int height_;
    std::vector<std::uint8_t> canvas_;   // what the GIF shows after the frames written
    Output output_;
    std::unique_ptr<GifFileType, GifCloser> gif_;
};

// Takes the frames in order as the timer finds them. The newest one waits
// until the next is known, since the final picture may take its place;
// equal pictures in a row become one frame, as long as its delay fits.
class FrameSink {
public:
    FrameSink(GifEncoder& encoder, std::size_t pictureSize)
        : encoder_(encoder), held_(pictureSize), pending_(pictureSize)
    {
    }

    // A picture shown for delay hundredths; picture is taken over.
    bool add(std::vector<std::uint8_t>& picture, std::int64_t delay)
    {
        for (; delay > kGifLongestDelay; delay -= kGifLongestDelay) {
            if (!hold(picture, kGifLongestDelay, false))
                return false;
        }
        return hold(picture, static_cast<int>(delay), true);
    }

    // The final picture, too short alone, in the newest frame's place.
    void replaceNewest(std::vector<std::uint8_t>& picture, std::int64_t extraDelay)
    {
        held_.swap(picture);
        heldDelay_ += static_cast<int>(extraDelay);
    }

    bool finish() { return pass(held_, heldDelay_) && (pendingDelay_ == 0 || put(pending_, pendingDelay_)); }

private:
    bool hold(std::vector<std::uint8_t>& picture, int delay, bool takeOver)
    {
        if (heldDelay_ > 0 && !pass(held_, heldDelay_))
            return false;
        if (takeOver)
            held_.swap(picture);
        else
            held_ = picture;
        heldDelay_ = delay;
        return true;
    }

    bool pass(std::vector<std::uint8_t>& picture, int delay)
    {
        if (pendingDelay_ > 0 && picture == pending_ && pendingDelay_ + delay <= kGifLongestDelay) {
            pendingDelay_ += delay;
            return true;
        }
        if (pendingDelay_ > 0 && !put(pending_, pendingDelay_))
            return false;
        pending_.swap(picture);
        pendingDelay_ = delay;
        return true;
    }

    bool put(std::vector<std::uint8_t>& picture, int delay)
    {
        const bool ok = encoder_.put(picture, delay, first_);
        first_ = false;
        return ok;
    }

    GifEncoder& encoder_;
    std::vector<std::uint8_t> held_;
    int heldDelay_ = 0;
    std::vector<std::uint8_t> pending_;
    int pendingDelay_ = 0;
    bool first_ = true;
};

ExportResult refusal(const GifEncoder& encoder)
{
    ExportResult result{{}, LUMIDOT_TEXT("GifWriter", "GIFファイルを作れませんでした")};
    result.tooLarge = encoder.tooLarge();
    return result;
}

} // namespace

// The display is rendered only when a frame is due, and each message is
// applied as the walk reaches it, so that memory stays that of a few
// pictures whatever the recording's length. A refused write ends the walk:
// the millions of steps after it are not visited.
ExportResult EXPORT_GIF(const Recording& recording, const GifOptions& options)
{
    const int dotSize = std::clamp(options.dotSize, kMinDotSize, kMaxDotSize);
    const int width = pictureWidth(dotSize);
    const int height = pictureHeight(dotSize);
    GifEncoder encoder(width, height, options.largestFile);
    if (!encoder.open())
        return refusal(encoder);
    const auto pictureSize = static_cast<std::size_t>(width * height);
    FrameSink frames(encoder, pictureSize);
    GifFrameTimer timer;
    DisplayModel display;
    std::vector<std::uint8_t> picture(pictureSize);
    const std::int64_t length = forEachScheduledMessage(
        recording, options.stepTick, options.tempo, [&](const ScheduledMessage& message) {
            if (const std::int64_t delay = timer.change(message.time)) {
                renderMonitorPicture(display.state(), dotSize, picture);
                if (!frames.add(picture, delay))
                    return false;
            }
            display.apply(message.message.bytes());
            return true;
        });
    if (length < 0)
        return refusal(encoder);
    const GifFrameTimer::Last last = timer.finish(length);
    renderMonitorPicture(display.state(), dotSize, picture);
    if (last.replacesPrevious)
        frames.replaceNewest(picture, last.delay);
    else if (!frames.add(picture, last.delay))
        return refusal(encoder);
    if (!frames.finish() || !encoder.close())
        return refusal(encoder);
    return {std::move(encoder.bytes()), {}};
}

} // namespace lumidot
