// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiscardingOutput.h"
#include "document/LivePacer.h"
#include "document/Recorder.h"
#include "midi/MidiLink.h"
#include "ns5r/Commands.h"
#include "picture/DotEditor.h"
#include "picture/VirtualArea.h"
#include "recording/Player.h"
#include "widgets/DotView.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using namespace lumidot;

DotViewScene sceneAt(const VirtualArea& area, int zoom, int zoomOneCell)
{
    DotViewScene scene{&area, 0, 0, zoomOneCell << (zoom - 1), QColor(0, 255, 0), nullptr, true};
    const View view = viewForZoom(0, 0, zoom);
    scene.cols = view.cols;
    scene.rows = view.rows;
    return scene;
}

// One pen move end to end, as the window handles it: the editor draws the
// line from the last position, the view's dot picture is repainted, the
// window is packed and sent (unpaced: every move reaches the port).
void BM_PenMove(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    VirtualArea area;
    for (int x = 0; x < 64; x += 3)
        area.setDot(x, x / 2, 1);
    DotEditor editor;
    editor.setZoom(zoom);
    DiscardingOutput output;
    MidiLink link(output);
    link.openAtStartup(0);

    QImage dots;
    const DotViewScene scene = sceneAt(area, zoom, kCellSizes[0]);
    editor.press(10, 10);
    int step = 0;
    for (auto _ : state) {
        const int x = (step * 7) % kViewPixelsWide;
        const int y = (step * 3) % kViewPixelsHigh;
        ++step;
        editor.move(area, scene.scrollX, scene.scrollY, x, y);
        renderDotPicture(dots, scene);
        FD_OUT(link, area, scene.scrollX, scene.scrollY);
        benchmark::DoNotOptimize(dots.constBits());
    }
    state.SetLabel(zoom == 1 ? "2048 cells" : "512 cells");
}
BENCHMARK(BM_PenMove)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The repaint of a pen move: the dot picture, whatever the canvas's size.
void BM_PaintView(benchmark::State& state)
{
    VirtualArea area;
    QImage dots;
    const DotViewScene scene = sceneAt(area, static_cast<int>(state.range(0)), kCellSizes[0]);
    for (auto _ : state) {
        renderDotPicture(dots, scene);
        benchmark::DoNotOptimize(dots.constBits());
    }
}
BENCHMARK(BM_PaintView)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

// The same with the onion skin's two frames under the window.
void BM_PaintViewOnion(benchmark::State& state)
{
    VirtualArea area;
    VirtualArea frames;
    for (int x = 0; x < 32; ++x)
        frames.setDot(x, x / 2, 1);
    const PackedFrame before = packWindow(frames, 0, 0);
    const PackedFrame after = packWindow(frames, 1, 0);
    QImage dots;
    DotViewScene scene = sceneAt(area, static_cast<int>(state.range(0)), kCellSizes[0]);
    scene.onion = {&before, &after};
    for (auto _ : state) {
        renderDotPicture(dots, scene);
        benchmark::DoNotOptimize(dots.constBits());
    }
}
BENCHMARK(BM_PaintViewOnion)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// What the screen update does with the dot picture, once per update however
// many repaints came in between: the scaled image, the grid and the frame,
// on the smallest canvas (4-pixel cells at zoom 1) and on 1,024 x 512 (16).
void BM_ComposeView(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    const int zoomOneCell = static_cast<int>(state.range(1));
    VirtualArea area;
    QImage dots;
    const DotViewScene scene = sceneAt(area, zoom, zoomOneCell);
    renderDotPicture(dots, scene);
    QImage screen(64 * zoomOneCell, 32 * zoomOneCell, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        paintDotView(painter, dots, scene);
        painter.end();
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_ComposeView)->ArgsProduct({{1, 4}, {4, 16}})->Unit(benchmark::kMicrosecond);

// A clock moved by the benchmark: a millisecond per pen move.
class StrokeClock : public PlaybackClock {
public:
    std::int64_t time = 0;
    std::int64_t now() override { return time; }
};

// Ten seconds of stroke at 1,000 moves a second through the pacer, with a
// timer that wakes on whole milliseconds. The figure is how far the
// module's picture trails the pen at worst: from a move to the moment the
// first frame sent after it has passed the wire.
void BM_LivePacing(benchmark::State& state)
{
    constexpr std::int64_t kFrameOnWire = 89 * 320;
    std::int64_t worstLag = 0;
    int framesSent = 0;
    for (auto _ : state) {
        DiscardingOutput output;
        MidiLink link(output);
        link.openAtStartup(0);
        StrokeClock clock;
        LivePacer pacer(link, clock);
        std::int64_t due = -1;
        const auto arm = [&](std::int64_t wait) {
            if (due < 0 && wait >= 0)
                due = clock.time + (wait + 999) / 1000 * 1000;
        };
        pacer.onWaiting = arm;
        std::int64_t wireFree = 0;
        std::int64_t oldestUnsent = -1;
        int sent = 0;
        // A frame that left now carries every move not yet sent.
        const auto noteSends = [&] {
            if (output.sends == sent)
                return;
            sent = output.sends;
            wireFree = std::max(clock.time, wireFree) + kFrameOnWire;
            if (oldestUnsent >= 0)
                worstLag = std::max(worstLag, wireFree - oldestUnsent);
            oldestUnsent = -1;
        };
        for (int move = 0; move < 10'000; ++move) {
            clock.time = move * 1000;
            if (due >= 0 && clock.time >= due) {
                due = -1;
                arm(pacer.poll());
                noteSends();
            }
            PackedFrame frame{};
            frame[0] = static_cast<std::uint8_t>(move & 0x7F);
            if (oldestUnsent < 0)
                oldestUnsent = clock.time;
            pacer.EXC_Out(frameDrawBody(frame));
            noteSends();
        }
        framesSent = output.sends;
    }
    state.counters["worst_lag_ms"] = static_cast<double>(worstLag) / 1000.0;
    state.counters["frames_sent"] = framesSent;
}
BENCHMARK(BM_LivePacing)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
