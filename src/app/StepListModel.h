// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <QAbstractListModel>

#include <cstdint>
#include <vector>

namespace lumidot {

// The steps of the recording as a list: one row per step, in order. The
// rows are painted by StepDelegate from the recording itself; the model
// only keeps, per step, where its payload lies and when it plays.
class StepListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit StepListModel(const Recording& recording, QObject* parent = nullptr);

    // Reads the recording again after any change of its steps.
    void refresh();
    // The times follow the tick spacing and the tempo.
    void setTiming(int stepTick, int tempo);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // What a row's painting needs.
    struct Row {
        StepKind kind = StepKind::Green;
        int payload = 0;   // frame or message index, or effect byte offset
        std::int64_t micros = 0;
    };
    const Row& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const Recording& recording() const { return recording_; }

private:
    const Recording& recording_;
    std::vector<Row> rows_;
    int stepTick_ = 8;
    int tempo_ = 120;
};

// "m:ss.mmm" of a time in microseconds.
QString stepTimeText(std::int64_t micros);

} // namespace lumidot
