// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures made to cost the import as much as their headers claim, or to be
// accepted though they are inconsistent.
#include "export/OpenCommand.h"
#include "export/PlanePng.h"
#include "picture/DecodeLimits.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"
#include "platform/images/PlaneImage.h"
#include "support/HostileInputs.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumidot {
namespace {

using namespace lumidot::testing;
using Kind = ImageReadError::Kind;

class HostilePictures : public ::testing::Test {
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

    static std::vector<std::uint8_t> png(int width, int height, const char* origin = nullptr)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(0, 0, 0));
        if (origin)
            image.setText(QString::fromLatin1(kPlaneOriginKey.data(), static_cast<qsizetype>(kPlaneOriginKey.size())), QString::fromLatin1(origin));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return {bytes.begin(), bytes.end()};
    }

    static ImageReadError countError(const QString& path)
    {
        int frames = 0;
        ImageReadError error;
        EXPECT_FALSE(ImageFrames({path}).count(frames, error)) << path.toStdString();
        return error;
    }
};

// Refused by the sizes the file states, before a pixel is decoded: a frame
// of 65,535 x 65,535 from 1.6 MB, a screen of 134 million pixels, and frames
// that together would take too long to convert.
TEST_F(HostilePictures, StatedSizesAndTotalWorkAreRefusedBeforeDecoding)
{
    const ImageReadError bomb = countError(write("bomb.gif", gifLzwBomb(65535, 65535)));
    EXPECT_EQ(bomb.kind, Kind::TooLarge);
    EXPECT_TRUE(bomb.reason.contains("65535 x 65535")) << bomb.reason.toStdString();
    EXPECT_TRUE(bomb.message().contains(QString::number(kLargestPicturePixels / 10000) + " 万ピクセルまで"))
        << bomb.message().toStdString();

    const QString screen = write("screen.gif", gifLargeScreenTinyFrames(11585, 3));
    EXPECT_EQ(countError(screen).kind, Kind::TooLarge);
    ImageReadError readError;
    EXPECT_FALSE(ImageFrames({screen}).read([](const GreyImage&) { return true; }, readError));
    EXPECT_EQ(readError.kind, Kind::TooLarge);

    std::vector<GifFrameData> full;
    for (int k = 0; k < 50; ++k)
        full.push_back({0, 0, 3000, 3000, uniformLzw(3000 * 3000)});
    const ImageReadError work = countError(write("work.gif", gifFile(3000, 3000, full)));
    EXPECT_EQ(work.kind, Kind::TooMuchWork);
    EXPECT_TRUE(work.reason.contains("50 frames")) << work.reason.toStdString();

    // Icon images are counted by the sizes their data states, before Qt
    // decodes any of them.
    const ImageReadError icons = countError(write("copies.ico", icoOfCopies(png(3000, 3000), 10)));
    EXPECT_EQ(icons.kind, Kind::TooMuchWork) << icons.reason.toStdString();
    int frames = 0;
    ImageReadError fine;
    EXPECT_TRUE(ImageFrames({write("few.ico", icoOfCopies(png(3000, 3000), 2))}).count(frames, fine));
    EXPECT_EQ(frames, 2);
}

// A large screen whose frames each change one pixel is read, and each
// frame's dots are those of the whole frame converted.
TEST_F(HostilePictures, ALargeScreenOfTinyChangesConvertsOnlyWhatChanged)
{
    const QString path = write("tiny.gif", gifLargeScreenTinyFrames(1500, 300));
    const ImageFrames frames({path});
    int count = 0;
    ImageReadError error;
    ASSERT_TRUE(frames.count(count, error)) << error.reason.toStdString();
    EXPECT_EQ(count, 300);
    DotConversion conversion;
    conversion.method = DotMethod::FloydSteinberg;
    std::vector<std::vector<std::uint8_t>> converted;
    ASSERT_TRUE(frames.convert(conversion, [&](DotImage&& dots) {
        converted.push_back(dots.dots);
        return true;
    }, error)) << error.reason.toStdString();
    std::vector<std::vector<std::uint8_t>> whole;
    ASSERT_TRUE(frames.read([&](const GreyImage& frame) {
        whole.push_back(convertToDots(frame, conversion).dots);
        return whole.size() < 40;
    }, error));
    ASSERT_EQ(converted.size(), 300u);
    for (std::size_t k = 0; k < whole.size(); ++k)
        ASSERT_EQ(converted[k], whole[k]) << "frame " << k;
}

// What is inconsistent is refused with a reason: an icon header that counts
// images the file does not hold, icon entries that share one image, a GIF
// cut inside its header.
TEST_F(HostilePictures, InconsistentFilesAreRefusedWithAReason)
{
    const std::vector<std::uint8_t> small = png(16, 16);
    const ImageReadError overstated = countError(write("overstated.ico", icoSharingOneImage(small, 1, 500)));
    EXPECT_EQ(overstated.kind, Kind::Damaged);
    EXPECT_TRUE(overstated.reason.contains("500 images")) << overstated.reason.toStdString();
    const ImageReadError shared = countError(write("shared.ico", icoSharingOneImage(small, 3, 3)));
    EXPECT_TRUE(shared.reason.contains("images 1 and 2 share their data")) << shared.reason.toStdString();
    int frames = 0;
    ImageReadError fine;
    EXPECT_TRUE(ImageFrames({write("one.ico", icoSharingOneImage(small, 1, 1))}).count(frames, fine))
        << fine.reason.toStdString();

    const std::vector<std::uint8_t> gif = gifLargeScreenTinyFrames(4, 2);
    for (const std::size_t size : {6u, 10u, 13u, 19u}) {
        const ImageReadError cut = countError(write("cut.gif", {gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(size)}));
        EXPECT_EQ(cut.kind, Kind::Damaged) << size;
        EXPECT_TRUE(cut.reason.contains("cut short")) << size << ": " << cut.reason.toStdString();
    }
}

// The import opens files as the recording readers do: a pipe is refused at
// once in the same words, and a name that is not UTF-8 is read by its bytes.
TEST_F(HostilePictures, FilesAreOpenedAsEveryUsersFileIs)
{
    const QString pipe = folder.filePath("pipe.gif");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const ImageReadError refused = countError(pipe);
    EXPECT_EQ(refused.kind, Kind::File);
    EXPECT_EQ(refused.message().toStdString(), loadRecording(QFile::encodeName(pipe).toStdString()).message);
    VirtualArea area;
    const PlaneFileResult plane = openPlane(pipe, area, 0, 0);
    EXPECT_FALSE(plane.ok);
    EXPECT_EQ(plane.message, refused.message());

    const std::string native = QFile::encodeName(folder.path()).toStdString() + "/pic\xff.png";
    const std::vector<std::uint8_t> bytes = png(3, 2);
    FILE* file = std::fopen(native.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    const ImageFrames frames = ImageFrames::fromNativeNames({native});
    int count = 0;
    ImageReadError error;
    ASSERT_TRUE(frames.count(count, error)) << error.reason.toStdString();
    EXPECT_EQ(count, 1);
}

// A plane picture whose origin lies off the plane is refused and leaves the
// plane alone; one whose origin cannot be read as two whole numbers lands
// at the window, with a note that says so.
TEST_F(HostilePictures, PlaneOriginsOffThePlaneOrUnreadable)
{
    VirtualArea area;
    area.setDot(100, 100, 1);
    const PlaneFileResult far = openPlane(write("far.png", png(8, 8, "999999,-5")), area, 0, 0);
    EXPECT_FALSE(far.ok);
    EXPECT_TRUE(far.message.contains("999999")) << far.message.toStdString();
    EXPECT_EQ(area.dot(100, 100), 1) << "the plane is not cleared";

    for (const std::string& origin : {std::string("a,b"), std::string("1,2,3"), std::string(""),
                                      std::string(100000, '7') + ",1"}) {
        VirtualArea placed;
        placed.setDot(100, 100, 1);
        const PlaneFileResult opened = openPlane(write("odd.png", png(8, 8, origin.c_str())), placed, 20, 10);
        EXPECT_TRUE(opened.ok) << origin.substr(0, 20);
        EXPECT_FALSE(opened.atOrigin);
        EXPECT_FALSE(opened.message.isEmpty()) << "the note says the origin was not understood";
        EXPECT_LT(opened.message.size(), 300);
        EXPECT_EQ(placed.dot(20, 10), 1) << "the picture's top-left pixel at the window";
        EXPECT_EQ(placed.dot(100, 100), 1) << "the rest of the plane kept";
    }
    VirtualArea plain;
    const PlaneFileResult noOrigin = openPlane(write("plain.png", png(8, 8)), plain, 20, 10);
    EXPECT_TRUE(noOrigin.ok && noOrigin.message.isEmpty()) << "a picture without an origin needs no note";
}

} // namespace
} // namespace lumidot
