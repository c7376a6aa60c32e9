// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LivePacer.h"

#include "ns5r/Commands.h"
#include "recording/PlaybackSchedule.h"
#include "recording/Player.h"

#include <algorithm>

namespace lumidot {

namespace {

// F0 42 30 42, the body, F7.
constexpr std::size_t kWrapping = 5;

} // namespace

bool isFrameDrawBody(std::span<const std::uint8_t> body)
{
    return body.size() == kFrameDrawPrefix.size() + kPackedFrameSize
           && std::equal(kFrameDrawPrefix.begin(), kFrameDrawPrefix.end(), body.begin());
}

LivePacer::LivePacer(MidiLink& link, PlaybackClock& clock)
    : link_(link)
    , clock_(clock)
{
}

bool LivePacer::paced() const
{
    return pacing_ && link_.liveSending() && link_.portOpen();
}

SendResult LivePacer::EXC_Out(std::span<const std::uint8_t> body)
{
    if (!paced()) {
        flush();
        return link_.EXC_Out(body);
    }
    const std::int64_t now = clock_.now();
    if (!isFrameDrawBody(body)) {
        if (!frame_)
            return sendNow(body, now);
        behind_.emplace_back(body.begin(), body.end());
        return SendResult::Waiting;
    }
    // The waiting frame gives way; what was sent after it need not wait
    // for the newer frame.
    if (frame_) {
        frame_.reset();
        sendQueued(now);
    }
    if (now >= frameDue())
        return sendNow(body, now);
    frame_.emplace(body.begin(), body.end());
    if (onWaiting)
        onWaiting(frameDue() - now);
    return SendResult::Waiting;
}

SendResult LivePacer::sendNow(std::span<const std::uint8_t> body, std::int64_t now)
{
    const SendResult result = link_.EXC_Out(body);
    if (result == SendResult::Sent)
        wireFree_ = std::max(now, wireFree_) + cableMicroseconds(body.size() + kWrapping);
    return result;
}

void LivePacer::sendQueued(std::int64_t now)
{
    std::vector<Body> queued;
    queued.swap(behind_);
    for (const Body& body : queued)
        sendNow(body, now);
}

std::int64_t LivePacer::poll()
{
    if (!frame_)
        return -1;
    if (!paced()) {
        flush();
        return -1;
    }
    const std::int64_t now = clock_.now();
    if (now < frameDue())
        return frameDue() - now;
    const Body frame = std::move(*frame_);
    frame_.reset();
    sendNow(frame, now);
    sendQueued(now);
    return -1;
}

void LivePacer::flush()
{
    if (!frame_)
        return;
    const std::int64_t now = clock_.now();
    const Body frame = std::move(*frame_);
    frame_.reset();
    sendNow(frame, now);
    sendQueued(now);
}

void LivePacer::setPacing(bool on)
{
    if (!on)
        flush();
    pacing_ = on;
}

} // namespace lumidot
