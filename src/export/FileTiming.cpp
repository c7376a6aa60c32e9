// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FileTiming.h"

#include "ns5r/StepMessages.h"

#include <algorithm>
#include <map>

namespace lumidot {

namespace {

// The spacing a recording read without one of its own is given.
constexpr int kUsualStepTick = 8;

// The value most entries have; a tie goes to the one met first.
int mostCommon(std::span<const std::int64_t> values)
{
    std::map<std::int64_t, std::pair<int, std::size_t>> counts;   // value -> count, first index
    std::size_t index = 0;
    for (const std::int64_t value : values) {
        auto [entry, added] = counts.try_emplace(value, 0, index);
        ++entry->second.first;
        ++index;
    }
    std::int64_t best = 0;
    int bestCount = 0;
    std::size_t bestIndex = 0;
    for (const auto& [value, seen] : counts) {
        if (seen.first > bestCount || (seen.first == bestCount && seen.second < bestIndex)) {
            best = value;
            bestCount = seen.first;
            bestIndex = seen.second;
        }
    }
    return static_cast<int>(best);
}

bool validSpacing(std::int64_t ticks)
{
    return ticks >= 1 && ticks <= 127;
}

// The distances from label to message of the labelled steps, the first
// step's last: a start offset shortens the first one.
std::vector<std::int64_t> labelDistances(std::span<const FileStepTimes> steps)
{
    std::vector<std::int64_t> distances;
    for (std::size_t k = 1; k <= steps.size(); ++k) {
        const FileStepTimes& step = steps[k % steps.size()];
        if (step.label && validSpacing(step.first - *step.label))
            distances.push_back(step.first - *step.label);
    }
    return distances;
}

int spacingOf(std::span<const FileStepTimes> steps)
{
    if (steps.empty())
        return 0;
    if (const auto distances = labelDistances(steps); !distances.empty())
        return mostCommon(distances);
    // No labels: each step's first message after the previous one's last.
    std::vector<std::int64_t> gaps;
    std::int64_t last = 0;
    for (const FileStepTimes& step : steps) {
        gaps.push_back(step.first - last);
        last = step.last;
    }
    const bool even = std::ranges::all_of(gaps, [&](std::int64_t gap) { return gap == gaps[0]; });
    if (even && gaps[0] % 2 == 0 && validSpacing(gaps[0] / 2))
        return static_cast<int>(gaps[0] / 2);
    if (gaps.size() < 2)
        return 0;
    const std::int64_t smallest = *std::min_element(gaps.begin() + 1, gaps.end());
    return static_cast<int>(std::clamp<std::int64_t>(smallest, 1, kUsualStepTick));
}

LoadResult waitTooLong(const FileStepTimes& step, std::int64_t ticks)
{
    return refusedAt(ReadFault::BadValue, step.offset,
                     "step waits " + std::to_string(ticks) + " ticks, longer than the longest wait of " +
                         std::to_string(kMaxWait) + " ticks");
}

} // namespace

FileTimingResult applySmfTiming(Recording& recording, std::span<const FileStepTimes> steps,
                                std::int64_t end)
{
    FileTimingResult result;
    result.stepTick = spacingOf(steps);
    if (steps.empty())
        return result;
    const std::int64_t spacing = result.stepTick ? result.stepTick : kUsualStepTick;
    const auto kinds = recording.kinds();
    std::vector<WaitAt> waits;
    EdgeTiming edges;
    // Where the writer will put each step's last message.
    std::int64_t written = 0;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const FileStepTimes& step = steps[k];
        const auto extra = static_cast<std::int64_t>(std::max<std::size_t>(stepMessageCount(kinds[k]), 1)) - 1;
        if (k == 0) {
            if (step.first != 2 * spacing || !result.stepTick) {
                if (step.first > kMaxWait) {
                    result.refusal = waitTooLong(step, step.first);
                    return result;
                }
                edges.startOffset = static_cast<int>(step.first);
            }
            written = step.first + extra;
            continue;
        }
        const std::int64_t wait = std::max<std::int64_t>(0, step.first - spacing - written);
        if (wait > kMaxWait) {
            result.refusal = waitTooLong(step, wait);
            return result;
        }
        if (wait != spacing)
            waits.push_back({static_cast<int>(k), StepWait::ticks(wait)});
        written += wait + spacing + extra;
    }
    edges.endWait = static_cast<int>(std::clamp<std::int64_t>(end - written, 0, kMaxWait));
    recording.setWaits(waits);
    recording.setEdgeTiming(edges);
    return result;
}

int applyPrtTiming(Recording& recording, std::span<const std::uint8_t> stepTicks)
{
    if (stepTicks.empty())
        return 0;
    const int spacing = stepTicks[0];
    std::vector<WaitAt> waits;
    for (std::size_t k = 1; k < stepTicks.size(); ++k)
        if (stepTicks[k] != spacing)
            waits.push_back({static_cast<int>(k), StepWait::ticks(stepTicks[k])});
    recording.setWaits(waits);
    return spacing;
}

} // namespace lumidot
