// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"
#include "platform/video/VideoImport.h"
#include "recording/Recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumidot {

// A time on the command line: seconds ("12", "12.5") or minutes and seconds
// ("1:02.5"), to the microsecond; nullopt when it is neither.
std::optional<std::int64_t> parseClipTime(std::string_view text);

// The English text of a clip's problem, for standard error.
std::string videoProblemText(const VideoProblem& problem);

// Frame steps from a clip, made as the window's import makes them, on a
// clear plane with the picture and the window at the plane's home (0, 0).
// False with the English error when the clip is refused. A damaged or
// truncated clip keeps the steps before the damage and says so in warning.
// The steps are timed at the tick spacing stepTick.
bool videoToRecording(VideoFile& file, const VideoImportChoices& choices, int stepTick, Recording& recording,
                      std::string& error, std::string& warning);

} // namespace lumidot
