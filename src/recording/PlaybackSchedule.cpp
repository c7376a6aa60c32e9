// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/PlaybackSchedule.h"

#include "recording/StepTiming.h"

#include <algorithm>

namespace lumidot {

std::int64_t forEachScheduledMessage(const Recording& recording, int stepTick, int tempo,
                                     const std::function<bool(const ScheduledMessage&)>& each)
{
    StepTickCounter counter = tickCounterFor(recording, stepTick);
    StepReader reader(recording);
    Step step;
    for (int index = 0; reader.next(step); ++index) {
        std::int64_t tick = counter.next(step.kind, reader.wait());
        for (const SysExMessage& message : stepMessages(step))
            if (!each({ticksToMicroseconds(tick++, tempo), index, message}))
                return -1;
    }
    return ticksToMicroseconds(counter.endTick(recording.endWait()), tempo);
}

PlaybackSchedule buildSchedule(const Recording& recording, int stepTick, int tempo)
{
    PlaybackSchedule schedule;
    const auto steps = static_cast<std::size_t>(recording.StepCount());
    schedule.stepTimes.reserve(steps);
    schedule.stepFirstMessage.reserve(steps + 1);
    schedule.messages.reserve(steps + 4 * static_cast<std::size_t>(recording.effectStream().size() / 3));
    StepTickCounter counter = tickCounterFor(recording, stepTick);
    int index = 0;
    forEachStep(recording, [&](const Step& step, StepWait wait) {
        std::int64_t tick = counter.next(step.kind, wait);
        schedule.stepTimes.push_back(ticksToMicroseconds(tick, tempo));
        schedule.stepFirstMessage.push_back(schedule.messages.size());
        for (const SysExMessage& message : stepMessages(step))
            schedule.messages.push_back({ticksToMicroseconds(tick++, tempo), index, message});
        ++index;
    });
    schedule.stepFirstMessage.push_back(schedule.messages.size());
    schedule.length = ticksToMicroseconds(counter.endTick(recording.endWait()), tempo);
    return schedule;
}

int PlaybackSchedule::stepAt(std::int64_t time) const
{
    const auto after = std::upper_bound(stepTimes.begin(), stepTimes.end(), time);
    return static_cast<int>(after - stepTimes.begin()) - 1;
}

} // namespace lumidot
