// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/DotEditor.h"

#include "picture/RegionOps.h"
#include "picture/VirtualArea.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace lumidot {

void DotEditor::setZoom(int position)
{
    zoom_ = std::clamp(position, 1, 4);
    // A smaller view must not leave the cell of the last hover outside it,
    // or a click without a move would write a dot the user cannot see.
    current_ = clampedToView(current_);
}

void DotEditor::setZoomOneCell(int pixels)
{
    zoomOneCell_ = std::max(kCellSizes[0], pixels);
}

std::string_view DotEditor::zoomCaption() const
{
    static constexpr std::string_view kCaptions[4] = {"64", "32", "16", "8"};
    return kCaptions[zoom_ - 1];
}

Cell DotEditor::cellAt(int x, int y) const
{
    const int cell = cellSize();
    return {x / cell, y / cell};
}

Cell DotEditor::clampedToView(Cell cell) const
{
    const View view = viewAt(0, 0);
    return {std::clamp(cell.col, 0, view.cols - 1), std::clamp(cell.row, 0, view.rows - 1)};
}

PixelPoint DotEditor::centreOf(int col, int row) const
{
    const int cell = cellSize();
    return {col * cell + cell / 2, row * cell + cell / 2};
}

EditorAction DotEditor::press(int x, int y)
{
    // A press always lies inside the paint box; clamping only guards against
    // a stray coordinate turning into a rectangle far outside the view.
    anchor_ = clampedToView(cellAt(x, y));
    reached_ = anchor_;
    const bool pen = tool_ == DotTool::WhitePen || tool_ == DotTool::BlackPen;
    penDrag_ = pen;
    boxDrag_ = !pen;
    showsBand_ = false;
    return EditorAction::None;
}

void DotEditor::updateBand()
{
    band_.corners[0] = centreOf(anchor_.col, anchor_.row);
    band_.corners[1] = centreOf(current_.col, anchor_.row);
    band_.corners[2] = centreOf(current_.col, current_.row);
    band_.corners[3] = centreOf(anchor_.col, current_.row);
    band_.straight = tool_ == DotTool::Line;
    showsBand_ = true;
}

EditorAction DotEditor::move(VirtualArea& area, int scrollX, int scrollY, int x, int y)
{
    current_ = clampedToView(cellAt(x, y));
    if (boxDrag_) {
        updateBand();
        return EditorAction::Repaint;
    }
    if (penDrag_) {
        // Written on every move, even when the cell has not changed.
        drawLine(area, scrollX + reached_.col, scrollY + reached_.row, scrollX + current_.col,
                 scrollY + current_.row, static_cast<std::uint8_t>(tool_));
        reached_ = current_;
        return EditorAction::RepaintAndSend;
    }
    return EditorAction::None;
}

void DotEditor::drawShape(VirtualArea& area, int scrollX, int scrollY) const
{
    if (tool_ == DotTool::Line) {
        drawLine(area, scrollX + anchor_.col, scrollY + anchor_.row, scrollX + secondCorner_.col,
                 scrollY + secondCorner_.row, 1);
        return;
    }
    const Region region = orderedRegion(scrollX + anchor_.col, scrollY + anchor_.row,
                                        scrollX + secondCorner_.col, scrollY + secondCorner_.row);
    switch (tool_) {
    case DotTool::Outline:
        drawRegionOutline(area, region);
        break;
    case DotTool::FillClear:
        fillRegion(area, region, 0);
        break;
    case DotTool::FillSet:
        fillRegion(area, region, 1);
        break;
    case DotTool::WhitePen:
    case DotTool::BlackPen:
    case DotTool::Line:
        break;
    }
}

EditorAction DotEditor::release(VirtualArea& area, int scrollX, int scrollY)
{
    // Only a press on the paint box starts a drawing; a release without one
    // would otherwise draw a rectangle from a stale anchor.
    if (!penDrag_ && !boxDrag_)
        return EditorAction::None;
    if (penDrag_) {
        area.setDot(scrollX + current_.col, scrollY + current_.row, static_cast<std::uint8_t>(tool_));
    } else {
        secondCorner_ = current_;
        drawShape(area, scrollX, scrollY);
    }
    penDrag_ = false;
    boxDrag_ = false;
    showsBand_ = false;
    return EditorAction::RepaintAndSend;
}

std::optional<int> typedScrollPosition(std::string_view text, int minimum, int maximum)
{
    if (text.empty())
        return 0;
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        value = negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    else if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (value >= maximum)
        return maximum;
    if (value <= minimum)
        return minimum;
    return static_cast<int>(value);
}

} // namespace lumidot
