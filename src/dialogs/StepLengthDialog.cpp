// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/StepLengthDialog.h"

#include "recording/StepWait.h"
#include "recording/TimingEdits.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace lumidot {

namespace {

constexpr std::array<const char*, kNoteLengths.size()> kNoteNames{
    QT_TRANSLATE_NOOP("TStepLengthDialog", "16分音符"), QT_TRANSLATE_NOOP("TStepLengthDialog", "8分音符"),
    QT_TRANSLATE_NOOP("TStepLengthDialog", "4分音符"), QT_TRANSLATE_NOOP("TStepLengthDialog", "2分音符"),
    QT_TRANSLATE_NOOP("TStepLengthDialog", "1小節"), QT_TRANSLATE_NOOP("TStepLengthDialog", "2小節"),
    QT_TRANSLATE_NOOP("TStepLengthDialog", "4小節")};

} // namespace

TStepLengthDialog::TStepLengthDialog(std::int64_t current, int shortest, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("長さ"));
    NoteMode = new QRadioButton(tr("音符(&N)"), this);
    NoteSel = new QComboBox(this);
    for (std::size_t k = 0; k < kNoteLengths.size(); ++k)
        NoteSel->addItem(tr("%1 (%2 Tick)").arg(tr(kNoteNames[k])).arg(kNoteLengths[k]), kNoteLengths[k]);
    TickMode = new QRadioButton(tr("Tick(&T)"), this);
    Ticks = new QSpinBox(this);
    Ticks->setRange(shortest, shortest + kMaxWait);
    Ticks->setSuffix(QStringLiteral(" Tick"));
    Hint = new QLabel(tr("4分音符 = 480 Tick。ステップの開始から次のステップの開始までの長さです。\n"
                         "最短は %1 Tick (ステップ間隔と、エフェクトのメッセージの分) です。")
                          .arg(shortest),
                      this);
    Hint->setWordWrap(true);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));

    const int note = NoteSel->findData(static_cast<int>(current));
    NoteMode->setChecked(note >= 0);
    TickMode->setChecked(note < 0);
    NoteSel->setCurrentIndex(std::max(note, 2));
    Ticks->setValue(static_cast<int>(std::clamp<std::int64_t>(current, shortest, shortest + kMaxWait)));
    NoteSel->setEnabled(NoteMode->isChecked());
    Ticks->setEnabled(TickMode->isChecked());

    auto* grid = new QGridLayout;
    grid->addWidget(NoteMode, 0, 0);
    grid->addWidget(NoteSel, 0, 1);
    grid->addWidget(TickMode, 1, 0);
    grid->addWidget(Ticks, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Hint);
    layout->addWidget(Buttons);

    connect(NoteMode, &QRadioButton::toggled, NoteSel, &QWidget::setEnabled);
    connect(TickMode, &QRadioButton::toggled, Ticks, &QWidget::setEnabled);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::int64_t TStepLengthDialog::length() const
{
    return NoteMode->isChecked() ? NoteSel->currentData().toLongLong() : Ticks->value();
}

} // namespace lumidot
