// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DotEditor.h"

#include "picture/VirtualArea.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(countSet(-600, -300, 600, 300), 3);
}

TEST_F(DotEditorTest, ReleaseWithoutPressDrawsNothing)
{
    editor.setTool(DotTool::FillSet);
    editor.move(area, scrollX, scrollY, px(5), px(5));
    EXPECT_EQ(editor.release(area, scrollX, scrollY), EditorAction::None);
    EXPECT_EQ(countSet(-600, -300, 600, 300), 0);
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
