// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DecodeLimits.h"

namespace lumidot {

bool pictureSizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= kLargestPicturePixels &&
           height <= kLargestPicturePixels / width;
}

bool DecodeBudget::charge(std::int64_t pixels)
{
    if (pixels < 0 || pixels > limit_ - used_)
        return false;
    used_ += pixels;
    return true;
}

} // namespace lumidot
