// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/Player.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace lumidot {

std::int64_t SteadyPlaybackClock::now()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

// The part of the display a message sets; a later message of the same kind
// replaces what an earlier one showed.
enum Slot { kSlotColour, kSlotMode01, kSlotMode05, kSlotEffect1, kSlotEffect2, kSlotEffectMode,
            kSlotFrame, kSlotText, kSlotOther, kSlotCount };

Slot slotOf(const SysExMessage& message)
{
    const auto bytes = message.bytes();
    if (bytes.size() < 7)
        return kSlotOther;
    switch (bytes[4]) {
    case 0x7D: return kSlotColour;
    case 0x00: return bytes[5] == 0x05 ? kSlotMode05 : kSlotMode01;
    case 0x08: return bytes[5] == 0x08 ? kSlotEffect1 : bytes[5] == 0x09 ? kSlotEffect2 : kSlotEffectMode;
    case 0x12: return bytes.size() > 8 && bytes[7] == 0x20 ? kSlotFrame : kSlotText;
    default: return kSlotOther;
    }
}

} // namespace

Player::Player(PlaybackClock& clock, Send send)
    : clock_(clock), send_(std::move(send))
{
    schedule_.stepFirstMessage.push_back(0);
}

void Player::load(PlaybackSchedule schedule)
{
    schedule_ = std::move(schedule);
    if (schedule_.stepFirstMessage.empty())
        schedule_.stepFirstMessage.push_back(0);
    playing_ = false;
    shownStep_ = -1;
    next_ = 0;
    lag_ = 0;
}

void Player::reschedule(PlaybackSchedule schedule)
{
    const int shown = shownStep_;
    const bool wasPlaying = playing_;
    load(std::move(schedule));
    startFrom(std::min(shown, schedule_.stepCount() - 1));
    playing_ = wasPlaying && shownStep_ + 1 < schedule_.stepCount();
}

std::int64_t Player::stepTime(int step) const
{
    return step < 0 ? 0 : schedule_.stepTimes[static_cast<std::size_t>(step)];
}

void Player::startFrom(int shown)
{
    shownStep_ = shown;
    next_ = schedule_.stepFirstMessage[static_cast<std::size_t>(shown + 1)];
    origin_ = clock_.now() - stepTime(shown);
    wireFree_ = 0;
}

void Player::play()
{
    if (schedule_.stepCount() == 0)
        return;
    startFrom(shownStep_ + 1 >= schedule_.stepCount() ? -1 : shownStep_);
    playing_ = true;
}

void Player::stop()
{
    playing_ = false;
}

std::int64_t Player::dueAt(std::size_t index) const
{
    const std::int64_t scheduled = origin_ + schedule_.messages[index].time;
    return paced_ ? std::max(scheduled, wireFree_) : scheduled;
}

void Player::sendAt(std::size_t index)
{
    const ScheduledMessage& message = schedule_.messages[index];
    shownStep_ = message.step;
    send_(message);
}

std::int64_t Player::poll()
{
    if (!playing_)
        return -1;
    const std::int64_t now = clock_.now();
    while (next_ < schedule_.messages.size()) {
        const std::int64_t due = dueAt(next_);
        if (due > now)
            return due - now;
        const std::size_t index = next_++;
        lag_ = due - (origin_ + schedule_.messages[index].time);
        wireFree_ = due + cableMicroseconds(schedule_.messages[index].message.size());
        sendAt(index);
        if (!playing_)   // the send stopped playback
            return -1;
    }
    // Steps without messages at the end still count as shown.
    shownStep_ = schedule_.stepCount() - 1;
    playing_ = false;
    return -1;
}

void Player::stepForward()
{
    playing_ = false;
    const int step = shownStep_ + 1;
    if (step >= schedule_.stepCount())
        return;
    const std::size_t end = schedule_.stepFirstMessage[static_cast<std::size_t>(step + 1)];
    for (std::size_t i = schedule_.stepFirstMessage[static_cast<std::size_t>(step)]; i < end; ++i)
        sendAt(i);
    shownStep_ = step;
    lag_ = 0;
}

void Player::stepBack()
{
    if (shownStep_ >= 0)
        seek(shownStep_ - 1);
}

void Player::seek(int step)
{
    step = std::clamp(step, -1, schedule_.stepCount() - 1);
    const std::size_t end = schedule_.stepFirstMessage[static_cast<std::size_t>(step + 1)];
    std::array<std::size_t, kSlotCount> last;
    last.fill(end);
    for (std::size_t i = 0; i < end; ++i)
        last[slotOf(schedule_.messages[i].message)] = i;
    std::sort(last.begin(), last.end());
    for (const std::size_t i : last)
        if (i < end)
            sendAt(i);
    const bool wasPlaying = playing_;
    startFrom(step);
    playing_ = wasPlaying;
    lag_ = 0;
}

std::int64_t Player::position()
{
    if (!playing_)
        return stepTime(shownStep_);
    return std::clamp<std::int64_t>(clock_.now() - origin_, 0, schedule_.length);
}

} // namespace lumidot
