// SPDX-License-Identifier: GPL-3.0-or-later
// Step edits in a full recording, undo of a whole-plane operation with the
// window sent, painting a screen of the step list, and the memory of the
// undo history. Targets: an edit of one step in 9,999 at most 1 ms; undo of
// a whole-plane operation at most 5 ms; a screen of the list at most 2 ms.
#include "DiscardingOutput.h"
#include "document/EditHistory.h"
#include "QuietPrompts.h"
#include "app/MainForm.h"
#include "app/StepListModel.h"
#include "app/StepListWindow.h"
#include "platform/SettingsStore.h"
#include "picture/RegionOps.h"
#include "recording/StepEdits.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace lumidot;

class NoStore : public SettingsStore {
public:
    bool openKey() override { return true; }
    Value read(const std::string&) override { return {}; }
    bool write(const std::string&, std::span<const std::uint8_t>) override { return true; }
    void release() override {}
};

// 9,999 steps, most of them frames, so that every edit moves the tables.
void fill(Recording& r)
{
    PackedFrame frame{};
    for (int k = 0; r.StepCount() < kStepLimit; ++k) {
        frame[k % 80] = static_cast<std::uint8_t>(k & 0x7F);
        if (k % 10 == 3)
            r.appendMessage("step", std::to_string(k));
        else if (k % 10 == 7)
            r.appendEffect({1, 2, 3});
        else
            r.appendFrame(frame);
    }
}

void BM_DeleteOneStepOf9999(benchmark::State& state)
{
    Recording r;
    fill(r);
    for (auto _ : state) {
        StepEdit edit = deleteSteps(r, 10, 1);
        state.PauseTiming();
        edit.change.undo(r);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteOneStepOf9999)->Unit(benchmark::kMicrosecond);

void BM_MoveOneStepOf9999(benchmark::State& state)
{
    Recording r;
    fill(r);
    bool down = true;
    for (auto _ : state) {
        // From the start to the end and back: the longest move there is.
        benchmark::DoNotOptimize(down ? moveSteps(r, 0, 1, kStepLimit - 1) : moveSteps(r, kStepLimit - 1, 1, 0));
        down = !down;
    }
}
BENCHMARK(BM_MoveOneStepOf9999)->Unit(benchmark::kMicrosecond);

void BM_PasteOneStepInto9998(benchmark::State& state)
{
    Recording r;
    fill(r);
    const StepClip one = r.copySteps(0, 1);
    r.removeSteps(0, 1);
    for (auto _ : state) {
        StepEdit edit = insertSteps(r, 0, one);
        state.PauseTiming();
        edit.change.undo(r);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteOneStepInto9998)->Unit(benchmark::kMicrosecond);

struct Window {
    DiscardingOutput output;
    NoStore store;
    SilentPrompts prompts;
    NoDesktop desktop;
    TMainForm form{output, store, prompts, desktop};
    Window() { form.createSecondaryWindows(); }
};

// Invert at zoom 1 (the largest view), then undo and redo it; each undo
// puts the dots back, repaints and sends the window.
void BM_UndoWholeViewInvert(benchmark::State& state)
{
    Window w;
    w.form.Zooms->setValue(1);
    w.form.ToolButton1->click();
    QApplication::processEvents();
    for (auto _ : state) {
        w.form.Undo1Click();
        state.PauseTiming();
        w.form.Redo1Click();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoWholeViewInvert)->Unit(benchmark::kMicrosecond);

// The largest whole-plane change: clear all at the widest limits with every
// dot of the plane set, undone with the window sent.
void BM_UndoClearOfTheWholePlane(benchmark::State& state)
{
    Window w;
    w.form.XSc->setRange(-512, 512);
    w.form.YSc->setRange(-256, 256);
    fillRegion(w.form.Workspace.document().plane, {-600, -300, 600, 300}, 1);
    w.form.Disp_FD();
    QApplication::processEvents();
    w.form.ToolButton3->click();
    QApplication::processEvents();
    for (auto _ : state) {
        w.form.Undo1Click();
        state.PauseTiming();
        w.form.Redo1Click();
        state.ResumeTiming();
    }
    state.counters["entries"] = w.form.Workspace.history().count();
    state.counters["entries_kB"] = static_cast<double>(w.form.Workspace.history().bytes()) / 1024.0;
}
BENCHMARK(BM_UndoClearOfTheWholePlane)->Unit(benchmark::kMicrosecond);

void BM_PaintOneScreenOfTheStepList(benchmark::State& state)
{
    Window w;
    fill(w.form.Workspace.document().recording);
    w.form.StepList1Click();
    w.form.StepList->resize(460, 720);
    QApplication::processEvents();
    QWidget* viewport = w.form.StepList->List->viewport();
    QImage screen(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    w.form.StepList->List->scrollTo(w.form.StepList->Model->index(5000, 0));
    for (auto _ : state) {
        viewport->render(&screen);
        benchmark::DoNotOptimize(screen.bits());
    }
    state.counters["rows"] = viewport->height() / 38.0;
}
BENCHMARK(BM_PaintOneScreenOfTheStepList)->Unit(benchmark::kMicrosecond);

// 1,000 inversions of the zoom-1 view, and 1,000 of the whole plane, on the
// undo stack.
void BM_MemoryOf1000Inversions(benchmark::State& state)
{
    for (auto _ : state) {
        Window w;
        w.form.Zooms->setValue(1);
        for (int k = 0; k < 1000; ++k) {
            w.form.ToolButton1->click();
            QApplication::processEvents();
        }
        state.counters["view_entries"] = w.form.Workspace.history().count();
        state.counters["view_MB"] = static_cast<double>(w.form.Workspace.history().bytes()) / 1e6;

        Window whole;
        const View plane{VirtualArea::kMinX, VirtualArea::kMinY, VirtualArea::kWidth, VirtualArea::kHeight};
        for (int k = 0; k < 1000; ++k) {
            const auto action = whole.form.Workspace.transaction({});
            invertView(whole.form.Workspace.document().plane, plane);
        }
        state.counters["plane_entries"] = whole.form.Workspace.history().count();
        state.counters["plane_MB"] = static_cast<double>(whole.form.Workspace.history().bytes()) / 1e6;
    }
}
BENCHMARK(BM_MemoryOf1000Inversions)->Iterations(1)->Unit(benchmark::kMillisecond);

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
