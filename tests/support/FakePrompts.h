// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace lumidot::testing {

// Prompts with scripted answers; every text shown is recorded in order.
class FakePrompts : public Prompts {
public:
    QStringList shown;                          // information texts and questions
    QStringList details;                        // the detail under each information text, or ""
    std::deque<Answer> answers;                 // Yes/No/Cancel answers; Cancel when used up
    bool yesNoAnswer = false;
    std::optional<FileChoice> fileAnswer;       // the confirmed choice; nothing = cancelled
    QStringList filesAnswer;                    // several files chosen at once, when set
    int fileDialogs = 0;
    QString lastFilter;
    FileChoice lastChoiceShown;                 // what the dialog started with
    bool fontAnswer = false;
    QFont fontChosen;
    std::optional<bool> optionAnswer;           // the save dialog's box as left; nothing = untouched
    QString lastOption;                         // the save dialog's box text, or "" without one
    bool lastOptionShown = false;               // the box's state when the dialog opened
    std::optional<std::int64_t> lengthAnswer;   // the length dialog's answer; nothing = cancelled
    std::int64_t lastLengthShown = 0;
    int lastShortestShown = 0;
    std::optional<std::optional<int>> startAnswer;   // the start dialog's answer; nothing = cancelled
    // What the user does while the question, or a file dialog, is up.
    std::function<void()> whileAsking;
    std::function<void()> whileFileDialog;

    void information(const QString& text) override { informationWithDetail(text, QString()); }

    void informationWithDetail(const QString& text, const QString& detail) override
    {
        shown << text;
        details << detail;
    }

    Answer askYesNoCancel(const QString& text) override
    {
        shown << text;
        if (whileAsking)
            whileAsking();
        if (answers.empty())
            return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    bool askYesNo(const QString& text) override
    {
        shown << text;
        return yesNoAnswer;
    }

    bool saveFile(const QString& filter, FileChoice& choice) override
    {
        return fileDialog(filter, choice);
    }

    bool openFile(const QString& filter, FileChoice& choice) override
    {
        return fileDialog(filter, choice);
    }

    bool openFiles(const QString& filter, FileChoice& choice, QStringList& files) override
    {
        if (!fileDialog(filter, choice))
            return false;
        files = filesAnswer.isEmpty() ? QStringList{choice.fileName} : filesAnswer;
        return true;
    }

    bool saveFileWithOption(const QString& filter, FileChoice& choice, const QString& option,
                            bool& checked) override
    {
        lastOption = option;
        lastOptionShown = checked;
        if (!fileDialog(filter, choice))
            return false;
        if (optionAnswer)
            checked = *optionAnswer;
        return true;
    }

    bool askStepLength(std::int64_t current, int shortest, std::int64_t& length) override
    {
        lastLengthShown = current;
        lastShortestShown = shortest;
        if (!lengthAnswer)
            return false;
        length = *lengthAnswer;
        return true;
    }

    bool askStart(std::optional<int>, std::int64_t, std::optional<int>& start) override
    {
        if (!startAnswer)
            return false;
        start = *startAnswer;
        return true;
    }

    bool chooseFont(QFont& font) override
    {
        if (fontAnswer)
            font = fontChosen;
        return fontAnswer;
    }

private:
    bool fileDialog(const QString& filter, FileChoice& choice)
    {
        ++fileDialogs;
        lastFilter = filter;
        lastChoiceShown = choice;
        if (whileFileDialog)
            whileFileDialog();
        if (!fileAnswer)
            return false;
        choice = *fileAnswer;
        return true;
    }
};

// A desktop that records what it was asked to open.
class FakeDesktop : public Desktop {
public:
    QStringList opened;
    void open(const QString& url) override { opened << url; }
};

} // namespace lumidot::testing
