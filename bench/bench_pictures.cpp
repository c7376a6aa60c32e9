// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures into dots. Targets: one 320 x 160 frame to 32 x 16 dots with
// Floyd-Steinberg at most 0.2 ms; a 500-frame 320 x 160 GIF to frame steps
// with lumidot-convert, the whole process, at most 1 s; one preview update
// when a slider moves at most 16 ms.
#include "dialogs/ImportPreviewDialog.h"
#include "picture/PixelDots.h"
#include "support/GifWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace lumidot;

constexpr int kWidth = 320;
constexpr int kHeight = 160;

// A shaded disc on a gradient, as a photograph gives one.
GreyImage shadedFrame(int shift)
{
    GreyImage image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x - 160 - shift) / 110.0;
            const double dy = (y - 80) / 60.0;
            const int level = dx * dx + dy * dy < 1 ? 40 + x / 4 : 255 - y;
            image.set(x, y, static_cast<std::uint8_t>(std::clamp(level, 0, 255)));
        }
    }
    return image;
}

void BM_FloydSteinbergFrame(benchmark::State& state)
{
    const GreyImage frame = shadedFrame(0);
    DotConversion conversion;
    conversion.method = DotMethod::FloydSteinberg;
    for (auto _ : state)
        benchmark::DoNotOptimize(convertToDots(frame, conversion));
}
BENCHMARK(BM_FloydSteinbergFrame)->Unit(benchmark::kMicrosecond);

// A bouncing ball, two colours, disposal "keep" as animation tools write it.
QString writeAnimation(const QTemporaryDir& folder, int frames)
{
    testing::GifWriter gif(kWidth, kHeight, {0xFFFFFF, 0x000000});
    for (int k = 0; k < frames; ++k) {
        testing::GifWriter::Frame frame{0, 0, kWidth, kHeight, 1, -1, 4, {}};
        frame.pixels.reserve(kWidth * kHeight);
        const int cx = 40 + (k * 7) % 240;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frame.pixels.push_back((x - cx) * (x - cx) + (y - 80) * (y - 80) < 900 ? 1 : 0);
        gif.add(std::move(frame));
    }
    const QString path = folder.filePath("ball.gif");
    gif.save(path.toStdString());
    return path;
}

void BM_Gif500FramesFromTheCommandLine(benchmark::State& state)
{
    QTemporaryDir folder;
    const std::string gif = writeAnimation(folder, 500).toStdString();
    const std::string command = std::string(LUMIDOT_CONVERT) + " " + gif + " " +
                                folder.filePath("ball.syx").toStdString() + " --dither fs";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("lumidot-convert failed");
    }
}
BENCHMARK(BM_Gif500FramesFromTheCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewUpdateOnSliderMove(benchmark::State& state)
{
    VirtualArea area;
    TImportPreview preview(shadedFrame(0), 1, area, 0, 0, QColor(0, 255, 0));
    preview.AutoThreshold->setChecked(false);
    int level = 0;
    for (auto _ : state) {
        preview.Threshold->setValue(level);   // runs the update before it returns
        level = (level + 37) % 256;
    }
}
BENCHMARK(BM_PreviewUpdateOnSliderMove)->Unit(benchmark::kMillisecond);

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
