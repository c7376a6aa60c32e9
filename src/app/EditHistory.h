// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/EditEntry.h"
#include "recording/StepEdits.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

namespace lumidot {


// The window's undo history: a QUndoStack of entries whose data the core
// keeps. Commands do not build their own entries: they name the action,
// and once the event that ran them has been handled, what changed on the
// plane and in the recording becomes one entry (a pen stroke waits for the
// release). The step list's edits, which know what they did, are pushed as
// they are.
class EditHistory : public QObject {
    Q_OBJECT

public:
    static constexpr int kEntriesKept = 1000;

    EditHistory(VirtualArea& area, Recording& recording, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& stack() { return stack_; }

    // Names the entry of the action now running; the first name of an
    // action wins, so a command that runs others (New clearing the lines)
    // keeps its own. A typing run names itself so that its keystrokes join.
    void name(const QString& text, bool typing = false);
    // The plane or the recording may have changed.
    void touch(bool recording);
    // Makes the entry of what changed, now rather than after the event.
    void flush();
    // Runs a step edit and makes it one entry as it is (a move stays a
    // move). What changed before it becomes an entry of its own first.
    EditResult edit(const QString& text, const std::function<StepEdit()>& run);

    void undo();
    void redo();

    // The recording has just been saved or read from a file: this point of
    // the history is the saved state (QUndoStack's clean state).
    void markClean();
    // Runs whenever undo or redo comes back to the saved state of the
    // recording: no entry between it and now changed a step.
    std::function<void()> onRecordingAtSavedState;

    // Keeps an entry open while it answers true (a drag of the dot editor).
    std::function<bool()> holdOpen;
    // Runs after an undo or redo has changed the document: plane says
    // whether any dot changed.
    std::function<void(bool plane)> afterApply;

    // The memory the entries hold.
    std::size_t bytes() const;

private:
    friend class EditCommand;
    void schedule();
    void checkSavedState();
    void closeAfterEvent();
    void apply(const EditEntry& entry, bool undo);

    VirtualArea& area_;
    Recording& recording_;
    EditTracker tracker_;
    QUndoStack stack_;
    QString name_;
    bool typing_ = false;
    bool recordingTouched_ = false;
    bool scheduled_ = false;
    bool applying_ = false;
};

} // namespace lumidot
