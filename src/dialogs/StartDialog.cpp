// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/StartDialog.h"

#include "recording/StepTiming.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace lumidot {

TStartDialog::TStartDialog(std::optional<int> current, std::int64_t recorded, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("開始位置"));
    AsRecorded = new QRadioButton(tr("記録どおり (%1)(&R)")
                                      .arg(QString::fromStdString(formatBarBeatTick(recorded))),
                                  this);
    AtPosition = new QRadioButton(tr("最初のステップの位置(&P)"), this);
    Bar = new QSpinBox(this);
    Bar->setRange(1, kMaxWait / kTicksPerBar + 1);
    Bar->setPrefix(tr("小節 "));
    Beat = new QSpinBox(this);
    Beat->setRange(1, kBeatsPerBar);
    Beat->setPrefix(tr("拍 "));
    Tick = new QSpinBox(this);
    Tick->setRange(0, kTicksPerBeat - 1);
    Tick->setPrefix(QStringLiteral("Tick "));
    Hint = new QLabel(tr("4/4拍子、4分音符 = 480 Tick。最初のステップのメッセージがこの位置に来ます。"), this);
    Hint->setWordWrap(true);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));

    const BarBeatTick at = barBeatTick(current ? *current : kTicksPerBar);
    Bar->setValue(static_cast<int>(at.bar));
    Beat->setValue(at.beat);
    Tick->setValue(at.tick);
    AsRecorded->setChecked(!current);
    AtPosition->setChecked(current.has_value());
    for (QSpinBox* box : {Bar, Beat, Tick})
        box->setEnabled(current.has_value());

    auto* position = new QHBoxLayout;
    position->addWidget(Bar);
    position->addWidget(Beat);
    position->addWidget(Tick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(AsRecorded);
    layout->addWidget(AtPosition);
    layout->addLayout(position);
    layout->addWidget(Hint);
    layout->addWidget(Buttons);

    connect(AtPosition, &QRadioButton::toggled, this, [this](bool on) {
        for (QSpinBox* box : {Bar, Beat, Tick})
            box->setEnabled(on);
    });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<int> TStartDialog::start() const
{
    if (AsRecorded->isChecked())
        return std::nullopt;
    const std::int64_t tick = (Bar->value() - 1LL) * kTicksPerBar + (Beat->value() - 1LL) * kTicksPerBeat +
                              Tick->value();
    return static_cast<int>(std::min<std::int64_t>(tick, kMaxWait));
}

} // namespace lumidot
