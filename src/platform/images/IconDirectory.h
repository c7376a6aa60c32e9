// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// True when the bytes start as an icon (.ico) or cursor (.cur) file does.
bool isIconData(std::span<const std::uint8_t> bytes);

// An image of an icon file, by the size its own data states (a PNG's
// header, or a bitmap's); 0 x 0 when the data states none.
struct IconImage {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Reads an icon file's directory. False, with what is inconsistent in
// English, unless every image the header counts has its entry and every
// entry its own data within the file: a decoder asked for an image the file
// does not hold gives another one again, and entries that share their data
// make one picture cost as many decodings as there are entries.
bool readIconDirectory(std::span<const std::uint8_t> bytes, std::vector<IconImage>& images, std::string& fault);

} // namespace lumidot
