// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DotView.h"

#include "picture/DotEditor.h"
#include "picture/VirtualArea.h"
#include "ns5r/Commands.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumidot {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kOrange = qRgb(255, 128, 64);

class DotViewTest : public ::testing::Test {
protected:
    QImage render(int cellSize, const RubberBand* band = nullptr, bool lcdGreen = true)
    {
        DotViewScene scene;
        scene.area = &area;
        scene.scrollX = scrollX;
        scene.scrollY = scrollY;
        scene.cellSize = cellSize;
        scene.clearColour = clearColour;
        scene.band = band;
        scene.lcdGreen = lcdGreen;
        return renderDotView(scene);
    }

    static QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

    VirtualArea area;
    int scrollX = -7;
    int scrollY = 3;
    QColor clearColour{0, 255, 0};
};

TEST_F(DotViewTest, GridLinesLieOnEveryMultipleOfTheCellAndClearCellsTakeTheBacklight)
{
    for (int cell : {4, 8, 16, 32}) {
        const QImage image = render(cell);
        ASSERT_EQ(image.size(), QSize(256, 128));
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 128; ++y) {
                const bool onGrid = x % cell == 0 || y % cell == 0;
                const bool onFrame = cell == 4 && (((x == 0 || x == 128) && y <= 64) || ((y == 0 || y == 64) && x <= 128));
                const QRgb expected = onFrame ? kWhite : onGrid ? kBlack : kGreen;
                ASSERT_EQ(at(image, x, y), expected) << "cell " << cell << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(DotViewTest, SetDotIsASolidBlackSquareAtItsViewCell)
{
    area.setDot(scrollX + 3, scrollY + 2, 1);
    clearColour = QColor(255, 128, 64);
    const QImage image = render(8);
    for (int x = 24; x <= 32; ++x)
        for (int y = 16; y <= 24; ++y)
            ASSERT_EQ(at(image, x, y), kBlack) << x << "," << y;
    EXPECT_EQ(at(image, 23, 20), kOrange);
    EXPECT_EQ(at(image, 33, 20), kOrange);
    EXPECT_EQ(at(image, 28, 25), kOrange);
    EXPECT_EQ(at(image, 20, 20), kOrange);
}

TEST_F(DotViewTest, ViewShowsOnlyTheDotsFromTheScrollPosition)
{
    area.setDot(scrollX - 1, scrollY, 1);
    area.setDot(scrollX + 32, scrollY, 1);
    area.setDot(scrollX + 8, scrollY + 4, 1);
    const QImage zoom3 = render(16);
    EXPECT_EQ(at(zoom3, 1, 1), kGreen);
    EXPECT_EQ(at(zoom3, 255, 1), kGreen);
    const QImage zoom1 = render(4);
    EXPECT_EQ(at(zoom1, 8 * 4 + 2, 4 * 4 + 2), kBlack);
    EXPECT_EQ(at(zoom1, 32 * 4 + 2, 2), kBlack);
}

TEST_F(DotViewTest, LcdWindowFrameIsWhiteOverSetDotsAtZoomOne)
{
    for (int x = scrollX; x < scrollX + 64; ++x)
        for (int y = scrollY; y < scrollY + 32; ++y)
            area.setDot(x, y, 1);
    const QImage image = render(4);
    for (const QPoint p : {QPoint(0, 0), QPoint(128, 0), QPoint(0, 64), QPoint(128, 64), QPoint(64, 0),
                           QPoint(64, 64), QPoint(0, 40), QPoint(128, 40)})
        EXPECT_EQ(at(image, p.x(), p.y()), kWhite) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(129, 64), QPoint(128, 65), QPoint(1, 1), QPoint(127, 63), QPoint(132, 0)})
        EXPECT_EQ(at(image, p.x(), p.y()), kBlack) << p.x() << "," << p.y();
}

TEST_F(DotViewTest, RubberBandIsRedOverGreenAndWhiteOtherwise)
{
    DotEditor editor;
    editor.setTool(DotTool::Outline);
    editor.press(2 * 8 + 3, 1 * 8 + 3);
    editor.move(area, scrollX, scrollY, 6 * 8 + 1, 5 * 8 + 1);
    ASSERT_NE(editor.rubberBand(), nullptr);

    const QImage red = render(8, editor.rubberBand(), true);
    // Corners at the centres (20, 12) and (52, 44).
    for (const QPoint p : {QPoint(20, 12), QPoint(52, 12), QPoint(52, 44), QPoint(20, 44), QPoint(35, 12),
                           QPoint(20, 30), QPoint(52, 30), QPoint(35, 44)})
        EXPECT_EQ(at(red, p.x(), p.y()), kRed) << p.x() << "," << p.y();
    EXPECT_EQ(at(red, 21, 13), kGreen);
    EXPECT_EQ(at(red, 53, 12), kGreen);
    EXPECT_EQ(at(red, 19, 12), kGreen);
    EXPECT_EQ(at(red, 20, 45), kGreen);

    const QImage white = render(8, editor.rubberBand(), false);
    EXPECT_EQ(at(white, 52, 44), kWhite);
    EXPECT_EQ(at(white, 35, 12), kWhite);
}

TEST_F(DotViewTest, RepaintIntoTheSameImageLeavesNothingOfTheLastPicture)
{
    QImage image(256, 128, QImage::Format_RGB32);
    image.fill(Qt::blue);
    area.setDot(scrollX, scrollY, 1);
    DotViewScene scene{&area, scrollX, scrollY, 8, clearColour, nullptr, true};
    renderDotView(image, scene);
    area.setDot(scrollX, scrollY, 0);
    renderDotView(image, scene);
    EXPECT_EQ(image, render(8));
}

// A grown canvas: the view keeps its dots, each cell is larger, and the
// LCD window's frame follows the cells.
TEST_F(DotViewTest, AGrownCanvasScalesTheCellsAndTheFrame)
{
    area.setDot(scrollX + 63, scrollY + 31, 1);
    DotViewScene scene{&area, scrollX, scrollY, 16, clearColour, nullptr, true};
    scene.cols = 64;
    scene.rows = 32;
    const QImage image = renderDotView(scene);
    ASSERT_EQ(image.size(), QSize(1024, 512));
    EXPECT_EQ(at(image, 63 * 16 + 8, 31 * 16 + 8), kBlack);
    EXPECT_EQ(at(image, 62 * 16 + 8, 31 * 16 + 8), kGreen);
    EXPECT_EQ(at(image, 16 * 5, 7), kBlack) << "a grid line";
    EXPECT_EQ(at(image, 512, 100), kWhite) << "the frame at 32 cells";
    EXPECT_EQ(at(image, 100, 256), kWhite);
    EXPECT_EQ(at(image, 513, 100), kGreen);
}

TEST_F(DotViewTest, OnionSkinTintsOnlyTheWindowsClearDots)
{
    PackedFrame before{};
    PackedFrame after{};
    VirtualArea frames;
    frames.setDot(1, 1, 1);
    frames.setDot(2, 2, 1);
    before = packWindow(frames, 0, 0);
    frames.clearAll();
    frames.setDot(2, 2, 1);
    frames.setDot(3, 3, 1);
    after = packWindow(frames, 0, 0);
    area.setDot(scrollX + 1, scrollY + 1, 1);

    DotViewScene scene{&area, scrollX, scrollY, 8, clearColour, nullptr, true};
    scene.onion = {&before, &after};
    QImage dots;
    renderDotPicture(dots, scene);
    ASSERT_EQ(dots.size(), QSize(32, 16));
    EXPECT_EQ(at(dots, 1, 1), kBlack) << "the window's own dot wins";
    EXPECT_EQ(at(dots, 2, 2), kOnionBefore) << "the frame before wins over the one after";
    EXPECT_EQ(at(dots, 3, 3), kOnionAfter);
    EXPECT_EQ(at(dots, 4, 4), kGreen);

    // At zoom 1 the view is larger than the frames: they tint the window only.
    frames.clearAll();
    for (int x = 0; x < 32; ++x)
        frames.setDot(x, 15, 1);
    before = packWindow(frames, 0, 0);
    scene.cellSize = 4;
    scene.onion = {&before, nullptr};
    renderDotPicture(dots, scene);
    ASSERT_EQ(dots.size(), QSize(64, 32));
    EXPECT_EQ(at(dots, 31, 15), kOnionBefore);
    EXPECT_EQ(at(dots, 32, 15), kGreen);
    EXPECT_EQ(at(dots, 31, 16), kGreen);
}

TEST_F(DotViewTest, TheLineToolsBandIsOneStraightLine)
{
    RubberBand band;
    band.corners[0] = {4, 4};
    band.corners[2] = {100, 4};
    band.straight = true;
    const QImage image = render(8, &band);
    EXPECT_EQ(at(image, 50, 4), kRed);
    EXPECT_EQ(at(image, 4, 20), kGreen) << "no rectangle";
}

} // namespace
} // namespace lumidot
