// SPDX-License-Identifier: GPL-3.0-or-later
// Videos into frame steps, the whole lumidot-convert process, against
// FFmpeg's own decoding of the same clip in the same run. Targets: a 20 s
// 640 x 360 30 fps H.264 clip at 30 frames a second in at most twice the
// time `ffmpeg -i clip.mp4 -f null -` takes; a peak memory of at most
// 200 MB for any length (the 2-minute clip shows it does not grow with it).
// The clips are made with the ffmpeg program (Debian ffmpeg).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct ProcessRun {
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;   // the process's largest resident size
};

// Runs a program, its output thrown away, and measures its wall time and
// peak memory from its own resource usage.
ProcessRun runProcess(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

class Clips {
public:
    static const Clips& get()
    {
        static const Clips clips;
        return clips;
    }
    std::string clip(int seconds) const { return (folder_ / ("clip" + std::to_string(seconds) + ".mp4")).string(); }
    std::string output() const { return (folder_ / "clip.syx").string(); }

private:
    Clips()
    {
        folder_ = std::filesystem::temp_directory_path() / ("lumidot-bench-video-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        for (const int seconds : {20, 120})
            runProcess({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                        "testsrc2=size=640x360:rate=30:duration=" + std::to_string(seconds), "-c:v",
                        "libx264", "-pix_fmt", "yuv420p", "-y", clip(seconds)});
    }
    ~Clips()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path folder_;
};

void timeProcess(benchmark::State& state, const std::vector<std::string>& args)
{
    double peak = 0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(args);
        if (!run.ok) {
            state.SkipWithError(("failed: " + args[0]).c_str());
            return;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMegabytes);
    }
    state.counters["peak_MB"] = peak;
}

void BM_FfmpegDecodes20sClip(benchmark::State& state)
{
    timeProcess(state, {"ffmpeg", "-nostdin", "-v", "error", "-i", Clips::get().clip(20), "-f", "null", "-"});
}
BENCHMARK(BM_FfmpegDecodes20sClip)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_LumidotConvert20sClipAt30Fps(benchmark::State& state)
{
    timeProcess(state, {LUMIDOT_CONVERT, Clips::get().clip(20), Clips::get().output(), "--fps", "30"});
}
BENCHMARK(BM_LumidotConvert20sClipAt30Fps)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_LumidotConvert2MinuteClipAt30Fps(benchmark::State& state)
{
    timeProcess(state, {LUMIDOT_CONVERT, Clips::get().clip(120), Clips::get().output(), "--fps", "30"});
}
BENCHMARK(BM_LumidotConvert2MinuteClipAt30Fps)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

} // namespace

BENCHMARK_MAIN();
