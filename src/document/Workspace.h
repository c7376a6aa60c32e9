// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/EditHistory.h"
#include "document/LivePacer.h"
#include "document/Recorder.h"
#include "export/PrtWriter.h"
#include "export/SaveCommand.h"
#include "midi/MidiLink.h"
#include "ns5r/DisplayModel.h"
#include "picture/Geometry.h"
#include "recording/Document.h"
#include "recording/Player.h"
#include "recording/StepClip.h"
#include "recording/StepEdits.h"
#include "recording/VideoTiming.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

class MidiOutput;

// What a completed action changed besides (or with) its undo entry.
enum class DocumentChange : std::uint8_t {
    History = 1 << 0,  // an entry made, joined, undone or redone, or the saved state moved
    Lines = 1 << 1,
    Colour = 1 << 2,
    Effect = 1 << 3,
    Window = 1 << 4,
    StepTick = 1 << 5,
    Tempo = 1 << 6,
};

class DocumentChanges {
public:
    void add(DocumentChange change) { bits_ |= static_cast<std::uint8_t>(change); }
    bool has(DocumentChange change) const { return bits_ & static_cast<std::uint8_t>(change); }
    bool empty() const { return bits_ == 0; }

private:
    std::uint8_t bits_ = 0;
};

// What a file type cannot hold of the recording's timing, for the window to
// show or ask about before it saves.
struct SaveConcerns {
    PrtWaitRefusal prtWait;     // .prt: the first step whose wait is outside 1..127
    bool dropsTiming = false;   // .syx, .exc: waits, a start or an end of their own are lost
};

// The record button of which page a step is made as: the colour, the message
// lines, the window's frame or the effect setting.
enum class StepSource { Colour, Lines, Window, Effect };

// The document layer: the document of the run and every operation the
// window's commands perform on it. It sends what the module is to show
// through the MIDI link (and so through the live-send switch), records the
// steps, and makes each user action one undo entry. Nothing here asks the
// user: a refusal comes back as a result for the window to show.
//
// Every change happens inside a transaction. The window opens one per
// command with the command's name; each operation here opens its own as
// well, which joins the window's, so a call from anywhere else is still one
// whole action. When the outermost transaction ends, its undo entry is made
// and the observers hear once what the action changed: this is the one place
// every completed action passes through.
class Workspace {
public:
    // Live frames are paced to the cable by the steady clock.
    explicit Workspace(MidiOutput& output);
    // Live frames are paced by clock, which must outlive the workspace.
    Workspace(MidiOutput& output, PlaybackClock& clock);
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const Document& document() const { return document_; }
    // For the tools that draw into the plane themselves (the dot editor, the
    // text stamp, the picture import): inside a transaction only.
    Document& document() { return document_; }
    MidiLink& link() { return link_; }
    // Every live message of the document goes through the pacer, which
    // holds frames back while the cable is busy; its owner polls it.
    LivePacer& pacer() { return pacer_; }
    const DisplayModel& display() const { return display_; }
    EditHistory& history() { return history_; }
    const EditHistory& history() const { return history_; }

    class Transaction {
    public:
        Transaction(Workspace& workspace, const std::string& label, bool typing);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Workspace& workspace_;
    };
    // Opens a transaction that ends with the returned object. A typing one
    // (a keystroke of a continuous message recording) joins the entry of the
    // keystroke before.
    [[nodiscard]] Transaction transaction(const std::string& label, bool typing = false)
    {
        return Transaction(*this, label, typing);
    }
    // True for the first refusal at the step limit in the current action:
    // a command that meets the limit more than once reports it once.
    bool firstRefusalOfAction();

    // Hears, once per completed action, what it changed.
    using Observer = std::function<void(DocumentChanges)>;
    void addObserver(Observer observer);
    // Runs after every change of the steps, as it happens.
    std::function<void()> onStepsChanged;
    // Runs after every message EXC_Out built, sent or not, once the display
    // model has taken it.
    std::function<void()> onMessage;

    // Sending, through the pacer.
    SendResult send(std::span<const std::uint8_t> body);
    // FD_OUT: the window as a Frame Draw command.
    void sendWindow();
    // The window's dots changed: sends them, and records them while
    // continuous recording is on.
    RecordResult windowChanged(bool continuous);

    // The record buttons of the four pages.
    void recordColour();
    RecordResult recordLines();
    RecordResult recordWindow();
    // A window packed before, recorded and sent as recordWindow() does: an
    // import that made its frames on a copy of the plane records them so.
    RecordResult recordFrame(const PackedFrame& frame);
    void recordEffect();
    // The step a page's record button would record now; none for a Message
    // page with both lines empty.
    std::optional<StepClip> stepFrom(StepSource source) const;

    // The page settings, sent as they change.
    MessageSendResult setLines(MessageLines lines, bool continuous);
    void setColour(LcdColour colour, bool continuous);
    void setEffect(FxParam param, std::uint8_t value);
    // The window moved: records the frame there while continuous recording
    // is on, then sends it.
    RecordResult moveWindow(WindowPosition to, bool continuous);
    void setStepTick(std::uint8_t stepTick);
    // The song's tempo, as the monitor plays it (quarter notes a minute).
    void setTempo(int tempo);

    // An imported clip: its frame steps appended, each at its time at the
    // tick spacing and the last lasting to endTick, and the plane as the
    // last frame leaves it, sent. Full, changing nothing, when the steps do
    // not fit.
    RecordResult recordClip(std::span<const TimedFrame> frames, std::int64_t endTick, const VirtualArea& plane);

    // The region commands on the window's view.
    RecordResult invert(const View& view, bool continuous);
    void mirror(const View& view);
    void flip(const View& view);
    void clear(const Region& region);
    // The frame of a frame step back into the window, sent; false for any
    // other step.
    bool takeFrame(int step);

    // The recording as a whole.
    void clearRecording();
    // A recording read from a file takes the place of the steps; it is the
    // saved state.
    void replaceRecording(Recording&& recording);
    // A document read from a file or brought back after a crash takes the
    // place of the whole document, as one action.
    void replaceDocument(Document&& document);
    SaveConcerns saveConcerns(int typeIndex) const;
    // Writes the recording in file type 1..4, or the whole document for
    // kTypeDocument; withTempo puts the tempo and
    // 4/4 into a .mid.
    SaveResult saveRecording(int typeIndex, const std::string& fileName, bool withTempo = false);
    // True when the recording holds steps that were recorded, or changed,
    // since the last save or open.
    bool isModified() const;
    void markSaved();

    // The step list's edits: each one entry as it is.
    EditResult editSteps(const std::string& label, const std::function<StepEdit(Recording&)>& edit);

    // Duplicates the count steps from first at the tick spacing, each copy
    // as long as its original; one entry under the transaction's name.
    EditResult duplicateSteps(int first, int count);
    // The step list's timing edits at the tick spacing (recording/TimingEdits.h),
    // each one entry under the name of the transaction it is in.
    EditResult setStepLengths(int first, int count, std::int64_t length);
    EditResult scaleStepLengths(int first, int count, bool doubling);
    EditResult resetStepLengths(int first, int count);
    EditResult nudgeSteps(int first, int count, int ticks);
    EditResult holdFrames(int first, int count, int unit);
    // Where the first step starts; none: after its wait, as recorded.
    EditResult setStartOffset(std::optional<int> tick);
    // An imported animation's frame delays, at the tempo, as the lengths of
    // the steps from first: part of the import's entry, not one of its own.
    void timeSteps(int first, std::span<const std::int64_t> micros);
    // What the length and start dialogs show: a step's length and the
    // shortest it can have, and where the first step starts as recorded.
    std::int64_t stepLength(int step) const;
    int shortestLength(int step) const;
    std::int64_t recordedStart() const;

    void undo();
    void redo();

private:
    void noteChange(DocumentChange change);
    EditResult editTiming(const std::function<StepEdit(Recording&, int stepTick)>& edit);
    void publish();

    SteadyPlaybackClock steadyClock_;
    Document document_;
    MidiLink link_;
    LivePacer pacer_;
    DisplayModel display_;
    EditHistory history_;
    std::vector<Observer> observers_;
    DocumentChanges pending_;
    std::uint64_t refusalAction_ = 0;
};

} // namespace lumidot
