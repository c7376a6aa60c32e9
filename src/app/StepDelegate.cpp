// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StepDelegate.h"

#include "app/StepListModel.h"
#include "ns5r/Commands.h"
#include "picture/Geometry.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>

namespace lumidot {

namespace {

constexpr int kKindWidth = 62;
constexpr int kPictureWidth = 240;
constexpr int kDotScale = 2;

QColor colourOf(LcdColour colour)
{
    const Rgb rgb = colourRgb(colour);
    return QColor(rgb.r, rgb.g, rgb.b);
}

void paintFrame(QPainter& p, const QRect& area, const PackedFrame& frame, LcdColour colour)
{
    QImage dots(kLcdCols, kLcdRows, QImage::Format_RGB32);
    const QRgb set = qRgb(0, 0, 0);
    const QRgb clear = colourOf(colour).rgb();
    for (int row = 0; row < kLcdRows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(dots.scanLine(row));
        for (int column = 0; column < kLcdCols; ++column)
            line[column] = frameDot(frame, column, row) ? set : clear;
    }
    const QRect target(area.left(), area.top() + (area.height() - kLcdRows * kDotScale) / 2,
                       kLcdCols * kDotScale, kLcdRows * kDotScale);
    p.drawImage(target, dots);
    p.setPen(Qt::darkGray);
    p.drawRect(target.adjusted(-1, -1, 0, 0));
}

void paintMessage(QPainter& p, const QRect& area, std::span<const std::uint8_t> text)
{
    const auto line = [&](std::size_t from, std::size_t count) {
        count = std::min(count, text.size() > from ? text.size() - from : 0);
        return QString::fromLatin1(reinterpret_cast<const char*>(text.data() + from),
                                   static_cast<qsizetype>(count));
    };
    static const QFont mono = [] {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPixelSize(13);
        return font;
    }();
    p.setFont(mono);
    const int half = area.height() / 2;
    p.drawText(area.adjusted(0, 1, 0, -half), Qt::AlignLeft | Qt::AlignVCenter,
               QLatin1Char('[') + line(0, kMessageLineBytes) + QLatin1Char(']'));
    p.drawText(area.adjusted(0, half, 0, -1), Qt::AlignLeft | Qt::AlignVCenter,
               QLatin1Char('[') + line(kMessageLineBytes, kMessageLineBytes) + QLatin1Char(']'));
}

void paintEffect(QPainter& p, const QRect& area, std::span<const std::uint8_t> effect)
{
    const auto name = [](std::uint8_t n) {
        return n < kEffectCount ? QString::fromLatin1(kEffectNames[n]) : QStringLiteral("?");
    };
    const QString mode = effect[2] < kEffectModeCount ? QString::fromLatin1(kEffectModeNames[effect[2]])
                                                      : QStringLiteral("?");
    const int half = area.height() / 2;
    p.drawText(area.adjusted(0, 1, 0, -half), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("1: %1   2: %2").arg(name(effect[0]), name(effect[1])));
    p.drawText(area.adjusted(0, half, 0, -1), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Mode: %1").arg(mode));
}

void paintColour(QPainter& p, const QRect& area, StepKind kind)
{
    const QRect swatch(area.left(), area.top() + (area.height() - 20) / 2, 40, 20);
    const QPen text = p.pen();
    p.fillRect(swatch, colourOf(stepColour(kind)));
    p.setPen(Qt::darkGray);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    p.setPen(text);
    static const char* const kNames[] = {"Green", "Orange", "Red", "Off"};
    const QString name = QString::fromLatin1(kNames[static_cast<int>(stepColour(kind))]);
    p.drawText(area.adjusted(48, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
}

} // namespace

void StepDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    const auto* model = static_cast<const StepListModel*>(index.model());
    const StepListModel::Row& row = model->row(index.row());
    QPainter& p = *painter;
    p.save();
    const bool selected = option.state & QStyle::State_Selected;
    p.fillRect(option.rect, selected ? option.palette.highlight()
                                     : (index.row() % 2 ? option.palette.alternateBase()
                                                        : option.palette.base()));
    const QColor text = selected ? option.palette.color(QPalette::HighlightedText)
                                 : option.palette.color(QPalette::Text);
    p.setPen(text);
    QFont font = option.font;
    // A start that is the step's own, not the spacing's, stands out.
    font.setBold(index.column() == StepListModel::StartColumn && row.ownWait);
    p.setFont(font);
    QRect cell = option.rect.adjusted(4, 0, -4, 0);
    if (index.column() == StepListModel::StepColumn)
        paintStep(p, cell, model->recording(), row);
    else
        p.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, model->text(index.row(), index.column()));
    if (option.state & QStyle::State_HasFocus) {
        p.setPen(QPen(text, 1, Qt::DotLine));
        p.drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    p.restore();
}

void StepDelegate::paintStep(QPainter& p, QRect cell, const Recording& recording,
                             const StepListModel::Row& row)
{
    p.drawText(cell.adjusted(0, 0, kKindWidth - cell.width(), 0), Qt::AlignLeft | Qt::AlignVCenter,
               stepKindText(row.kind));
    cell.setLeft(cell.left() + kKindWidth + 4);
    switch (row.kind) {
    case StepKind::Frame: paintFrame(p, cell, recording.frameRecord(row.payload), row.colour); break;
    case StepKind::Message: paintMessage(p, cell, recording.messageText(row.payload)); break;
    case StepKind::Effect: paintEffect(p, cell, recording.effectStream().subspan(row.payload, 3)); break;
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off: paintColour(p, cell, row.kind); break;
    }
}

QSize StepDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() == StepListModel::StepColumn)
        return {kKindWidth + kPictureWidth, kRowHeight};
    const auto* model = static_cast<const StepListModel*>(index.model());
    return {option.fontMetrics.horizontalAdvance(model->text(index.row(), index.column())) + 16, kRowHeight};
}

} // namespace lumidot
