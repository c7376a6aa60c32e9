// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace lumidot {

// Everything that asks the user and waits: message boxes, the file dialogs
// and the font dialog. The program hands the real ones, tests scripted ones.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };

    // The state a file dialog keeps between uses: the last name and the
    // 1-based index of the chosen file type.
    struct FileChoice {
        QString fileName;
        int typeIndex = 1;
    };

    virtual ~Prompts() = default;

    // A plain message box titled "Lumidot" with an OK button.
    virtual void information(const QString& text) = 0;
    // The same box with a second, smaller text under the first that says
    // why or what to do (nothing more than information() when it is empty).
    // Prompts that cannot show it show the text alone.
    virtual void informationWithDetail(const QString& text, const QString& detail)
    {
        (void)detail;
        information(text);
    }
    // Yes / No / Cancel with a question icon; closing the box is Cancel.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // Yes / No with a question icon; closing the box is No.
    virtual bool askYesNo(const QString& text) = 0;
    // Save dialog over a filter in the form "Description|*.ext|...". On
    // confirmation updates choice and returns true; on cancel leaves it alone.
    virtual bool saveFile(const QString& filter, FileChoice& choice) = 0;
    // Open dialog, same conventions as saveFile.
    virtual bool openFile(const QString& filter, FileChoice& choice) = 0;
    // Open dialog in which several files may be chosen at once; on
    // confirmation fills files and keeps the first in choice. Prompts that
    // offer only one file at a time answer with that one.
    virtual bool openFiles(const QString& filter, FileChoice& choice, QStringList& files)
    {
        if (!openFile(filter, choice))
            return false;
        files = QStringList{choice.fileName};
        return true;
    }
    // Font dialog starting at font; on confirmation replaces it.
    virtual bool chooseFont(QFont& font) = 0;
    // Save dialog with a check box under it (option the box's text,
    // checked its state, in and out). Prompts that cannot show the box run
    // the plain dialog and leave checked alone.
    virtual bool saveFileWithOption(const QString& filter, FileChoice& choice, const QString& option,
                                    bool& checked)
    {
        (void)option;
        (void)checked;
        return saveFile(filter, choice);
    }
    // The length dialog, opened at current, offering shortest and up (ticks);
    // on OK sets length. Prompts without it answer Cancel.
    virtual bool askStepLength(std::int64_t current, int shortest, std::int64_t& length)
    {
        (void)current;
        (void)shortest;
        (void)length;
        return false;
    }
    // The start dialog: the start set (none: as recorded) and where the
    // first step starts as recorded; on OK sets start.
    virtual bool askStart(std::optional<int> current, std::int64_t recorded, std::optional<int>& start)
    {
        (void)current;
        (void)recorded;
        (void)start;
        return false;
    }
};

// The desktop's "open" of a web address, a mail address or a document.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void open(const QString& url) = 0;
};

} // namespace lumidot
