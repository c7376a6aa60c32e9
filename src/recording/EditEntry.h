// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PlaneChange.h"
#include "picture/VirtualArea.h"
#include "recording/RecordingChange.h"

#include <cstddef>

namespace lumidot {

// What one user action changed: the dots of the plane and the steps of the
// recording. An undo entry of the window holds one.
struct EditEntry {
    PlaneChange plane;
    RecordingChange recording;

    bool empty() const { return plane.empty() && recording.empty(); }
    std::size_t bytes() const { return plane.bytes() + recording.bytes(); }

    // The plane and the recording must be in the state after the entry for
    // undo, before it for redo.
    void undo(VirtualArea& area, Recording& rec) const;
    void redo(VirtualArea& area, Recording& rec) const;
};

// Finds what the user's actions changed, by comparing the plane and the
// recording with a copy of each taken when the last entry was made. So
// every command that draws or records becomes an entry without telling
// what it did, an image import as much as a pen stroke.
class EditTracker {
public:
    // The tracker starts from a clear plane and an empty recording, the
    // state of the document at start.
    EditTracker() = default;

    // What changed since the last entry; the copies then follow. Pass
    // recordingTouched = false when the recording cannot have changed, to
    // save the comparison.
    EditEntry takeChanges(const VirtualArea& area, const Recording& recording,
                          bool recordingTouched = true);
    // A recording change already made and known (a step edit), taken as the
    // entry: a move stays a move rather than a replaced run.
    EditEntry adopt(RecordingChange change);

    // Undo and redo of an entry, on the document and on the copies alike.
    void undo(const EditEntry& entry, VirtualArea& area, Recording& recording);
    void redo(const EditEntry& entry, VirtualArea& area, Recording& recording);

private:
    VirtualArea plane_;
    Recording recording_;
};

} // namespace lumidot
