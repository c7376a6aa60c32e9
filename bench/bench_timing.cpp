// SPDX-License-Identifier: GPL-3.0-or-later
// The steps' own timing. Targets: setting the length of 1,000 selected
// steps in a 9,999-step recording, as one undo entry, at most 2 ms; writing
// and reading back a 9,999-step .mid with uneven waits within 1.5 x of the
// same recording at the spacing.
#include "document/EditHistory.h"
#include "export/OpenCommand.h"
#include "export/SmfWriter.h"
#include "recording/TimingEdits.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace lumidot;

// 9,999 steps, most of them frames, as a long animation is.
void fill(Recording& r)
{
    PackedFrame frame{};
    for (int k = 0; r.StepCount() < kStepLimit; ++k) {
        frame[k % 80] = static_cast<std::uint8_t>(k & 0x7F);
        if (k % 10 == 3)
            r.appendMessage("step", std::to_string(k));
        else if (k % 10 == 7)
            r.appendEffect({1, 2, 3});
        else
            r.appendFrame(frame);
    }
}

// The steps recorded before, as the history's first entry.
void recordedBefore(EditHistory& history)
{
    history.open("record");
    history.noteRecordingChanged();
    history.close();
}

// The window's way: the edit runs inside the history and becomes one entry.
void BM_SetLengthOf1000StepsOf9999(benchmark::State& state)
{
    Recording r;
    fill(r);
    VirtualArea area;
    EditHistory history(area, r);
    recordedBefore(history);
    bool quarter = true;
    for (auto _ : state) {
        const int length = quarter ? kTicksPerBeat : kTicksPerBar;
        history.edit("長さ", [&] { return setStepLengths(r, 4000, 1000, length, 8); });
        quarter = !quarter;
    }
    state.counters["entries"] = history.count();
}
BENCHMARK(BM_SetLengthOf1000StepsOf9999)->Unit(benchmark::kMicrosecond);

void BM_UndoLengthOf1000StepsOf9999(benchmark::State& state)
{
    Recording r;
    fill(r);
    VirtualArea area;
    EditHistory history(area, r);
    recordedBefore(history);
    history.edit("長さ", [&] { return setStepLengths(r, 4000, 1000, kTicksPerBar, 8); });
    bool undo = true;
    for (auto _ : state) {
        if (undo)
            history.undo();
        else
            history.redo();
        undo = !undo;
    }
}
BENCHMARK(BM_UndoLengthOf1000StepsOf9999)->Unit(benchmark::kMicrosecond);

// Every step at its own wait, from one byte to three, or all at the spacing.
Recording midRecording(bool uneven)
{
    Recording r;
    fill(r);
    if (uneven)
        for (int k = 0; k < r.StepCount(); ++k)
            r.setWait(k, StepWait::ticks((k * 7919) % 20000));
    return r;
}

void writeAndReadMid(benchmark::State& state, bool uneven)
{
    const Recording r = midRecording(uneven);
    for (auto _ : state) {
        const std::vector<std::uint8_t> file = EXPORT_SMF(r, 8);
        const LoadResult loaded = loadRecordingBytes(file);
        if (!loaded.ok || loaded.recording.StepCount() != r.StepCount())
            state.SkipWithError("the file did not read back");
        benchmark::DoNotOptimize(loaded.recording.waits().data());
    }
}

void BM_WriteAndReadMidAtTheSpacing(benchmark::State& state)
{
    writeAndReadMid(state, false);
}
BENCHMARK(BM_WriteAndReadMidAtTheSpacing)->Unit(benchmark::kMillisecond);

void BM_WriteAndReadMidWithUnevenWaits(benchmark::State& state)
{
    writeAndReadMid(state, true);
}
BENCHMARK(BM_WriteAndReadMidWithUnevenWaits)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
