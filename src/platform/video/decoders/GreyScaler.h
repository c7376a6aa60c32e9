// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"
#include "platform/video/VideoFile.h"

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct SwsContext;

namespace lumidot {

// A picture in one of FFmpeg's pixel formats, as a decoder leaves it.
struct PixelPlanes {
    const std::uint8_t* const* data = nullptr;
    const int* linesize = nullptr;
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    bool fullRange = false;   // luma 0..255 rather than the video range 16..235
};

// Scales pictures with libswscale straight to the grey size the dot
// conversion needs, averaging the area each grey pixel covers. Formats with
// an alpha channel keep it as opacity. Keeps its scaling context between
// calls of the same sizes.
class GreyScaler {
public:
    GreyScaler() = default;
    ~GreyScaler();
    GreyScaler(const GreyScaler&) = delete;
    GreyScaler& operator=(const GreyScaler&) = delete;

    // The picture scaled to size.whole, of which only size.kept is made: the
    // source is read only as far as the kept part reaches. An empty image
    // when libswscale cannot convert the format.
    GreyImage scale(const PixelPlanes& picture, const FrameCut& size);

private:
    // What the context was made for; setting the ranges again costs as
    // much as scaling a small frame.
    struct Key {
        int width = 0;
        int height = 0;
        AVPixelFormat format = AV_PIX_FMT_NONE;
        bool fullRange = false;
        PictureSize size;
        bool operator==(const Key&) const = default;
    };
    SwsContext* context_ = nullptr;
    Key key_;
};

} // namespace lumidot
