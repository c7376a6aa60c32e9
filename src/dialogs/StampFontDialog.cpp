// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/StampFontDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lumidot {

namespace {

QCheckBox* styleBox(const QString& caption, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setChecked(checked);
    return box;
}

} // namespace

TStampFontDialog::TStampFontDialog(const QFont& font, QWidget* parent)
    : QDialog(parent)
    , original_(font)
{
    setWindowTitle(tr("フォント"));
    const QFontInfo drawn(font);
    shown_ = QFont(drawn.family());
    shown_.setPointSize(std::clamp(static_cast<int>(std::lround(drawn.pointSizeF())), kSmallestPoints,
                                   kLargestPoints));
    shown_.setBold(font.bold());
    shown_.setItalic(font.italic());
    shown_.setUnderline(font.underline());
    shown_.setStrikeOut(font.strikeOut());

    family_ = new QFontComboBox(this);
    family_->setCurrentFont(shown_);
    size_ = new QSpinBox(this);
    size_->setRange(kSmallestPoints, kLargestPoints);
    size_->setValue(shown_.pointSize());
    size_->setSuffix(QStringLiteral(" pt"));
    bold_ = styleBox(tr("太字"), shown_.bold(), this);
    italic_ = styleBox(tr("斜体"), shown_.italic(), this);
    underline_ = styleBox(tr("下線"), shown_.underline(), this);
    strikeOut_ = styleBox(tr("取り消し線"), shown_.strikeOut(), this);
    sample_ = new QLabel(QStringLiteral("AaBb 漢字かな"), this);
    sample_->setMinimumHeight(40);

    auto* form = new QFormLayout;
    form->addRow(tr("フォント名"), family_);
    form->addRow(tr("サイズ"), size_);
    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
        styles->addWidget(box);
    form->addRow(tr("スタイル"), styles);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sample_);
    layout->addWidget(buttons);

    connect(family_, &QFontComboBox::currentFontChanged, this, &TStampFontDialog::showSample);
    connect(size_, &QSpinBox::valueChanged, this, &TStampFontDialog::showSample);
    for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
        connect(box, &QCheckBox::toggled, this, &TStampFontDialog::showSample);
    showSample();
}

QFont TStampFontDialog::fontOfControls() const
{
    QFont font(family_->currentFont().family());
    font.setPointSize(size_->value());
    font.setBold(bold_->isChecked());
    font.setItalic(italic_->isChecked());
    font.setUnderline(underline_->isChecked());
    font.setStrikeOut(strikeOut_->isChecked());
    return font;
}

void TStampFontDialog::showSample()
{
    sample_->setFont(fontOfControls());
}

QFont TStampFontDialog::chosenFont() const
{
    const QFont chosen = fontOfControls();
    if (chosen.family() == shown_.family() && chosen.pointSize() == shown_.pointSize() &&
        chosen.bold() == shown_.bold() && chosen.italic() == shown_.italic() &&
        chosen.underline() == shown_.underline() && chosen.strikeOut() == shown_.strikeOut())
        return original_;
    return chosen;
}

} // namespace lumidot
