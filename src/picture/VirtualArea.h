// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace lumidot {

// The drawing plane: one byte per dot, 0 = clear, 1 = set. Its bounds cover
// every dot that the LCD window and the editor's view reach at the widest
// scroll limits the settings dialog allows (x -512..512, y -256..256): the
// view at zoom 1 is 64 x 32 dots, so it reaches x 575 and y 287. Pen,
// rectangles, invert, mirror and flip then work alike wherever the window
// stands. Dots outside the plane read as clear and writes to them are
// dropped, so every caller may address any coordinate safely.
class VirtualArea {
public:
    static constexpr int kMinX = -512;
    static constexpr int kMaxX = 512 + 64 - 1;
    static constexpr int kMinY = -256;
    static constexpr int kMaxY = 256 + 32 - 1;
    static constexpr int kWidth = kMaxX - kMinX + 1;   // 1088 columns
    static constexpr int kHeight = kMaxY - kMinY + 1;  // 544 rows
    static constexpr int kDotCount = kWidth * kHeight; // 591,872 dots

    VirtualArea();

    static constexpr bool contains(int x, int y)
    {
        return x >= kMinX && x <= kMaxX && y >= kMinY && y <= kMaxY;
    }

    std::uint8_t dot(int x, int y) const
    {
        return contains(x, y) ? dots_[index(x, y)] : 0;
    }

    // Stores 1 for any non-zero value, so the plane only ever holds 0 or 1.
    void setDot(int x, int y, std::uint8_t value)
    {
        if (contains(x, y))
            dots_[index(x, y)] = value ? 1 : 0;
    }

    // The dots (x, y) .. (x, y + count - 1) of one column as contiguous bytes,
    // or nullptr when any of them lies off the plane.
    const std::uint8_t* columnRun(int x, int y, int count) const
    {
        if (!contains(x, y) || !contains(x, y + count - 1))
            return nullptr;
        return dots_.get() + index(x, y);
    }

    // A whole column of the plane, kHeight bytes from kMinY down; x must lie
    // on the plane.
    const std::uint8_t* column(int x) const { return dots_.get() + index(x, kMinY); }
    std::uint8_t* column(int x) { return dots_.get() + index(x, kMinY); }

    void clearAll();
    void copyFrom(const VirtualArea& other);

private:
    // Addressed as [x][y]: a column of the plane is contiguous.
    static constexpr int index(int x, int y) { return (x - kMinX) * kHeight + (y - kMinY); }

    std::unique_ptr<std::uint8_t[]> dots_;
};

} // namespace lumidot
