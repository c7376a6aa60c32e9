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

    // How the font, length and start dialogs are run: exec() in the
    // program; tests accept or reject them in place.
    std::function<int(QDialog&)> runModal = [](QDialog& dialog) { return dialog.exec(); };

    void information(const QString& text) override;
    void informationWithDetail(const QString& text, const QString& detail) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool saveFile(const QString& filter, FileChoice& choice) override;
    bool openFile(const QString& filter, FileChoice& choice) override;
    bool openFiles(const QString& filter, FileChoice& choice, QStringList& files) override;
    bool chooseFont(QFont& font) override;
    bool saveFileWithOption(const QString& filter, FileChoice& choice, const QString& option,
                            bool& checked) override;
    bool askStepLength(std::int64_t current, int shortest, std::int64_t& length) override;
    bool askStart(std::optional<int> current, std::int64_t recorded, std::optional<int>& start) override;

private:
    bool runFileDialog(bool saving, const QString& filter, FileChoice& choice,
                       QStringList* several = nullptr, const QString& option = {},
                       bool* checked = nullptr);

    QWidget* owner_ = nullptr;
};

// "Description|*.ext|Description|*.ext" as Qt's name filters:
// "Description (*.ext)", one per file type, in order.
QStringList qtNameFilters(const QString& filter);

} // namespace lumidot
