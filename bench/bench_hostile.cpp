// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs made to cost as much as their headers claim, each made here in a
// few lines, and given to the program as a user would: lumidot-convert run
// as a process of its own, and the window's animation import in a process
// of its own. Each reports that process's wall time and peak resident
// memory, and its CPU time (cpu_s), which stands for the wall time of an
// idle machine when others share this one. Targets: every picture or
// recording input converts or is refused within 5 s and 300 MB (exit 0 or 1
// both count); the GIF output of the largest recording is bounded in
// memory, and in time by its 64 MiB limit.
#include "QuietPrompts.h"
#include "app/MainForm.h"
#include "dialogs/ImportPreviewDialog.h"
#include "platform/QSettingsStore.h"
#include "support/GifWriter.h"
#include "support/HostileInputs.h"
#include "DiscardingOutput.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace lumidot;
using namespace lumidot::testing;

struct ProcessCost {
    double seconds = 0;
    double cpuSeconds = 0;   // user and system: what the wall time is on an idle machine
    double peakMb = 0;
    int exitCode = -1;
};

// Runs body in a child process and measures it from outside.
ProcessCost inChild(const std::function<int()>& body)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::_exit(body());
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ProcessCost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    cost.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    cost.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return cost;
}

const std::filesystem::path& folder()
{
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumidot-hostile-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return path;
}

std::string write(const std::string& name, const HostileBytes& bytes)
{
    const std::filesystem::path path = folder() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

HostileBytes png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int k = 0; k < std::min(width, height); ++k)
        image.setPixel(k, k, qRgb(0, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return {bytes.begin(), bytes.end()};
}

// The largest .syx file of colour steps, the smallest step there is.
HostileBytes largestColourFile()
{
    HostileBytes out;
    for (std::size_t k = 0; out.size() + 7 <= 64u * 1024 * 1024; ++k)
        out.insert(out.end(), {0xF0, 0x42, 0x30, 0x42, 0x7D, static_cast<std::uint8_t>(k % 3), 0xF7});
    return out;
}

void report(benchmark::State& state, const ProcessCost& cost)
{
    state.SetIterationTime(cost.seconds);
    state.counters["cpu_s"] = cost.cpuSeconds;
    state.counters["peak_MB"] = cost.peakMb;
    state.counters["exit"] = cost.exitCode;
}

void convertCase(benchmark::State& state, const std::string& input, const std::string& output,
                 std::vector<std::string> options = {})
{
    std::vector<std::string> args{LUMIDOT_CONVERT, input, (folder() / output).string()};
    args.insert(args.end(), options.begin(), options.end());
    for (auto _ : state) {
        report(state, inChild([&] {
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            return 127;
        }));
    }
}

void BM_MidiOfOneFrameAnd65534EmptyTracks(benchmark::State& state)
{
    convertCase(state, write("tracks.mid", midiWithEmptyTracks(65534)), "tracks.syx");
}
BENCHMARK(BM_MidiOfOneFrameAnd65534EmptyTracks)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LargestSyxOfColourSteps(benchmark::State& state)
{
    convertCase(state, write("colours.syx", largestColourFile()), "colours-copy.syx");
}
BENCHMARK(BM_LargestSyxOfColourSteps)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GifLzwBombOf65535Squared(benchmark::State& state)
{
    convertCase(state, write("bomb.gif", gifLzwBomb(65535, 65535)), "bomb.syx");
}
BENCHMARK(BM_GifLzwBombOf65535Squared)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GifScreen11585SquaredOf9999PixelFrames(benchmark::State& state)
{
    convertCase(state, write("screen.gif", gifLargeScreenTinyFrames(11585, 9999)), "screen.syx");
}
BENCHMARK(BM_GifScreen11585SquaredOf9999PixelFrames)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Within the size limit: read, each frame resampled only where it changed.
void BM_GifScreen4800SquaredOf9999PixelFrames(benchmark::State& state)
{
    convertCase(state, write("screen4800.gif", gifLargeScreenTinyFrames(4800, 9999)), "screen4800.syx",
                {"--dither", "fs"});
}
BENCHMARK(BM_GifScreen4800SquaredOf9999PixelFrames)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Ico9999EntriesOfOne5600SquaredPng(benchmark::State& state)
{
    convertCase(state, write("shared.ico", icoSharingOneImage(png(5600, 5600), 9999, 9999)), "shared.syx");
}
BENCHMARK(BM_Ico9999EntriesOfOne5600SquaredPng)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Separate copies of a large picture: no entry shares data, the total work
// is what passes the limit.
void BM_Ico200Copies4000SquaredPng(benchmark::State& state)
{
    convertCase(state, write("copies.ico", icoOfCopies(png(4000, 4000), 200)), "copies.syx");
}
BENCHMARK(BM_Ico200Copies4000SquaredPng)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The window imports a 10-frame animation of a large screen without
// scaling: each frame leaves its packed window, not its dots.
void BM_WindowImportOfLargeAnimationWithoutScaling(benchmark::State& state)
{
    std::vector<GifFrameData> frames;
    for (int k = 0; k < 10; ++k)
        frames.push_back({k * 7, k * 3, 300, 200, uniformLzw(300 * 200)});
    const std::string gif = write("window.gif", gifFile(4800, 4800, frames));
    for (auto _ : state) {
        report(state, inChild([&] {
            int argc = 1;
            char name[] = "bench";
            char* argv[] = {name, nullptr};
            QApplication app(argc, argv);
            DiscardingOutput output;
            QSettingsStore store((folder() / "NS5R.conf").string().c_str());
            struct Chooser : SilentPrompts {
                QString file;
                bool openFiles(const QString&, FileChoice&, QStringList& files) override
                {
                    files = {file};
                    return true;
                }
            } prompts;
            prompts.file = QString::fromStdString(gif);
            NoDesktop desktop;
            TMainForm form(output, store, prompts, desktop);
            form.importProgress = [](int, int) { return true; };
            form.runModal = [](QDialog& dialog) {
                auto* preview = dynamic_cast<TImportPreview*>(&dialog);
                if (!preview)
                    return int(QDialog::Rejected);
                preview->ScaleSel->setCurrentIndex(static_cast<int>(ScaleMode::None));
                return int(QDialog::Accepted);
            };
            form.ImportImage1->trigger();
            return form.Workspace.document().recording.FrameCount() == 10 ? 0 : 1;
        }));
    }
}
BENCHMARK(BM_WindowImportOfLargeAnimationWithoutScaling)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The monitor's GIF of 9.6 million colour steps: refused once the file
// passes 64 MiB, the memory that of a few pictures throughout.
void BM_GifOutputOfTheLargestColourRecording(benchmark::State& state)
{
    convertCase(state, write("colours-for-gif.syx", largestColourFile()), "colours.gif");
}
BENCHMARK(BM_GifOutputOfTheLargestColourRecording)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folder(), ignored);
    return 0;
}
