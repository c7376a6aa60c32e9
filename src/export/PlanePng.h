// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumidot {

class VirtualArea;

// The PNG text key that holds the plane coordinates of the picture's
// top-left pixel, as "x,y".
inline constexpr std::string_view kPlaneOriginKey = "Lumidot origin";

// The whole plane as a PNG: 1 bit a pixel over a palette of white and
// black, set dots black, its origin in a text chunk. "描画面の保存" writes
// these bytes, and a document file carries them as its plane.png; the core
// writes them itself so that a document is written and read without Qt.
std::vector<std::uint8_t> encodePlanePng(const VirtualArea& area);

// Why a PNG was not taken as the plane.
enum class PlanePngFault {
    None,
    NotPng,        // no PNG signature
    Damaged,       // a chunk cut short, a checksum or the compressed data wrong
    Unsupported,   // interlaced, 16 bits a sample, or a colour type without a meaning here
    WrongSize,     // not the plane's width and height
    WrongOrigin,   // an origin text that is not the plane's corner
};

struct PlanePngRead {
    PlanePngFault fault = PlanePngFault::None;
    std::size_t offset = 0;   // where in the PNG, for a damaged one
    std::string error;        // English

    bool ok() const { return fault == PlanePngFault::None; }
};

// Reads a PNG of the plane's size into area, dark pixels (grey 127 or
// less, transparency over white) set. Greyscale and palette pictures of 1
// to 8 bits and 8-bit colour ones are read, so a plane.png touched up in a
// picture editor still opens. On refusal area is left as it was.
PlanePngRead decodePlanePng(std::span<const std::uint8_t> png, VirtualArea& area);

} // namespace lumidot
