// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // A changed dot, relative to the plane's corner (kMinX, kMinY).
    struct Dot {
        std::uint16_t x;
        std::uint16_t y;
    };

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

    // The stored form, for the recovery journal: the mask (empty when the
    // change is a list of dots) or the dots.
    const std::vector<std::uint8_t>& mask() const { return mask_; }
    const std::vector<Dot>& dots() const { return dots_; }
    // A change rebuilt from its stored form, as read back from a file that
    // may be damaged: none unless every dot lies on the plane, the mask has
    // one bit per dot of bounds and no bit beyond, and something changes.
    static std::optional<PlaneChange> fromMask(const Region& bounds, std::vector<std::uint8_t> mask);
    static std::optional<PlaneChange> fromDots(std::vector<Dot> dots);

private:
    Region bounds_;
    int dotCount_ = 0;
    // One bit per dot of bounds_, column by column, when it is the smaller form.
    std::vector<std::uint8_t> mask_;
    // Otherwise the changed dots.
    std::vector<Dot> dots_;
};

} // namespace lumidot
