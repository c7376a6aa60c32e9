// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtPrompts.h"

#include "dialogs/StampFontDialog.h"
#include "dialogs/StartDialog.h"
#include "dialogs/StepLengthDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace lumidot {

namespace {

const QString kTitle = QStringLiteral("Lumidot");

QMessageBox::StandardButton ask(QWidget* owner, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton escape)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, buttons, owner);
    box.setEscapeButton(escape);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return filters;
}

void QtPrompts::information(const QString& text)
{
    informationWithDetail(text, QString());
}

void QtPrompts::informationWithDetail(const QString& text, const QString& detail)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, owner_);
    box.setInformativeText(detail);
    box.exec();
}

Prompts::Answer QtPrompts::askYesNoCancel(const QString& text)
{
    switch (ask(owner_, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtPrompts::askYesNo(const QString& text)
{
    return ask(owner_, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

bool QtPrompts::runFileDialog(bool saving, const QString& filter, FileChoice& choice,
                              QStringList* several, const QString& option, bool* checked)
{
    const QStringList filters = qtNameFilters(filter);
    QFileDialog dialog(owner_, kTitle);
    QCheckBox* box = nullptr;
    if (checked) {
        // Only Qt's own dialog takes a widget of the program's.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        box = new QCheckBox(option, &dialog);
        box->setChecked(*checked);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    }
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving    ? QFileDialog::AnyFile
                       : several ? QFileDialog::ExistingFiles
                                 : QFileDialog::ExistingFile);
    // The name is used exactly as chosen, and replacing a file is not asked.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(filters);
    if (choice.typeIndex >= 1 && choice.typeIndex <= filters.size())
        dialog.selectNameFilter(filters[choice.typeIndex - 1]);
    if (!choice.fileName.isEmpty())
        dialog.selectFile(choice.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    choice.fileName = dialog.selectedFiles().constFirst();
    if (several)
        *several = dialog.selectedFiles();
    choice.typeIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (box)
        *checked = box->isChecked();
    return true;
}

bool QtPrompts::saveFileWithOption(const QString& filter, FileChoice& choice, const QString& option,
                                   bool& checked)
{
    return runFileDialog(true, filter, choice, nullptr, option, &checked);
}

bool QtPrompts::askStepLength(std::int64_t current, int shortest, std::int64_t& length)
{
    TStepLengthDialog dialog(current, shortest, owner_);
    if (runModal(dialog) != QDialog::Accepted)
        return false;
    length = dialog.length();
    return true;
}

bool QtPrompts::askStart(std::optional<int> current, std::int64_t recorded, std::optional<int>& start)
{
    TStartDialog dialog(current, recorded, owner_);
    if (runModal(dialog) != QDialog::Accepted)
        return false;
    start = dialog.start();
    return true;
}

bool QtPrompts::saveFile(const QString& filter, FileChoice& choice)
{
    return runFileDialog(true, filter, choice);
}

bool QtPrompts::openFile(const QString& filter, FileChoice& choice)
{
    return runFileDialog(false, filter, choice);
}

bool QtPrompts::openFiles(const QString& filter, FileChoice& choice, QStringList& files)
{
    return runFileDialog(false, filter, choice, &files);
}

bool QtPrompts::chooseFont(QFont& font)
{
    TStampFontDialog dialog(font, owner_);
    if (runModal(dialog) != QDialog::Accepted)
        return false;
    font = dialog.chosenFont();
    return true;
}

} // namespace lumidot
