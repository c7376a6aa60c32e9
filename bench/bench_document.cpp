// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiscardingOutput.h"
#include "document/RecoveryJournal.h"
#include "document/Workspace.h"
#include "export/DocumentFile.h"
#include "export/JournalFormat.h"
#include "export/SaveCommand.h"

#include <benchmark/benchmark.h>

#include <filesystem>

#include <unistd.h>

// The document file and the recovery journal. Targets: a pen stroke's
// journaling on the window's thread at most 50 µs (BM_PenStroke_Journal less
// BM_PenStroke_NoJournal); saving and opening a document of 9,999 frame
// steps and a full plane at most 150 ms each; restoring from a journal of
// 10,000 actions at most 1 s.

namespace {

using namespace lumidot;

// A plane of noise (every dot decided, nothing for the PNG to pack away)
// and the longest recording of frames.
const Document& fullDocument()
{
    static const Document document = [] {
        Document d;
        unsigned state = 1;
        for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x)
            for (int y = VirtualArea::kMinY; y <= VirtualArea::kMaxY; ++y) {
                state = state * 1103515245u + 12345u;
                d.plane.setDot(x, y, (state >> 16) & 1);
            }
        PackedFrame frame{};
        for (int k = 0; k < kStepLimit; ++k) {
            frame[static_cast<std::size_t>(k) % frame.size()] ^= static_cast<std::uint8_t>(k & 0x7F);
            d.recording.appendFrame(frame);
        }
        d.lines = {"Benchmark", "document"};
        return d;
    }();
    return document;
}

std::filesystem::path scratch(const char* name)
{
    return std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
}

void BM_SaveDocument(benchmark::State& state)
{
    const std::string file = scratch("bench.lumidot").string();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveDocument(file, fullDocument()));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}

void BM_OpenDocument(benchmark::State& state)
{
    const std::string file = scratch("bench-open.lumidot").string();
    saveDocument(file, fullDocument());
    for (auto _ : state) {
        const LoadResult read = loadRecording(file);
        if (!read.ok)
            state.SkipWithError(read.error.c_str());
        benchmark::DoNotOptimize(read);
    }
    std::filesystem::remove(file);
}

// One pen stroke of 40 dots as the dot editor makes it: one transaction.
void penStroke(Workspace& workspace, int stroke)
{
    const auto action = workspace.transaction("pen");
    VirtualArea& plane = workspace.document().plane;
    for (int k = 0; k < 40; ++k) {
        const int x = (stroke * 7 + k) % 500 - 250;
        const int y = (stroke * 3 + k / 4) % 200 - 100;
        plane.setDot(x, y, !plane.dot(x, y));
    }
}

void penStrokes(benchmark::State& state, bool journaled)
{
    DiscardingOutput port;
    Workspace workspace(port);
    const std::filesystem::path folder = scratch("bench-journal");
    std::string error;
    std::unique_ptr<RecoveryJournal> journal;
    if (journaled)
        journal = RecoveryJournal::start(folder.string(), workspace, error);
    int stroke = 0;
    for (auto _ : state)
        penStroke(workspace, stroke++);
    if (journal)
        journal->discard();
    journal.reset();
    std::filesystem::remove_all(folder);
}

void BM_PenStroke_NoJournal(benchmark::State& state)
{
    penStrokes(state, false);
}

void BM_PenStroke_Journal(benchmark::State& state)
{
    penStrokes(state, true);
}

// A journal of 10,000 actions: pen strokes, frames recorded, lines typed.
const std::vector<std::uint8_t>& journalOf10000()
{
    static const std::vector<std::uint8_t> bytes = [] {
        const std::filesystem::path folder = scratch("bench-restore");
        DiscardingOutput port;
        Workspace workspace(port);
        std::string error;
        auto journal = RecoveryJournal::start(folder.string(), workspace, error);
        for (int k = 0; k < 10000; ++k) {
            switch (k % 4) {
            case 0:
            case 1: penStroke(workspace, k); break;
            case 2: workspace.recordWindow(); break;
            default: workspace.setLines({"Line " + std::to_string(k), "two"}, false); break;
            }
        }
        journal->sync();
        std::vector<std::uint8_t> all(std::filesystem::file_size(journal->path()));
        FILE* in = std::fopen(journal->path().c_str(), "rb");
        if (in) {
            all.resize(std::fread(all.data(), 1, all.size(), in));
            std::fclose(in);
        }
        journal->discard();
        journal.reset();
        std::filesystem::remove_all(folder);
        return all;
    }();
    return bytes;
}

void BM_RestoreJournal10000(benchmark::State& state)
{
    const auto& bytes = journalOf10000();
    for (auto _ : state) {
        const JournalRead read = readJournal(bytes);
        if (read.actions < 10000)
            state.SkipWithError("not every action read back");
        benchmark::DoNotOptimize(read);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

} // namespace

BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PenStroke_NoJournal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PenStroke_Journal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RestoreJournal10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
