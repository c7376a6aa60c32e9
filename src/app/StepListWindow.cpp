// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StepListWindow.h"

#include "app/StepDelegate.h"
#include "app/StepListModel.h"
#include "export/StepClipboard.h"

#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>

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
    setWindowTitle(tr("ステップ一覧"));
    resize(640, 420);
    List = new StepListView(this);
    Model = new StepListModel(recording_, this);
    delegate_ = new StepDelegate(this);
    List->setModel(Model);
    List->setItemDelegate(delegate_);
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setAllColumnsShowFocus(true);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::ContiguousSelection);
    List->header()->setSectionsMovable(false);
    List->header()->setStretchLastSection(true);
    for (const int column : {StepListModel::NumberColumn, StepListModel::StartColumn,
                             StepListModel::LengthColumn, StepListModel::TimeColumn})
        List->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    List->setAlternatingRowColors(true);
    List->setDragEnabled(true);
    List->setAcceptDrops(true);
    List->setDropIndicatorShown(true);
    List->setDragDropMode(QAbstractItemView::DragDrop);
    List->setDefaultDropAction(Qt::MoveAction);
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    StartText = new QLabel(this);
    StartButton = new QToolButton(this);
    auto* startRow = new QHBoxLayout;
    startRow->setContentsMargins(6, 4, 6, 0);
    startRow->addWidget(StartText, 1);
    startRow->addWidget(StartButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(startRow);
    layout->addWidget(List);

    Delete1 = addEdit(tr("削除(&D)"), QKeySequence::Delete, &StepListWindow::deleteSelection);
    MoveUp1 = addEdit(tr("上へ移動(&U)"), QKeySequence(QStringLiteral("Ctrl+Up")), &StepListWindow::moveUp);
    MoveDown1 = addEdit(tr("下へ移動(&N)"), QKeySequence(QStringLiteral("Ctrl+Down")), &StepListWindow::moveDown);
    Duplicate1 = addEdit(tr("複製(&P)"), QKeySequence(QStringLiteral("Ctrl+D")), &StepListWindow::duplicateSelection);
    Cut1 = addEdit(tr("切り取り(&T)"), QKeySequence::Cut, &StepListWindow::cutSelection);
    Copy1 = addEdit(tr("コピー(&C)"), QKeySequence::Copy, &StepListWindow::copySelection);
    Paste1 = addEdit(tr("貼り付け(&V)"), QKeySequence::Paste, &StepListWindow::pasteClipboard);
    InsertHere1 = addEdit(tr("ここに挿入"), QKeySequence(QStringLiteral("Ins")), &StepListWindow::insertHere);
    Overwrite1 = addEdit(tr("上書き"), QKeySequence(QStringLiteral("Ctrl+Return")),
                         &StepListWindow::overwriteSelection);
    Overwrite1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Return")),
                              QKeySequence(QStringLiteral("Ctrl+Enter"))});
    menu_ = new QMenu(this);
    menu_->addActions({InsertHere1, Overwrite1});
    menu_->addSeparator();
    menu_->addActions({Cut1, Copy1, Paste1, Duplicate1, Delete1});
    menu_->addSeparator();
    menu_->addActions({MoveUp1, MoveDown1});
    buildTimingActions();

    connect(List, &QWidget::customContextMenuRequested, this, &StepListWindow::showMenu);
    connect(List->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        updateActions();
        if (onSelectionChanged)
            onSelectionChanged();
    });
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
                                 const std::function<void()>& slot)
{
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

QAction* StepListWindow::addEdit(const QString& text, const QKeySequence& key,
                                 void (StepListWindow::*slot)())
{
    return addEdit(text, key, std::function<void()>([this, slot] { (this->*slot)(); }));
}

// The timing edits: lengths by note value, by the dialog and by keys, the
// nudges by a sixteenth, the holds and the start.
void StepListWindow::buildTimingActions()
{
    Length1 = new QMenu(QCoreApplication::translate("StepList", "長さ(&L)"), this);
    const std::array<const char*, kNoteLengths.size()> names{
        QT_TRANSLATE_NOOP("StepList", "16分音符"), QT_TRANSLATE_NOOP("StepList", "8分音符"),
        QT_TRANSLATE_NOOP("StepList", "4分音符"), QT_TRANSLATE_NOOP("StepList", "2分音符"),
        QT_TRANSLATE_NOOP("StepList", "1小節"), QT_TRANSLATE_NOOP("StepList", "2小節"),
        QT_TRANSLATE_NOOP("StepList", "4小節")};
    for (std::size_t k = 0; k < kNoteLengths.size(); ++k) {
        const std::int64_t ticks = kNoteLengths[k];
        const QString name = QCoreApplication::translate("StepList", names[k]);
        QAction* note = Length1->addAction(QStringLiteral("%1 (%2 Tick)").arg(name).arg(ticks));
        connect(note, &QAction::triggered, this, [this, ticks] {
            onSelection([&](int first, int count) {
                if (onSetLength)
                    onSetLength(first, count, ticks);
            });
        });
    }
    Length1->addSeparator();
    AskLength1 = addEdit(QCoreApplication::translate("StepList", "長さを指定(&T)..."), QKeySequence(QStringLiteral("Ctrl+T")), [this] {
        onSelection([this](int first, int count) {
            if (onAskLength)
                onAskLength(first, count);
        });
    });
    ResetLength1 = addEdit(QCoreApplication::translate("StepList", "間隔に戻す(&R)"), QKeySequence(), [this] {
        onSelection([this](int first, int count) {
            if (onResetLength)
                onResetLength(first, count);
        });
    });
    HalveLength1 = addEdit(QCoreApplication::translate("StepList", "長さを半分に"), QKeySequence(QStringLiteral("Alt+Left")), [this] {
        onSelection([this](int first, int count) {
            if (onScaleLength)
                onScaleLength(first, count, false);
        });
    });
    DoubleLength1 = addEdit(QCoreApplication::translate("StepList", "長さを倍に"), QKeySequence(QStringLiteral("Alt+Right")), [this] {
        onSelection([this](int first, int count) {
            if (onScaleLength)
                onScaleLength(first, count, true);
        });
    });
    Length1->addActions({AskLength1, ResetLength1, HalveLength1, DoubleLength1});
    const auto nudge = [this](int ticks) {
        onSelection([&](int first, int count) {
            if (onNudge)
                onNudge(first, count, ticks);
        });
    };
    Earlier1 = addEdit(QCoreApplication::translate("StepList", "16分音符前へ"), QKeySequence(QStringLiteral("Alt+Up")),
                       [nudge] { nudge(-kTicksPerSixteenth); });
    Later1 = addEdit(QCoreApplication::translate("StepList", "16分音符後へ"), QKeySequence(QStringLiteral("Alt+Down")),
                     [nudge] { nudge(kTicksPerSixteenth); });
    const auto hold = [this](int unit) {
        onSelection([&](int first, int count) {
            if (onHold)
                onHold(first, count, unit);
        });
    };
    HoldBeat1 = addEdit(QCoreApplication::translate("StepList", "次の拍まで保持(&B)"), QKeySequence(), [hold] { hold(kTicksPerBeat); });
    HoldBar1 = addEdit(QCoreApplication::translate("StepList", "次の小節まで保持(&M)"), QKeySequence(), [hold] { hold(kTicksPerBar); });
    Start1 = addEdit(QCoreApplication::translate("StepList", "開始位置(&S)..."), QKeySequence(), [this] {
        if (onAskStart)
            onAskStart();
    });
    StartButton->setDefaultAction(Start1);
    menu_->addSeparator();
    menu_->addMenu(Length1);
    menu_->addActions({Earlier1, Later1, HoldBeat1, HoldBar1});
    menu_->addSeparator();
    menu_->addAction(Start1);
}

void StepListWindow::onSelection(const std::function<void(int first, int count)>& edit)
{
    const auto [first, count] = selection();
    if (count > 0)
        edit(first, count);
}

void StepListWindow::showStart()
{
    const std::optional<int> offset = recording_.startOffset();
    const std::int64_t first = Model->rowCount() > 0 ? Model->row(0).start : 0;
    StartText->setText(offset ? QCoreApplication::translate("StepList", "開始位置: %1").arg(QString::fromStdString(formatBarBeatTick(*offset)))
                              : QCoreApplication::translate("StepList", "開始位置: %1（記録どおり）")
                                    .arg(QString::fromStdString(formatBarBeatTick(first))));
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
    showStart();
    if (followEnd && Model->rowCount() > 0)
        List->scrollToBottom();
}

void StepListWindow::setTiming(int stepTick, int tempo)
{
    Model->setTiming(stepTick, tempo);
    showStart();
}

std::pair<int, int> StepListWindow::selection() const
{
    const QModelIndexList rows = List->selectionModel()->selectedRows();
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
    List->setCurrentIndex(Model->index(first, 0));
    List->selectionModel()->select(QItemSelection(Model->index(first, 0), Model->index(last, 0)),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    List->scrollTo(Model->index(first, 0));
}

void StepListWindow::updateActions()
{
    const auto [first, count] = selection();
    const bool any = count > 0;
    for (QAction* action : {Delete1, Duplicate1, Cut1, Copy1, AskLength1, ResetLength1, HalveLength1,
                            DoubleLength1, Earlier1, Later1, HoldBeat1, HoldBar1})
        action->setEnabled(any);
    Length1->setEnabled(any);
    MoveUp1->setEnabled(any && first > 0);
    MoveDown1->setEnabled(any && first + count < Model->rowCount());
    Overwrite1->setEnabled(count == 1 && first < Model->rowCount() && Model->row(first).kind == StepKind::Frame);
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

// One frame step only: overwriting several with the same dots would leave
// a run of equal frames nobody asked for.
void StepListWindow::overwriteSelection()
{
    const auto [first, count] = selection();
    if (count == 1 && first < Model->rowCount() && Model->row(first).kind == StepKind::Frame && onOverwrite)
        onOverwrite(first);
}

} // namespace lumidot
