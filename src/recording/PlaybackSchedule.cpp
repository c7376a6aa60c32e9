// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/PlaybackSchedule.h"

#include "recording/StepTiming.h"

namespace lumidot {

std::int64_t forEachScheduledMessage(const Recording& recording, int stepTick, int tempo,
                                     const std::function<bool(const ScheduledMessage&)>& each)
{
    StepTickCounter counter(stepTick);
    StepReader reader(recording);
    Step step;
    for (int index = 0; reader.next(step); ++index) {
        std::int64_t tick = counter.next(step.kind);
        for (const SysExMessage& message : stepMessages(step))
            if (!each({ticksToMicroseconds(tick++, tempo), index, message}))
                return -1;
    }
    return ticksToMicroseconds(counter.endTick(), tempo);
}

// Every step gives at least one message, so the first message of each
// step marks where it starts.
PlaybackSchedule buildSchedule(const Recording& recording, int stepTick, int tempo)
{
    PlaybackSchedule schedule;
    const auto steps = static_cast<std::size_t>(recording.StepCount());
    schedule.stepTimes.reserve(steps);
    schedule.stepFirstMessage.reserve(steps + 1);
    schedule.messages.reserve(steps + 4 * static_cast<std::size_t>(recording.effectStream().size() / 3));
    schedule.length = forEachScheduledMessage(recording, stepTick, tempo, [&](const ScheduledMessage& message) {
        if (static_cast<std::size_t>(message.step) == schedule.stepTimes.size()) {
            schedule.stepTimes.push_back(message.time);
            schedule.stepFirstMessage.push_back(schedule.messages.size());
        }
        schedule.messages.push_back(message);
        return true;
    });
    schedule.stepFirstMessage.push_back(schedule.messages.size());
    return schedule;
}

} // namespace lumidot
