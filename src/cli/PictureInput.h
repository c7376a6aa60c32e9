// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"
#include "recording/Recording.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// True when a file's bytes hold a picture rather than a recording.
bool isPictureInput(std::span<const std::uint8_t> bytes);

// Frame steps from pictures, one a frame, in the order given: each frame is
// converted as the window's import converts it and put on a clear plane at
// the window's home position (0, 0), replacing the dots under it, as the
// window does with a new plane. False with an English error when a file
// cannot be read, would cost too much to convert, or the frames would pass
// the recording's limit. The names are the system's, byte for byte.
bool picturesToRecording(const std::vector<std::string>& fileNames, const DotConversion& conversion,
                         Recording& recording, std::string& error);

// How long each frame of the pictures is shown, in microseconds (0 for a
// still picture). False with an English error when a file cannot be read.
bool pictureDurations(const std::vector<std::string>& fileNames, std::vector<std::int64_t>& micros,
                      std::string& error);

} // namespace lumidot
