// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/Recording.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace lumidot {

namespace {

// A zeroed table from calloc: the system hands out zero pages lazily, so a
// recording that is built only to read a small file back costs little.
template <class Record>
Record* zeroedTable()
{
    void* table = std::calloc(kTableRecords, sizeof(Record));
    if (!table)
        throw std::bad_alloc();
    return static_cast<Record*>(table);
}

} // namespace

void Recording::FreeTable::operator()(void* table) const
{
    std::free(table);
}

Recording::Recording()
    : frames_(zeroedTable<PackedFrame>())
    , messages_(zeroedTable<MessageRecord>())
{
    // Room for every step up to the limit, so frame and message steps never
    // allocate; only colour and effect steps past it grow the lists.
    events_.reserve(kStepLimit + 1);
    waits_.reserve(kStepLimit + 1);
    effects_.reserve(3 * 1024);
}

Recording::Recording(Recording&&) noexcept = default;
Recording& Recording::operator=(Recording&&) noexcept = default;
Recording::~Recording() = default;

std::size_t Recording::heldBytes() const
{
    return events_.capacity() + effects_.capacity() +
           kTableRecords * (sizeof(PackedFrame) + sizeof(MessageRecord));
}

const PackedFrame& Recording::frameRecord(int index) const
{
    return frames_[std::clamp(index, 0, kTableRecords - 1)];
}

std::span<const std::uint8_t, kMessageRecordSize> Recording::messageRecord(int index) const
{
    return messages_[std::clamp(index, 0, kTableRecords - 1)];
}

std::span<const std::uint8_t> Recording::messageText(int index) const
{
    const auto record = messageRecord(index);
    const std::size_t n = std::min<std::size_t>(record[0], kMessageRecordSize - 1);
    return record.subspan(1, n);
}

void Recording::stepAdded()
{
    ++revision_;
    if (listener_)
        listener_(StepCount());
}

void Recording::appendColour(LcdColour colour)
{
    events_.push_back(colourStepKind(colour));
    waits_.emplace_back();
    stepAdded();
}

RecordResult Recording::appendFrame(const PackedFrame& frame)
{
    if (full())
        return RecordResult::Full;
    frames_[frameCount_++] = frame;
    events_.push_back(StepKind::Frame);
    waits_.emplace_back();
    stepAdded();
    return RecordResult::Recorded;
}

std::span<const std::uint8_t> Recording::buildMessage(std::string_view line1,
                                                      std::string_view line2)
{
    // The next free record stays inside the table: MessageCount never
    // exceeds 9999 while the table has 10,000 records.
    auto& record = messages_[messageCount_];
    line1 = line1.substr(0, kMessageLineBytes);
    line2 = line2.substr(0, kMessageLineBytes);
    std::fill_n(record.begin() + 1, kMessageLineBytes, std::uint8_t{' '});
    std::copy(line1.begin(), line1.end(), record.begin() + 1);
    std::copy(line2.begin(), line2.end(), record.begin() + 1 + kMessageLineBytes);
    builtTextSize_ = kMessageLineBytes + line2.size();
    return std::span<const std::uint8_t>(record).subspan(1, builtTextSize_);
}

RecordResult Recording::commitMessage()
{
    if (full())
        return RecordResult::Full;
    messages_[messageCount_][0] = static_cast<std::uint8_t>(builtTextSize_);
    ++messageCount_;
    events_.push_back(StepKind::Message);
    waits_.emplace_back();
    stepAdded();
    return RecordResult::Recorded;
}

RecordResult Recording::appendMessage(std::string_view line1, std::string_view line2)
{
    if (full())
        return RecordResult::Full;
    buildMessage(line1, line2);
    return commitMessage();
}

void Recording::appendEffect(const EffectSetting& effect)
{
    events_.push_back(StepKind::Effect);
    waits_.emplace_back();
    effects_.insert(effects_.end(), {effect.effect1, effect.effect2, effect.mode});
    stepAdded();
}

void Recording::clear()
{
    // Emptying an empty recording changes nothing that could be lost.
    if (events_.empty() && effects_.empty() && !startOffset_ && endWait_ == kEndOfTrackTicks)
        return;
    events_.clear();
    effects_.clear();
    waits_.clear();
    startOffset_.reset();
    endWait_ = kEndOfTrackTicks;
    frameCount_ = 0;
    messageCount_ = 0;
    builtTextSize_ = 0;
    stepAdded();
}

void Recording::replaceSteps(Recording&& other)
{
    auto listener = std::move(listener_);
    const std::uint64_t revision = revision_;
    const std::uint64_t saved = savedRevision_;
    *this = std::move(other);
    listener_ = std::move(listener);
    revision_ = revision;
    savedRevision_ = saved;
    stepAdded();
}

StepWait Recording::wait(int step) const
{
    if (step < 0 || step >= StepCount())
        return {};
    return waits_[static_cast<std::size_t>(step)];
}

void Recording::setWait(int step, StepWait wait)
{
    const WaitAt one{step, wait};
    setWaits({&one, 1});
}

void Recording::setWaits(std::span<const WaitAt> waits)
{
    bool changed = false;
    for (const WaitAt& change : waits) {
        if (change.step < 0 || change.step >= StepCount())
            continue;
        // Through ticks() again, so that a wait never leaves its range.
        const StepWait wait = change.wait.followsSpacing() ? StepWait::spacing()
                                                           : StepWait::ticks(change.wait.ownTicks());
        StepWait& held = waits_[static_cast<std::size_t>(change.step)];
        changed = changed || held != wait;
        held = wait;
    }
    if (changed)
        stepAdded();
}

void Recording::setStartOffset(std::optional<int> tick)
{
    setEdgeTiming({tick, endWait_});
}

void Recording::setEndWait(int ticks)
{
    setEdgeTiming({startOffset_, ticks});
}

void Recording::setEdgeTiming(const EdgeTiming& edges)
{
    EdgeTiming held = edges;
    if (held.startOffset)
        held.startOffset = std::clamp(*held.startOffset, 0, kMaxWait);
    held.endWait = std::clamp(held.endWait, 0, kMaxWait);
    if (held == edgeTiming())
        return;
    startOffset_ = held.startOffset;
    endWait_ = held.endWait;
    stepAdded();
}

bool Recording::hasOwnTiming() const
{
    return startOffset_ || endWait_ != kEndOfTrackTicks ||
           std::ranges::any_of(waits_, [](StepWait wait) { return !wait.followsSpacing(); });
}

void Recording::setStepCountListener(std::function<void(int)> listener)
{
    listener_ = std::move(listener);
}

StepReader::StepReader(const Recording& recording)
    : recording_(recording)
{
}

bool StepReader::next(Step& step)
{
    if (stepIndex_ >= recording_.StepCount())
        return false;
    step = Step{};
    wait_ = recording_.waits()[static_cast<std::size_t>(stepIndex_)];
    step.kind = recording_.kinds()[stepIndex_++];
    switch (step.kind) {
    case StepKind::Message:
        step.text = recording_.messageText(messageIndex_++);
        break;
    case StepKind::Frame:
        step.frame = &recording_.frameRecord(frameIndex_++);
        break;
    case StepKind::Effect: {
        const auto bytes = recording_.effectStream().subspan(effectOffset_, 3);
        step.effect = {bytes[0], bytes[1], bytes[2]};
        effectOffset_ += 3;
        break;
    }
    case StepKind::Green:
    case StepKind::Orange:
    case StepKind::Red:
    case StepKind::Off:
        break;
    }
    return true;
}

} // namespace lumidot
