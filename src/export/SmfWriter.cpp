// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SmfWriter.h"

#include "ns5r/StepMessages.h"
#include "recording/StepTiming.h"

#include <array>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 18> kFileStart{
    'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0,
    'M', 'T', 'r', 'k'};
constexpr std::array<std::uint8_t, 5> kChannelPrefix{0x00, 0xFF, 0x20, 0x01, 0x00};
// 4/4, a click every quarter note, eight 32nd notes a quarter.
constexpr std::array<std::uint8_t, 8> kFourFour{0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};
constexpr std::array<std::uint8_t, 3> kEndOfTrack{0xFF, 0x2F, 0x00};

void appendTempo(std::vector<std::uint8_t>& track, int tempo)
{
    const auto perQuarter = static_cast<std::uint32_t>(60000000 / validTempo(tempo));
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03, static_cast<std::uint8_t>(perQuarter >> 16),
                               static_cast<std::uint8_t>(perQuarter >> 8),
                               static_cast<std::uint8_t>(perQuarter)});
    track.insert(track.end(), kFourFour.begin(), kFourFour.end());
}

// Label and message lengths are below 128, so each is its own one-byte
// quantity; the deltas are whatever the waits make them.
void appendStep(std::vector<std::uint8_t>& track, const Step& step, StepWait wait,
                StepTickCounter& counter)
{
    const std::int64_t previous = counter.lastTick();
    std::int64_t tick = counter.next(step.kind, wait);
    const std::int64_t text = counter.textTick();
    const std::string_view label = StepLabel(step.kind);
    appendQuantity(track, static_cast<std::uint32_t>(text - previous));
    track.insert(track.end(), {0xFF, 0x01, static_cast<std::uint8_t>(label.size())});
    track.insert(track.end(), label.begin(), label.end());
    std::int64_t at = text;
    for (const SysExMessage& message : stepMessages(step)) {
        const auto bytes = message.bytes();
        appendQuantity(track, static_cast<std::uint32_t>(tick - at));
        track.insert(track.end(), {0xF0, static_cast<std::uint8_t>(bytes.size() - 1)});
        track.insert(track.end(), bytes.begin() + 1, bytes.end());
        at = tick++;
    }
}

} // namespace

void appendQuantity(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    value &= 0x0FFFFFFF;
    std::array<std::uint8_t, 4> groups{};
    int count = 0;
    do {
        groups[static_cast<std::size_t>(count++)] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count-- > 1)
        out.push_back(static_cast<std::uint8_t>(groups[static_cast<std::size_t>(count)] | 0x80));
    out.push_back(groups[0]);
}

std::string_view StepLabel(StepKind kind)
{
    switch (kind) {
    case StepKind::Green: return "==KORG NS5R LCD (Green)==";
    case StepKind::Orange: return "==KORG NS5R LCD (Orange)==";
    case StepKind::Red: return "==KORG NS5R LCD (Red)==";
    case StepKind::Message: return "==KORG NS5R ShowMesasge ==";
    case StepKind::Frame: return "==KORG NS5R FrameDraw ==";
    case StepKind::Off: return "==KORG NS5R LCD (Hide)==";
    case StepKind::Effect: return "==KORG NS5R FX==";
    }
    return {};
}

std::vector<std::uint8_t> EXPORT_SMF(const Recording& recording, std::uint8_t stepTick,
                                     const SmfOptions& options)
{
    std::vector<std::uint8_t> file(kFileStart.begin(), kFileStart.end());
    file.reserve(static_cast<std::size_t>(recording.StepCount()) * 128 + 64);
    // The track length is known only at the end; its four bytes are filled in then.
    const std::size_t lengthAt = file.size();
    file.resize(lengthAt + 4);
    if (options.tempo > 0)
        appendTempo(file, options.tempo);
    file.insert(file.end(), kChannelPrefix.begin(), kChannelPrefix.end());
    StepTickCounter counter = tickCounterFor(recording, validStepTick(stepTick));
    forEachStep(recording, [&](const Step& step, StepWait wait) { appendStep(file, step, wait, counter); });
    appendQuantity(file, static_cast<std::uint32_t>(recording.endWait()));
    file.insert(file.end(), kEndOfTrack.begin(), kEndOfTrack.end());

    const auto trackLength = static_cast<std::uint32_t>(file.size() - lengthAt - 4);
    for (int k = 0; k < 4; ++k)
        file[lengthAt + k] = static_cast<std::uint8_t>(trackLength >> (24 - 8 * k));
    return file;
}

// Each step is built as the file would take it and counted, one at a time.
std::size_t smfFileSize(const Recording& recording, std::uint8_t stepTick, const SmfOptions& options)
{
    std::vector<std::uint8_t> part;
    if (options.tempo > 0)
        appendTempo(part, options.tempo);
    std::size_t size = kFileStart.size() + 4 + kChannelPrefix.size() + kEndOfTrack.size() + part.size();
    StepTickCounter counter = tickCounterFor(recording, validStepTick(stepTick));
    forEachStep(recording, [&](const Step& step, StepWait wait) {
        part.clear();
        appendStep(part, step, wait, counter);
        size += part.size();
    });
    part.clear();
    appendQuantity(part, static_cast<std::uint32_t>(recording.endWait()));
    return size + part.size();
}

} // namespace lumidot
