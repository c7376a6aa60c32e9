// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiscardingOutput.h"
#include "document/Recorder.h"
#include "midi/MidiLink.h"
#include "widgets/DotView.h"
#include "ns5r/Commands.h"
#include "picture/DotEditor.h"
#include "picture/VirtualArea.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

using namespace lumidot;

// One pen move end to end, as the window handles it: the editor writes the
// dot, the whole view is repainted, the window is packed and sent.
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

    QImage image(kViewPixelsWide, kViewPixelsHigh, QImage::Format_RGB32);
    DotViewScene scene{&area, 0, 0, editor.cellSize(), QColor(0, 255, 0), nullptr, true};
    editor.press(10, 10);
    int step = 0;
    for (auto _ : state) {
        const int x = (step * 7) % kViewPixelsWide;
        const int y = (step * 3) % kViewPixelsHigh;
        ++step;
        editor.move(area, scene.scrollX, scene.scrollY, x, y);
        renderDotView(image, scene);
        FD_OUT(link, area, scene.scrollX, scene.scrollY);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(zoom == 1 ? "2048 cells" : "512 cells");
}
BENCHMARK(BM_PenMove)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The repaint alone, the bulk of the pen move.
void BM_PaintView(benchmark::State& state)
{
    VirtualArea area;
    QImage image(kViewPixelsWide, kViewPixelsHigh, QImage::Format_RGB32);
    const DotViewScene scene{&area, 0, 0, cellSizeForZoom(static_cast<int>(state.range(0))),
                             QColor(0, 255, 0), nullptr, true};
    for (auto _ : state) {
        renderDotView(image, scene);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintView)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
