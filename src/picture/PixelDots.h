// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <utility>
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

// A rectangle of pixels: columns left .. left + width - 1, rows top .. top + height - 1.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    std::int64_t area() const { return empty() ? 0 : static_cast<std::int64_t>(width) * height; }
    PixelRect intersected(const PixelRect& other) const;
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect united(const PixelRect& other) const;
    bool operator==(const PixelRect&) const = default;
};

// The size a picture of width x height takes in dots. Fitting keeps the
// aspect ratio; no side becomes smaller than one dot, none larger than the
// plane can show. Without scaling a picture larger than the plane is cut to
// the plane's size from its top-left pixel: wherever it is placed, no dot
// beyond that lands on the plane.
PictureSize scaledSize(int width, int height, ScaleMode mode, int percent);

// The picture resampled to width x height by averaging the area that each
// new pixel covers; opacity weighs the grey levels.
GreyImage resample(const GreyImage& image, int width, int height);

// Resamples as resample() does, in two passes: each source row across into
// sums of opacity-weighted grey and of opacity, which are kept, then down.
// After a rectangle of the source changed, only the sums and pixels whose
// spans reach into it are computed again, to the same values.
class AreaResampler {
public:
    // Computes every pixel of out from image; out's size is the new size.
    // Returns the source pixels read.
    std::int64_t start(const GreyImage& image, GreyImage& out);
    // Computes again what the change of `changed` in image (of the size
    // given to start) reaches.
    std::int64_t update(const GreyImage& image, const PixelRect& changed, GreyImage& out);

private:
    // The source pixels that one new pixel covers along an axis, from
    // `first`, each with its covered fraction.
    struct Span {
        int first = 0;
        std::vector<float> weights;
    };
    static std::vector<Span> spansFor(int length, int count);
    // The new pixels [first, end) whose spans reach into [from, to).
    static std::pair<int, int> reaching(const std::vector<Span>& spans, int from, int to);
    std::int64_t across(const GreyImage& image, int fromRow, int toRow, int fromCol, int toCol);
    std::int64_t down(const GreyImage& image, GreyImage& out, int fromRow, int toRow, int fromCol, int toCol);

    std::vector<Span> columns_;
    std::vector<Span> rows_;
    std::vector<float> ink_;     // new width x source height
    std::vector<float> cover_;
    int width_ = 0;              // the new width
};

// The picture a conversion makes its dots from: scaled, or without scaling
// cut to the plane's size.
GreyImage scaledPicture(const GreyImage& image, const DotConversion& conversion);

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

// Converts the frames of an animation one after the other, as convertToDots
// converts each. The picture scaled from the frame before is kept, so that a
// frame that changed only a rectangle of the picture is resampled only where
// its scaled pixels can have changed; the dots are then made from the whole
// scaled picture, as Otsu's threshold and error diffusion need it.
class FrameConverter {
public:
    explicit FrameConverter(const DotConversion& conversion) : conversion_(conversion) {}

    // changed: the pixels that differ from the frame before; ignored for the
    // first frame and for a frame of another size.
    DotImage convert(const GreyImage& frame, const PixelRect& changed);
    // The work of the last frame: source pixels read and dots made (each
    // kDotWork).
    std::int64_t lastWork() const { return lastWork_; }

private:
    DotConversion conversion_;
    AreaResampler resampler_;
    GreyImage scaled_;
    int sourceWidth_ = -1;
    int sourceHeight_ = -1;
    std::int64_t lastWork_ = 0;
};

// Puts the dots on the plane with their top-left dot at (x, y). Replace
// writes every dot of the picture, Add only its set dots. Dots off the plane
// are dropped.
void placeDots(VirtualArea& area, const DotImage& dots, int x, int y, Placement placement);

} // namespace lumidot
