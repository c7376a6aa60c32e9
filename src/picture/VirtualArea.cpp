// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/VirtualArea.h"

#include <algorithm>

namespace lumidot {

VirtualArea::VirtualArea()
    : dots_(std::make_unique<std::uint8_t[]>(kDotCount))
{
}

void VirtualArea::clearAll()
{
    std::fill_n(dots_.get(), kDotCount, std::uint8_t{0});
}

void VirtualArea::copyFrom(const VirtualArea& other)
{
    std::copy_n(other.dots_.get(), kDotCount, dots_.get());
}

} // namespace lumidot
