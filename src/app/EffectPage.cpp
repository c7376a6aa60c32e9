// SPDX-License-Identifier: GPL-3.0-or-later
// The "Effect" page: the two effect types and the effect mode.
#include "app/MainForm.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

namespace lumidot {

namespace {

QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QScrollBar* effectBar(int position, QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, kEffectCount - 1);
    bar->setPageStep(1);
    bar->setValue(position);
    // Taken by Tab and by a click, so that the arrow keys, Page Up/Down,
    // Home and End move it as a drag does.
    bar->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar inverts its keys by default, which sends a horizontal
    // one left on the right arrow.
    bar->setInvertedControls(false);
    return bar;
}

} // namespace

QWidget* TMainForm::buildEffectPage()
{
    const EffectSetting design;
    auto* page = new QWidget;
    EffectGroup = new QGroupBox(tr("AI2 Effect"), page);
    EffectGroup->setGeometry(2, 0, 236, 138);

    Label2 = boldLabel(tr("Effect-1"), EffectGroup);
    Label2->setGeometry(8, 16, 64, 16);
    FX1Name = new QLabel(EffectGroup);
    FX1Name->setGeometry(74, 16, 156, 16);
    FX1Sel = effectBar(design.effect1, EffectGroup);
    FX1Sel->setGeometry(8, 33, 220, 16);

    Label1 = boldLabel(tr("Effect-2"), EffectGroup);
    Label1->setGeometry(8, 52, 64, 16);
    FX2Name = new QLabel(EffectGroup);
    FX2Name->setGeometry(74, 52, 156, 16);
    FX2Sel = effectBar(design.effect2, EffectGroup);
    FX2Sel->setGeometry(8, 69, 220, 16);

    Label7 = boldLabel(tr("Mode"), EffectGroup);
    Label7->setGeometry(8, 88, 64, 16);
    FXMode = new QLabel(EffectGroup);
    FXMode->setGeometry(74, 88, 156, 16);
    FXModeSel = new QSlider(Qt::Horizontal, EffectGroup);
    FXModeSel->setRange(0, kEffectModeCount - 1);
    FXModeSel->setPageStep(1);
    FXModeSel->setTickPosition(QSlider::TicksBelow);
    FXModeSel->setTickInterval(1);
    FXModeSel->setValue(design.mode);
    FXModeSel->setGeometry(8, 106, 150, 26);

    FXRec = new QPushButton(tr("記録"), EffectGroup);
    FXRec->setGeometry(176, 110, 46, 17);
    return page;
}

void TMainForm::FX1SelChange(int position)
{
    FX1Name->setText(QString::fromLatin1(kEffectNames[position]));
    Workspace.setEffect(FxParam::Effect1, static_cast<std::uint8_t>(position));
}

void TMainForm::FX2SelChange(int position)
{
    FX2Name->setText(QString::fromLatin1(kEffectNames[position]));
    Workspace.setEffect(FxParam::Effect2, static_cast<std::uint8_t>(position));
}

void TMainForm::FXModeSelChange(int position)
{
    FXMode->setText(QString::fromLatin1(kEffectModeNames[position]));
    Workspace.setEffect(FxParam::Mode, static_cast<std::uint8_t>(position));
}

void TMainForm::FXRecClick()
{
    const auto action = Workspace.transaction({});
    Workspace.recordEffect();
}

} // namespace lumidot
