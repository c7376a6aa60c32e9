// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PacerTimer.h"

#include "document/LivePacer.h"

namespace lumidot {

PacerTimer::PacerTimer(LivePacer& pacer, QObject* parent)
    : QObject(parent)
    , pacer_(pacer)
{
    // A coarse timer may wake 5 % late; a frame is due to the millisecond.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PacerTimer::fire);
    pacer_.onWaiting = [this](std::int64_t wait) { arm(wait); };
}

PacerTimer::~PacerTimer()
{
    pacer_.onWaiting = nullptr;
}

void PacerTimer::fire()
{
    timer_.stop();
    const std::int64_t wait = pacer_.poll();
    if (wait >= 0)
        arm(wait);
}

// Rounded up: the pacer lets a frame start a millisecond early, so a whole
// millisecond late is never late for the cable.
void PacerTimer::arm(long long waitMicroseconds)
{
    if (timer_.isActive())
        return;
    timer_.start(static_cast<int>((waitMicroseconds + 999) / 1000));
}

} // namespace lumidot
