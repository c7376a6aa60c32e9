// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumidot {

// FFmpeg explains a refusal in its log ("moov atom not found") and returns
// only a general code ("Invalid data found when processing input"). Its log
// is taken over, once per process, so that nothing reaches the terminal
// and the last error it logs can be quoted with the code.
class FfmpegLogCapture {
public:
    // Starts listening: only errors logged from now on count.
    FfmpegLogCapture();

    // The code's text, with the last error logged since this capture began
    // where FFmpeg logged one that says more.
    std::string explain(int code) const;

private:
    std::uint64_t since_;
};

// FFmpeg's text for an error code.
std::string ffmpegErrorText(int code);

} // namespace lumidot
