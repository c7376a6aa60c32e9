// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/CableLimit.h"

#include "ns5r/StepMessages.h"
#include "recording/PlaybackSchedule.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumidot {

namespace {

constexpr int kLargestStepTick = 127;

// The sizes of a step's messages on the wire, without building them.
struct StepSizes {
    std::array<std::uint8_t, 5> bytes{};
    std::size_t count = 0;
};

StepSizes sizesOf(const Step& step)
{
    switch (step.kind) {
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off: return {{7}, 1};
    case StepKind::Message: return {{static_cast<std::uint8_t>(step.text.size() + 9)}, 1};
    case StepKind::Frame: return {{89}, 1};
    case StepKind::Effect: return {{7, 10, 10, 10, 7}, 5};
    }
    return {};
}

// Times here are in microseconds x tempo, so that ticks (125,000 each) and
// bytes (320 x tempo each) compare exactly, without rounding.
int lateStep(const std::vector<StepSizes>& steps, std::span<const StepKind> kinds, int stepTick,
             int tempo)
{
    const std::int64_t byteUnits = kCableMicrosecondsPerByte * validTempo(tempo);
    constexpr std::int64_t kTickUnits = 125000;
    StepTickCounter counter(stepTick);
    std::int64_t wireFree = 0;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        std::int64_t at = counter.next(kinds[k]) * kTickUnits;
        for (std::size_t m = 0; m < steps[k].count; ++m, at += kTickUnits) {
            if (m == 0 && wireFree > at)
                return static_cast<int>(k);
            wireFree = std::max(wireFree, at) + steps[k].bytes[m] * byteUnits;
        }
    }
    return -1;
}

std::vector<StepSizes> stepSizes(const Recording& recording)
{
    std::vector<StepSizes> sizes;
    sizes.reserve(static_cast<std::size_t>(recording.StepCount()));
    forEachStep(recording, [&](const Step& step) { sizes.push_back(sizesOf(step)); });
    return sizes;
}

} // namespace

int firstLateStep(const Recording& recording, int stepTick, int tempo)
{
    return lateStep(stepSizes(recording), recording.kinds(), stepTick, tempo);
}

CableCheck checkCable(const Recording& recording, int stepTick, int tempo)
{
    const auto kinds = recording.kinds();
    const std::vector<StepSizes> sizes = stepSizes(recording);
    CableCheck check;
    check.firstLateStep = lateStep(sizes, kinds, stepTick, tempo);
    check.outruns = check.firstLateStep >= 0;
    // A wider spacing only ever moves steps further apart, so the spacings
    // that fit form a range up to 127 and its start can be searched for.
    if (lateStep(sizes, kinds, kLargestStepTick, tempo) >= 0)
        return check;
    int low = 1, high = kLargestStepTick;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (lateStep(sizes, kinds, middle, tempo) >= 0)
            low = middle + 1;
        else
            high = middle;
    }
    check.smallestStepTick = low;
    return check;
}

} // namespace lumidot
