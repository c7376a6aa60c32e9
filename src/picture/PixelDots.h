// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace lumidot {

class VirtualArea;

// A picture as the dot conversion sees it, row by row: grey levels from 0
// (black) to 255 (white) and opacities from 0 (transparent) to 255.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;
    std::vector<std::uint8_t> alpha;

    GreyImage() = default;
    GreyImage(int width, int height, std::uint8_t grey = 255, std::uint8_t alpha = 255);

    std::uint8_t greyAt(int x, int y) const { return grey[index(x, y)]; }
    std::uint8_t alphaAt(int x, int y) const { return alpha[index(x, y)]; }
    void set(int x, int y, std::uint8_t g, std::uint8_t a = 255)
    {
        grey[index(x, y)] = g;
        alpha[index(x, y)] = a;
    }
    int index(int x, int y) const { return y * width + x; }
};

// Pixels less opaque than this are transparent: they become clear dots.
inline constexpr int kOpaqueFrom = 128;

// Dots row by row, 1 = set (dark), 0 = clear.
struct DotImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;

    std::uint8_t at(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x]; }
    int setCount() const;
};

enum class DotMethod { Threshold, FloydSteinberg, Bayer };
enum class ScaleMode { None, FitWindow, FitHeight, Percent };
enum class Placement { Replace, Add };

inline constexpr int kMinPercent = 1;
inline constexpr int kMaxPercent = 800;

// How pixels become dots. Dark pixels become set dots; invert swaps dark and
// light; transparent pixels are always clear.
struct DotConversion {
    ScaleMode scale = ScaleMode::FitWindow;
    int percent = 100;
    DotMethod method = DotMethod::Threshold;
    int threshold = 127;        // grey levels up to this one are dark
    bool autoThreshold = true;  // Otsu's choice for each picture instead of threshold
    bool invert = false;

    bool operator==(const DotConversion&) const = default;
};

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size a picture of width x height takes in dots. Fitting keeps the
// aspect ratio; no side becomes smaller than one dot, none larger than the
// plane can show.
PictureSize scaledSize(int width, int height, ScaleMode mode, int percent);

// The picture resampled to width x height by averaging the area that each
// new pixel covers; opacity weighs the grey levels.
GreyImage resample(const GreyImage& image, int width, int height);

// Otsu's threshold over the opaque pixels: the grey level that splits them
// into dark (up to it) and light with the largest variance between the two.
// 127 when there is nothing to split.
int otsuThreshold(const GreyImage& image);

DotImage thresholdDots(const GreyImage& image, int threshold, bool invert);
DotImage floydSteinbergDots(const GreyImage& image, bool invert);
// Ordered dithering with the 4 x 4 Bayer matrix, its phase at the picture's
// top-left pixel.
DotImage bayerDots(const GreyImage& image, bool invert);

// Scaling, then the conversion to dots.
DotImage convertToDots(const GreyImage& image, const DotConversion& conversion);

// Puts the dots on the plane with their top-left dot at (x, y). Replace
// writes every dot of the picture, Add only its set dots. Dots off the plane
// are dropped.
void placeDots(VirtualArea& area, const DotImage& dots, int x, int y, Placement placement);

} // namespace lumidot
