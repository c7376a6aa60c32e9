// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QWidget;

namespace lumidot {

// The real prompts: message boxes titled "Lumidot", Qt's file and font dialogs.
class QtPrompts : public Prompts {
public:
    // Boxes and dialogs are centred over this window when it is set.
    void setOwner(QWidget* owner) { owner_ = owner; }

    // How the font dialog is run: exec() in the program; tests accept or
    // reject it in place.
    std::function<int(QDialog&)> runModal = [](QDialog& dialog) { return dialog.exec(); };

    void information(const QString& text) override;
    void informationWithDetail(const QString& text, const QString& detail) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool saveFile(const QString& filter, FileChoice& choice) override;
    bool openFile(const QString& filter, FileChoice& choice) override;
    bool openFiles(const QString& filter, FileChoice& choice, QStringList& files) override;
    bool chooseFont(QFont& font) override;

private:
    bool runFileDialog(bool saving, const QString& filter, FileChoice& choice,
                       QStringList* several = nullptr);

    QWidget* owner_ = nullptr;
};

// "Description|*.ext|Description|*.ext" as Qt's name filters:
// "Description (*.ext)", one per file type, in order.
QStringList qtNameFilters(const QString& filter);

} // namespace lumidot
