// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/StepClipboard.h"

#include "export/OpenCommand.h"
#include "export/SyxWriter.h"

#include <algorithm>
#include <array>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic{'L', 'D', 'S', 'T', 'E', 'P', 'S', 1};

// Reads the encoded form front to back; any read past the end fails it.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    std::span<const std::uint8_t> take(std::size_t n)
    {
        if (failed_ || bytes_.size() - at_ < n) {
            failed_ = true;
            return {};
        }
        at_ += n;
        return bytes_.subspan(at_ - n, n);
    }
    bool finished() const { return !failed_ && at_ == bytes_.size(); }
    bool failed() const { return failed_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

bool sevenBit(std::span<const std::uint8_t> bytes)
{
    return std::ranges::all_of(bytes, [](std::uint8_t b) { return b < 0x80; });
}

} // namespace

std::vector<std::uint8_t> encodeSteps(const StepClip& steps)
{
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    const auto count = static_cast<std::uint32_t>(steps.size());
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<std::uint8_t>(count >> (8 * k)));
    for (const StepKind kind : steps.kinds)
        out.push_back(stepKindByte(kind));
    out.insert(out.end(), steps.effects.begin(), steps.effects.end());
    for (const PackedFrame& frame : steps.frames)
        out.insert(out.end(), frame.begin(), frame.end());
    for (const MessageRecord& record : steps.messages)
        out.insert(out.end(), record.begin(), record.begin() + 1 + record[0]);
    return out;
}

std::optional<StepClip> decodeSteps(std::span<const std::uint8_t> bytes)
{
    Reader in(bytes);
    const auto magic = in.take(kMagic.size());
    if (in.failed() || !std::ranges::equal(magic, kMagic))
        return std::nullopt;
    const auto countBytes = in.take(4);
    if (in.failed())
        return std::nullopt;
    std::uint32_t count = 0;
    for (int k = 0; k < 4; ++k)
        count |= static_cast<std::uint32_t>(countBytes[k]) << (8 * k);
    StepClip steps;
    const auto kindBytes = in.take(count);
    if (in.failed())
        return std::nullopt;
    for (const std::uint8_t byte : kindBytes) {
        const std::optional<StepKind> kind = stepKindOf(byte);
        if (!kind)
            return std::nullopt;
        steps.kinds.push_back(*kind);
    }
    const auto effectSteps = std::ranges::count(steps.kinds, StepKind::Effect);
    for (long k = 0; k < effectSteps; ++k) {
        const auto effect = in.take(3);
        if (in.failed() || effect[0] >= kEffectCount || effect[1] >= kEffectCount
            || effect[2] >= kEffectModeCount)
            return std::nullopt;
        steps.effects.insert(steps.effects.end(), effect.begin(), effect.end());
    }
    for (long k = std::ranges::count(steps.kinds, StepKind::Frame); k > 0; --k) {
        const auto frame = in.take(kPackedFrameSize);
        if (in.failed() || !sevenBit(frame))
            return std::nullopt;
        std::copy(frame.begin(), frame.end(), steps.frames.emplace_back().begin());
    }
    for (long k = std::ranges::count(steps.kinds, StepKind::Message); k > 0; --k) {
        const auto length = in.take(1);
        if (in.failed() || length[0] < kMessageLineBytes || length[0] > 2 * kMessageLineBytes)
            return std::nullopt;
        const auto text = in.take(length[0]);
        if (in.failed() || !sevenBit(text))
            return std::nullopt;
        MessageRecord& record = steps.messages.emplace_back();
        record.fill(0);
        record[0] = length[0];
        std::copy(text.begin(), text.end(), record.begin() + 1);
    }
    if (!in.finished())
        return std::nullopt;
    return steps;
}

std::vector<std::uint8_t> stepsAsSyx(const StepClip& steps)
{
    return FileSaveData(recordingOf(steps));
}

std::optional<StepClip> stepsFromSyx(std::span<const std::uint8_t> bytes)
{
    const LoadResult loaded = loadRecordingBytes(bytes);
    if (!loaded.ok || loaded.typeIndex != kTypeSyx)
        return std::nullopt;
    return allSteps(loaded.recording);
}

} // namespace lumidot
