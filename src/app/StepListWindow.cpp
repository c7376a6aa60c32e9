// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StepListWindow.h"

#include "app/StepDelegate.h"
#include "app/StepListModel.h"
#include "export/StepClipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include <algorithm>

namespace lumidot {

namespace {

QByteArray toBytes(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::span<const std::uint8_t> asBytes(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

} // namespace

void StepListView::dropEvent(QDropEvent* event)
{
    if (event->source() != this || !onDropAt) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    int to = target.isValid() ? target.row() : model()->rowCount();
    if (target.isValid() && dropIndicatorPosition() == QAbstractItemView::BelowItem)
        ++to;
    // The view must not remove the dragged rows itself: the owner moves them.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    onDropAt(to);
}

StepListWindow::StepListWindow(const Recording& recording, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , recording_(recording)
{
    setWindowTitle(QStringLiteral("ステップ一覧"));
    resize(460, 420);
    List = new StepListView(this);
    Model = new StepListModel(recording_, this);
    delegate_ = new StepDelegate(this);
    List->setModel(Model);
    List->setItemDelegate(delegate_);
    List->setUniformItemSizes(true);
    List->setSelectionMode(QAbstractItemView::ContiguousSelection);
    List->setAlternatingRowColors(true);
    List->setDragEnabled(true);
    List->setAcceptDrops(true);
    List->setDropIndicatorShown(true);
    List->setDragDropMode(QAbstractItemView::DragDrop);
    List->setDefaultDropAction(Qt::MoveAction);
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List);

    Delete1 = addEdit(QStringLiteral("削除(&D)"), QKeySequence::Delete, &StepListWindow::deleteSelection);
    MoveUp1 = addEdit(QStringLiteral("上へ移動(&U)"), QKeySequence(QStringLiteral("Ctrl+Up")), &StepListWindow::moveUp);
    MoveDown1 = addEdit(QStringLiteral("下へ移動(&N)"), QKeySequence(QStringLiteral("Ctrl+Down")), &StepListWindow::moveDown);
    Duplicate1 = addEdit(QStringLiteral("複製(&P)"), QKeySequence(QStringLiteral("Ctrl+D")), &StepListWindow::duplicateSelection);
    Cut1 = addEdit(QStringLiteral("切り取り(&T)"), QKeySequence::Cut, &StepListWindow::cutSelection);
    Copy1 = addEdit(QStringLiteral("コピー(&C)"), QKeySequence::Copy, &StepListWindow::copySelection);
    Paste1 = addEdit(QStringLiteral("貼り付け(&V)"), QKeySequence::Paste, &StepListWindow::pasteClipboard);
    InsertHere1 = addEdit(QStringLiteral("ここに挿入"), QKeySequence(QStringLiteral("Ins")), &StepListWindow::insertHere);
    menu_ = new QMenu(this);
    menu_->addActions({InsertHere1});
    menu_->addSeparator();
    menu_->addActions({Cut1, Copy1, Paste1, Duplicate1, Delete1});
    menu_->addSeparator();
    menu_->addActions({MoveUp1, MoveDown1});

    connect(List, &QWidget::customContextMenuRequested, this, &StepListWindow::showMenu);
    connect(List->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &StepListWindow::updateActions);
    connect(Model, &QAbstractItemModel::modelReset, this, &StepListWindow::updateActions);
    connect(List, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && Model->row(index.row()).kind == StepKind::Frame && onFrameChosen)
            onFrameChosen(index.row());
    });
    List->onDropAt = [this](int to) {
        const auto [first, count] = selection();
        // Dropped inside the dragged block: nothing moves.
        if (count == 0 || (to >= first && to <= first + count) || !onMove)
            return;
        onMove(first, count, to > first ? to - count : to);
    };
    updateActions();
}

QAction* StepListWindow::addEdit(const QString& text, const QKeySequence& key,
                                 void (StepListWindow::*slot)())
{
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void StepListWindow::showEvent(QShowEvent* event)
{
    if (stale_)
        recordingChanged();
    QWidget::showEvent(event);
}

// A hidden list is read again only when it is shown.
void StepListWindow::recordingChanged()
{
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const bool followEnd = !List->currentIndex().isValid()
                           || List->currentIndex().row() >= Model->rowCount() - 1;
    Model->refresh();
    if (followEnd && Model->rowCount() > 0)
        List->scrollToBottom();
}

void StepListWindow::setTiming(int stepTick, int tempo)
{
    Model->setTiming(stepTick, tempo);
}

std::pair<int, int> StepListWindow::selection() const
{
    const QModelIndexList rows = List->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return {0, 0};
    int first = rows.front().row();
    int last = first;
    for (const QModelIndex& index : rows) {
        first = std::min(first, index.row());
        last = std::max(last, index.row());
    }
    return {first, last - first + 1};
}

void StepListWindow::selectSteps(int first, int count)
{
    if (stale_) {
        stale_ = false;
        Model->refresh();
    }
    List->clearSelection();
    if (count <= 0 || first >= Model->rowCount())
        return;
    const int last = std::min(first + count, Model->rowCount()) - 1;
    List->setCurrentIndex(Model->index(first));
    List->selectionModel()->select(QItemSelection(Model->index(first), Model->index(last)),
                                   QItemSelectionModel::ClearAndSelect);
    List->scrollTo(Model->index(first));
}

void StepListWindow::updateActions()
{
    const auto [first, count] = selection();
    const bool any = count > 0;
    for (QAction* action : {Delete1, Duplicate1, Cut1, Copy1})
        action->setEnabled(any);
    MoveUp1->setEnabled(any && first > 0);
    MoveDown1->setEnabled(any && first + count < Model->rowCount());
}

void StepListWindow::showMenu(const QPoint& at)
{
    menu_->popup(List->viewport()->mapToGlobal(at));
}

void StepListWindow::deleteSelection()
{
    const auto [first, count] = selection();
    if (count > 0 && onDelete)
        onDelete(first, count);
}

void StepListWindow::moveUp()
{
    const auto [first, count] = selection();
    if (count > 0 && first > 0 && onMove)
        onMove(first, count, first - 1);
}

void StepListWindow::moveDown()
{
    const auto [first, count] = selection();
    if (count > 0 && first + count < Model->rowCount() && onMove)
        onMove(first, count, first + 1);
}

void StepListWindow::duplicateSelection()
{
    const auto [first, count] = selection();
    if (count > 0 && onDuplicate)
        onDuplicate(first, count);
}

void StepListWindow::copySelection()
{
    const auto [first, count] = selection();
    if (count == 0)
        return;
    const StepClip steps = recording_.copySteps(first, count);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kStepsMimeType), toBytes(encodeSteps(steps)));
    mime->setData(QString::fromLatin1(kSysExMimeType), toBytes(stepsAsSyx(steps)));
    QApplication::clipboard()->setMimeData(mime);
}

void StepListWindow::cutSelection()
{
    copySelection();
    deleteSelection();
}

bool StepListWindow::paste()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return false;
    std::optional<StepClip> steps = decodeSteps(asBytes(mime->data(QString::fromLatin1(kStepsMimeType))));
    if (!steps)
        steps = stepsFromSyx(asBytes(mime->data(QString::fromLatin1(kSysExMimeType))));
    if (!steps || steps->empty())
        return false;
    const auto [first, count] = selection();
    const int at = count > 0 ? first + count : recording_.StepCount();
    if (onPaste)
        onPaste(at, *steps);
    return true;
}

void StepListWindow::pasteClipboard()
{
    paste();
}

void StepListWindow::insertHere()
{
    const auto [first, count] = selection();
    if (onInsertHere)
        onInsertHere(count > 0 ? first : recording_.StepCount());
}

} // namespace lumidot
