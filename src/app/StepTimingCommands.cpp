// SPDX-License-Identifier: GPL-3.0-or-later
// The step list's timing edits: lengths, nudges, holds and the start, each
// one undo entry.
#include "app/EditHistory.h"
#include "app/MainForm.h"
#include "app/MonitorWindow.h"
#include "app/StepListWindow.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

namespace lumidot {

void TMainForm::connectStepTiming()
{
    StepList->onSetLength = [this](int first, int count, std::int64_t ticks) {
        editSteps(tr("長さ"), [=, this] { return setStepLengths(Recording, first, count, ticks, Settings.stepTick); },
                  first, count);
    };
    StepList->onAskLength = [this](int first, int count) { askStepLength(first, count); };
    StepList->onScaleLength = [this](int first, int count, bool doubling) {
        editSteps(doubling ? tr("長さを倍に") : tr("長さを半分に"),
                  [=, this] { return scaleStepLengths(Recording, first, count, doubling, Settings.stepTick); },
                  first, count);
    };
    StepList->onResetLength = [this](int first, int count) {
        editSteps(tr("間隔に戻す"), [=, this] { return resetStepLengths(Recording, first, count); }, first, count);
    };
    StepList->onNudge = [this](int first, int count, int ticks) {
        editSteps(ticks < 0 ? tr("前へ") : tr("後へ"),
                  [=, this] { return nudgeSteps(Recording, first, count, ticks, Settings.stepTick); }, first,
                  count);
    };
    StepList->onHold = [this](int first, int count, int unit) {
        editSteps(tr("保持"), [=, this] { return holdFrames(Recording, first, count, unit, Settings.stepTick); },
                  first, count);
    };
    StepList->onAskStart = [this] { askStart(); };
}

void TMainForm::askStepLength(int first, int count)
{
    const StepLayout layout = stepLayout(Recording, Settings.stepTick);
    std::int64_t length = layout.length(first);
    if (!prompts_.askStepLength(length, shortestLength(Recording, first, Settings.stepTick), length))
        return;
    editSteps(tr("長さ"), [=, this] { return setStepLengths(Recording, first, count, length, Settings.stepTick); },
              first, count);
}

// The start dialog shows where the first step starts without a start of
// its own, so that the user sees what "as recorded" means.
void TMainForm::askStart()
{
    std::int64_t recorded = 0;
    if (Recording.StepCount() > 0) {
        StepTickCounter counter(Settings.stepTick);
        recorded = counter.next(Recording.eventStream()[0], Recording.wait(0));
    }
    std::optional<int> start;
    if (!prompts_.askStart(Recording.startOffset(), recorded, start))
        return;
    const auto [first, count] = StepList->selection();
    editSteps(tr("開始位置"), [=, this] { return setStartOffset(Recording, start); }, first, count);
}

// The list shows times at the spacing of the settings and the monitor's tempo.
void TMainForm::timingChanged()
{
    if (StepList)
        StepList->setTiming(Settings.stepTick, monitorTempo());
}

} // namespace lumidot
