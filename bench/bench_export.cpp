// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"
#include "export/SmfWriter.h"
#include "export/SswWriter.h"
#include "export/SyxReader.h"
#include "export/SyxWriter.h"

#include <benchmark/benchmark.h>

// The longest recording of frames the recorder takes, written to each format
// in memory (target: at most 2 ms per format), and read back from .syx.

namespace {

using namespace lumidot;

const Recording& frames9999()
{
    static const Recording recording = [] {
        Recording r;
        PackedFrame frame{};
        for (int k = 0; k < kStepLimit; ++k) {
            frame[static_cast<std::size_t>(k) % frame.size()] ^= static_cast<std::uint8_t>(k & 0x7F);
            r.appendFrame(frame);
        }
        return r;
    }();
    return recording;
}

void BM_Syx(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FileSaveData(frames9999()));
}

void BM_Smf(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EXPORT_SMF(frames9999(), 8));
}

// 9,999 frames are far beyond the .prt block limit: this times the refusal.
void BM_Prt(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Export_PRT(frames9999(), 8));
}

// The largest .prt there is: 364 frames fill the block to 65,520 bytes.
void BM_PrtLargestAccepted(benchmark::State& state)
{
    Recording r;
    for (int k = 0; k < 364; ++k)
        r.appendFrame(frames9999().frameRecord(k));
    for (auto _ : state)
        benchmark::DoNotOptimize(Export_PRT(r, 8));
}

void BM_Ssw(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EXPORT_SSW(frames9999()));
}

void BM_ReadSyx(benchmark::State& state)
{
    const auto file = FileSaveData(frames9999());
    for (auto _ : state)
        benchmark::DoNotOptimize(readSyx(file));
}

BENCHMARK(BM_Syx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Smf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Prt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrtLargestAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ssw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSyx)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
