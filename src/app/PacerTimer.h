// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace lumidot {

class LivePacer;

// Wakes the live pacer when the cable is free for the frame it holds back,
// and again as long as one waits, so that the last frame of a stroke goes
// out without another mouse move to carry it.
class PacerTimer : public QObject {
    Q_OBJECT

public:
    PacerTimer(LivePacer& pacer, QObject* parent);
    ~PacerTimer() override;

    bool armed() const { return timer_.isActive(); }
    // The timer's due time: sends what may go and arms again while a frame waits.
    void fire();

private:
    void arm(long long waitMicroseconds);

    LivePacer& pacer_;
    QTimer timer_;
};

} // namespace lumidot
