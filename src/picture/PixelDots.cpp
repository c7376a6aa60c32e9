// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/PixelDots.h"

#include "picture/Geometry.h"
#include "picture/VirtualArea.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumidot {

namespace {

bool opaque(const GreyImage& image, std::size_t i)
{
    return image.alpha[i] >= kOpaqueFrom;
}

// How dark a pixel counts: 0 light .. 255 dark, swapped by invert.
int darkness(std::uint8_t grey, bool invert)
{
    return invert ? grey : 255 - grey;
}

DotImage blankDots(const GreyImage& image)
{
    DotImage out;
    out.width = image.width;
    out.height = image.height;
    out.dots.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    return out;
}

// The source span [from, to) that each of `count` new pixels covers along one
// axis of `length` source pixels, as (first pixel, weights) pairs.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spansFor(int length, int count)
{
    std::vector<Span> spans(static_cast<std::size_t>(count));
    const double step = static_cast<double>(length) / count;
    for (int k = 0; k < count; ++k) {
        const double from = k * step;
        const double to = (k + 1) * step;
        Span& span = spans[static_cast<std::size_t>(k)];
        span.first = static_cast<int>(std::floor(from));
        const int last = std::min(length - 1, static_cast<int>(std::ceil(to)) - 1);
        for (int p = span.first; p <= last; ++p) {
            const double covered = std::min<double>(to, p + 1) - std::max<double>(from, p);
            span.weights.push_back(static_cast<float>(std::max(0.0, covered)));
        }
    }
    return spans;
}

// Scales the product so that neither side passes the limits, keeping the ratio.
PictureSize withinPlane(double width, double height)
{
    const double shrink = std::min({1.0, VirtualArea::kWidth / width, VirtualArea::kHeight / height});
    return {std::max(1, static_cast<int>(std::lround(width * shrink))),
            std::max(1, static_cast<int>(std::lround(height * shrink)))};
}

} // namespace

GreyImage::GreyImage(int w, int h, std::uint8_t g, std::uint8_t a)
    : width(w)
    , height(h)
    , grey(static_cast<std::size_t>(w) * h, g)
    , alpha(static_cast<std::size_t>(w) * h, a)
{
}

int DotImage::setCount() const
{
    return static_cast<int>(std::count(dots.begin(), dots.end(), std::uint8_t{1}));
}

PictureSize scaledSize(int width, int height, ScaleMode mode, int percent)
{
    if (width <= 0 || height <= 0)
        return {0, 0};
    switch (mode) {
    case ScaleMode::None:
        return {width, height};
    case ScaleMode::FitWindow: {
        const double factor = std::min(static_cast<double>(kLcdCols) / width,
                                       static_cast<double>(kLcdRows) / height);
        return withinPlane(width * factor, height * factor);
    }
    case ScaleMode::FitHeight:
        return withinPlane(static_cast<double>(width) * kLcdRows / height, kLcdRows);
    case ScaleMode::Percent:
        break;
    }
    const double factor = std::clamp(percent, kMinPercent, kMaxPercent) / 100.0;
    return withinPlane(width * factor, height * factor);
}

GreyImage resample(const GreyImage& image, int width, int height)
{
    if (width == image.width && height == image.height)
        return image;
    GreyImage out(width, height);
    if (image.width == 0 || image.height == 0 || width == 0 || height == 0)
        return out;
    const std::vector<Span> columns = spansFor(image.width, width);
    const std::vector<Span> rows = spansFor(image.height, height);

    // Horizontal pass into opacity-weighted grey and opacity, then vertical.
    std::vector<float> ink(static_cast<std::size_t>(width) * image.height);
    std::vector<float> cover(ink.size());
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < width; ++x) {
            const Span& span = columns[static_cast<std::size_t>(x)];
            float g = 0, a = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::size_t i = row + span.first + k;
                const float wa = span.weights[k] * image.alpha[i];
                g += wa * image.grey[i];
                a += wa;
            }
            ink[static_cast<std::size_t>(y) * width + x] = g;
            cover[static_cast<std::size_t>(y) * width + x] = a;
        }
    }
    for (int y = 0; y < height; ++y) {
        const Span& span = rows[static_cast<std::size_t>(y)];
        float total = 0;
        for (const float w : span.weights)
            total += w;
        const float area = total * (static_cast<float>(image.width) / width);
        for (int x = 0; x < width; ++x) {
            float g = 0, a = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::size_t i = (span.first + k) * static_cast<std::size_t>(width) + x;
                g += span.weights[k] * ink[i];
                a += span.weights[k] * cover[i];
            }
            const std::uint8_t grey = a > 0 ? static_cast<std::uint8_t>(std::lround(g / a)) : 255;
            const std::uint8_t alpha =
                static_cast<std::uint8_t>(std::clamp<long>(std::lround(a / area), 0, 255));
            out.set(x, y, grey, alpha);
        }
    }
    return out;
}

int otsuThreshold(const GreyImage& image)
{
    std::array<double, 256> histogram{};
    double count = 0;
    for (std::size_t i = 0; i < image.grey.size(); ++i) {
        if (opaque(image, i)) {
            histogram[image.grey[i]] += 1;
            count += 1;
        }
    }
    double totalSum = 0;
    for (int g = 0; g < 256; ++g)
        totalSum += g * histogram[static_cast<std::size_t>(g)];

    double best = 0;
    int firstBest = -1;
    int lastBest = -1;
    double darkCount = 0;
    double darkSum = 0;
    for (int t = 0; t < 255; ++t) {
        darkCount += histogram[static_cast<std::size_t>(t)];
        darkSum += t * histogram[static_cast<std::size_t>(t)];
        const double lightCount = count - darkCount;
        if (darkCount == 0 || lightCount == 0)
            continue;
        const double meanDiff = darkSum / darkCount - (totalSum - darkSum) / lightCount;
        const double between = darkCount * lightCount * meanDiff * meanDiff;
        // Equal scores form a plateau between two levels; its middle is the
        // choice that survives small changes of the picture.
        if (between > best * (1 + 1e-12)) {
            best = between;
            firstBest = lastBest = t;
        } else if (firstBest >= 0 && between >= best * (1 - 1e-12)) {
            lastBest = t;
        }
    }
    return firstBest < 0 ? 127 : (firstBest + lastBest) / 2;
}

DotImage thresholdDots(const GreyImage& image, int threshold, bool invert)
{
    DotImage out = blankDots(image);
    for (std::size_t i = 0; i < out.dots.size(); ++i) {
        const bool dark = image.grey[i] <= threshold;
        out.dots[i] = opaque(image, i) && dark != invert ? 1 : 0;
    }
    return out;
}

DotImage floydSteinbergDots(const GreyImage& image, bool invert)
{
    DotImage out = blankDots(image);
    const int w = image.width;
    // Errors in sixteenths for this row and the next, one guard cell each side.
    std::vector<int> current(static_cast<std::size_t>(w) + 2, 0);
    std::vector<int> next(current.size(), 0);
    for (int y = 0; y < image.height; ++y) {
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            if (!opaque(image, i))
                continue;   // a hole passes no error on
            const int value = darkness(image.grey[i], invert) * 16 + current[x + 1];
            const bool set = value >= 128 * 16;
            out.dots[i] = set ? 1 : 0;
            const int error = value - (set ? 255 * 16 : 0);
            current[x + 2] += error * 7 / 16;
            next[x] += error * 3 / 16;
            next[x + 1] += error * 5 / 16;
            next[x + 2] += error / 16;
        }
        std::swap(current, next);
    }
    return out;
}

DotImage bayerDots(const GreyImage& image, bool invert)
{
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    DotImage out = blankDots(image);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * image.width + x;
            const int level = kBayer[y % 4][x % 4] * 16 + 8;   // 8, 24, .. 248
            out.dots[i] = opaque(image, i) && darkness(image.grey[i], invert) >= level ? 1 : 0;
        }
    }
    return out;
}

DotImage convertToDots(const GreyImage& image, const DotConversion& conversion)
{
    const PictureSize size =
        scaledSize(image.width, image.height, conversion.scale, conversion.percent);
    const GreyImage scaled = resample(image, size.width, size.height);
    switch (conversion.method) {
    case DotMethod::FloydSteinberg:
        return floydSteinbergDots(scaled, conversion.invert);
    case DotMethod::Bayer:
        return bayerDots(scaled, conversion.invert);
    case DotMethod::Threshold:
        break;
    }
    const int threshold = conversion.autoThreshold ? otsuThreshold(scaled) : conversion.threshold;
    return thresholdDots(scaled, threshold, conversion.invert);
}

void placeDots(VirtualArea& area, const DotImage& dots, int x, int y, Placement placement)
{
    for (int row = 0; row < dots.height; ++row) {
        for (int col = 0; col < dots.width; ++col) {
            const std::uint8_t dot = dots.at(col, row);
            if (dot || placement == Placement::Replace)
                area.setDot(x + col, y + row, dot);
        }
    }
}

} // namespace lumidot
