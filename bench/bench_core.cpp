// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiscardingOutput.h"
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"
#include "document/Recorder.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation of the process, to show that recording a frame or
// a message step allocates nothing.
static std::atomic<long> allocations{0};

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace lumidot;

void drawChecker(VirtualArea& area)
{
    for (int x = -40; x < 80; ++x)
        for (int y = -20; y < 40; ++y)
            area.setDot(x, y, (x ^ y) & 1);
}

void BM_PackWindow(benchmark::State& state)
{
    VirtualArea area;
    drawChecker(area);
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(packWindow(area, x, 3));
        x = (x + 1) & 15;
    }
}
BENCHMARK(BM_PackWindow);

void BM_Record9999FrameSteps(benchmark::State& state)
{
    DiscardingOutput out;
    MidiLink link(out);
    link.openAtStartup(0);
    VirtualArea area;
    drawChecker(area);
    Recording recording;
    long perStep = 0;
    for (auto _ : state) {
        recording.clear();
        const long before = allocations.load();
        for (int i = 0; i < kStepLimit; ++i)
            DotSave(recording, link, area, i & 31, 0);
        perStep = allocations.load() - before;
    }
    state.counters["allocations"] = static_cast<double>(perStep);
}
BENCHMARK(BM_Record9999FrameSteps)->Unit(benchmark::kMillisecond);

void BM_Record9999MessageSteps(benchmark::State& state)
{
    DiscardingOutput out;
    MidiLink link(out);
    link.openAtStartup(0);
    Recording recording;
    long perRun = 0;
    for (auto _ : state) {
        recording.clear();
        const long before = allocations.load();
        for (int i = 0; i < kStepLimit; ++i)
            SM_Save(recording, link, "Lumidot", "Gallery");
        perRun = allocations.load() - before;
    }
    state.counters["allocations"] = static_cast<double>(perRun);
}
BENCHMARK(BM_Record9999MessageSteps)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
