// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the whole program to its first shown window: the main window
// with its creation (settings, port, greeting), the side windows, the first
// paint. Targets: at most 300 ms, at most 80 MB peak resident memory.
#include "QuietPrompts.h"
#include "app/MainForm.h"
#include "midi/backends/SystemMidiOutput.h"
#include "platform/QSettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <memory>

namespace {

using namespace lumidot;

double firstStartMs = 0;

double peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Builds the program's windows on the real port and a settings file of its
// own, shows the main window and lets it paint.
void startProgram(const QString& settingsFile)
{
    SystemMidiOutput output;
    QSettingsStore store(settingsFile);
    SilentPrompts prompts;
    NoDesktop desktop;
    TMainForm form(output, store, prompts, desktop);
    form.createSecondaryWindows();
    form.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form.winId());
}

void BM_Startup(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString settingsFile = dir.filePath("NS5R.conf");
    for (auto _ : state)
        startProgram(settingsFile);
    state.counters["first_start_ms"] = firstStartMs;
    state.counters["peak_rss_MB"] = peakResidentMb();
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidot"));
    {
        QTemporaryDir dir;
        startProgram(dir.filePath("NS5R.conf"));
    }
    firstStartMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
