// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EditHistory.h"

#include <QTimer>

#include <algorithm>
#include <QUndoCommand>

namespace lumidot {

namespace {

constexpr int kTypingRun = 1;

} // namespace

// One entry of the history. The change is already done when it is pushed,
// so the first redo, which QUndoStack runs at once, does nothing.
class EditCommand : public QUndoCommand {
public:
    EditCommand(EditHistory& history, const QString& text, EditEntry entry, bool typing)
        : history_(history)
        , entry_(std::move(entry))
        , typing_(typing && entry_.plane.empty() && entry_.recording.insertsOnly())
    {
        setText(text);
    }

    void undo() override { history_.apply(entry_, true); }
    void redo() override
    {
        if (done_)
            history_.apply(entry_, false);
        done_ = true;
    }
    int id() const override { return typing_ ? kTypingRun : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const EditCommand*>(other);
        return entry_.recording.absorb(next->entry_.recording);
    }
    std::size_t bytes() const { return sizeof(*this) + entry_.bytes(); }
    bool changesSteps() const { return !entry_.recording.empty(); }

private:
    EditHistory& history_;
    EditEntry entry_;
    bool typing_;
    bool done_ = false;
};

EditHistory::EditHistory(VirtualArea& area, Recording& recording, QObject* parent)
    : QObject(parent)
    , area_(area)
    , recording_(recording)
{
    stack_.setUndoLimit(kEntriesKept);
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::checkSavedState);
}

// The stack tells of its emptying while it goes; the window's menus may be
// gone by then.
EditHistory::~EditHistory()
{
    stack_.disconnect();
}

void EditHistory::name(const QString& text, bool typing)
{
    if (applying_)
        return;
    if (name_.isEmpty()) {
        name_ = text;
        typing_ = typing;
    }
    schedule();
}

void EditHistory::touch(bool recording)
{
    if (applying_)
        return;
    recordingTouched_ = recordingTouched_ || recording;
    schedule();
}

void EditHistory::schedule()
{
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, &EditHistory::closeAfterEvent);
}

void EditHistory::closeAfterEvent()
{
    scheduled_ = false;
    // The release of the drag touches again and closes the entry then.
    if (holdOpen && holdOpen())
        return;
    flush();
}

void EditHistory::flush()
{
    EditEntry entry = tracker_.takeChanges(area_, recording_, recordingTouched_);
    QString text = name_;
    const bool typing = typing_;
    name_.clear();
    typing_ = false;
    recordingTouched_ = false;
    if (entry.empty())
        return;
    if (text.isEmpty())
        text = entry.plane.empty() ? QStringLiteral("記録") : QStringLiteral("描画");
    stack_.push(new EditCommand(*this, text, std::move(entry), typing));
}

EditResult EditHistory::edit(const QString& text, const std::function<StepEdit()>& run)
{
    flush();
    // The edit's own notices must not open a second entry for it.
    applying_ = true;
    StepEdit done = run();
    applying_ = false;
    if (done.result == EditResult::Done && !done.change.empty())
        stack_.push(new EditCommand(*this, text, tracker_.adopt(std::move(done.change)), false));
    return done.result;
}

void EditHistory::undo()
{
    flush();
    stack_.undo();
}

void EditHistory::redo()
{
    flush();
    stack_.redo();
}

void EditHistory::apply(const EditEntry& entry, bool undo)
{
    applying_ = true;
    if (undo)
        tracker_.undo(entry, area_, recording_);
    else
        tracker_.redo(entry, area_, recording_);
    if (afterApply)
        afterApply(!entry.plane.empty());
    applying_ = false;
}

void EditHistory::markClean()
{
    flush();
    stack_.setClean();
}

// Drawing after a save does not make the steps unsaved, so the recording
// is at its saved state whenever only plane entries lie between.
void EditHistory::checkSavedState()
{
    const int clean = stack_.cleanIndex();
    if (clean < 0 || !onRecordingAtSavedState)
        return;
    const int from = std::min(clean, stack_.index());
    const int to = std::max(clean, stack_.index());
    for (int k = from; k < to; ++k)
        if (static_cast<const EditCommand*>(stack_.command(k))->changesSteps())
            return;
    onRecordingAtSavedState();
}

std::size_t EditHistory::bytes() const
{
    std::size_t total = 0;
    for (int k = 0; k < stack_.count(); ++k)
        total += static_cast<const EditCommand*>(stack_.command(k))->bytes();
    return total;
}

} // namespace lumidot
