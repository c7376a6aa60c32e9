// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumidot {

class VirtualArea;

// The dots that one drawing operation changed, kept so that it can be taken
// back and done again. Dots are 0 or 1, so a change is the set of dots that
// toggled: applying it once more undoes it.
//
// Stored compactly, whichever is smaller: one bit per dot of the rectangle
// around the changes (a whole-view invert or a clear), or a list of the
// changed dots' coordinates (a pen stroke). Never a copy of the plane.
class PlaneChange {
public:
    PlaneChange() = default;

    // The dots where the two planes differ.
    static PlaneChange between(const VirtualArea& before, const VirtualArea& after);

    bool empty() const { return dotCount_ == 0; }
    int dotCount() const { return dotCount_; }
    // The rectangle around the changed dots (empty when nothing changed).
    const Region& bounds() const { return bounds_; }
    std::size_t bytes() const;

    // Toggles the changed dots: done on the plane after the change it
    // restores the plane before, and the other way round.
    void apply(VirtualArea& area) const;

private:
    Region bounds_;
    int dotCount_ = 0;
    // One bit per dot of bounds_, column by column, when it is the smaller form.
    std::vector<std::uint8_t> mask_;
    // Otherwise the changed dots, as coordinates relative to the plane's corner.
    struct Dot {
        std::uint16_t x;
        std::uint16_t y;
    };
    std::vector<Dot> dots_;
};

} // namespace lumidot
