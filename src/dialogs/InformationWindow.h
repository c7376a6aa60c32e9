// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace lumidot {

// "情報表示": the port in use and the number of steps that can still be recorded.
class TInformation : public QDialog {
    Q_OBJECT

public:
    explicit TInformation(QWidget* parent = nullptr);

    // Shows remaining = 9999 - stepCount as a signed number and as the bar
    // (empty once nothing remains), and the device name.
    void showFigures(int stepCount, const QString& deviceName);
    // The recording's length at the monitor's tempo, and a warning line
    // (empty: none) when its steps outrun a MIDI cable.
    void showTiming(const QString& length, const QString& cableWarning);

    QLabel* Label1 = nullptr;
    QLabel* DEVNAME = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* STEP = nullptr;
    QProgressBar* REST_CNT = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LENGTH = nullptr;
    QLabel* CABLE = nullptr;
};

} // namespace lumidot
