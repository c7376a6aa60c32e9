// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/PlaneChange.h"

#include "picture/VirtualArea.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumidot {

namespace {

constexpr int kColumnBytes = VirtualArea::kHeight;

bool columnsDiffer(const VirtualArea& a, const VirtualArea& b, int x)
{
    return std::memcmp(a.column(x), b.column(x), kColumnBytes) != 0;
}

} // namespace

PlaneChange PlaneChange::between(const VirtualArea& before, const VirtualArea& after)
{
    PlaneChange change;
    // First the rectangle and the count, column by column: most columns are
    // equal and one memcmp tells.
    Region box{VirtualArea::kMaxX + 1, VirtualArea::kMaxY + 1, VirtualArea::kMinX - 1,
               VirtualArea::kMinY - 1};
    int count = 0;
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x) {
        if (!columnsDiffer(before, after, x))
            continue;
        const std::uint8_t* a = before.column(x);
        const std::uint8_t* b = after.column(x);
        for (int j = 0; j < kColumnBytes; ++j) {
            if (a[j] == b[j])
                continue;
            const int y = VirtualArea::kMinY + j;
            box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
            ++count;
        }
    }
    if (count == 0)
        return change;
    change.bounds_ = box;
    change.dotCount_ = count;

    const int height = box.y1 - box.y0 + 1;
    const std::size_t maskBits = static_cast<std::size_t>(box.x1 - box.x0 + 1) * height;
    const bool useMask = (maskBits + 7) / 8 < static_cast<std::size_t>(count) * sizeof(Dot);
    if (useMask)
        change.mask_.assign((maskBits + 7) / 8, 0);
    else
        change.dots_.reserve(static_cast<std::size_t>(count));
    std::size_t bit = 0;
    for (int x = box.x0; x <= box.x1; ++x) {
        const std::uint8_t* a = before.column(x) + (box.y0 - VirtualArea::kMinY);
        const std::uint8_t* b = after.column(x) + (box.y0 - VirtualArea::kMinY);
        for (int j = 0; j < height; ++j, ++bit) {
            if (a[j] == b[j])
                continue;
            if (useMask)
                change.mask_[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            else
                change.dots_.push_back({static_cast<std::uint16_t>(x - VirtualArea::kMinX),
                                        static_cast<std::uint16_t>(box.y0 + j - VirtualArea::kMinY)});
        }
    }
    return change;
}

std::size_t PlaneChange::bytes() const
{
    return sizeof(*this) + mask_.capacity() + dots_.capacity() * sizeof(Dot);
}

void PlaneChange::apply(VirtualArea& area) const
{
    if (empty())
        return;
    if (mask_.empty()) {
        for (const Dot& dot : dots_)
            area.column(VirtualArea::kMinX + dot.x)[dot.y] ^= 1;
        return;
    }
    const int height = bounds_.y1 - bounds_.y0 + 1;
    std::size_t bit = 0;
    for (int x = bounds_.x0; x <= bounds_.x1; ++x) {
        std::uint8_t* column = area.column(x) + (bounds_.y0 - VirtualArea::kMinY);
        for (int j = 0; j < height; ++j, ++bit)
            column[j] ^= static_cast<std::uint8_t>((mask_[bit / 8] >> (bit % 8)) & 1u);
    }
}

std::optional<PlaneChange> PlaneChange::fromMask(const Region& bounds, std::vector<std::uint8_t> mask)
{
    if (bounds.x0 > bounds.x1 || bounds.y0 > bounds.y1 || !VirtualArea::contains(bounds.x0, bounds.y0) ||
        !VirtualArea::contains(bounds.x1, bounds.y1))
        return std::nullopt;
    const std::size_t bits =
        static_cast<std::size_t>(bounds.x1 - bounds.x0 + 1) * static_cast<std::size_t>(bounds.y1 - bounds.y0 + 1);
    if (mask.size() != (bits + 7) / 8)
        return std::nullopt;
    // The bits past the last dot of the last byte stay clear.
    if (bits % 8 != 0 && (mask.back() >> (bits % 8)) != 0)
        return std::nullopt;
    int count = 0;
    for (const std::uint8_t byte : mask)
        count += std::popcount(byte);
    if (count == 0)
        return std::nullopt;
    PlaneChange change;
    change.bounds_ = bounds;
    change.dotCount_ = count;
    change.mask_ = std::move(mask);
    return change;
}

std::optional<PlaneChange> PlaneChange::fromDots(std::vector<Dot> dots)
{
    if (dots.empty())
        return std::nullopt;
    Region box{VirtualArea::kMaxX, VirtualArea::kMaxY, VirtualArea::kMinX, VirtualArea::kMinY};
    for (const Dot& dot : dots) {
        if (dot.x >= VirtualArea::kWidth || dot.y >= VirtualArea::kHeight)
            return std::nullopt;
        const int x = VirtualArea::kMinX + dot.x;
        const int y = VirtualArea::kMinY + dot.y;
        box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    }
    PlaneChange change;
    change.bounds_ = box;
    change.dotCount_ = static_cast<int>(dots.size());
    change.dots_ = std::move(dots);
    return change;
}

} // namespace lumidot
