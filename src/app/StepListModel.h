// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

namespace lumidot {

// The steps of the recording as a table: one row per step, in order, with
// its number, its start as bar:beat:tick, its length, its time and what it
// does. The content is painted by StepDelegate from the recording itself;
// the model only keeps, per step, where its payload lies and when it plays.
class StepListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, StartColumn, LengthColumn, TimeColumn, StepColumn, ColumnCount };

    explicit StepListModel(const Recording& recording, QObject* parent = nullptr);

    // Reads the recording again after any change of its steps.
    void refresh();
    // The times follow the tick spacing and the tempo.
    void setTiming(int stepTick, int tempo);
    int stepTick() const { return stepTick_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // What a row's painting needs.
    struct Row {
        StepKind kind = StepKind::Green;
        bool ownWait = false;   // the step's wait is its own, not the spacing
        int payload = 0;        // frame or message index, or effect byte offset
        std::int64_t start = 0;    // ticks
        std::int64_t length = 0;   // ticks
        std::int64_t micros = 0;
        // The backlight in force at this step: the last colour step before
        // it, green before any. A frame is shown in it.
        LcdColour colour = LcdColour::Green;
    };
    const Row& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    const Recording& recording() const { return recording_; }
    // The text of a cell, as painted.
    QString text(int row, int column) const;

private:
    const Recording& recording_;
    std::vector<Row> rows_;
    int stepTick_ = 8;
    int tempo_ = 120;
};

// "m:ss.mmm" of a time in microseconds.
QString stepTimeText(std::int64_t micros);
// A length in ticks, with its note value when it is one: "480 (1/4)".
QString stepLengthText(std::int64_t ticks);
// The kind of a step, as the list names it.
QString stepKindText(StepKind kind);

} // namespace lumidot
