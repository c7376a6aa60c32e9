// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StepListModel.h"

#include "export/StepClipboard.h"
#include "recording/StepClip.h"
#include "recording/StepTiming.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

namespace lumidot {

namespace {

QString noteName(std::int64_t ticks)
{
    switch (ticks) {
    case kTicksPerSixteenth: return QStringLiteral("1/16");
    case 2 * kTicksPerSixteenth: return QStringLiteral("1/8");
    case kTicksPerBeat: return QStringLiteral("1/4");
    case 2 * kTicksPerBeat: return QStringLiteral("1/2");
    case kTicksPerBar: return QCoreApplication::translate("StepList", "1小節");
    case 2 * kTicksPerBar: return QCoreApplication::translate("StepList", "2小節");
    case 4 * kTicksPerBar: return QCoreApplication::translate("StepList", "4小節");
    default: return {};
    }
}

} // namespace

QString stepTimeText(std::int64_t micros)
{
    return QString::fromStdString(formatPlaybackTime(micros));
}

QString stepLengthText(std::int64_t ticks)
{
    const QString note = noteName(ticks);
    return note.isEmpty() ? QString::number(ticks) : QStringLiteral("%1 (%2)").arg(ticks).arg(note);
}

QString stepKindText(StepKind kind)
{
    switch (kind) {
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red: return QCoreApplication::translate("StepList", "色");
    case StepKind::Off: return QCoreApplication::translate("StepList", "消灯");
    case StepKind::Message: return QCoreApplication::translate("StepList", "メッセージ");
    case StepKind::Frame: return QCoreApplication::translate("StepList", "フレーム");
    case StepKind::Effect: return QCoreApplication::translate("StepList", "エフェクト");
    }
    return QStringLiteral("?");
}

StepListModel::StepListModel(const Recording& recording, QObject* parent)
    : QAbstractTableModel(parent)
    , recording_(recording)
{
    refresh();
}

void StepListModel::setTiming(int stepTick, int tempo)
{
    stepTick_ = std::clamp(stepTick, 1, 127);
    tempo_ = std::max(1, tempo);
    refresh();
}

void StepListModel::refresh()
{
    beginResetModel();
    const auto kinds = recording_.kinds();
    rows_.resize(kinds.size());
    const StepLayout layout = stepLayout(recording_, stepTick_);
    int frame = 0;
    int message = 0;
    int effect = 0;
    LcdColour colour = LcdColour::Green;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        Row& row = rows_[k];
        row.kind = kinds[k];
        if (row.kind == StepKind::Green || row.kind == StepKind::Orange || row.kind == StepKind::Red
            || row.kind == StepKind::Off)
            colour = stepColour(row.kind);
        row.colour = colour;
        row.ownWait = !recording_.waits()[k].followsSpacing();
        row.start = layout.starts[k];
        row.length = layout.length(static_cast<int>(k));
        row.micros = ticksToMicroseconds(row.start, tempo_);
        row.payload = 0;
        switch (row.kind) {
        case StepKind::Frame: row.payload = frame++; break;
        case StepKind::Message: row.payload = message++; break;
        case StepKind::Effect:
            row.payload = effect;
            effect += 3;
            break;
        case StepKind::Green:
        case StepKind::Orange:
        case StepKind::Red:
        case StepKind::Off: break;
        }
    }
    endResetModel();
}

int StepListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int StepListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString StepListModel::text(int index, int column) const
{
    const Row& r = row(index);
    switch (column) {
    case NumberColumn: return QString::number(index + 1);
    case StartColumn: return QString::fromStdString(formatBarBeatTick(r.start));
    case LengthColumn: return stepLengthText(r.length);
    case TimeColumn: return stepTimeText(r.micros);
    default: return stepKindText(r.kind);
    }
}

// The display text is what screen readers and tool tips get; the step's
// picture is painted by the delegate.
QVariant StepListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != StepColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant StepListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NumberColumn: return QStringLiteral("#");
    case StartColumn: return QCoreApplication::translate("StepList", "開始 (小節:拍:Tick)");
    case LengthColumn: return QCoreApplication::translate("StepList", "長さ (Tick)");
    case TimeColumn: return QCoreApplication::translate("StepList", "時刻");
    case StepColumn: return QCoreApplication::translate("StepList", "ステップ");
    default: return {};
    }
}

Qt::ItemFlags StepListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions StepListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList StepListModel::mimeTypes() const
{
    return {QString::fromLatin1(kStepsMimeType)};
}

QMimeData* StepListModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    int first = rowCount();
    int last = -1;
    for (const QModelIndex& index : indexes) {
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    const auto bytes = encodeSteps(recording_.copySteps(first, last - first + 1));
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kStepsMimeType),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    return mime;
}

} // namespace lumidot
