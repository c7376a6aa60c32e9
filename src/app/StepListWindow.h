// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/StepClip.h"

#include <QTreeView>
#include <QWidget>

#include <cstdint>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QToolButton;

namespace lumidot {

class StepDelegate;
class StepListModel;

// The table of the step list: a drag of selected steps inside it asks for a
// move instead of letting the view shuffle rows itself.
class StepListView : public QTreeView {
    Q_OBJECT

public:
    using QTreeView::QTreeView;
    std::function<void(int to)> onDropAt;

protected:
    void dropEvent(QDropEvent* event) override;
};

// The window "ステップ一覧": every step of the recording in order, with the
// edits of a list. It changes nothing itself: each edit is asked of its
// owner, which does it as one undoable change and reselects the steps.
class StepListWindow : public QWidget {
    Q_OBJECT

public:
    StepListWindow(const Recording& recording, QWidget* parent);

    // After any change of the recording's steps.
    void recordingChanged();
    void setTiming(int stepTick, int tempo);

    // The selected steps as one range (first, count); count 0 when none.
    std::pair<int, int> selection() const;
    void selectSteps(int first, int count);

    // The edits asked of the owner.
    std::function<void(int first, int count)> onDelete;
    std::function<void(int first, int count, int to)> onMove;
    std::function<void(int first, int count)> onDuplicate;
    std::function<void(int at, const StepClip& steps)> onPaste;
    std::function<void(int at)> onInsertHere;
    std::function<void(int step)> onFrameChosen;
    std::function<void(int step)> onOverwrite;
    // The selection changed.
    std::function<void()> onSelectionChanged;
    // The timing edits asked of the owner.
    std::function<void(int first, int count, std::int64_t ticks)> onSetLength;
    std::function<void(int first, int count)> onAskLength;
    std::function<void(int first, int count, bool doubling)> onScaleLength;
    std::function<void(int first, int count)> onResetLength;
    std::function<void(int first, int count, int ticks)> onNudge;
    std::function<void(int first, int count, int unit)> onHold;
    std::function<void()> onAskStart;

    StepListView* List = nullptr;
    StepListModel* Model = nullptr;
    QAction* Delete1 = nullptr;
    QAction* MoveUp1 = nullptr;
    QAction* MoveDown1 = nullptr;
    QAction* Duplicate1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* InsertHere1 = nullptr;
    // "上書き": the selected frame step takes the window's dots.
    QAction* Overwrite1 = nullptr;
    QMenu* Length1 = nullptr;
    QAction* AskLength1 = nullptr;
    QAction* ResetLength1 = nullptr;
    QAction* HalveLength1 = nullptr;
    QAction* DoubleLength1 = nullptr;
    QAction* Earlier1 = nullptr;
    QAction* Later1 = nullptr;
    QAction* HoldBeat1 = nullptr;
    QAction* HoldBar1 = nullptr;
    QAction* Start1 = nullptr;
    QLabel* StartText = nullptr;
    QToolButton* StartButton = nullptr;

    // Copies the selected steps to the clipboard in both forms.
    void copySelection();
    // Pastes the clipboard's steps after the selection (at the end without
    // one). False when the clipboard holds no steps.
    bool paste();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QAction* addEdit(const QString& text, const QKeySequence& key, const std::function<void()>& slot);
    QAction* addEdit(const QString& text, const QKeySequence& key, void (StepListWindow::*slot)());
    void deleteSelection();
    void moveUp();
    void moveDown();
    void duplicateSelection();
    void cutSelection();
    void pasteClipboard();
    void insertHere();
    void overwriteSelection();
    void buildTimingActions();
    // Runs a timing edit on the selection, when there is one.
    void onSelection(const std::function<void(int first, int count)>& edit);
    void showStart();
    void updateActions();
    void showMenu(const QPoint& at);

    const Recording& recording_;
    StepDelegate* delegate_ = nullptr;
    QMenu* menu_ = nullptr;
    bool stale_ = false;
};

} // namespace lumidot
