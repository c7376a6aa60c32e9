// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/IconDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace lumidot {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

std::uint32_t little(std::span<const std::uint8_t> bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k)
        value = value << 8 | bytes[at + static_cast<std::size_t>(k)];
    return value;
}

struct ImageData {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::size_t entry = 0;
};

std::uint32_t big(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The size an image's data states: a PNG's header, or a bitmap's info
// header, whose height counts the colours and the mask.
IconImage statedSize(std::span<const std::uint8_t> data)
{
    static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data.size() >= 24 && std::equal(std::begin(kPng), std::end(kPng), data.begin()))
        return {big(data, 16), big(data, 20)};
    if (data.size() >= 12 && little(data, 0, 4) >= 12) {
        const auto width = static_cast<std::int32_t>(little(data, 4, 4));
        const auto height = static_cast<std::int32_t>(little(data, 8, 4));
        return {std::abs(static_cast<std::int64_t>(width)), std::abs(static_cast<std::int64_t>(height)) / 2};
    }
    return {};
}

// What is inconsistent in the directory of count entries; empty when nothing.
std::string directoryFault(std::span<const std::uint8_t> bytes, std::size_t count)
{
    if (count == 0)
        return "the icon directory lists no image";
    const std::size_t directoryEnd = kHeaderSize + kEntrySize * count;
    if (directoryEnd > bytes.size())
        return "the header counts " + std::to_string(count) + " images, but the file ends within their directory";
    std::vector<ImageData> images;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = kHeaderSize + kEntrySize * k;
        const std::uint64_t size = little(bytes, at + 8, 4);
        const std::uint64_t offset = little(bytes, at + 12, 4);
        if (size == 0 || offset < directoryEnd || offset + size > bytes.size())
            return "image " + std::to_string(k + 1) + " of " + std::to_string(count) + " lies outside the file";
        images.push_back({offset, offset + size, k});
    }
    std::sort(images.begin(), images.end(), [](const ImageData& a, const ImageData& b) {
        return a.begin < b.begin || (a.begin == b.begin && a.entry < b.entry);
    });
    for (std::size_t k = 1; k < images.size(); ++k) {
        if (images[k].begin < images[k - 1].end) {
            const auto [first, second] = std::minmax(images[k - 1].entry, images[k].entry);
            return "images " + std::to_string(first + 1) + " and " + std::to_string(second + 1) +
                   " share their data";
        }
    }
    return {};
}

} // namespace

bool isIconData(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kHeaderSize && bytes[0] == 0 && bytes[1] == 0 &&
           (bytes[2] == 1 || bytes[2] == 2) && bytes[3] == 0;
}

bool readIconDirectory(std::span<const std::uint8_t> bytes, std::vector<IconImage>& images, std::string& fault)
{
    images.clear();
    if (!isIconData(bytes)) {
        fault = "not an icon file";
        return false;
    }
    const std::size_t count = little(bytes, 4, 2);
    fault = directoryFault(bytes, count);
    if (!fault.empty())
        return false;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = kHeaderSize + kEntrySize * k;
        images.push_back(statedSize(bytes.subspan(little(bytes, at + 12, 4), little(bytes, at + 8, 4))));
    }
    return true;
}

} // namespace lumidot
