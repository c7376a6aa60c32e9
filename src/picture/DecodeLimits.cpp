// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DecodeLimits.h"

namespace lumidot {

bool pictureSizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kLargestPicturePixels &&
           height <= kLargestPicturePixels / width;
}

std::string tooLargePictureReason(std::int64_t width, std::int64_t height)
{
    return "picture of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels; the largest read has " + std::to_string(kLargestPicturePixels / 1'000'000) +
           " million (6000 x 4000)";
}

bool DecodeBudget::charge(std::int64_t pixels)
{
    if (pixels < 0 || pixels > limit_ - used_)
        return false;
    used_ += pixels;
    return true;
}

} // namespace lumidot
