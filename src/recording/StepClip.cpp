// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/StepClip.h"

#include <algorithm>

namespace lumidot {

std::size_t StepClip::bytes() const
{
    return opcodes.capacity() + waits.capacity() * sizeof(StepWait) + effects.capacity()
           + frames.capacity() * sizeof(PackedFrame) + messages.capacity() * sizeof(MessageRecord);
}

void StepClip::append(const StepClip& more)
{
    // A clip without waits counts as one whose steps all take the spacing.
    waits.resize(opcodes.size());
    const auto moreWaits = std::min(more.waits.size(), more.opcodes.size());
    waits.insert(waits.end(), more.waits.begin(), more.waits.begin() + static_cast<std::ptrdiff_t>(moreWaits));
    opcodes.insert(opcodes.end(), more.opcodes.begin(), more.opcodes.end());
    waits.resize(opcodes.size());
    effects.insert(effects.end(), more.effects.begin(), more.effects.end());
    frames.insert(frames.end(), more.frames.begin(), more.frames.end());
    messages.insert(messages.end(), more.messages.begin(), more.messages.end());
}

int lastLimitedStep(std::span<const std::uint8_t> opcodes)
{
    for (int k = static_cast<int>(opcodes.size()) - 1; k >= 0; --k)
        if (opcodes[k] == kOpFrame || opcodes[k] == kOpMessage)
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
