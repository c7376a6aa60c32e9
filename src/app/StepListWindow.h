// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/StepClip.h"

#include <QListView>
#include <QWidget>

#include <functional>

class QAction;
class QHeaderView;
class QMenu;

namespace lumidot {

class StepDelegate;
class StepListModel;

// The list view of the step list: a drag of selected steps inside it asks
// for a move instead of letting the view shuffle rows itself.
class StepListView : public QListView {
    Q_OBJECT

public:
    using QListView::QListView;
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

    // The captions over the rows' columns.
    QHeaderView* Header = nullptr;
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

    // Copies the selected steps to the clipboard in both forms.
    void copySelection();
    // Pastes the clipboard's steps after the selection (at the end without
    // one). False when the clipboard holds no steps.
    bool paste();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QAction* addEdit(const QString& text, const QKeySequence& key, void (StepListWindow::*slot)());
    void buildHeader();
    void deleteSelection();
    void moveUp();
    void moveDown();
    void duplicateSelection();
    void cutSelection();
    void pasteClipboard();
    void insertHere();
    void overwriteSelection();
    void updateActions();
    void showMenu(const QPoint& at);

    const Recording& recording_;
    StepDelegate* delegate_ = nullptr;
    QMenu* menu_ = nullptr;
    bool stale_ = false;
};

} // namespace lumidot
