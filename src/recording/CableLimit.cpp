// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/CableLimit.h"

#include "ns5r/StepMessages.h"
#include "recording/PlaybackSchedule.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <array>
#include <optional>
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

// What the check reads of a recording: each step's message sizes and its
// timing, gathered once for the search over spacings.
struct CableSteps {
    std::vector<StepSizes> sizes;
    std::vector<StepKind> kinds;
    std::vector<StepWait> waits;
    std::optional<int> startOffset;

    explicit CableSteps(const Recording& recording)
        : kinds(recording.kinds().begin(), recording.kinds().end())
        , waits(recording.waits().begin(), recording.waits().end())
        , startOffset(recording.startOffset())
    {
        sizes.reserve(kinds.size());
        forEachStep(recording, [&](const Step& step) { sizes.push_back(sizesOf(step)); });
    }
};

// Times here are in microseconds x tempo, so that ticks (125,000 each) and
// bytes (320 x tempo each) compare exactly, without rounding.
int lateStep(const CableSteps& steps, int stepTick, int tempo)
{
    const std::int64_t byteUnits = kCableMicrosecondsPerByte * validTempo(tempo);
    constexpr std::int64_t kTickUnits = 125000;
    StepTickCounter counter(stepTick, steps.startOffset);
    std::int64_t wireFree = 0;
    for (std::size_t k = 0; k < steps.sizes.size(); ++k) {
        std::int64_t at = counter.next(steps.kinds[k], steps.waits[k]) * kTickUnits;
        const StepSizes& sizes = steps.sizes[k];
        for (std::size_t m = 0; m < sizes.count; ++m, at += kTickUnits) {
            if (m == 0 && wireFree > at)
                return static_cast<int>(k);
            wireFree = std::max(wireFree, at) + sizes.bytes[m] * byteUnits;
        }
    }
    return -1;
}

} // namespace

int firstLateStep(const Recording& recording, int stepTick, int tempo)
{
    return lateStep(CableSteps(recording), stepTick, tempo);
}

CableCheck checkCable(const Recording& recording, int stepTick, int tempo)
{
    const CableSteps steps(recording);
    CableCheck check;
    check.firstLateStep = lateStep(steps, stepTick, tempo);
    check.outruns = check.firstLateStep >= 0;
    // A wider spacing only ever moves steps further apart (waits of their
    // own stay, but each message still follows its text event by the
    // spacing), so the spacings that fit form a range up to 127 and its
    // start can be searched for.
    if (lateStep(steps, kLargestStepTick, tempo) >= 0)
        return check;
    int low = 1, high = kLargestStepTick;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (lateStep(steps, middle, tempo) >= 0)
            low = middle + 1;
        else
            high = middle;
    }
    check.smallestStepTick = low;
    return check;
}

} // namespace lumidot
