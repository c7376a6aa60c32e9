// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the picture fuzzer's seeds: ordinary pictures of each format Qt
// reads here, an animated GIF with every disposal, and the files made to
// cost the import as much as their headers claim.
#include "support/GifWriter.h"
#include "support/HostileInputs.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>

using namespace lumidot::testing;

namespace {

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return {bytes.begin(), bytes.end()};
}

QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x ^ y) & 1 ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, (x * 40) & 0xFF));
    return image;
}

GifWriter animation()
{
    GifWriter gif(8, 4, {0xFFFFFF, 0x000000, 0x00FF00}, 1);
    gif.add({0, 0, 8, 4, 1, -1, 10, std::vector<std::uint8_t>(32, 1)});
    gif.add({3, 0, 2, 2, 2, 2, 10, {2, 1, 1, 1}});
    gif.add({6, 2, 2, 2, 3, -1, 10, {1, 0, 1, 0}});
    gif.add({0, 3, 1, 1, 0, -1, 10, {0}});
    return gif;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const std::filesystem::path root = std::filesystem::path(argc > 1 ? argv[1] : "seeds") / "picture";
    std::filesystem::create_directories(root);
    for (const char* format : {"png", "bmp", "ico", "jpg", "ppm", "xpm"})
        write(root / (std::string("pattern.") + format), encoded(pattern(12, 7), format));
    write(root / "animation.gif", animation().bytes());
    write(root / "tiny-frames-on-a-large-screen.gif", gifLargeScreenTinyFrames(300, 40));
    write(root / "lzw-bomb.gif", gifLzwBomb(65535, 65535));
    write(root / "huge-screen.gif", gifLargeScreenTinyFrames(11585, 3));
    const std::vector<std::uint8_t> png = encoded(pattern(16, 16), "png");
    write(root / "shared-entries.ico", icoSharingOneImage(png, 3, 3));
    write(root / "overstated.ico", icoSharingOneImage(png, 1, 500));
    std::vector<std::uint8_t> cut = animation().bytes();
    cut.resize(19);
    write(root / "cut.gif", cut);
    return 0;
}
