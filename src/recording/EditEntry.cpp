// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/EditEntry.h"

namespace lumidot {

void EditEntry::undo(VirtualArea& area, Recording& rec) const
{
    recording.undo(rec);
    plane.apply(area);
}

void EditEntry::redo(VirtualArea& area, Recording& rec) const
{
    plane.apply(area);
    recording.redo(rec);
}

EditEntry EditTracker::takeChanges(const VirtualArea& area, const Recording& recording,
                                   bool recordingTouched)
{
    EditEntry entry;
    entry.plane = PlaneChange::between(plane_, area);
    entry.plane.apply(plane_);
    if (recordingTouched) {
        entry.recording = differenceBetween(recording_, recording);
        entry.recording.redo(recording_);
    }
    return entry;
}

EditEntry EditTracker::adopt(RecordingChange change)
{
    EditEntry entry;
    entry.recording = std::move(change);
    entry.recording.redo(recording_);
    return entry;
}

void EditTracker::undo(const EditEntry& entry, VirtualArea& area, Recording& recording)
{
    entry.undo(area, recording);
    entry.undo(plane_, recording_);
}

void EditTracker::redo(const EditEntry& entry, VirtualArea& area, Recording& recording)
{
    entry.redo(area, recording);
    entry.redo(plane_, recording_);
}

} // namespace lumidot
