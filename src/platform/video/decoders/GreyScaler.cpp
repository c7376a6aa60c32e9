// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/decoders/GreyScaler.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumidot {

namespace {

bool hasAlpha(AVPixelFormat format)
{
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
}

// Tells libswscale whether the source's luma spans the full 0..255; grey
// output always does, so a video-range source is stretched to it.
void setRanges(SwsContext* context, bool fullRange)
{
    int* inverseTable = nullptr;
    int* table = nullptr;
    int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(context, &inverseTable, &srcRange, &table, &dstRange, &brightness,
                                 &contrast, &saturation) < 0)
        return;
    sws_setColorspaceDetails(context, inverseTable, fullRange ? 1 : srcRange, table, 1, brightness,
                             contrast, saturation);
}

// The source pixels, from the top-left, that the kept part of a picture of
// `whole` pixels covers when the source has `source`.
int sourceReach(int source, int whole, int kept)
{
    if (kept >= whole)
        return source;
    const std::int64_t reach = (static_cast<std::int64_t>(kept) * source + whole - 1) / whole;
    return static_cast<int>(std::clamp<std::int64_t>(reach, 1, source));
}

} // namespace

GreyScaler::~GreyScaler()
{
    sws_freeContext(context_);
}

GreyImage GreyScaler::scale(const PixelPlanes& picture, const FrameCut& cut)
{
    const PictureSize size = cut.kept;
    if (size.width <= 0 || size.height <= 0 || picture.width <= 0 || picture.height <= 0 ||
        cut.whole.width <= 0 || cut.whole.height <= 0)
        return {};
    const bool alpha = hasAlpha(picture.format);
    const AVPixelFormat target = alpha ? AV_PIX_FMT_YA8 : AV_PIX_FMT_GRAY8;
    // A cut from the top-left starts where the picture does: the same planes
    // and lines, read only so far.
    const int width = sourceReach(picture.width, cut.whole.width, size.width);
    const int height = sourceReach(picture.height, cut.whole.height, size.height);
    const Key key{width, height, picture.format, picture.fullRange, size};
    if (!context_ || !(key == key_)) {
        context_ = sws_getCachedContext(context_, width, height, picture.format,
                                        size.width, size.height, target, SWS_AREA, nullptr,
                                        nullptr, nullptr);
        if (!context_)
            return {};
        setRanges(context_, picture.fullRange);
        key_ = key;
    }

    GreyImage out(size.width, size.height);
    const int bytesPerPixel = alpha ? 2 : 1;
    // libswscale may write up to 32 bytes past a line's end with its SIMD
    // code, so it writes into a padded buffer and the rows are copied out.
    const int stride = (size.width * bytesPerPixel + 63) / 64 * 64;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(stride) * (size.height + 1));
    std::uint8_t* const planes[4] = {buffer.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    if (sws_scale(context_, picture.data, picture.linesize, 0, height, planes, strides) <= 0)
        return {};
    for (int y = 0; y < size.height; ++y) {
        const std::uint8_t* row = buffer.data() + static_cast<std::size_t>(y) * stride;
        std::uint8_t* grey = out.grey.data() + static_cast<std::size_t>(y) * size.width;
        if (!alpha) {
            std::memcpy(grey, row, static_cast<std::size_t>(size.width));
            continue;
        }
        std::uint8_t* opacity = out.alpha.data() + static_cast<std::size_t>(y) * size.width;
        for (int x = 0; x < size.width; ++x) {
            grey[x] = row[2 * x];
            opacity[x] = row[2 * x + 1];
        }
    }
    return out;
}

} // namespace lumidot
