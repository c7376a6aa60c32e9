// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/PlaybackSchedule.h"

#include "recording/StepTiming.h"

namespace lumidot {

PlaybackSchedule buildSchedule(const Recording& recording, int stepTick, int tempo)
{
    PlaybackSchedule schedule;
    const auto steps = static_cast<std::size_t>(recording.StepCount());
    schedule.stepTimes.reserve(steps);
    schedule.stepFirstMessage.reserve(steps + 1);
    schedule.messages.reserve(steps + 4 * static_cast<std::size_t>(recording.effectStream().size() / 3));
    StepTickCounter counter(stepTick);
    int index = 0;
    forEachStep(recording, [&](const Step& step) {
        std::int64_t tick = counter.next(step.kind);
        schedule.stepTimes.push_back(ticksToMicroseconds(tick, tempo));
        schedule.stepFirstMessage.push_back(schedule.messages.size());
        for (const SysExMessage& message : stepMessages(step))
            schedule.messages.push_back({ticksToMicroseconds(tick++, tempo), index, message});
        ++index;
    });
    schedule.stepFirstMessage.push_back(schedule.messages.size());
    schedule.length = ticksToMicroseconds(counter.endTick(), tempo);
    return schedule;
}

} // namespace lumidot
