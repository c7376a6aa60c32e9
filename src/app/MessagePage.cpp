// SPDX-License-Identifier: GPL-3.0-or-later
// The "Message" page: the two message lines of the display.
#include "app/MainForm.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace lumidot {

namespace {

// A line takes printable ASCII only: a byte of 80 hex or more would end the
// System Exclusive message on the wire. Typed or pasted text with any other
// character is refused as a whole.
QLineEdit* messageLine(QWidget* parent)
{
    auto* line = new QLineEdit(parent);
    line->setMaxLength(static_cast<int>(kMessageLineBytes));
    line->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x20-\\x7E]*")), line));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(11);
    line->setFont(font);
    return line;
}

std::string lineBytes(const QLineEdit* line)
{
    return line->text().toLatin1().toStdString();
}

} // namespace

QWidget* TMainForm::buildMessagePage()
{
    auto* page = new QWidget;
    MessageGroup = new QGroupBox(tr("Message Window"), page);
    MessageGroup->setGeometry(2, 0, 190, 100);
    LcdText = messageLine(MessageGroup);
    LcdText->setGeometry(8, 18, 174, 22);
    LcdText2 = messageLine(MessageGroup);
    LcdText2->setGeometry(8, 44, 174, 22);
    SpeedButton3 = new QPushButton(tr("記録"), MessageGroup);
    SpeedButton3->setGeometry(8, 74, 46, 17);
    SpeedButton3->setToolTip(tr("コマ記録"));
    RecMoji = new QCheckBox(tr("連続記録"), MessageGroup);
    RecMoji->setGeometry(62, 74, 110, 17);
    RecMoji->setToolTip(tr("連続記録スイッチ"));
    return page;
}

void TMainForm::LcdTextChange()
{
    S_MessageDisp();
}

void TMainForm::LcdText2Change()
{
    S_MessageDisp();
}

void TMainForm::LcdTextEnter()
{
    S_MessageDisp();
}

// Sends the two lines; at the step limit says so on every change, whether
// continuous recording is on or not.
void TMainForm::S_MessageDisp()
{
    // The keystrokes of one continuous recording join into one entry.
    const bool continuous = RecMoji->isChecked();
    const auto action = Workspace.transaction(
        continuous ? tr("メッセージの記録").toStdString() : std::string(), continuous);
    report(Workspace.setLines({lineBytes(LcdText), lineBytes(LcdText2)}, continuous));
}

void TMainForm::SM_Save()
{
    const auto action = Workspace.transaction({});
    report(Workspace.recordLines());
}

} // namespace lumidot
