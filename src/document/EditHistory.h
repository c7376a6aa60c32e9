// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/EditEntry.h"
#include "recording/StepEdits.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace lumidot {

// One entry of the undo history: what one user action changed on the plane
// and in the recording, under the name the window gave the action.
struct HistoryEntry {
    std::string label;   // empty: the window names it by what it changed
    EditEntry change;
    bool typing = false; // a keystroke of a continuous message recording

    bool changesPlane() const { return !change.plane.empty(); }
    bool changesSteps() const { return !change.recording.empty(); }
};

// The undo history of the plane and the recording, in scoped transactions.
// A command opens a transaction with its name and everything it changes
// until the transaction ends becomes one entry. Transactions nest: an inner
// one joins the outer one, whose name wins, so a command that runs others
// (New clearing the lines, a window move recording a frame) stays one entry,
// and so does a command that waits in a modal box or dialog. Entries are
// found by comparing the plane and the recording with copies taken when the
// last entry was made, so a command needs not tell what it did.
class EditHistory {
public:
    static constexpr int kEntriesKept = 1000;

    EditHistory(VirtualArea& plane, Recording& recording);
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Opens a transaction; the name and typing of the outermost one count. A
    // typing entry joins the entry before it when that is one too (the
    // keystrokes of one continuous message recording).
    void open(const std::string& label, bool typing = false);
    // Ends the transaction opened last; the outermost one makes the entry,
    // unless holdOpen keeps it open (a drag of the dot editor, whose press,
    // moves and release are one entry).
    void close();
    bool inTransaction() const { return depth_ > 0; }
    // Counts the outermost transactions opened so far.
    std::uint64_t actionNumber() const { return actionNumber_; }
    std::function<bool()> holdOpen;

    // The recording changed: the next entry compares it as well.
    void noteRecordingChanged();
    // Makes the entry of what changed, now rather than at the end of the
    // transaction.
    void flush();
    // Runs a step edit and makes it one entry as it is (a move stays a move).
    // What changed before it becomes an entry of its own first. An edit
    // without a name takes the name of the transaction it runs in. A move
    // that carries the steps the last entry moved on in the same direction
    // joins that entry.
    EditResult edit(const std::string& label, const std::function<StepEdit()>& run);

    void undo();
    void redo();
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < count(); }
    const HistoryEntry* undoEntry() const;
    const HistoryEntry* redoEntry() const;
    int count() const { return static_cast<int>(entries_.size()); }
    int index() const { return index_; }

    // The recording has just been saved or read from a file: this point of
    // the history is the saved state.
    void markClean();
    // Runs whenever undo or redo comes back to the saved state of the
    // recording: no entry between it and now changed a step.
    std::function<void()> onRecordingAtSavedState;
    // Runs after an undo or redo has changed the document: plane says
    // whether any dot changed.
    std::function<void(bool plane)> afterApply;
    // Runs after every change of the entries or of the position in them.
    std::function<void()> onChanged;
    // Hears every change of the plane and the recording as it is made into
    // an entry, joined to one, or undone (undone true) or redone: replayed in
    // this order from the state at start, they give the state now.
    std::function<void(const EditEntry& change, bool undone)> onEdit;

    // The memory the entries hold.
    std::size_t bytes() const;

private:
    void push(HistoryEntry entry);
    bool continuesMove(const std::string& label, const EditEntry& entry);
    void dropOldest();
    void apply(const EditEntry& entry, bool undo);
    void checkSavedState();
    void changed();

    VirtualArea& plane_;
    Recording& recording_;
    EditTracker tracker_;
    std::deque<HistoryEntry> entries_;
    int index_ = 0;
    int clean_ = 0;   // -1: the saved state is no longer in the history
    int depth_ = 0;
    std::uint64_t actionNumber_ = 0;
    std::string label_;
    bool typing_ = false;
    bool recordingTouched_ = false;
    bool applying_ = false;
};

} // namespace lumidot
