// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/EditHistory.h"

#include <algorithm>

namespace lumidot {

EditHistory::EditHistory(VirtualArea& plane, Recording& recording)
    : plane_(plane)
    , recording_(recording)
{
}

void EditHistory::open(const std::string& label, bool typing)
{
    if (depth_++ > 0)
        return;
    ++actionNumber_;
    // A drag held open keeps the name it started with.
    if (label_.empty()) {
        label_ = label;
        typing_ = typing;
    }
}

void EditHistory::close()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    if (holdOpen && holdOpen())
        return;
    flush();
    label_.clear();
    typing_ = false;
}

void EditHistory::noteRecordingChanged()
{
    if (!applying_)
        recordingTouched_ = true;
}

// Inside a transaction the name stays for whatever the transaction still
// changes: a save in the middle of a command ends its entry there.
void EditHistory::flush()
{
    EditEntry change = tracker_.takeChanges(plane_, recording_, recordingTouched_);
    recordingTouched_ = false;
    if (change.empty())
        return;
    if (onEdit)
        onEdit(change, false);
    const bool typing = typing_ && change.plane.empty() && change.recording.insertsOnly();
    push({label_, std::move(change), typing});
}

EditResult EditHistory::edit(const std::string& label, const std::function<StepEdit()>& run)
{
    flush();
    applying_ = true;
    StepEdit done = run();
    applying_ = false;
    if (done.result == EditResult::Done && !done.change.empty()) {
        const std::string& name = label.empty() ? label_ : label;
        EditEntry entry = tracker_.adopt(std::move(done.change));
        if (onEdit)
            onEdit(entry, false);
        if (!continuesMove(name, entry))
            push({name, std::move(entry), false});
    }
    return done.result;
}

// Only the newest entry, with nothing to redo after it, and not the saved
// state, which must stay where it is.
bool EditHistory::continuesMove(const std::string& label, const EditEntry& entry)
{
    if (index_ == 0 || index_ != count() || index_ == clean_ || !entry.plane.empty())
        return false;
    HistoryEntry& last = entries_[index_ - 1];
    if (last.label != label || last.changesPlane() || !last.change.recording.continueMove(entry.recording))
        return false;
    changed();
    return true;
}

// The redo entries go; a typing entry joins the one before when that is a
// typing entry too and not the saved state, which must stay where it is.
void EditHistory::push(HistoryEntry entry)
{
    const bool mayJoin = entry.typing && index_ > 0 && entries_[index_ - 1].typing && index_ != clean_;
    entries_.erase(entries_.begin() + index_, entries_.end());
    if (clean_ > index_)
        clean_ = -1;
    if (mayJoin && entries_[index_ - 1].change.recording.absorb(entry.change.recording)) {
        checkSavedState();
        changed();
        return;
    }
    entries_.push_back(std::move(entry));
    ++index_;
    if (count() > kEntriesKept)
        dropOldest();
    checkSavedState();
    changed();
}

void EditHistory::dropOldest()
{
    entries_.pop_front();
    --index_;
    clean_ = clean_ > 0 ? clean_ - 1 : -1;
}

void EditHistory::undo()
{
    flush();
    if (!canUndo())
        return;
    --index_;
    apply(entries_[index_].change, true);
    checkSavedState();
    changed();
}

void EditHistory::redo()
{
    flush();
    if (!canRedo())
        return;
    apply(entries_[index_].change, false);
    ++index_;
    checkSavedState();
    changed();
}

const HistoryEntry* EditHistory::undoEntry() const
{
    return canUndo() ? &entries_[index_ - 1] : nullptr;
}

const HistoryEntry* EditHistory::redoEntry() const
{
    return canRedo() ? &entries_[index_] : nullptr;
}

void EditHistory::apply(const EditEntry& entry, bool undo)
{
    applying_ = true;
    if (undo)
        tracker_.undo(entry, plane_, recording_);
    else
        tracker_.redo(entry, plane_, recording_);
    applying_ = false;
    if (onEdit)
        onEdit(entry, undo);
    if (afterApply)
        afterApply(!entry.plane.empty());
}

void EditHistory::markClean()
{
    flush();
    clean_ = index_;
    changed();
}

// Drawing after a save does not make the steps unsaved, so the recording
// is at its saved state whenever only plane entries lie between.
void EditHistory::checkSavedState()
{
    if (clean_ < 0 || !onRecordingAtSavedState)
        return;
    const int from = std::min(clean_, index_);
    const int to = std::max(clean_, index_);
    for (int k = from; k < to; ++k)
        if (entries_[k].changesSteps())
            return;
    onRecordingAtSavedState();
}

void EditHistory::changed()
{
    if (onChanged)
        onChanged();
}

std::size_t EditHistory::bytes() const
{
    std::size_t total = 0;
    for (const HistoryEntry& entry : entries_)
        total += sizeof(entry) + entry.label.capacity() + entry.change.bytes();
    return total;
}

} // namespace lumidot
