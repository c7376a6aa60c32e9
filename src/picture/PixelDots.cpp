// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/PixelDots.h"

#include "picture/DecodeLimits.h"
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

// Scales the product so that neither side passes the limits, keeping the ratio.
PictureSize withinPlane(double width, double height)
{
    const double shrink = std::min({1.0, VirtualArea::kWidth / width, VirtualArea::kHeight / height});
    return {std::max(1, static_cast<int>(std::lround(width * shrink))),
            std::max(1, static_cast<int>(std::lround(height * shrink)))};
}

// The pixels of area copied from the same place in image, which holds them.
std::int64_t copyArea(const GreyImage& image, GreyImage& out, const PixelRect& area)
{
    for (int y = area.top; y < area.top + area.height; ++y) {
        const auto from = static_cast<std::ptrdiff_t>(image.index(area.left, y));
        const auto to = static_cast<std::ptrdiff_t>(out.index(area.left, y));
        std::copy_n(image.grey.begin() + from, area.width, out.grey.begin() + to);
        std::copy_n(image.alpha.begin() + from, area.width, out.alpha.begin() + to);
    }
    return area.area();
}

DotImage dotsFrom(const GreyImage& scaled, const DotConversion& conversion)
{
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

} // namespace

PixelRect PixelRect::intersected(const PixelRect& other) const
{
    const int l = std::max(left, other.left);
    const int t = std::max(top, other.top);
    const int r = std::min(left + width, other.left + other.width);
    const int b = std::min(top + height, other.top + other.height);
    if (r <= l || b <= t)
        return {};
    return {l, t, r - l, b - t};
}

PixelRect PixelRect::united(const PixelRect& other) const
{
    if (other.empty())
        return *this;
    if (empty())
        return other;
    const int l = std::min(left, other.left);
    const int t = std::min(top, other.top);
    const int r = std::max(left + width, other.left + other.width);
    const int b = std::max(top + height, other.top + other.height);
    return {l, t, r - l, b - t};
}

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
        return {std::min(width, VirtualArea::kWidth), std::min(height, VirtualArea::kHeight)};
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
    AreaResampler().start(image, out);
    return out;
}

std::vector<AreaResampler::Span> AreaResampler::spansFor(int length, int count)
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

std::pair<int, int> AreaResampler::reaching(const std::vector<Span>& spans, int from, int to)
{
    int first = 0;
    const int count = static_cast<int>(spans.size());
    while (first < count && spans[static_cast<std::size_t>(first)].first +
                                    static_cast<int>(spans[static_cast<std::size_t>(first)].weights.size()) <= from)
        ++first;
    int end = first;
    while (end < count && spans[static_cast<std::size_t>(end)].first < to)
        ++end;
    return {first, end};
}

std::int64_t AreaResampler::start(const GreyImage& image, GreyImage& out)
{
    width_ = out.width;
    columns_.clear();
    rows_.clear();
    ink_.clear();
    cover_.clear();
    if (image.width == 0 || image.height == 0 || out.width == 0 || out.height == 0)
        return 0;
    columns_ = spansFor(image.width, out.width);
    rows_ = spansFor(image.height, out.height);
    ink_.assign(static_cast<std::size_t>(width_) * image.height, 0.0f);
    cover_.assign(ink_.size(), 0.0f);
    return across(image, 0, image.height, 0, out.width) + down(image, out, 0, out.height, 0, out.width);
}

std::int64_t AreaResampler::update(const GreyImage& image, const PixelRect& changed, GreyImage& out)
{
    const PixelRect inImage = changed.intersected({0, 0, image.width, image.height});
    if (inImage.empty() || columns_.empty())
        return 0;
    const auto [fromCol, toCol] = reaching(columns_, inImage.left, inImage.left + inImage.width);
    const auto [fromRow, toRow] = reaching(rows_, inImage.top, inImage.top + inImage.height);
    return across(image, inImage.top, inImage.top + inImage.height, fromCol, toCol) +
           down(image, out, fromRow, toRow, fromCol, toCol);
}

// Opacity-weighted grey and opacity, summed across each new column's span.
std::int64_t AreaResampler::across(const GreyImage& image, int fromRow, int toRow, int fromCol, int toCol)
{
    std::int64_t read = 0;
    for (int y = fromRow; y < toRow; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * image.width;
        const std::size_t line = static_cast<std::size_t>(y) * width_;
        for (int x = fromCol; x < toCol; ++x) {
            const Span& span = columns_[static_cast<std::size_t>(x)];
            float g = 0, a = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::size_t i = row + span.first + k;
                const float wa = span.weights[k] * image.alpha[i];
                g += wa * image.grey[i];
                a += wa;
            }
            ink_[line + x] = g;
            cover_[line + x] = a;
            read += static_cast<std::int64_t>(span.weights.size());
        }
    }
    return read;
}

// The sums down each new row's span, averaged over the area covered.
std::int64_t AreaResampler::down(const GreyImage& image, GreyImage& out, int fromRow, int toRow, int fromCol,
                                 int toCol)
{
    std::int64_t read = 0;
    for (int y = fromRow; y < toRow; ++y) {
        const Span& span = rows_[static_cast<std::size_t>(y)];
        float total = 0;
        for (const float weight : span.weights)
            total += weight;
        const float area = total * (static_cast<float>(image.width) / width_);
        for (int x = fromCol; x < toCol; ++x) {
            float g = 0, a = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::size_t i = (span.first + k) * static_cast<std::size_t>(width_) + x;
                g += span.weights[k] * ink_[i];
                a += span.weights[k] * cover_[i];
            }
            const std::uint8_t grey = a > 0 ? static_cast<std::uint8_t>(std::lround(g / a)) : 255;
            const std::uint8_t alpha =
                static_cast<std::uint8_t>(std::clamp<long>(std::lround(a / area), 0, 255));
            out.set(x, y, grey, alpha);
            read += static_cast<std::int64_t>(span.weights.size());
        }
    }
    return read;
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
    return FrameConverter(conversion).convert(image, {});
}

GreyImage scaledPicture(const GreyImage& image, const DotConversion& conversion)
{
    const PictureSize size = scaledSize(image.width, image.height, conversion.scale, conversion.percent);
    if (conversion.scale != ScaleMode::None)
        return resample(image, size.width, size.height);
    GreyImage cut(size.width, size.height);
    copyArea(image, cut, {0, 0, size.width, size.height});
    return cut;
}

DotImage FrameConverter::convert(const GreyImage& frame, const PixelRect& changed)
{
    const PictureSize size = scaledSize(frame.width, frame.height, conversion_.scale, conversion_.percent);
    const PixelRect whole{0, 0, size.width, size.height};
    // Without scaling, or at the same size, the pixels are the scaled
    // picture's as they are; without scaling the picture is only cut.
    const bool copied = conversion_.scale == ScaleMode::None ||
                        (size.width == frame.width && size.height == frame.height);
    const bool restart = frame.width != sourceWidth_ || frame.height != sourceHeight_;
    if (restart) {
        scaled_ = GreyImage(size.width, size.height);
        sourceWidth_ = frame.width;
        sourceHeight_ = frame.height;
    }
    if (copied)
        lastWork_ = copyArea(frame, scaled_, restart ? whole : changed.intersected(whole));
    else
        lastWork_ = restart ? resampler_.start(frame, scaled_) : resampler_.update(frame, changed, scaled_);
    lastWork_ += whole.area() * kDotWork;
    return dotsFrom(scaled_, conversion_);
}

void placeDots(VirtualArea& area, const DotImage& dots, int x, int y, Placement placement)
{
    // Only the part that lands on the plane is visited.
    const int firstRow = std::clamp(VirtualArea::kMinY - y, 0, dots.height);
    const int endRow = std::clamp(VirtualArea::kMaxY + 1 - y, firstRow, dots.height);
    const int firstCol = std::clamp(VirtualArea::kMinX - x, 0, dots.width);
    const int endCol = std::clamp(VirtualArea::kMaxX + 1 - x, firstCol, dots.width);
    for (int row = firstRow; row < endRow; ++row) {
        for (int col = firstCol; col < endCol; ++col) {
            const std::uint8_t dot = dots.at(col, row);
            if (dot || placement == Placement::Replace)
                area.setDot(x + col, y + row, dot);
        }
    }
}

} // namespace lumidot
