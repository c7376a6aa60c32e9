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

} // namespace lumidot
