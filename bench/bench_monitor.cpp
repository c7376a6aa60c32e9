// SPDX-License-Identifier: GPL-3.0-or-later
// The display monitor and playback. Targets: decoding one message for the
// monitor at most 2 us; a full repaint of the monitor at x4 at most 1 ms;
// playback measured at the MIDI output over 1,000 steps: median |sent -
// scheduled| at most 1 ms, 99th percentile at most 4 ms, no drift; a
// 9,999-step GIF at most 2 s.
#include "widgets/MonitorView.h"
#include "app/PlaybackDriver.h"
#include "export/GifWriter.h"
#include "midi/MidiLink.h"
#include "ns5r/DisplayModel.h"
#include "ns5r/MonitorPicture.h"
#include "picture/VirtualArea.h"
#include "recording/Player.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using namespace lumidot;

PackedFrame patternFrame(int i)
{
    VirtualArea area;
    for (int k = 0; k < 64; ++k)
        area.setDot((k * 7 + i) % 32, (k * 3 + i) % 16, 1);
    return packWindow(area, 0, 0);
}

void BM_DecodeFrameDrawForTheMonitor(benchmark::State& state)
{
    const std::vector<std::uint8_t> message = sysExMessage(frameDrawBody(patternFrame(1)));
    DisplayModel model;
    for (auto _ : state)
        benchmark::DoNotOptimize(model.apply(message));
}
BENCHMARK(BM_DecodeFrameDrawForTheMonitor);

void BM_DecodeShowMessageForTheMonitor(benchmark::State& state)
{
    const std::vector<std::uint8_t> message =
        sysExMessage(showMessageBody(kStartupBannerLine1, kBannerLine2));
    DisplayModel model;
    for (auto _ : state)
        benchmark::DoNotOptimize(model.apply(message));
}
BENCHMARK(BM_DecodeShowMessageForTheMonitor);

// The view's whole picture drawn into a window-sized image, as a repaint does.
void BM_MonitorRepaintAtX4(benchmark::State& state)
{
    DisplayModel model;
    model.apply(sysExMessage(lcdColourBody(LcdColour::Orange)));
    model.apply(sysExMessage(frameDrawBody(patternFrame(2))));
    model.apply(sysExMessage(showMessageBody("ABCDEFGHIJKLMNOP", "qrstuvwxyz012345")));
    MonitorView view(model);
    view.setDotSize(4);
    QImage target(pictureWidth(4) + 16, pictureHeight(4) + 16, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        view.paintPicture(painter, QPoint(8, 8));
    }
}
BENCHMARK(BM_MonitorRepaintAtX4)->Unit(benchmark::kMicrosecond);

class TimingOutput : public MidiOutput {
public:
    std::vector<std::int64_t> arrivals;
    SteadyPlaybackClock clock;
    int deviceCount() override { return 1; }
    std::string deviceName(int) override { return "timing"; }
    int open(int) override { return 0; }
    bool sendLong(std::span<const std::uint8_t>) override
    {
        arrivals.push_back(clock.now());
        return true;
    }
    void close() override {}
    std::string failureReason() const override { return {}; }
};

// 1,000 frame steps at 300 BPM and 2 ticks: a message every 3.3 ms, driven
// by the event loop as the monitor drives it, each send timed at the port.
void BM_PlaybackTimingAtTheOutput(benchmark::State& state)
{
    Recording recording;
    for (int i = 0; i < 1000; ++i)
        recording.appendFrame(patternFrame(i));
    std::vector<double> errors;
    double drift = 0;
    for (auto _ : state) {
        TimingOutput output;
        MidiLink link(output);
        link.openAtStartup(1);
        SteadyPlaybackClock clock;
        Player player(clock, [&](const ScheduledMessage& m) {
            const auto bytes = m.message.bytes();
            link.EXC_Out(bytes.subspan(4, bytes.size() - 5));
        });
        player.load(buildSchedule(recording, 2, 300));
        PlaybackDriver driver(player);
        QEventLoop loop;
        driver.onFinished = [&] { loop.quit(); };
        player.play();
        driver.start();
        loop.exec();
        const auto& messages = player.schedule().messages;
        errors.clear();
        for (std::size_t i = 0; i < output.arrivals.size(); ++i)
            errors.push_back(static_cast<double>(output.arrivals[i] - (player.origin() + messages[i].time)));
        drift = errors.empty() ? 0 : errors.back() - errors.front();
    }
    std::vector<double> sorted = errors;
    for (double& e : sorted)
        e = std::abs(e);
    std::sort(sorted.begin(), sorted.end());
    state.counters["messages"] = static_cast<double>(sorted.size());
    state.counters["median_us"] = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    state.counters["p99_us"] = sorted.empty() ? 0 : sorted[sorted.size() * 99 / 100];
    state.counters["max_us"] = sorted.empty() ? 0 : sorted.back();
    state.counters["drift_last_minus_first_us"] = drift;
}
BENCHMARK(BM_PlaybackTimingAtTheOutput)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Gif9999Steps(benchmark::State& state)
{
    Recording recording;
    for (int i = 0; i < 9999; ++i)
        recording.appendFrame(patternFrame(i));
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = EXPORT_GIF(recording, {static_cast<int>(state.range(0)), 120, 4}).bytes.size();
    state.counters["gif_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Gif9999Steps)->Arg(8)->Arg(14)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
