// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SmfWriter.h"

#include "ns5r/StepMessages.h"

#include <array>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 18> kFileStart{
    'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0,
    'M', 'T', 'r', 'k'};
constexpr std::array<std::uint8_t, 5> kChannelPrefix{0x00, 0xFF, 0x20, 0x01, 0x00};
constexpr std::array<std::uint8_t, 4> kEndOfTrack{0x30, 0xFF, 0x2F, 0x00};
// The messages of an effect group after the first follow one tick apart.
constexpr std::uint8_t kGroupDelta = 1;

// Every delta, label length and message length here is below 128, so each
// is its own one-byte variable-length quantity.
void appendStep(std::vector<std::uint8_t>& track, const Step& step, std::uint8_t stepTick)
{
    const std::string_view label = StepLabel(step.kind);
    track.insert(track.end(), {stepTick, 0xFF, 0x01, static_cast<std::uint8_t>(label.size())});
    track.insert(track.end(), label.begin(), label.end());
    std::uint8_t delta = stepTick;
    for (const SysExMessage& message : stepMessages(step)) {
        const auto bytes = message.bytes();
        track.insert(track.end(), {delta, 0xF0, static_cast<std::uint8_t>(bytes.size() - 1)});
        track.insert(track.end(), bytes.begin() + 1, bytes.end());
        delta = kGroupDelta;
    }
}

} // namespace

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

std::vector<std::uint8_t> EXPORT_SMF(const Recording& recording, std::uint8_t stepTick)
{
    stepTick = validStepTick(stepTick);
    std::vector<std::uint8_t> file(kFileStart.begin(), kFileStart.end());
    file.reserve(static_cast<std::size_t>(recording.StepCount()) * 128 + 64);
    // The track length is known only at the end; its four bytes are filled in then.
    const std::size_t lengthAt = file.size();
    file.resize(lengthAt + 4);
    file.insert(file.end(), kChannelPrefix.begin(), kChannelPrefix.end());
    forEachStep(recording, [&](const Step& step) { appendStep(file, step, stepTick); });
    file.insert(file.end(), kEndOfTrack.begin(), kEndOfTrack.end());

    const auto trackLength = static_cast<std::uint32_t>(file.size() - lengthAt - 4);
    for (int k = 0; k < 4; ++k)
        file[lengthAt + k] = static_cast<std::uint8_t>(trackLength >> (24 - 8 * k));
    return file;
}

} // namespace lumidot
