// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lumidot {

// The largest picture decoded, by the size its file states, checked before a
// pixel is decoded: 24 megapixels, a large camera's 6,000 x 4,000. Decoding
// and converting one holds about ten bytes a pixel at once (the decoded
// colours, grey and opacity, the resampling's sums), which with the file's
// own bytes stays within 300 MB. Every picture or video frame reader holds
// its pictures to it.
inline constexpr std::int64_t kLargestPicturePixels = 24'000'000;

// What one import may cost in all, in pixel operations: every frame's
// decoded pixels, the pixels resampled for it and the dots made and placed.
// Measured on this machine, a pixel that Qt's readers decode (PNG, JPEG,
// ...) and turn to grey costs about four operations, one that giflib
// decodes or the resampling reads one, a dot two. The limit keeps an import
// within 5 seconds whatever its headers claim.
inline constexpr std::int64_t kLargestPictureWork = 400'000'000;
inline constexpr std::int64_t kDecodedPixelWork = 4;
inline constexpr std::int64_t kDotWork = 2;

// True when a picture of width x height may be decoded: both sides at least
// one pixel and the area within kLargestPicturePixels.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// Why a picture of width x height is refused, in English.
std::string tooLargePictureReason(std::int64_t width, std::int64_t height);

// Counts the work of one import against its limit.
class DecodeBudget {
public:
    explicit DecodeBudget(std::int64_t limit = kLargestPictureWork) : limit_(limit) {}

    // Takes pixels of work; false, taking nothing, when they would pass the
    // limit.
    bool charge(std::int64_t pixels);
    std::int64_t used() const { return used_; }
    std::int64_t limit() const { return limit_; }

private:
    std::int64_t limit_;
    std::int64_t used_ = 0;
};

} // namespace lumidot
