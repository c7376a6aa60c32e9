// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StepListModel.h"

#include <QStyledItemDelegate>

namespace lumidot {

// Paints the cells of the step list: the number, the start, the length and
// the time as text, and the step as its kind and a picture of what it does
// (the frame's 32 x 16 dots, a colour swatch, the message's two lines, the
// effect names and mode). Rows are painted rather than built of widgets, so
// that a long recording scrolls smoothly.
class StepDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 38;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    static void paintStep(QPainter& p, QRect cell, const Recording& recording,
                          const StepListModel::Row& row);
};

} // namespace lumidot
