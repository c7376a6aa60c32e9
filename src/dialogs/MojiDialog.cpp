// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/MojiDialog.h"

#include "widgets/TextStamp.h"
#include "platform/Prompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QValidator>

namespace lumidot {

namespace {

// Holds the text to kStampTextBytes Shift-JIS bytes. Typed or pasted text
// that would pass the limit is cut from the end of what was inserted, the way
// a limited edit drops what does not fit.
class ShiftJisLimit : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        while (shiftJisByteLength(input) > kStampTextBytes && !input.isEmpty()) {
            if (pos > 0) {
                input.remove(pos - 1, 1);
                --pos;
            } else {
                input.chop(1);
            }
        }
        return Acceptable;
    }
};

QFont editFont(const QString& family)
{
    QFont font(family);
    font.setPixelSize(TMoji::kEditPixelSize);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

} // namespace

TMoji::TMoji(QFont& stampFont, Prompts& prompts, Stamper stamper, QWidget* parent)
    : QDialog(parent)
    , stampFont_(stampFont)
    , prompts_(prompts)
    , stamper_(std::move(stamper))
{
    setWindowTitle(tr("文字入力"));
    buildControls();
    setFixedSize(kClientWidth, kClientHeight);
    prepareToShow();
}

void TMoji::buildControls()
{
    gKanji_ = new QLineEdit(this);
    gKanji_->setObjectName(QStringLiteral("GKanji"));
    gKanji_->setGeometry(1, 1, 193, 24);
    gKanji_->setToolTip(tr("半角英数20文字まで"));
    gKanji_->setValidator(new ShiftJisLimit(gKanji_));

    speedButton1_ = new QToolButton(this);
    speedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
    speedButton1_->setGeometry(196, 1, 24, 24);
    speedButton1_->setText(QStringLiteral("A"));
    QFont glyph(QStringLiteral("Serif"));
    glyph.setBold(true);
    glyph.setPixelSize(15);
    speedButton1_->setFont(glyph);
    connect(speedButton1_, &QToolButton::clicked, this, &TMoji::SpeedButton1Click);

    bitBtn1_ = new QPushButton(QStringLiteral("OK"), this);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setGeometry(222, 1, 48, 24);
    bitBtn1_->setToolTip(tr("入力に書いた文字をキャンバスへ転送します"));
    bitBtn1_->setDefault(true);
    connect(bitBtn1_, &QPushButton::clicked, this, &TMoji::BitBtn1Click);

    button1_ = new QPushButton(QStringLiteral("Cancel"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setGeometry(272, 1, 50, 24);
    button1_->setAutoDefault(false);
    connect(button1_, &QPushButton::clicked, this, &QDialog::reject);
}

void TMoji::prepareToShow()
{
    gKanji_->setFont(editFont(stampFont_.family()));
}

int TMoji::runFor()
{
    prepareToShow();
    return exec();
}

void TMoji::SpeedButton1Click()
{
    prompts_.chooseFont(stampFont_);
}

void TMoji::BitBtn1Click()
{
    if (stamper_)
        stamper_(gKanji_->text(), stampFont_);
    accept();
}

} // namespace lumidot
