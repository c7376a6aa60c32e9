// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace lumidot {

// True when the bytes start with a GIF signature.
bool isGifData(std::span<const std::uint8_t> bytes);

// What a GIF holds and costs, found from its frame descriptors without
// decoding a pixel.
struct GifSummary {
    int frames = 0;
    int width = 0;            // the screen's size
    int height = 0;
    std::int64_t work = 0;    // every frame's decoded pixels and the canvas pixels it changes
    bool tooLarge = false;    // the screen or a frame passes kLargestPicturePixels
};

// Walks the frames without decoding them. False on a damaged file and on one
// whose screen or a frame passes the largest picture size (tooLarge set),
// with the reason in English. delays, when given, receives each frame's
// delay in hundredths of a second, as its graphic control block states it.
bool scanGif(std::span<const std::uint8_t> bytes, GifSummary& summary, QString& reason,
             std::vector<int>* delays = nullptr);

// Decodes a GIF frame by frame and hands each frame on composed as a web
// browser shows it: the canvas starts transparent, a frame's transparent
// colour shows what lies under it, "restore to background" makes the
// frame's area transparent again, "restore to previous" brings back the
// area as it was before the frame. With each frame comes the rectangle of
// the canvas that may differ from the frame before (the whole canvas for the
// first). Stops early when each() returns false. False on a damaged file
// or one that scanGif refuses, with the reason; summary, when given, holds
// what the scan found.
bool readGifFrames(std::span<const std::uint8_t> bytes,
                   const std::function<bool(const GreyImage&, const PixelRect&)>& each, QString& reason,
                   GifSummary* summary = nullptr);

} // namespace lumidot
