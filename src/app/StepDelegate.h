// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace lumidot {

// Paints one row of the step list: the step number, its time, its kind and
// a picture of what it does (the frame's 32 x 16 dots, a colour swatch, the
// message's two lines, the effect names and mode). Rows are painted rather
// than built of widgets, so that a long recording scrolls smoothly.
class StepDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 38;
    // The columns, left to right: number, time, kind, then what the step does.
    static constexpr int kMargin = 4;
    static constexpr int kNumberWidth = 48;
    static constexpr int kTimeWidth = 72;
    static constexpr int kKindWidth = 62;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace lumidot
