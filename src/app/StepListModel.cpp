// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StepListModel.h"

#include "export/StepClipboard.h"
#include "recording/StepClip.h"
#include "recording/StepTiming.h"

#include <QMimeData>

#include <algorithm>

namespace lumidot {

namespace {

const char* kindName(StepKind kind)
{
    switch (kind) {
    case StepKind::Green: return "Green";
    case StepKind::Orange: return "Orange";
    case StepKind::Red: return "Red";
    case StepKind::Off: return "Off";
    case StepKind::Message: return "Message";
    case StepKind::Frame: return "Frame";
    case StepKind::Effect: return "Effect";
    }
    return "?";
}

} // namespace

QString stepTimeText(std::int64_t micros)
{
    return QString::fromStdString(formatPlaybackTime(micros));
}

StepListModel::StepListModel(const Recording& recording, QObject* parent)
    : QAbstractListModel(parent)
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
    const std::vector<std::int64_t> times = stepTimes(recording_, stepTick_, tempo_);
    int frame = 0;
    int message = 0;
    int effect = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        Row& row = rows_[k];
        row.kind = kinds[k];
        row.micros = k < times.size() ? times[k] : 0;
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

// The display text is what screen readers and tool tips get; the row's
// picture is painted by the delegate.
QVariant StepListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& r = row(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QStringLiteral("%1  %2  %3")
            .arg(index.row() + 1)
            .arg(stepTimeText(r.micros))
            .arg(QLatin1String(kindName(r.kind)));
    return {};
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
