// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/StepClip.h"

#include <algorithm>

namespace lumidot {

std::size_t StepClip::bytes() const
{
    return kinds.capacity() + waits.capacity() * sizeof(StepWait) + effects.capacity()
           + frames.capacity() * sizeof(PackedFrame) + messages.capacity() * sizeof(MessageRecord);
}

void StepClip::append(const StepClip& more)
{
    // A clip without waits counts as one whose steps all take the spacing.
    waits.resize(kinds.size());
    const auto moreWaits = std::min(more.waits.size(), more.kinds.size());
    waits.insert(waits.end(), more.waits.begin(), more.waits.begin() + static_cast<std::ptrdiff_t>(moreWaits));
    kinds.insert(kinds.end(), more.kinds.begin(), more.kinds.end());
    waits.resize(kinds.size());
    effects.insert(effects.end(), more.effects.begin(), more.effects.end());
    frames.insert(frames.end(), more.frames.begin(), more.frames.end());
    messages.insert(messages.end(), more.messages.begin(), more.messages.end());
}

int lastLimitedStep(std::span<const StepKind> kinds)
{
    for (int k = static_cast<int>(kinds.size()) - 1; k >= 0; --k)
        if (limitedKind(kinds[k]))
            return k;
    return -1;
}

StepClip allSteps(const Recording& recording)
{
    return recording.copySteps(0, recording.StepCount());
}

Recording recordingOf(const StepClip& clip)
{
    Recording recording;
    recording.insertSteps(0, clip);
    return recording;
}

} // namespace lumidot
