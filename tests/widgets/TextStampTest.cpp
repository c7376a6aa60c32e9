// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextStamp.h"

#include "picture/VirtualArea.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace lumidot {
namespace {

QImage blankScratch()
{
    QImage image(kScratchWidth, kScratchHeight, QImage::Format_RGB32);
    image.fill(kButtonFace);
    return image;
}

std::vector<QPoint> blackPixels(const QImage& image)
{
    std::vector<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == 0)
                found.emplace_back(x, y);
    return found;
}

int countSet(const VirtualArea& area)
{
    int n = 0;
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x)
        for (int y = VirtualArea::kMinY; y <= VirtualArea::kMaxY; ++y)
            n += area.dot(x, y);
    return n;
}

QFont plainFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

TEST(StampScratch, PixelTwoRightThreeDownIsTheWindowsTopLeftDot)
{
    QImage scratch = blankScratch();
    scratch.setPixel(2, 3, qRgb(0, 0, 0));
    VirtualArea area;
    EXPECT_EQ(stampScratch(area, 0, 0, scratch), 1);
    EXPECT_EQ(area.dot(0, 0), 1);
    EXPECT_EQ(countSet(area), 1);

    VirtualArea moved;
    scratch.setPixel(0, 0, qRgb(0, 0, 0));
    stampScratch(moved, 100, -40, scratch);
    EXPECT_EQ(moved.dot(100, -40), 1);
    EXPECT_EQ(moved.dot(98, -43), 1);
    EXPECT_EQ(countSet(moved), 2);
}

TEST(StampScratch, OnlyExactlyBlackPixelsInsideThePaintAreaCount)
{
    QImage scratch = blankScratch();
    scratch.setPixel(10, 10, qRgb(1, 0, 0));
    scratch.setPixel(11, 10, qRgb(0, 0, 1));
    scratch.setPixel(12, 10, qRgb(64, 64, 64));
    scratch.setPixel(323, 5, qRgb(0, 0, 0));
    scratch.setPixel(5, 27, qRgb(0, 0, 0));
    scratch.setPixel(323, 27, qRgb(0, 0, 0));
    scratch.setPixel(322, 26, qRgb(0, 0, 0));
    VirtualArea area;
    EXPECT_EQ(stampScratch(area, 0, 0, scratch), 1);
    EXPECT_EQ(area.dot(320, 23), 1);
    EXPECT_EQ(countSet(area), 1);
}

TEST(StampScratch, StampingOnlyAddsDotsAndTwiceChangesNothing)
{
    QImage scratch = blankScratch();
    scratch.setPixel(4, 4, qRgb(0, 0, 0));
    VirtualArea area;
    area.setDot(2, 1, 1);
    area.setDot(5, 5, 1);
    stampScratch(area, 0, 0, scratch);
    EXPECT_EQ(countSet(area), 2);
    EXPECT_EQ(area.dot(5, 5), 1);

    const int once = stampText(area, 3, 4, QStringLiteral("Ab"), defaultStampFont());
    const int setAfterOnce = countSet(area);
    EXPECT_GT(once, 0);
    stampText(area, 3, 4, QStringLiteral("Ab"), defaultStampFont());
    EXPECT_EQ(countSet(area), setAfterOnce);
}

TEST(StampScratch, StampNearThePlaneEdgeDropsWhatFallsOutside)
{
    QImage scratch = blankScratch();
    scratch.fill(Qt::black);
    VirtualArea area;
    stampScratch(area, VirtualArea::kMaxX - 10, VirtualArea::kMaxY - 5, scratch);
    EXPECT_EQ(countSet(area), (10 + 2 + 1) * (5 + 3 + 1));
}

TEST(RenderStampScratch, TextIsBlackOnButtonFaceWithoutGrey)
{
    const QImage scratch = renderStampScratch(QStringLiteral("Lumidot あ"), defaultStampFont());
    ASSERT_EQ(scratch.size(), QSize(kScratchWidth, kScratchHeight));
    int black = 0;
    for (int y = 0; y < scratch.height(); ++y) {
        for (int x = 0; x < scratch.width(); ++x) {
            const QRgb pixel = scratch.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(pixel == 0 || pixel == (kButtonFace.rgb() & 0xFFFFFF)) << x << "," << y;
            black += pixel == 0;
        }
    }
    EXPECT_GT(black, 40);
}

TEST(RenderStampScratch, TextTopLeftSitsAtZeroTwo)
{
    const QFont font = plainFont(17);
    const QImage scratch = renderStampScratch(QStringLiteral("H"), font);
    const std::vector<QPoint> black = blackPixels(scratch);
    ASSERT_FALSE(black.empty());

    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(scratch.dotsPerMeterX());
    probe.setDotsPerMeterY(scratch.dotsPerMeterY());
    const QFontMetrics metrics(font, &probe);
    const QRect glyph = metrics.boundingRect(QLatin1Char('H'));
    int left = kScratchWidth, top = kScratchHeight, bottom = -1;
    for (const QPoint& p : black) {
        left = std::min(left, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    // The baseline lies one ascent below y = 2; the bar of the H rests on it.
    EXPECT_EQ(bottom, kTextTop + metrics.ascent() - 1);
    EXPECT_NEAR(top, kTextTop + metrics.ascent() + glyph.top(), 1);
    EXPECT_NEAR(left, glyph.left(), 1);
}

TEST(RenderStampScratch, LargeTextIsCutAtThePaintAreaEdges)
{
    const QImage scratch = renderStampScratch(QString(30, QLatin1Char('W')), plainFont(40));
    bool reachesLastColumn = false;
    bool reachesLastRow = false;
    for (int y = 0; y < kScratchHeight; ++y) {
        ASSERT_NE(scratch.pixel(kStampAreaWidth, y) & 0xFFFFFF, 0u) << "row " << y;
        reachesLastColumn |= (scratch.pixel(kStampAreaWidth - 1, y) & 0xFFFFFF) == 0;
    }
    for (int x = 0; x < kScratchWidth; ++x) {
        ASSERT_NE(scratch.pixel(x, kStampAreaHeight) & 0xFFFFFF, 0u) << "column " << x;
        reachesLastRow |= (scratch.pixel(x, kStampAreaHeight - 1) & 0xFFFFFF) == 0;
    }
    EXPECT_TRUE(reachesLastColumn);
    EXPECT_TRUE(reachesLastRow);
}

TEST(StampText, SetsExactlyTheShiftedBlackPixelsOfTheRendering)
{
    const QString text = QStringLiteral("NS5R ドット");
    const QFont font = defaultStampFont();
    const std::vector<QPoint> black = blackPixels(renderStampScratch(text, font));
    VirtualArea area;
    EXPECT_EQ(stampText(area, -20, 7, text, font), static_cast<int>(black.size()));
    for (const QPoint& p : black)
        ASSERT_EQ(area.dot(-20 + p.x() - 2, 7 + p.y() - 3), 1) << p.x() << "," << p.y();
    EXPECT_EQ(countSet(area), static_cast<int>(black.size()));
}

TEST(StampText, EmptyTextStampsNothing)
{
    VirtualArea area;
    EXPECT_EQ(stampText(area, 0, 0, QString(), defaultStampFont()), 0);
    EXPECT_EQ(countSet(area), 0);
}

TEST(StampFont, StartsAsPMinchoSeventeenPixelsBoldItalic)
{
    const QFont font = defaultStampFont();
    EXPECT_EQ(font.family(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_EQ(font.pixelSize(), 17);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
}

TEST(ShiftJisByteLength, CountsDoubleAndSingleByteCharacters)
{
    EXPECT_EQ(shiftJisByteLength(QString()), 0);
    EXPECT_EQ(shiftJisByteLength(QStringLiteral("NS5R 01")), 7);
    EXPECT_EQ(shiftJisByteLength(QStringLiteral("文字入力")), 8);
    EXPECT_EQ(shiftJisByteLength(QStringLiteral("ＭＳ Ｐ明朝")), 11);
    EXPECT_EQ(shiftJisByteLength(QStringLiteral("ｱｲｳ")), 3);
}

} // namespace
} // namespace lumidot
