// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"
#include "platform/images/PlaneImage.h"
#include "support/GifWriter.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumidot {
namespace {

using testing::GifWriter;

// Each frame as rows: '#' dark, '.' light, 't' transparent.
using Picture = std::vector<std::string>;

Picture picture(const GreyImage& frame)
{
    Picture rows;
    for (int y = 0; y < frame.height; ++y) {
        std::string row;
        for (int x = 0; x < frame.width; ++x)
            row += frame.alphaAt(x, y) < kOpaqueFrom ? 't' : frame.greyAt(x, y) < 128 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

class ImageFilesTest : public ::testing::Test {
protected:
    QTemporaryDir folder;

    QString write(const QString& name, const std::vector<std::uint8_t>& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }

    std::vector<Picture> frames(const QStringList& files, ImageReadError& error)
    {
        std::vector<Picture> out;
        ImageFrames(files).read(
            [&](const GreyImage& frame) {
                out.push_back(picture(frame));
                return true;
            },
            error);
        return out;
    }
};

// White, black, and a green that is only ever the transparent colour. The
// background index is black: "restore to background" must still make the
// area transparent, as browsers show it, not paint it black.
GifWriter disposalGif()
{
    GifWriter gif(8, 4, {0xFFFFFF, 0x000000, 0x00FF00}, 1);
    GifWriter::Frame base{0, 0, 8, 4, 1, -1, 10, {}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            base.pixels.push_back(x < 4 ? 1 : 0);
    gif.add(base);                                           // keep
    gif.add({3, 0, 2, 2, 2, 2, 10, {2, 1, 1, 1}});           // background; one hole
    gif.add({6, 2, 2, 2, 2, -1, 10, {1, 1, 1, 1}});          // background, no transparency
    gif.add({7, 3, 1, 1, 3, -1, 10, {1}});                   // previous
    gif.add({0, 3, 1, 1, 0, -1, 10, {0}});
    return gif;
}

TEST_F(ImageFilesTest, GifFramesAreComposedAsABrowserShowsThem)
{
    const QString path = folder.filePath("anim.gif");
    ASSERT_TRUE(disposalGif().save(path.toStdString()));
    ImageReadError error;
    int count = 0;
    ASSERT_TRUE(ImageFrames({path}).count(count, error));
    EXPECT_EQ(count, 5);
    const std::vector<Picture> got = frames({path}, error);
    EXPECT_FALSE(error.failed()) << error.reason.toStdString();
    const std::vector<Picture> expected = {
        {"####....", "####....", "####....", "####...."},
        {"#####...", "#####...", "####....", "####...."},   // the hole shows the black under it
        {"###tt...", "###tt...", "####..##", "####..##"},   // the last frame's area cleared
        {"###tt...", "###tt...", "####..tt", "####..t#"},
        {"###tt...", "###tt...", "####..tt", ".###..tt"},   // the dot before undone
    };
    EXPECT_EQ(got, expected);
}

TEST_F(ImageFilesTest, DamagedOrForeignFilesAreRefusedWithTheFileNamed)
{
    std::vector<std::uint8_t> cut = disposalGif().bytes();
    cut.resize(830);   // inside the first frame's pixels
    const QString gifPath = write("cut.gif", cut);
    const QString textPath = write("notes.png", {'h', 'e', 'l', 'l', 'o'});
    for (const QString& path : {gifPath, textPath}) {
        ImageReadError countError;
        ImageReadError readError;
        int count = 0;
        const bool counted = ImageFrames({path}).count(count, countError);
        frames({path}, readError);
        EXPECT_TRUE(!counted || readError.failed()) << path.toStdString();
        const ImageReadError& error = counted ? readError : countError;
        EXPECT_TRUE(error.message().contains(path));
    }
}

TEST_F(ImageFilesTest, SeveralFilesComeInNameOrderWithTheirOpacity)
{
    QStringList files;
    for (const int n : {10, 2, 1}) {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 0, 255));
        image.setPixel(1, 0, n == 2 ? qRgba(0, 0, 0, 0) : qRgba(255, 255, 255, 255));
        const QString path = folder.filePath(QStringLiteral("frame%1.png").arg(n));
        ASSERT_TRUE(image.save(path));
        files << path;
    }
    files = ImageFrames::inNameOrder(files);
    EXPECT_TRUE(files[0].endsWith("frame1.png"));
    EXPECT_TRUE(files[1].endsWith("frame2.png"));
    EXPECT_TRUE(files[2].endsWith("frame10.png"));
    ImageReadError error;
    EXPECT_EQ(frames(files, error), (std::vector<Picture>{{"#."}, {"#t"}, {"#."}}));
}

TEST_F(ImageFilesTest, ThePlaneComesBackAtTheSameCoordinates)
{
    VirtualArea area;
    const int corners[][2] = {{VirtualArea::kMinX, VirtualArea::kMinY},
                              {VirtualArea::kMaxX, VirtualArea::kMaxY},
                              {0, 0}, {-1, 7}, {100, -50}};
    for (const auto& c : corners)
        area.setDot(c[0], c[1], 1);
    const QString path = folder.filePath("plane.png");
    ASSERT_TRUE(savePlane(path, area).ok);

    QImageReader reader(path);
    EXPECT_EQ(reader.imageFormat(), QImage::Format_Mono) << "a 1-bit PNG";

    VirtualArea back;
    back.setDot(5, 5, 1);   // replaced with the rest of the plane
    const PlaneFileResult opened = openPlane(path, back, 20, 10);
    ASSERT_TRUE(opened.ok);
    EXPECT_TRUE(opened.atOrigin);
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x)
        for (int y = VirtualArea::kMinY; y <= VirtualArea::kMaxY; ++y)
            ASSERT_EQ(back.dot(x, y), area.dot(x, y)) << x << "," << y;
}

TEST_F(ImageFilesTest, APictureWithoutOriginLandsAtTheWindowReplacingTheDotsUnderIt)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(0, 0, 0));
    image.setPixel(2, 1, qRgb(60, 60, 60));
    const QString path = folder.filePath("small.png");
    ASSERT_TRUE(image.save(path));

    VirtualArea area;
    area.setDot(11, 20, 1);    // under the picture's white: cleared
    area.setDot(40, 40, 1);    // elsewhere: kept
    const PlaneFileResult opened = openPlane(path, area, 10, 20);
    ASSERT_TRUE(opened.ok);
    EXPECT_FALSE(opened.atOrigin);
    EXPECT_EQ(area.dot(10, 20), 1);
    EXPECT_EQ(area.dot(11, 20), 0);
    EXPECT_EQ(area.dot(12, 21), 1);
    EXPECT_EQ(area.dot(40, 40), 1);

    EXPECT_FALSE(openPlane(folder.filePath("missing.png"), area, 0, 0).ok);
    const PlaneFileResult refused = savePlane(folder.filePath("no/such/folder/plane.png"), area);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.message.isEmpty());
}

} // namespace
} // namespace lumidot
