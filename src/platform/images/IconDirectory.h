// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lumidot {

// True when the bytes start as an icon (.ico) or cursor (.cur) file does.
bool isIconData(std::span<const std::uint8_t> bytes);

// What is inconsistent in an icon file's directory, in English; empty when
// nothing is. Every image the header counts must have its entry, and every
// entry its own data within the file: a decoder asked for an image the file
// does not hold gives another one again, and entries that share their data
// make one picture cost as many decodings as there are entries.
std::string iconDirectoryFault(std::span<const std::uint8_t> bytes);

} // namespace lumidot
