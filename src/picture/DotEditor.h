// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumidot {

class VirtualArea;

// The drawing tools. The two pens write their own value into the dot.
enum class DotTool : std::uint8_t {
    WhitePen = 0,  // Pen2
    BlackPen = 1,  // Pen
    Outline = 2,   // Box
    FillClear = 3, // Box3
    FillSet = 4,   // Box2
    Line = 5,      // LineTool: set dots from the press to the release
};

// A cell of the view: column and row counted from the view's top-left dot.
struct Cell {
    int col = 0;
    int row = 0;
    bool operator==(const Cell&) const = default;
};

// A pixel of the paint box.
struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// The closed line drawn while a rectangle is dragged: through the centres of
// the anchor cell, the two mixed corners and the current cell, in that order.
// While a line is dragged, the straight line from the anchor's centre
// (corners[0]) to the current cell's (corners[2]).
struct RubberBand {
    PixelPoint corners[4];
    bool straight = false;
    bool operator==(const RubberBand&) const = default;
};

// What the window does after a mouse event.
enum class EditorAction {
    None,          // nothing changed on screen or in the plane
    Repaint,       // repaint the view (the rubber band comes with it)
    RepaintAndSend // repaint the view and send the window to the module
};

// The dot editor: zoom, tool, and the mouse algorithms over the plane. It
// never records a step; it only tells the window what to do next.
class DotEditor {
public:
    // Zoom position 1..4 (clamped) picks how many dots the view shows:
    // 64 x 32, 32 x 16, 16 x 8 or 8 x 4.
    void setZoom(int position);
    int zoom() const { return zoom_; }
    // The cell size at zoom position 1 (4 on the smallest paint box); each
    // zoom step doubles it: 4, 8, 16, 32 on the smallest box.
    void setZoomOneCell(int pixels);
    int zoomOneCell() const { return zoomOneCell_; }
    int cellSize() const { return zoomOneCell_ << (zoom_ - 1); }
    // The number of view columns as CZoom shows it: "64", "32", "16" or "8".
    std::string_view zoomCaption() const;
    View viewAt(int scrollX, int scrollY) const { return viewForZoom(scrollX, scrollY, zoom_); }

    void setTool(DotTool tool) { tool_ = tool; }
    DotTool tool() const { return tool_; }

    bool penDrag() const { return penDrag_; }
    // A drag of a rectangle tool or the line tool.
    bool boxDrag() const { return boxDrag_; }
    Cell anchor() const { return anchor_; }
    Cell current() const { return current_; }
    Cell secondCorner() const { return secondCorner_; }

    // The band to draw over the view, while a rectangle or line drag has moved.
    const RubberBand* rubberBand() const { return showsBand_ ? &band_ : nullptr; }

    // PaintBox1MouseDown: takes the anchor and starts a drag; draws nothing.
    EditorAction press(int x, int y);
    // PaintBox1MouseMove, pressed or not: tracks the current cell. A pen
    // drag writes every dot of the line from the cell it reached last (the
    // press's at first) to the current cell, on every move, so that a fast
    // stroke has no gaps; a rectangle or line drag updates the rubber band.
    EditorAction move(VirtualArea& area, int scrollX, int scrollY, int x, int y);
    // PaintBox1MouseUp: the pens write the current cell, the rectangle tools
    // draw their rectangle, the line tool its line; the drag ends.
    EditorAction release(VirtualArea& area, int scrollX, int scrollY);

private:
    Cell cellAt(int x, int y) const;
    Cell clampedToView(Cell cell) const;
    PixelPoint centreOf(int col, int row) const;
    void updateBand();
    void drawShape(VirtualArea& area, int scrollX, int scrollY) const;

    int zoom_ = kDefaultZoom;
    int zoomOneCell_ = kCellSizes[0];
    DotTool tool_ = DotTool::BlackPen;
    bool penDrag_ = false;
    bool boxDrag_ = false;
    Cell anchor_;
    Cell current_;
    Cell reached_;   // where the pen stroke has drawn to
    Cell secondCorner_;
    bool showsBand_ = false;
    RubberBand band_;
};

// XRealChange / YRealChange: the scroll bar position a typed X or Y field
// asks for. Empty text asks for 0; a decimal integer (digits with an optional
// leading minus) is held to minimum..maximum. Anything else gives no position:
// the field is then reset to "0", which asks again.
std::optional<int> typedScrollPosition(std::string_view text, int minimum, int maximum);

} // namespace lumidot
