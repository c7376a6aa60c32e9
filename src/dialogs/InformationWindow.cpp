// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/InformationWindow.h"

#include "recording/Recording.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace lumidot {

TInformation::TInformation(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("情報表示"));
    setModal(false);
    Label1 = new QLabel(QStringLiteral("MIDI DEVICE"), this);
    DEVNAME = new QLabel(QStringLiteral("MIDI-DEVICE-NAME"), this);
    DEVNAME->setFrameShape(QFrame::StyledPanel);
    DEVNAME->setFrameShadow(QFrame::Sunken);
    DEVNAME->setMinimumWidth(220);
    Label3 = new QLabel(tr("残り"), this);
    STEP = new QLabel(QStringLiteral("00000"), this);
    STEP->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    STEP->setMinimumWidth(48);
    REST_CNT = new QProgressBar(this);
    REST_CNT->setTextVisible(false);
    REST_CNT->setFixedHeight(14);

    Label4 = new QLabel(tr("長さ"), this);
    LENGTH = new QLabel(this);
    CABLE = new QLabel(this);
    CABLE->setWordWrap(true);
    CABLE->setStyleSheet(QStringLiteral("color: #c00000;"));
    // Room for the warning is kept, so that the fixed-size window never cuts
    // it: the longest one wraps to three lines at this width.
    CABLE->setMinimumHeight(3 * CABLE->fontMetrics().lineSpacing());
    CABLE->setMaximumWidth(300);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(DEVNAME, 0, 1, 1, 2);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(STEP, 1, 1);
    grid->addWidget(REST_CNT, 1, 2);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(LENGTH, 2, 1, 1, 2);
    grid->addWidget(CABLE, 3, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    setFixedSize(sizeHint());
}

void TInformation::showFigures(int stepCount, const QString& deviceName)
{
    const int remaining = kStepLimit - stepCount;
    STEP->setText(QString::number(remaining));
    REST_CNT->setRange(0, kStepLimit);
    // Beyond the limit the count is negative; the bar then shows empty.
    REST_CNT->setValue(std::max(0, remaining));
    DEVNAME->setText(deviceName);
}

void TInformation::showTiming(const QString& length, const QString& cableWarning)
{
    LENGTH->setText(length);
    CABLE->setText(cableWarning);
}

} // namespace lumidot
