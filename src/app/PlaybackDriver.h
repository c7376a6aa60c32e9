// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Player.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace lumidot {

// Drives a player from the event loop: a precise timer wakes it about a
// millisecond before the next message is due, and the last stretch is
// waited out on the steady clock, so that messages leave within a
// millisecond of their time without a thread of their own.
class PlaybackDriver : public QObject {
    Q_OBJECT

public:
    explicit PlaybackDriver(Player& player, QObject* parent = nullptr);

    // Polls the player now and then whenever it asks; stops by itself when
    // the player has nothing more to send.
    void start();
    void stop();
    bool running() const { return timer_.isActive(); }

    // Called when the player has stopped by itself, after its last step.
    std::function<void()> onFinished;

private:
    void wake();

    Player& player_;
    QTimer timer_;
};

} // namespace lumidot
