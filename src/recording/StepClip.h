// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Recording.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumidot {

using MessageRecord = std::array<std::uint8_t, kMessageRecordSize>;

// Steps taken out of a recording with their payloads, laid out as the
// recording lays them out: one kind per step, three effect bytes per effect
// step, one frame record per frame step and one whole message record per
// message step, each in step order, and each step's wait. It is what the
// clipboard, the undo entries and the step edits carry.
struct StepClip {
    std::vector<StepKind> kinds;
    std::vector<StepWait> waits;   // one a step; empty: every step takes the spacing
    std::vector<std::uint8_t> effects;
    std::vector<PackedFrame> frames;
    std::vector<MessageRecord> messages;

    int size() const { return static_cast<int>(kinds.size()); }
    bool empty() const { return kinds.empty(); }
    // The memory the clip holds, for the undo stack's accounting.
    std::size_t bytes() const;
    void append(const StepClip& more);
};

// The index of the last frame or message step, the two kinds held to the
// step limit, or -1 when there is none.
int lastLimitedStep(std::span<const StepKind> kinds);

// The whole recording as a clip, and a clip as a recording of its own (for
// the writers and the readers).
StepClip allSteps(const Recording& recording);
Recording recordingOf(const StepClip& clip);

} // namespace lumidot
