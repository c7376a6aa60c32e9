// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ns5r/Commands.h"
#include "ns5r/StepKind.h"
#include "recording/StepWait.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lumidot {

// Frame and message steps are refused from this many steps on; colour, off
// and effect steps are not held to it.
inline constexpr int kStepLimit = 9999;
inline constexpr int kTableRecords = 10000;
inline constexpr std::size_t kMessageRecordSize = 33;

enum class RecordResult { Recorded, Full, NothingToRecord };

struct StepClip;

// One step's new wait, for changing several at once.
struct WaitAt {
    int step = 0;
    StepWait wait;
};

// The timing around the steps: where the first one starts (none: after its
// wait, as recorded) and how long the end lasts after the last one.
struct EdgeTiming {
    std::optional<int> startOffset;
    int endWait = kEndOfTrackTicks;

    bool operator==(const EdgeTiming&) const = default;
};

// The recording of an animation: one kind per step, effect bytes three per
// effect step, and fixed tables of frame and message records. The k-th frame
// step owns frame record k, the k-th message step message record k.
//
// Each step has a wait before it (StepWait.h), recorded steps the spacing.
// The recording also knows where its first step starts when the user set
// that, and how long its end lasts after the last step.
//
// Invariants after every operation: the event stream holds StepCount()
// kinds and there is one wait per kind; FrameCount() and MessageCount()
// equal the numbers of frame and message steps; the effect stream holds
// three bytes per effect step.
class Recording {
public:
    Recording();
    Recording(Recording&&) noexcept;
    Recording& operator=(Recording&&) noexcept;
    ~Recording();

    int StepCount() const { return static_cast<int>(events_.size()); }
    int FrameCount() const { return frameCount_; }
    int MessageCount() const { return messageCount_; }
    bool full() const { return StepCount() >= kStepLimit; }
    // The memory the recording holds: its lists and both tables.
    std::size_t heldBytes() const;

    // The kind of each step in order, and the same as the bytes the files
    // and the clipboard hold.
    std::span<const StepKind> kinds() const { return events_; }
    std::span<const std::uint8_t> eventStream() const
    {
        return {reinterpret_cast<const std::uint8_t*>(events_.data()), events_.size()};
    }
    std::span<const std::uint8_t> effectStream() const { return effects_; }
    const PackedFrame& frameRecord(int index) const;
    // A whole 33-byte record: byte 0 the text length n, bytes 1..n the text.
    std::span<const std::uint8_t, kMessageRecordSize> messageRecord(int index) const;
    // The n text bytes of a committed message record.
    std::span<const std::uint8_t> messageText(int index) const;

    // Appends a colour or off step; never refused.
    void appendColour(LcdColour colour);
    // Appends a frame step; refused from StepCount() 9999 on.
    RecordResult appendFrame(const PackedFrame& frame);
    // Writes the two lines into the next free message record, the build area
    // of the message being sent, and returns its text bytes (16 + n). Commits
    // nothing.
    std::span<const std::uint8_t> buildMessage(std::string_view line1, std::string_view line2);
    // Commits the record last built as a message step; refused at the limit.
    RecordResult commitMessage();
    // Builds and commits in one go.
    RecordResult appendMessage(std::string_view line1, std::string_view line2);
    // Appends an effect step; never refused.
    void appendEffect(const EffectSetting& effect);
    // Empties the recording; the tables keep their bytes, nothing reads them.
    void clear();
    // Takes over the steps of another recording (a file read back), keeping
    // this recording's listener, which hears of the new count.
    void replaceSteps(Recording&& other);

    // Step edits, each keeping the invariants above and telling the
    // listener. Positions are step indices; ranges are held to the steps
    // there are. The limit is the caller's to check (see StepEdits.h).
    StepClip copySteps(int first, int count) const;
    void removeSteps(int first, int count);
    // False, changing nothing, when the tables cannot take the steps.
    bool insertSteps(int at, const StepClip& steps);
    // The count steps from first end up starting at step to.
    void moveSteps(int first, int count, int to);

    // The timing. A step's wait, held to 0..kMaxWait; steps out of range
    // are passed over.
    StepWait wait(int step) const;
    std::span<const StepWait> waits() const { return waits_; }
    void setWait(int step, StepWait wait);
    // Several waits with one notice to the listener.
    void setWaits(std::span<const WaitAt> waits);
    // Where the first step's first message comes, in ticks from the start;
    // none: after the first step's wait, as recorded. While it is set, the
    // first step's own wait is not used.
    std::optional<int> startOffset() const { return startOffset_; }
    void setStartOffset(std::optional<int> tick);
    // The ticks from the last step's last event to the end of the track.
    int endWait() const { return endWait_; }
    void setEndWait(int ticks);
    EdgeTiming edgeTiming() const { return {startOffset_, endWait_}; }
    void setEdgeTiming(const EdgeTiming& edges);
    // True when any of the timing is not what recording gives: a wait of
    // its own, a start offset or an end of its own. The formats without
    // time (.syx, .exc) lose it.
    bool hasOwnTiming() const;

    // Called after every change of StepCount(), with the new count, and
    // after every step edit.
    void setStepCountListener(std::function<void(int)> listener);

    // The saved state: every change of the steps moves the revision on;
    // markSaved() takes the current one as the state on disk (after a save,
    // after reading a file back). isModified() is true when the steps
    // changed since.
    std::uint64_t revision() const { return revision_; }
    void markSaved() { savedRevision_ = revision_; }
    bool isModified() const { return revision_ != savedRevision_; }

private:
    void stepAdded();

    std::vector<StepKind> events_;
    std::vector<std::uint8_t> effects_;
    std::vector<StepWait> waits_;
    std::optional<int> startOffset_;
    int endWait_ = kEndOfTrackTicks;
    using MessageRecord = std::array<std::uint8_t, kMessageRecordSize>;
    struct FreeTable {
        void operator()(void* table) const;
    };
    std::unique_ptr<PackedFrame[], FreeTable> frames_;
    std::unique_ptr<MessageRecord[], FreeTable> messages_;
    int frameCount_ = 0;
    int messageCount_ = 0;
    std::size_t builtTextSize_ = 0;
    std::function<void(int)> listener_;
    std::uint64_t revision_ = 0;
    std::uint64_t savedRevision_ = 0;
};

// Walks the steps from the first to the last, each with its payload. Reading
// changes nothing in the recording.
class StepReader {
public:
    explicit StepReader(const Recording& recording);
    // The next step, or false after the last one.
    bool next(Step& step);
    // The wait before the step read last.
    StepWait wait() const { return wait_; }

private:
    const Recording& recording_;
    int stepIndex_ = 0;
    int frameIndex_ = 0;
    int messageIndex_ = 0;
    std::size_t effectOffset_ = 0;
    StepWait wait_;
};

// Runs fn(step) for every step in order; a writer that keeps time takes
// fn(step, wait), the wait before the step.
template <class Fn>
void forEachStep(const Recording& recording, Fn&& fn)
{
    StepReader reader(recording);
    Step step;
    while (reader.next(step)) {
        if constexpr (std::is_invocable_v<Fn&, const Step&, StepWait>)
            fn(step, reader.wait());
        else
            fn(step);
    }
}

} // namespace lumidot
