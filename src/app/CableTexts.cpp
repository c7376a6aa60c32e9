// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CableTexts.h"

#include "recording/StepTiming.h"

#include <QCoreApplication>

namespace lumidot {

namespace {

QString smallestFit(const CableCheck& check)
{
    if (check.smallestStepTick == 0)
        return QCoreApplication::translate("CableTexts", "このテンポでは 127 Tick でも間に合いません");
    return QCoreApplication::translate("CableTexts", "間に合う最小のステップ間隔は %1 Tick です")
        .arg(check.smallestStepTick);
}

} // namespace

QString recordingLengthText(std::int64_t length, int tempo, int stepTick)
{
    return QStringLiteral("%1 (%2 BPM, %3 Tick)")
        .arg(QString::fromStdString(formatPlaybackTime(length)))
        .arg(tempo)
        .arg(stepTick);
}

QString cableWarningText(const CableCheck& check)
{
    if (!check.outruns)
        return {};
    return QCoreApplication::translate("CableTexts", "MIDIケーブル (毎秒3,125バイト) に間に合わないステップがあります。%1")
        .arg(smallestFit(check));
}

QString cableSaveQuestion(const CableCheck& check, int tempo, int stepTick)
{
    return QCoreApplication::translate("CableTexts",
                                       "%1 BPM、%2 Tick では、ステップ %3 から先がMIDIケーブル (毎秒3,125バイト) "
                                       "に間に合わず、音源の表示が遅れます。\n%4。\nこのまま保存しますか？")
        .arg(tempo)
        .arg(stepTick)
        .arg(check.firstLateStep + 1)
        .arg(smallestFit(check));
}

} // namespace lumidot
