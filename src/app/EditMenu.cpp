// SPDX-License-Identifier: GPL-3.0-or-later
// The "編集" menu, the undo history and the step list: how the window's
// commands become undoable entries and how the list's edits are done.
#include "app/EditHistory.h"
#include "app/MainForm.h"
#include "app/MonitorWindow.h"
#include "app/StepListWindow.h"
#include "ns5r/Commands.h"
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
#include <QUndoStack>

#include <algorithm>

namespace lumidot {

namespace {

const QString kUndoCaption = QStringLiteral("元に戻す(&U)");
const QString kRedoCaption = QStringLiteral("やり直し(&R)");

QString captionWith(const QString& caption, const QString& what)
{
    return what.isEmpty() ? caption : caption + QLatin1Char(' ') + what;
}

} // namespace

void TMainForm::buildEditMenu()
{
    History = new EditHistory(VirtualArea, Recording, this);
    History->holdOpen = [this] { return editor.penDrag() || editor.boxDrag(); };
    History->afterApply = [this](bool plane) { afterUndoOrRedo(plane); };
    // Undo or redo back to what was last saved or opened: nothing to ask.
    History->onRecordingAtSavedState = [this] { Recording.markSaved(); };

    EditMenu = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    Undo1 = EditMenu->addAction(kUndoCaption);
    Undo1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Redo1 = EditMenu->addAction(kRedoCaption);
    Redo1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
    QUndoStack& stack = History->stack();
    connect(&stack, &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, this,
            [this](const QString& text) { Undo1->setText(captionWith(kUndoCaption, text)); });
    connect(&stack, &QUndoStack::redoTextChanged, this,
            [this](const QString& text) { Redo1->setText(captionWith(kRedoCaption, text)); });
    connect(Undo1, &QAction::triggered, this, &TMainForm::Undo1Click);
    connect(Redo1, &QAction::triggered, this, &TMainForm::Redo1Click);
}

void TMainForm::buildStepListItem()
{
    StepList1 = ViewMenu->addAction(QStringLiteral("ステップ一覧(&L)"));
    StepList1->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    connect(StepList1, &QAction::triggered, this, &TMainForm::StepList1Click);
}

void TMainForm::createStepList()
{
    StepList = new StepListWindow(Recording, this);
    // Undo and redo work from the list's window too.
    StepList->addActions({Undo1, Redo1});
    StepList->setTiming(Settings.stepTick, Monitor ? Monitor->tempo() : kDefaultTempo);
    StepList->onDelete = [this](int first, int count) {
        editSteps(QStringLiteral("削除"), [=, this] { return deleteSteps(Recording, first, count); },
                  first, 1);
    };
    StepList->onMove = [this](int first, int count, int to) {
        editSteps(QStringLiteral("移動"), [=, this] { return moveSteps(Recording, first, count, to); },
                  to, count);
    };
    StepList->onDuplicate = [this](int first, int count) {
        editSteps(QStringLiteral("複製"), [=, this] { return duplicateSteps(Recording, first, count); },
                  first + count, count);
    };
    StepList->onPaste = [this](int at, const StepClip& steps) {
        editSteps(QStringLiteral("貼り付け"), [&, this] { return insertSteps(Recording, at, steps); },
                  at, steps.size());
    };
    StepList->onInsertHere = [this](int at) { insertCurrentPageStep(at); };
    connectStepTiming();
    StepList->onFrameChosen = [this](int step) { takeFrameIntoWindow(step); };
    // The times follow the monitor's tempo.
    connect(Monitor, &TMonitor::tempoChanged, StepList,
            [this](int tempo) { StepList->setTiming(Settings.stepTick, tempo); });
}

// Every change of the recording's steps: the figures, the list and the
// history hear of it.
void TMainForm::recordingChanged()
{
    InfoMake();
    if (StepList)
        StepList->recordingChanged();
    if (History)
        History->touch(true);
}

void TMainForm::editSteps(const QString& name, const std::function<StepEdit()>& edit, int selectFirst,
                          int selectCount)
{
    const EditResult result = History->edit(name, edit);
    if (result == EditResult::Full)
        showRecordingFull();
    if (result == EditResult::Done)
        StepList->selectSteps(selectFirst, selectCount);
}

// "ここに挿入": the step the record button of the page shown would record,
// put before step at.
void TMainForm::insertCurrentPageStep(int at)
{
    lumidot::Recording one;
    switch (PC->currentIndex()) {
    case LcdPage:
        one.appendColour(selectedColour());
        break;
    case MessagePage:
        one.appendMessage(LcdText->text().toLatin1().toStdString(), LcdText2->text().toLatin1().toStdString());
        if (LcdText->text().isEmpty() && LcdText2->text().isEmpty())
            return;
        break;
    case DotPage:
        one.appendFrame(packWindow(VirtualArea, ScrollX(), ScrollY()));
        break;
    default:
        one.appendEffect({static_cast<std::uint8_t>(FX1Sel->value()), static_cast<std::uint8_t>(FX2Sel->value()),
                          static_cast<std::uint8_t>(FXModeSel->value())});
        break;
    }
    const StepClip step = allSteps(one);
    editSteps(QStringLiteral("挿入"), [&, this] { return insertSteps(Recording, at, step); }, at, 1);
}

// A frame step's dots back into the window, to be redrawn and recorded again.
void TMainForm::takeFrameIntoWindow(int step)
{
    const auto opcodes = Recording.eventStream();
    if (step < 0 || step >= static_cast<int>(opcodes.size()) || opcodes[step] != kOpFrame)
        return;
    const int frame = static_cast<int>(std::count(opcodes.begin(), opcodes.begin() + step, kOpFrame));
    History->name(QStringLiteral("フレームの読み込み"));
    unpackWindow(VirtualArea, ScrollX(), ScrollY(), Recording.frameRecord(frame));
    Disp_FD();
    FD_OUT();
}

void TMainForm::afterUndoOrRedo(bool plane)
{
    Disp_FD();
    if (plane)
        FD_OUT();
}

void TMainForm::Undo1Click()
{
    History->undo();
}

void TMainForm::Redo1Click()
{
    History->redo();
}

void TMainForm::StepList1Click()
{
    StepList->setTiming(Settings.stepTick, Monitor ? Monitor->tempo() : kDefaultTempo);
    StepList->show();
    StepList->raise();
    StepList->activateWindow();
}

} // namespace lumidot
