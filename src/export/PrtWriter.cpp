// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/PrtWriter.h"

#include "ns5r/StepMessages.h"
#include "ns5r/UserText.h"
#include "recording/StepTiming.h"

#include <algorithm>
#include <array>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 6> kSignature{'R', 'C', 'P', 'P', 'R', 0x01};
constexpr std::size_t kHeaderSize = kSignature.size() + 2;
constexpr std::uint8_t kExclusiveStart = 0x98;
constexpr std::uint8_t kExclusiveData = 0xF7;

// One exclusive start event and the data events for the message after its F0.
std::size_t eventBytes(const SysExMessage& message)
{
    const std::size_t dataBytes = message.size() - 1;
    return 4 + 4 * ((dataBytes + 1) / 2);
}

std::size_t blockSize(const Recording& recording)
{
    std::size_t size = 0;
    forEachStep(recording, [&size](const Step& step) {
        for (const SysExMessage& message : stepMessages(step))
            size += eventBytes(message);
    });
    return size;
}

// The message after its F0, two bytes an event; an odd count is made even
// with a second F7.
std::uint8_t* writeMessage(std::uint8_t* out, const SysExMessage& message, std::uint8_t stepTick)
{
    *out++ = kExclusiveStart;
    *out++ = 0x00;
    *out++ = stepTick;
    *out++ = 0x00;
    const auto bytes = message.bytes().subspan(1);
    for (std::size_t k = 0; k < bytes.size(); k += 2) {
        *out++ = kExclusiveData;
        *out++ = 0x00;
        *out++ = bytes[k];
        *out++ = k + 1 < bytes.size() ? bytes[k + 1] : kEndOfExclusive;
    }
    return out;
}

// The tick byte of each step: its wait after the previous step's last
// event, or the first step that does not fit 1..127.
PrtWaitRefusal prtTicks(const Recording& recording, std::uint8_t stepTick,
                        std::vector<std::uint8_t>& ticks)
{
    StepTickCounter counter = tickCounterFor(recording, stepTick);
    ticks.reserve(static_cast<std::size_t>(recording.StepCount()));
    int index = 0;
    PrtWaitRefusal refusal;
    forEachStep(recording, [&](const Step& step, StepWait stepWait) {
        const std::int64_t previous = counter.lastTick();
        counter.next(step.kind, stepWait);
        const std::int64_t wait = counter.textTick() - previous;
        if (!refusal.refused() && (wait < kPrtShortestWait || wait > kPrtLongestWait))
            refusal = {index, wait};
        ticks.push_back(static_cast<std::uint8_t>(std::clamp<std::int64_t>(wait, 0, 0x7F)));
        ++index;
    });
    return refusal;
}

} // namespace

ExportResult Export_PRT(const Recording& recording, std::uint8_t stepTick)
{
    ExportResult result;
    stepTick = validStepTick(stepTick);
    std::vector<std::uint8_t> ticks;
    const PrtWaitRefusal wait = prtTicks(recording, stepTick, ticks);
    if (wait.refused()) {
        result.refusal = LUMIDOT_TEXT("PrtWriter", "ステップ %1 の待ち時間 (%2 Tick) は Recomposer98 形式に入りません "
                                                   "(1〜127 Tick)。Standard MIDI (.mid) で保存してください")
                             .arg(static_cast<long long>(wait.step) + 1)
                             .arg(static_cast<long long>(wait.ticks));
        return result;
    }
    // Sized first, so that a recording the length field cannot state is
    // refused before anything is built.
    const std::size_t block = blockSize(recording);
    if (block > kPrtMaxBlock) {
        result.refusal = LUMIDOT_TEXT("PrtWriter", "記録が長すぎて Recomposer98 形式では保存できません"
                                                   "（イベントが 65,535 バイトを超えます）");
        return result;
    }
    auto& file = result.bytes;
    file.resize(kHeaderSize + block);
    std::copy(kSignature.begin(), kSignature.end(), file.begin());
    file[6] = static_cast<std::uint8_t>(block & 0xFF);
    file[7] = static_cast<std::uint8_t>(block >> 8);
    std::uint8_t* out = file.data() + kHeaderSize;
    std::size_t index = 0;
    forEachStep(recording, [&](const Step& step) {
        for (const SysExMessage& message : stepMessages(step))
            out = writeMessage(out, message, ticks[index]);
        ++index;
    });
    return result;
}

PrtWaitRefusal prtWaitRefusal(const Recording& recording, std::uint8_t stepTick)
{
    std::vector<std::uint8_t> ticks;
    return prtTicks(recording, validStepTick(stepTick), ticks);
}

} // namespace lumidot
