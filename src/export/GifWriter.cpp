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

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
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
    GifEncoder(int width, int height)
        : width_(width), height_(height), canvas_(static_cast<std::size_t>(width * height))
    {
    }

    bool open()
    {
        int error = 0;
        gif_.reset(EGifOpen(&bytes_, appendBytes, &error));
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

    bool close()
    {
        int error = 0;
        const bool ok = EGifCloseFile(gif_.release(), &error) == GIF_OK;
        return ok;
    }

    std::vector<std::uint8_t>& bytes() { return bytes_; }

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
    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<GifFileType, GifCloser> gif_;
};

ExportResult refusal()
{
    return {{}, LUMIDOT_TEXT("GifWriter", "GIFファイルを作れませんでした")};
}

} // namespace

ExportResult EXPORT_GIF(const Recording& recording, const GifOptions& options)
{
    const int dotSize = std::clamp(options.dotSize, kMinDotSize, kMaxDotSize);
    const PlaybackSchedule schedule = buildSchedule(recording, options.stepTick, options.tempo);
    std::vector<std::int64_t> times;
    times.reserve(schedule.messages.size());
    for (const ScheduledMessage& message : schedule.messages)
        times.push_back(message.time);
    const std::vector<GifFrame> frames = gifFrames(times, schedule.length);

    const int width = pictureWidth(dotSize);
    const int height = pictureHeight(dotSize);
    GifEncoder encoder(width, height);
    if (!encoder.open())
        return refusal();
    DisplayModel display;
    std::size_t applied = 0;
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height));
    // A frame is written once the next picture differs, so that pictures
    // that do not change (an effect step) only lengthen the frame shown.
    std::vector<std::uint8_t> pending(picture.size());
    int pendingDelay = 0;
    bool first = true;
    for (const GifFrame& frame : frames) {
        for (; applied < frame.changes; ++applied)
            display.apply(schedule.messages[applied].message.bytes());
        renderMonitorPicture(display.state(), dotSize, picture);
        if (pendingDelay > 0 && picture == pending && pendingDelay + frame.delay <= 65535) {
            pendingDelay += frame.delay;
            continue;
        }
        if (pendingDelay > 0) {
            if (!encoder.put(pending, pendingDelay, first))
                return refusal();
            first = false;
        }
        pending.swap(picture);
        pendingDelay = frame.delay;
    }
    if (pendingDelay > 0 && !encoder.put(pending, pendingDelay, first))
        return refusal();
    if (!encoder.close())
        return refusal();
    return {std::move(encoder.bytes()), {}};
}

} // namespace lumidot
