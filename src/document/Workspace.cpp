// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/Workspace.h"

#include "export/OpenCommand.h"
#include "picture/RegionOps.h"
#include "recording/StepTiming.h"
#include "recording/TimingEdits.h"

#include <algorithm>

namespace lumidot {

Workspace::Workspace(MidiOutput& output)
    : Workspace(output, steadyClock_)
{
}

// The steady clock is a member constructed before the pacer that may use it.
Workspace::Workspace(MidiOutput& output, PlaybackClock& clock)
    : link_(output)
    , pacer_(link_, clock)
    , history_(document_.plane, document_.recording)
{
    document_.recording.setStepCountListener([this](int) {
        history_.noteRecordingChanged();
        if (onStepsChanged)
            onStepsChanged();
    });
    link_.setObserver([this](std::span<const std::uint8_t> message) {
        display_.apply(message);
        if (onMessage)
            onMessage();
    });
    history_.afterApply = [this](bool plane) {
        if (plane)
            sendWindow();
    };
    // Undo or redo back to what was last saved or opened: nothing to ask.
    history_.onRecordingAtSavedState = [this] { document_.recording.markSaved(); };
    history_.onChanged = [this] { noteChange(DocumentChange::History); };
}

Workspace::Transaction::Transaction(Workspace& workspace, const std::string& label, bool typing)
    : workspace_(workspace)
{
    workspace_.history_.open(label, typing);
}

Workspace::Transaction::~Transaction()
{
    workspace_.history_.close();
    if (!workspace_.history_.inTransaction())
        workspace_.publish();
}

bool Workspace::firstRefusalOfAction()
{
    if (!history_.inTransaction())
        return true;
    if (refusalAction_ == history_.actionNumber())
        return false;
    refusalAction_ = history_.actionNumber();
    return true;
}

void Workspace::addObserver(Observer observer)
{
    observers_.push_back(std::move(observer));
}

void Workspace::noteChange(DocumentChange change)
{
    pending_.add(change);
    if (!history_.inTransaction())
        publish();
}

void Workspace::publish()
{
    if (pending_.empty())
        return;
    const DocumentChanges changes = pending_;
    pending_ = {};
    for (const Observer& observer : observers_)
        observer(changes);
}

SendResult Workspace::send(std::span<const std::uint8_t> body)
{
    return pacer_.EXC_Out(body);
}

void Workspace::sendWindow()
{
    FD_OUT(pacer_, document_.plane, document_.window.x, document_.window.y);
}

RecordResult Workspace::windowChanged(bool continuous)
{
    const Transaction action = transaction({});
    sendWindow();
    return continuous ? recordWindow() : RecordResult::NothingToRecord;
}

void Workspace::recordColour()
{
    const Transaction action = transaction({});
    LCD_Save(document_.recording, document_.colour);
}

RecordResult Workspace::recordLines()
{
    const Transaction action = transaction({});
    return SM_Save(document_.recording, pacer_, document_.lines.line1, document_.lines.line2);
}

RecordResult Workspace::recordWindow()
{
    const Transaction action = transaction({});
    return DotSave(document_.recording, pacer_, document_.plane, document_.window.x,
                   document_.window.y);
}

RecordResult Workspace::recordClip(std::span<const TimedFrame> frames, std::int64_t endTick,
                                   const VirtualArea& plane)
{
    const Transaction action = transaction({});
    if (!appendTimedFrames(document_.recording, frames, endTick, document_.stepTick))
        return RecordResult::Full;
    document_.plane.copyFrom(plane);
    sendWindow();
    return RecordResult::Recorded;
}

RecordResult Workspace::recordFrame(const PackedFrame& frame)
{
    const Transaction action = transaction({});
    return lumidot::recordFrame(document_.recording, pacer_, frame);
}

void Workspace::recordEffect()
{
    const Transaction action = transaction({});
    FXRecClick(document_.recording, document_.effect);
}

std::optional<StepClip> Workspace::stepFrom(StepSource source) const
{
    Recording one;
    switch (source) {
    case StepSource::Colour:
        one.appendColour(document_.colour);
        break;
    case StepSource::Lines:
        if (document_.lines.line1.empty() && document_.lines.line2.empty())
            return std::nullopt;
        one.appendMessage(document_.lines.line1, document_.lines.line2);
        break;
    case StepSource::Window:
        one.appendFrame(packWindow(document_.plane, document_.window.x, document_.window.y));
        break;
    case StepSource::Effect:
        one.appendEffect(document_.effect);
        break;
    }
    return allSteps(one);
}

MessageSendResult Workspace::setLines(MessageLines lines, bool continuous)
{
    const Transaction action = transaction({});
    if (lines != document_.lines) {
        document_.lines = std::move(lines);
        noteChange(DocumentChange::Lines);
    }
    return sendMessageLines(document_.recording, pacer_, document_.lines.line1,
                            document_.lines.line2, continuous);
}

void Workspace::setColour(LcdColour colour, bool continuous)
{
    const Transaction action = transaction({});
    document_.colour = colour;
    noteChange(DocumentChange::Colour);
    if (continuous)
        recordColour();
    send(lcdColourBody(colour));
}

void Workspace::setEffect(FxParam param, std::uint8_t value)
{
    const Transaction action = transaction({});
    switch (param) {
    case FxParam::Effect1: document_.effect.effect1 = value; break;
    case FxParam::Effect2: document_.effect.effect2 = value; break;
    case FxParam::Mode: document_.effect.mode = value; break;
    }
    noteChange(DocumentChange::Effect);
    send(fxParameterBody(param, value));
}

RecordResult Workspace::moveWindow(WindowPosition to, bool continuous)
{
    const Transaction action = transaction({});
    document_.window = to;
    noteChange(DocumentChange::Window);
    const RecordResult recorded = continuous ? recordWindow() : RecordResult::NothingToRecord;
    sendWindow();
    return recorded;
}

void Workspace::setStepTick(std::uint8_t stepTick)
{
    if (stepTick == document_.stepTick)
        return;
    const Transaction action = transaction({});
    document_.stepTick = stepTick;
    noteChange(DocumentChange::StepTick);
}

void Workspace::setTempo(int tempo)
{
    tempo = validTempo(tempo);
    if (tempo == document_.tempo)
        return;
    const Transaction action = transaction({});
    document_.tempo = tempo;
    noteChange(DocumentChange::Tempo);
}

RecordResult Workspace::invert(const View& view, bool continuous)
{
    const Transaction action = transaction({});
    invertView(document_.plane, view);
    return windowChanged(continuous);
}

void Workspace::mirror(const View& view)
{
    const Transaction action = transaction({});
    mirrorView(document_.plane, view);
    sendWindow();
}

void Workspace::flip(const View& view)
{
    const Transaction action = transaction({});
    flipView(document_.plane, view);
    sendWindow();
}

void Workspace::clear(const Region& region)
{
    const Transaction action = transaction({});
    fillRegion(document_.plane, region, 0);
}

bool Workspace::takeFrame(int step)
{
    const auto kinds = document_.recording.kinds();
    if (step < 0 || step >= static_cast<int>(kinds.size()) || kinds[step] != StepKind::Frame)
        return false;
    const Transaction action = transaction({});
    const auto frame = std::count(kinds.begin(), kinds.begin() + step, StepKind::Frame);
    unpackWindow(document_.plane, document_.window.x, document_.window.y,
                 document_.recording.frameRecord(static_cast<int>(frame)));
    sendWindow();
    return true;
}

void Workspace::clearRecording()
{
    const Transaction action = transaction({});
    ClearRecording(document_.recording);
}

void Workspace::replaceRecording(Recording&& recording)
{
    const Transaction action = transaction({});
    document_.recording.replaceSteps(std::move(recording));
    markSaved();
}

void Workspace::replaceDocument(Document&& document)
{
    const Transaction action = transaction({});
    document_.plane.copyFrom(document.plane);
    document_.recording.replaceSteps(std::move(document.recording));
    for (const DocumentChange change : {DocumentChange::Lines, DocumentChange::Colour,
                                        DocumentChange::Effect, DocumentChange::Window,
                                        DocumentChange::StepTick, DocumentChange::Tempo})
        noteChange(change);
    document_.lines = std::move(document.lines);
    document_.colour = document.colour;
    document_.effect = document.effect;
    document_.window = document.window;
    document_.stepTick = document.stepTick;
    document_.tempo = document.tempo;
    sendWindow();
}

// .syx and .exc hold no time; a .prt holds waits of 1..127 ticks only.
SaveConcerns Workspace::saveConcerns(int typeIndex) const
{
    SaveConcerns concerns;
    if (typeIndex == kTypePrt)
        concerns.prtWait = prtWaitRefusal(document_.recording, document_.stepTick);
    concerns.dropsTiming =
        (typeIndex == kTypeSyx || typeIndex == kTypeExc) && document_.recording.hasOwnTiming();
    return concerns;
}

SaveResult Workspace::saveRecording(int typeIndex, const std::string& fileName, bool withTempo)
{
    const SaveResult saved = typeIndex == kTypeDocument
                                 ? saveDocument(fileName, document_)
                                 : lumidot::saveRecording(typeIndex, fileName, document_.recording,
                                                          document_.stepTick,
                                                          withTempo ? document_.tempo : 0);
    if (saved.ok)
        markSaved();
    return saved;
}

bool Workspace::isModified() const
{
    return document_.recording.StepCount() > 0 && document_.recording.isModified();
}

void Workspace::markSaved()
{
    document_.recording.markSaved();
    history_.markClean();
}

EditResult Workspace::editSteps(const std::string& label,
                                const std::function<StepEdit(Recording&)>& edit)
{
    const Transaction action = transaction({});
    return history_.edit(label, [&] { return edit(document_.recording); });
}

EditResult Workspace::editTiming(const std::function<StepEdit(Recording&, int stepTick)>& edit)
{
    const Transaction action = transaction({});
    return history_.edit({}, [&] { return edit(document_.recording, document_.stepTick); });
}

EditResult Workspace::duplicateSteps(int first, int count)
{
    return editTiming([=](Recording& r, int stepTick) {
        return lumidot::duplicateSteps(r, first, count, stepTick);
    });
}

EditResult Workspace::setStepLengths(int first, int count, std::int64_t length)
{
    return editTiming([=](Recording& r, int stepTick) {
        return lumidot::setStepLengths(r, first, count, length, stepTick);
    });
}

EditResult Workspace::scaleStepLengths(int first, int count, bool doubling)
{
    return editTiming([=](Recording& r, int stepTick) {
        return lumidot::scaleStepLengths(r, first, count, doubling, stepTick);
    });
}

EditResult Workspace::resetStepLengths(int first, int count)
{
    return editTiming([=](Recording& r, int) { return lumidot::resetStepLengths(r, first, count); });
}

EditResult Workspace::nudgeSteps(int first, int count, int ticks)
{
    return editTiming([=](Recording& r, int stepTick) {
        return lumidot::nudgeSteps(r, first, count, ticks, stepTick);
    });
}

EditResult Workspace::holdFrames(int first, int count, int unit)
{
    return editTiming([=](Recording& r, int stepTick) {
        return lumidot::holdFrames(r, first, count, unit, stepTick);
    });
}

EditResult Workspace::setStartOffset(std::optional<int> tick)
{
    return editTiming([=](Recording& r, int) { return lumidot::setStartOffset(r, tick); });
}

// Inside the import's transaction the tracker finds the waits changed with
// the frames, so the import stays one entry.
void Workspace::timeSteps(int first, std::span<const std::int64_t> micros)
{
    const Transaction action = transaction({});
    lumidot::timeSteps(document_.recording, first, micros, document_.tempo, document_.stepTick);
}

std::int64_t Workspace::stepLength(int step) const
{
    return stepLayout(document_.recording, document_.stepTick).length(step);
}

int Workspace::shortestLength(int step) const
{
    return lumidot::shortestLength(document_.recording, step, document_.stepTick);
}

// Where the first step starts when no start of its own is set.
std::int64_t Workspace::recordedStart() const
{
    const Recording& recording = document_.recording;
    if (recording.StepCount() == 0)
        return 0;
    StepTickCounter counter(document_.stepTick);
    return counter.next(recording.kinds()[0], recording.wait(0));
}

void Workspace::undo()
{
    history_.undo();
}

void Workspace::redo()
{
    history_.redo();
}

} // namespace lumidot
