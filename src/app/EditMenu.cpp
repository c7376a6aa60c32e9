// SPDX-License-Identifier: GPL-3.0-or-later
// The "編集" menu, the undo history and the step list: how the window's
// commands become undoable entries and how the list's edits are done.
#include "app/MainForm.h"
#include "app/MonitorWindow.h"
#include "app/StepListWindow.h"
#include "recording/StepEdits.h"
#include "recording/StepTiming.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>

#include <algorithm>
#include <optional>

namespace lumidot {

namespace {

QString undoCaption()
{
    return TMainForm::tr("元に戻す(&U)");
}

QString redoCaption()
{
    return TMainForm::tr("やり直し(&R)");
}

QString captionWith(const QString& caption, const HistoryEntry* entry)
{
    if (!entry)
        return caption;
    // An action the window did not name is named by what it changed.
    QString what = QString::fromStdString(entry->label);
    if (what.isEmpty())
        what = entry->changesPlane() ? TMainForm::tr("描画") : TMainForm::tr("記録");
    return caption + QLatin1Char(' ') + what;
}

} // namespace

void TMainForm::buildEditMenu()
{
    // A drag of the dot editor is one entry from press to release.
    Workspace.history().holdOpen = [this] { return editor_.penDrag() || editor_.boxDrag(); };

    EditMenu = menuBar()->addMenu(tr("編集(&E)"));
    Undo1 = EditMenu->addAction(undoCaption());
    Undo1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Redo1 = EditMenu->addAction(redoCaption());
    Redo1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    showUndoState();
    connect(Undo1, &QAction::triggered, this, &TMainForm::Undo1Click);
    connect(Redo1, &QAction::triggered, this, &TMainForm::Redo1Click);
}

void TMainForm::buildStepListItem()
{
    StepList1 = ViewMenu->addAction(tr("ステップ一覧(&L)"));
    StepList1->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    connect(StepList1, &QAction::triggered, this, &TMainForm::StepList1Click);
}

void TMainForm::createStepList()
{
    StepList = new StepListWindow(Workspace.document().recording, this);
    // Undo and redo work from the list's window too.
    StepList->addActions({Undo1, Redo1});
    StepList->setTiming(Workspace.document().stepTick, monitorTempo());
    StepList->onDelete = [this](int first, int count) {
        editSteps(tr("削除"), [=](Recording& r) { return deleteSteps(r, first, count); },
                  first, 1);
    };
    StepList->onMove = [this](int first, int count, int to) {
        editSteps(tr("移動"), [=](Recording& r) { return moveSteps(r, first, count, to); },
                  to, count);
    };
    StepList->onDuplicate = [this](int first, int count) {
        const auto action = Workspace.transaction(tr("複製").toStdString());
        showStepEdit(Workspace.duplicateSteps(first, count), first + count, count);
    };
    StepList->onPaste = [this](int at, const StepClip& steps) {
        editSteps(tr("貼り付け"), [&](Recording& r) { return insertSteps(r, at, steps); },
                  at, steps.size());
    };
    StepList->onInsertHere = [this](int at) { insertCurrentPageStep(at); };
    connectStepTiming();
    StepList->onFrameChosen = [this](int step) { takeFrameIntoWindow(step); };
    StepList->onOverwrite = [this](int step) { overwriteFrame(step); };
    // The onion skin shows the frames around the selected step.
    StepList->onSelectionChanged = [this] {
        if (OnionSkin1->isChecked())
            Disp_FD();
    };
}

// The step list's timing edits, each one entry under the command's name.
void TMainForm::connectStepTiming()
{
    StepList->onSetLength = [this](int first, int count, std::int64_t ticks) {
        const auto action = Workspace.transaction(tr("長さ").toStdString());
        showStepEdit(Workspace.setStepLengths(first, count, ticks), first, count);
    };
    StepList->onAskLength = [this](int first, int count) { askStepLength(first, count); };
    StepList->onScaleLength = [this](int first, int count, bool doubling) {
        const auto action =
            Workspace.transaction((doubling ? tr("長さを倍に") : tr("長さを半分に")).toStdString());
        showStepEdit(Workspace.scaleStepLengths(first, count, doubling), first, count);
    };
    StepList->onResetLength = [this](int first, int count) {
        const auto action = Workspace.transaction(tr("間隔に戻す").toStdString());
        showStepEdit(Workspace.resetStepLengths(first, count), first, count);
    };
    StepList->onNudge = [this](int first, int count, int ticks) {
        const auto action = Workspace.transaction((ticks < 0 ? tr("前へ") : tr("後へ")).toStdString());
        showStepEdit(Workspace.nudgeSteps(first, count, ticks), first, count);
    };
    StepList->onHold = [this](int first, int count, int unit) {
        const auto action = Workspace.transaction(tr("保持").toStdString());
        showStepEdit(Workspace.holdFrames(first, count, unit), first, count);
    };
    StepList->onAskStart = [this] { askStart(); };
}

// The length dialog opens at the first selected step's length.
void TMainForm::askStepLength(int first, int count)
{
    const auto action = Workspace.transaction(tr("長さ").toStdString());
    std::int64_t length = Workspace.stepLength(first);
    if (prompts_.askStepLength(length, Workspace.shortestLength(first), length))
        showStepEdit(Workspace.setStepLengths(first, count, length), first, count);
}

// The start dialog shows where the first step starts without a start of
// its own, so that the user sees what "as recorded" means.
void TMainForm::askStart()
{
    const auto action = Workspace.transaction(tr("開始位置").toStdString());
    std::optional<int> start;
    if (!prompts_.askStart(Workspace.document().recording.startOffset(), Workspace.recordedStart(), start))
        return;
    const auto [first, count] = StepList->selection();
    showStepEdit(Workspace.setStartOffset(start), first, count);
}

// Every change of the recording's steps: the figures and the list follow.
void TMainForm::recordingChanged()
{
    InfoMake();
    if (StepList)
        StepList->recordingChanged();
    if (OnionSkin1->isChecked())
        Disp_FD();
}

// Once per completed action.
void TMainForm::documentChanged(DocumentChanges changes)
{
    if (changes.has(DocumentChange::History))
        showUndoState();
    // The list's starts and times follow the spacing and the tempo.
    if (changes.has(DocumentChange::StepTick) || changes.has(DocumentChange::Tempo)) {
        if (StepList)
            StepList->setTiming(Workspace.document().stepTick, monitorTempo());
        InfoMake();
    }
}

void TMainForm::showUndoState()
{
    const EditHistory& history = Workspace.history();
    Undo1->setEnabled(history.canUndo());
    Redo1->setEnabled(history.canRedo());
    Undo1->setText(captionWith(undoCaption(), history.undoEntry()));
    Redo1->setText(captionWith(redoCaption(), history.redoEntry()));
}

void TMainForm::editSteps(const QString& name, const std::function<StepEdit(Recording&)>& edit,
                          int selectFirst, int selectCount)
{
    showStepEdit(Workspace.editSteps(name.toStdString(), edit), selectFirst, selectCount);
}

void TMainForm::showStepEdit(EditResult result, int selectFirst, int selectCount)
{
    if (result == EditResult::Full)
        showRecordingFull();
    if (result == EditResult::Done)
        StepList->selectSteps(selectFirst, selectCount);
}

// "ここに挿入": the step the record button of the page shown would record,
// put before step at.
void TMainForm::insertCurrentPageStep(int at)
{
    static constexpr StepSource kPageSources[] = {StepSource::Colour, StepSource::Lines,
                                                  StepSource::Window, StepSource::Effect};
    const std::optional<StepClip> step =
        Workspace.stepFrom(kPageSources[std::clamp(PC->currentIndex(), 0, 3)]);
    if (!step)
        return;
    editSteps(tr("挿入"), [&](Recording& r) { return insertSteps(r, at, *step); }, at, 1);
}

// A frame step's dots back into the window, to be redrawn and recorded again.
void TMainForm::takeFrameIntoWindow(int step)
{
    const auto action = Workspace.transaction(tr("フレームの読み込み").toStdString());
    if (Workspace.takeFrame(step))
        Disp_FD();
}

// "上書き": the frame step takes the window's dots, as one entry; with a
// double-click that took the frame into the window, it fixes a frame in place.
void TMainForm::overwriteFrame(int step)
{
    const PackedFrame frame = packWindow(Workspace.document().plane, ScrollX(), ScrollY());
    editSteps(tr("上書き"), [&](Recording& r) { return lumidot::overwriteFrame(r, step, frame); }, step, 1);
}

// Undo and redo send the window themselves when they changed its dots.
void TMainForm::Undo1Click()
{
    Workspace.undo();
    Disp_FD();
}

void TMainForm::Redo1Click()
{
    Workspace.redo();
    Disp_FD();
}

void TMainForm::StepList1Click()
{
    StepList->setTiming(Workspace.document().stepTick, monitorTempo());
    StepList->show();
    StepList->raise();
    StepList->activateWindow();
}

} // namespace lumidot
