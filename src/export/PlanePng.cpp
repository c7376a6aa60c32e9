// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PlanePng.h"

#include "picture/VirtualArea.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kRowBytes = (VirtualArea::kWidth + 7) / 8;
// Larger chunks than this are no picture of the plane.
constexpr std::uint32_t kLargestChunk = 64u * 1024 * 1024;

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t get32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data)
{
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<std::uint32_t>(crc));
}

std::string originText()
{
    return std::to_string(VirtualArea::kMinX) + "," + std::to_string(VirtualArea::kMinY);
}

// The rows as PNG filters them: a filter byte 0, then one bit a pixel.
std::vector<std::uint8_t> rawRows(const VirtualArea& area)
{
    std::vector<std::uint8_t> raw((kRowBytes + 1) * VirtualArea::kHeight, 0);
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x) {
        const std::uint8_t* column = area.column(x);
        const int px = x - VirtualArea::kMinX;
        const std::size_t byteInRow = 1 + static_cast<std::size_t>(px / 8);
        const auto bit = static_cast<std::uint8_t>(0x80u >> (px % 8));
        for (int row = 0; row < VirtualArea::kHeight; ++row)
            if (column[row])
                raw[static_cast<std::size_t>(row) * (kRowBytes + 1) + byteInRow] |= bit;
    }
    return raw;
}

} // namespace

std::vector<std::uint8_t> encodePlanePng(const VirtualArea& area)
{
    std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
    std::vector<std::uint8_t> header;
    put32(header, VirtualArea::kWidth);
    put32(header, VirtualArea::kHeight);
    header.insert(header.end(), {1, 3, 0, 0, 0});   // 1 bit, palette, deflate, no filter choice, not interlaced
    putChunk(out, "IHDR", header);
    putChunk(out, "PLTE", std::array<std::uint8_t, 6>{255, 255, 255, 0, 0, 0});
    std::string text(kPlaneOriginKey);
    text.push_back('\0');
    text += originText();
    putChunk(out, "tEXt", {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    const std::vector<std::uint8_t> raw = rawRows(area);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6);
    packed.resize(size);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}

namespace {

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;
};

// Samples a pixel and bytes a pixel (at least 1) of a colour type.
int channels(int colourType)
{
    switch (colourType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
    }
}

bool supported(const Header& h)
{
    if (h.interlace != 0)
        return false;
    switch (h.colourType) {
    case 0:
        return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
    case 3:
        return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
    case 2:
    case 4:
    case 6:
        return h.depth == 8;
    default:
        return false;
    }
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the filters in place; false for a filter type PNG does not have.
bool unfilter(std::vector<std::uint8_t>& data, std::size_t rowBytes, std::size_t height, int pixelBytes)
{
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = data.data() + y * (rowBytes + 1);
        const std::uint8_t* prior = y ? data.data() + (y - 1) * (rowBytes + 1) + 1 : nullptr;
        const int filter = row[0];
        std::uint8_t* cur = row + 1;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= static_cast<std::size_t>(pixelBytes) ? cur[i - pixelBytes] : 0;
            const int b = prior ? prior[i] : 0;
            const int c = prior && i >= static_cast<std::size_t>(pixelBytes) ? prior[i - pixelBytes] : 0;
            int add = 0;
            switch (filter) {
            case 0: add = 0; break;
            case 1: add = a; break;
            case 2: add = b; break;
            case 3: add = (a + b) / 2; break;
            case 4: add = paeth(a, b, c); break;
            default: return false;
            }
            cur[i] = static_cast<std::uint8_t>(cur[i] + add);
        }
    }
    return true;
}

// Inflates exactly expected bytes: more or fewer is a damaged picture, and
// no more than expected is ever held, whatever the stream claims.
bool inflateExactly(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& out, std::size_t expected)
{
    if (packed.size() > std::numeric_limits<uInt>::max() || expected > std::numeric_limits<uInt>::max())
        return false;
    out.assign(expected, 0);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(expected);
    // Z_FINISH with room for exactly the expected bytes: a longer stream
    // stops with Z_BUF_ERROR, a shorter one ends with room left.
    const int status = inflate(&stream, Z_FINISH);
    const bool exact = status == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
    return exact;
}

struct Palette {
    std::array<std::uint8_t, 256> grey{};
    int size = 0;
};

// The grey of a colour as Qt weighs it, over white where it is transparent.
std::uint8_t greyOf(int r, int g, int b, int alpha)
{
    const int grey = (r * 11 + g * 16 + b * 5) / 32;
    return static_cast<std::uint8_t>((grey * alpha + 255 * (255 - alpha)) / 255);
}

std::uint8_t sampleGrey(const Header& h, const std::uint8_t* row, std::size_t x, const Palette& palette)
{
    if (h.depth < 8) {
        const std::size_t bit = x * static_cast<std::size_t>(h.depth);
        const int shift = 8 - h.depth - static_cast<int>(bit % 8);
        const int value = (row[bit / 8] >> shift) & ((1 << h.depth) - 1);
        if (h.colourType == 3)
            return value < palette.size ? palette.grey[value] : 255;
        return static_cast<std::uint8_t>(value * 255 / ((1 << h.depth) - 1));
    }
    const std::uint8_t* p = row + x * static_cast<std::size_t>(channels(h.colourType));
    switch (h.colourType) {
    case 0: return p[0];
    case 3: return p[0] < palette.size ? palette.grey[p[0]] : 255;
    case 2: return greyOf(p[0], p[1], p[2], 255);
    case 4: return greyOf(p[0], p[0], p[0], p[1]);
    default: return greyOf(p[0], p[1], p[2], p[3]);
    }
}

PlanePngRead refused(PlanePngFault fault, std::size_t offset, std::string error)
{
    return {fault, offset, std::move(error)};
}

bool isOrigin(std::span<const std::uint8_t> data, bool& wrong)
{
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    const auto zero = text.find('\0');
    if (zero == std::string_view::npos || text.substr(0, zero) != kPlaneOriginKey)
        return false;
    wrong = text.substr(zero + 1) != originText();
    return true;
}

} // namespace

PlanePngRead decodePlanePng(std::span<const std::uint8_t> png, VirtualArea& area)
{
    if (png.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), png.begin()))
        return refused(PlanePngFault::NotPng, 0, "no PNG signature");
    std::optional<Header> header;
    Palette palette;
    std::vector<std::uint8_t> packed;
    bool ended = false;
    std::size_t pos = kSignature.size();
    while (!ended) {
        if (png.size() - pos < 12)
            return refused(PlanePngFault::Damaged, pos, "chunk cut short");
        const std::uint32_t length = get32(png.data() + pos);
        if (length > kLargestChunk || png.size() - pos - 12 < length)
            return refused(PlanePngFault::Damaged, pos, "chunk longer than the file");
        const std::string_view type(reinterpret_cast<const char*>(png.data() + pos + 4), 4);
        const auto data = png.subspan(pos + 8, length);
        const uLong crc = crc32(0L, png.data() + pos + 4, static_cast<uInt>(length + 4));
        if (static_cast<std::uint32_t>(crc) != get32(png.data() + pos + 8 + length))
            return refused(PlanePngFault::Damaged, pos, "chunk checksum wrong");
        if (!header && type != "IHDR")
            return refused(PlanePngFault::Damaged, pos, "no IHDR first");
        if (type == "IHDR") {
            if (header || length != 13)
                return refused(PlanePngFault::Damaged, pos, "bad IHDR");
            header = Header{get32(data.data()), get32(data.data() + 4), data[8], data[9], data[12]};
            if (!supported(*header))
                return refused(PlanePngFault::Unsupported, pos, "interlaced, 16-bit or unknown colour type");
            if (header->width != VirtualArea::kWidth || header->height != VirtualArea::kHeight)
                return refused(PlanePngFault::WrongSize, pos,
                               "picture is " + std::to_string(header->width) + " x " +
                                   std::to_string(header->height) + ", the plane " +
                                   std::to_string(VirtualArea::kWidth) + " x " +
                                   std::to_string(VirtualArea::kHeight));
        } else if (type == "PLTE") {
            if (length % 3 != 0 || length / 3 > 256)
                return refused(PlanePngFault::Damaged, pos, "bad palette");
            palette.size = static_cast<int>(length / 3);
            for (int k = 0; k < palette.size; ++k)
                palette.grey[k] = greyOf(data[3 * k], data[3 * k + 1], data[3 * k + 2], 255);
        } else if (type == "tRNS" && header->colourType == 3) {
            for (std::size_t k = 0; k < data.size() && k < static_cast<std::size_t>(palette.size); ++k)
                palette.grey[k] = static_cast<std::uint8_t>(
                    (palette.grey[k] * data[k] + 255 * (255 - data[k])) / 255);
        } else if (type == "tEXt") {
            bool wrong = false;
            if (isOrigin(data, wrong) && wrong)
                return refused(PlanePngFault::WrongOrigin, pos, "origin is not the plane's corner");
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data.begin(), data.end());
        } else if (type == "IEND") {
            ended = true;
        }
        pos += 12 + length;
    }
    if (header->colourType == 3 && palette.size == 0)
        return refused(PlanePngFault::Damaged, pos, "palette picture without a palette");
    const int bitsPerPixel = header->depth * channels(header->colourType);
    const std::size_t rowBytes = (static_cast<std::size_t>(header->width) * bitsPerPixel + 7) / 8;
    std::vector<std::uint8_t> raw;
    if (!inflateExactly(packed, raw, (rowBytes + 1) * header->height) ||
        !unfilter(raw, rowBytes, header->height, std::max(1, bitsPerPixel / 8)))
        return refused(PlanePngFault::Damaged, pos, "picture data damaged");
    for (int row = 0; row < VirtualArea::kHeight; ++row) {
        const std::uint8_t* line = raw.data() + static_cast<std::size_t>(row) * (rowBytes + 1) + 1;
        for (int px = 0; px < VirtualArea::kWidth; ++px)
            area.column(VirtualArea::kMinX + px)[row] =
                sampleGrey(*header, line, static_cast<std::size_t>(px), palette) <= 127 ? 1 : 0;
    }
    return {};
}

} // namespace lumidot
