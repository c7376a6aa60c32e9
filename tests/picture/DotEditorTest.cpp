// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DotEditor.h"

#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace lumidot {
namespace {

class DotEditorTest : public ::testing::Test {
protected:
    // Pixel at the middle of view cell (col, row) at the current zoom.
    int px(int col) const { return col * editor.cellSize() + editor.cellSize() / 2; }

    void dragRectangle(DotTool tool, Cell from, Cell to)
    {
        editor.setTool(tool);
        editor.press(px(from.col), px(from.row));
        editor.move(area, scrollX, scrollY, px(to.col), px(to.row));
        editor.release(area, scrollX, scrollY);
    }

    int countSet(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                n += area.dot(x, y);
        return n;
    }

    VirtualArea area;
    DotEditor editor;
    int scrollX = 10;
    int scrollY = -5;
};

TEST_F(DotEditorTest, ZoomPicksCellSizeAndCaption)
{
    EXPECT_EQ(editor.zoom(), 2);
    EXPECT_EQ(editor.cellSize(), 8);
    const struct { int zoom, cell; const char* caption; int cols, rows; } cases[] = {
        {1, 4, "64", 64, 32}, {2, 8, "32", 32, 16}, {3, 16, "16", 16, 8}, {4, 32, "8", 8, 4}};
    for (const auto& c : cases) {
        editor.setZoom(c.zoom);
        EXPECT_EQ(editor.cellSize(), c.cell);
        EXPECT_EQ(editor.zoomCaption(), c.caption);
        EXPECT_EQ(editor.viewAt(3, 4), (View{3, 4, c.cols, c.rows}));
    }
    editor.setZoom(9);
    EXPECT_EQ(editor.zoom(), 4);
}

TEST_F(DotEditorTest, PressOnlyTakesTheAnchorAndStartsTheDragOfItsTool)
{
    EXPECT_EQ(editor.press(17, 40), EditorAction::None);
    EXPECT_EQ(editor.anchor(), (Cell{2, 5}));
    EXPECT_TRUE(editor.penDrag());
    EXPECT_FALSE(editor.boxDrag());
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0);

    editor.release(area, scrollX, scrollY);
    editor.setTool(DotTool::FillSet);
    editor.press(0, 0);
    EXPECT_FALSE(editor.penDrag());
    EXPECT_TRUE(editor.boxDrag());
}

TEST_F(DotEditorTest, PenClickWithoutMoveWritesTheHoveredCellAndSendsOnce)
{
    EXPECT_EQ(editor.move(area, scrollX, scrollY, px(7), px(3)), EditorAction::None);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0);
    editor.press(px(7), px(3));
    EXPECT_EQ(editor.release(area, scrollX, scrollY), EditorAction::RepaintAndSend);
    EXPECT_EQ(area.dot(scrollX + 7, scrollY + 3), 1);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 1);
    EXPECT_FALSE(editor.penDrag());

    editor.setTool(DotTool::WhitePen);
    editor.press(px(7), px(3));
    editor.release(area, scrollX, scrollY);
    EXPECT_EQ(area.dot(scrollX + 7, scrollY + 3), 0);
}

TEST_F(DotEditorTest, PenDragWritesOnEveryMoveAndKeepsToTheEdgeOutsideTheBox)
{
    editor.press(px(0), px(0));
    EXPECT_EQ(editor.move(area, scrollX, scrollY, px(0), px(0)), EditorAction::RepaintAndSend);
    EXPECT_EQ(area.dot(scrollX, scrollY), 1);

    // The same cell again: still written (the user may have cleared it meanwhile).
    area.setDot(scrollX, scrollY, 0);
    EXPECT_EQ(editor.move(area, scrollX, scrollY, px(0) + 1, px(0)), EditorAction::RepaintAndSend);
    EXPECT_EQ(area.dot(scrollX, scrollY), 1);

    // Beyond the right and bottom edges, and before the left and top.
    editor.move(area, scrollX, scrollY, 900, 700);
    EXPECT_EQ(editor.current(), (Cell{31, 15}));
    EXPECT_EQ(area.dot(scrollX + 31, scrollY + 15), 1);
    editor.move(area, scrollX, scrollY, -50, 20);
    EXPECT_EQ(editor.current(), (Cell{0, 2}));
    EXPECT_EQ(area.dot(scrollX, scrollY + 2), 1);
    editor.release(area, scrollX, scrollY);
    // Two lines without gaps: every column of the view has a dot, and
    // nothing lies past the edges.
    for (int col = 0; col < 32; ++col)
        EXPECT_GE(countSet(scrollX + col, scrollY, scrollX + col, scrollY + 15), 1) << col;
    EXPECT_EQ(countSet(-600, -300, 600, 300), countSet(scrollX, scrollY, scrollX + 31, scrollY + 15));
}

TEST_F(DotEditorTest, ReleaseWithoutPressDrawsNothing)
{
    editor.setTool(DotTool::FillSet);
    editor.move(area, scrollX, scrollY, px(5), px(5));
    EXPECT_EQ(editor.release(area, scrollX, scrollY), EditorAction::None);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0);
}

// A stroke as the user sees it: the view's top-left rows, '#' a set dot.
class PenStrokeTest : public DotEditorTest {
protected:
    void stroke(std::initializer_list<Cell> cells)
    {
        const Cell first = *cells.begin();
        editor.move(area, scrollX, scrollY, px(first.col), px(first.row));
        editor.press(px(first.col), px(first.row));
        for (const Cell* c = cells.begin() + 1; c != cells.end(); ++c)
            editor.move(area, scrollX, scrollY, px(c->col), px(c->row));
        const Cell last = *(cells.end() - 1);
        editor.release(area, scrollX, scrollY);
        EXPECT_EQ(editor.current(), last);
    }

    std::string rows(int count, int width = 32) const
    {
        std::string out;
        for (int row = 0; row < count; ++row) {
            for (int col = 0; col < width; ++col)
                out += area.dot(scrollX + col, scrollY + row) ? '#' : '.';
            out += '\n';
        }
        return out;
    }
};

TEST_F(PenStrokeTest, AQuickDragAlongARowLeavesNoColumnOut)
{
    // The pointer was seen only at columns 9, 16, 23 and 29 after the press at 2.
    stroke({{2, 1}, {9, 1}, {16, 1}, {23, 1}, {29, 1}});
    EXPECT_EQ(rows(3), "................................\n"
                       "..############################..\n"
                       "................................\n");
}

TEST_F(PenStrokeTest, TheDotsBetweenThePressAndTheFirstMoveAreDrawn)
{
    stroke({{1, 0}, {7, 3}});
    EXPECT_EQ(rows(5, 10), ".#........\n"
                           "..##......\n"
                           "....##....\n"
                           "......##..\n"
                           "..........\n");
}

TEST_F(PenStrokeTest, FastDiagonalsAreEightConnectedLines)
{
    // Steep, shallow and exactly diagonal, in both directions.
    stroke({{0, 0}, {3, 9}});
    stroke({{20, 9}, {9, 1}});
    stroke({{31, 0}, {22, 9}});
    EXPECT_EQ(rows(10), "#..............................#\n"
                        "#........#....................#.\n"
                        ".#........##.................#..\n"
                        ".#..........#...............#...\n"
                        ".#...........#.............#....\n"
                        "..#...........##..........#.....\n"
                        "..#.............#........#......\n"
                        "..#..............#......#.......\n"
                        "...#..............##...#........\n"
                        "...#................#.#.........\n");
}

TEST_F(PenStrokeTest, WhitePenClearsTheWholeLineAndSetDotsBesideItStay)
{
    for (int col = 0; col < 12; ++col)
        for (int row = 0; row < 3; ++row)
            area.setDot(scrollX + col, scrollY + row, 1);
    editor.setTool(DotTool::WhitePen);
    stroke({{0, 0}, {11, 2}});
    EXPECT_EQ(rows(3, 12), "...#########\n"
                           "###......###\n"
                           "#########...\n");
}

TEST_F(PenStrokeTest, LineToolDrawsFromPressToReleaseOnlyAndShowsAStraightBand)
{
    editor.setTool(DotTool::Line);
    editor.press(px(1), px(1));
    editor.move(area, scrollX, scrollY, px(30), px(14));
    editor.move(area, scrollX, scrollY, px(8), px(4));
    ASSERT_NE(editor.rubberBand(), nullptr);
    EXPECT_TRUE(editor.rubberBand()->straight);
    EXPECT_EQ(editor.rubberBand()->corners[2], (PixelPoint{px(8), px(4)}));
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0) << "the moves in between draw nothing";
    EXPECT_EQ(editor.release(area, scrollX, scrollY), EditorAction::RepaintAndSend);
    EXPECT_EQ(rows(6, 10), "..........\n"
                           ".##.......\n"
                           "...##.....\n"
                           ".....##...\n"
                           ".......##.\n"
                           "..........\n");
    // The same ends the other way round give the same line.
    VirtualArea forward;
    forward.copyFrom(area);
    area.clearAll();
    editor.press(px(8), px(4));
    editor.move(area, scrollX, scrollY, px(1), px(1));
    editor.release(area, scrollX, scrollY);
    for (int col = 0; col < 10; ++col)
        for (int row = 0; row < 6; ++row)
            ASSERT_EQ(area.dot(scrollX + col, scrollY + row), forward.dot(scrollX + col, scrollY + row));
}

TEST_F(DotEditorTest, CellSizeFollowsTheBoxWhileTheZoomKeepsTheDotsShown)
{
    editor.setZoomOneCell(zoomOneCellFor(1024, 512));
    const struct { int zoom, cell, cols, rows; } cases[] = {
        {1, 16, 64, 32}, {2, 32, 32, 16}, {3, 64, 16, 8}, {4, 128, 8, 4}};
    for (const auto& c : cases) {
        editor.setZoom(c.zoom);
        EXPECT_EQ(editor.cellSize(), c.cell);
        EXPECT_EQ(editor.viewAt(0, 0), (View{0, 0, c.cols, c.rows}));
    }
    // The pointer maps through the larger cells: pixel (1000, 500) at zoom 4
    // is the last cell, (7, 3).
    editor.press(1000, 500);
    EXPECT_EQ(editor.anchor(), (Cell{7, 3}));
}

TEST_F(DotEditorTest, RubberBandRunsThroughCellCentresOnlyWhileABoxDragMoves)
{
    editor.setTool(DotTool::Outline);
    editor.press(px(2), px(1));
    EXPECT_EQ(editor.rubberBand(), nullptr);
    EXPECT_EQ(editor.move(area, scrollX, scrollY, px(5), px(4)), EditorAction::Repaint);
    ASSERT_NE(editor.rubberBand(), nullptr);
    const RubberBand expected{{{20, 12}, {44, 12}, {44, 36}, {20, 36}}};
    EXPECT_EQ(*editor.rubberBand(), expected);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0);
    editor.release(area, scrollX, scrollY);
    EXPECT_EQ(editor.rubberBand(), nullptr);
}

TEST_F(DotEditorTest, RectangleCornersInAnyOrderGiveTheSameRectangle)
{
    dragRectangle(DotTool::Outline, {3, 2}, {9, 7});
    VirtualArea forward;
    for (int x = -600; x <= 600; ++x)
        for (int y = -300; y <= 300; ++y)
            forward.setDot(x, y, area.dot(x, y));
    area.clearAll();
    dragRectangle(DotTool::Outline, {9, 7}, {3, 2});
    for (int x = scrollX; x < scrollX + 32; ++x)
        for (int y = scrollY; y < scrollY + 16; ++y)
            ASSERT_EQ(area.dot(x, y), forward.dot(x, y)) << x << "," << y;
    // 7 x 6 outline: 2 * 7 + 2 * 4 dots, inside untouched.
    EXPECT_EQ(countSet(-600, -300, 600, 300), 22);
    EXPECT_EQ(area.dot(scrollX + 5, scrollY + 4), 0);
    EXPECT_EQ(editor.secondCorner(), (Cell{3, 2}));
}

TEST_F(DotEditorTest, DegenerateRectanglesAreADotAndALine)
{
    dragRectangle(DotTool::FillSet, {4, 4}, {4, 4});
    EXPECT_EQ(countSet(-600, -300, 600, 300), 1);
    EXPECT_EQ(area.dot(scrollX + 4, scrollY + 4), 1);
    area.clearAll();

    dragRectangle(DotTool::Outline, {1, 9}, {20, 9});
    EXPECT_EQ(countSet(-600, -300, 600, 300), 20);
    EXPECT_EQ(countSet(scrollX + 1, scrollY + 9, scrollX + 20, scrollY + 9), 20);
}

TEST_F(DotEditorTest, OutlineOnSetDotsChangesNothingAndFillClearTakesTheEdge)
{
    for (int x = scrollX; x < scrollX + 32; ++x)
        for (int y = scrollY; y < scrollY + 16; ++y)
            area.setDot(x, y, 1);
    dragRectangle(DotTool::Outline, {2, 2}, {10, 8});
    EXPECT_EQ(countSet(scrollX, scrollY, scrollX + 31, scrollY + 15), 512);

    dragRectangle(DotTool::FillClear, {2, 2}, {10, 8});
    EXPECT_EQ(countSet(scrollX + 2, scrollY + 2, scrollX + 10, scrollY + 8), 0);
    EXPECT_EQ(countSet(scrollX, scrollY, scrollX + 31, scrollY + 15), 512 - 9 * 7);
}

TEST_F(DotEditorTest, ZoomOneRectangleReachesBeyondTheLcdWindow)
{
    editor.setZoom(1);
    editor.setTool(DotTool::FillSet);
    editor.press(0, 0);
    editor.move(area, scrollX, scrollY, 255, 127);
    editor.release(area, scrollX, scrollY);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 64 * 32);
    EXPECT_EQ(area.dot(scrollX + 63, scrollY + 31), 1);
    EXPECT_EQ(area.dot(scrollX + 64, scrollY + 31), 0);
}

TEST_F(DotEditorTest, ZoomingInKeepsTheHoveredCellInsideTheView)
{
    editor.setZoom(1);
    editor.move(area, scrollX, scrollY, 255, 127);
    editor.setZoom(4);
    EXPECT_EQ(editor.current(), (Cell{7, 3}));
    editor.press(255, 127);
    editor.release(area, scrollX, scrollY);
    EXPECT_EQ(area.dot(scrollX + 7, scrollY + 3), 1);
}

TEST_F(DotEditorTest, DrawingNearThePlaneEdgeDropsDotsOutside)
{
    editor.setZoom(1);
    const int edgeX = VirtualArea::kMaxX - 10;
    editor.setTool(DotTool::FillSet);
    editor.press(0, 0);
    editor.move(area, edgeX, 0, 255, 4);
    editor.release(area, edgeX, 0);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 11 * 2);
}

} // namespace
} // namespace lumidot

namespace lumidot {
namespace {

TEST(TypedScrollPosition, EmptyIsZeroAndIntegersAreHeldToTheRange)
{
    EXPECT_EQ(typedScrollPosition("", -128, 128), 0);
    EXPECT_EQ(typedScrollPosition("17", -128, 128), 17);
    EXPECT_EQ(typedScrollPosition("-64", -128, 128), -64);
    EXPECT_EQ(typedScrollPosition("-0", -128, 128), 0);
    EXPECT_EQ(typedScrollPosition("007", -128, 128), 7);
    EXPECT_EQ(typedScrollPosition("999", -128, 128), 128);
    EXPECT_EQ(typedScrollPosition("-999", -128, 128), -128);
    EXPECT_EQ(typedScrollPosition("128", -128, 128), 128);
    EXPECT_EQ(typedScrollPosition("99999999999999999999999", -128, 128), 128);
    EXPECT_EQ(typedScrollPosition("-99999999999999999999999", -128, 128), -128);
}

TEST(TypedScrollPosition, AnythingButAnIntegerGivesNoPosition)
{
    for (const char* text : {"-", "abc", "1a", "--1", "+5", " 5", "5 ", "1.5", "-a"})
        EXPECT_EQ(typedScrollPosition(text, -128, 128), std::nullopt) << text;
}

} // namespace
} // namespace lumidot
