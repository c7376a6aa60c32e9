// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/StepClipboard.h"

#include "export/OpenCommand.h"
#include "export/SyxWriter.h"

#include <algorithm>
#include <array>

namespace lumidot {

namespace {

// The form's version follows its name: 1 holds the steps, 2 adds the waits
// of their own after them. Steps without such waits are written as 1, so
// that an older Lumidot still pastes them.
constexpr std::array<std::uint8_t, 7> kMagic{'L', 'D', 'S', 'T', 'E', 'P', 'S'};
constexpr std::uint8_t kStepsOnly = 1;
constexpr std::uint8_t kWithWaits = 2;

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

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

bool take32(Reader& in, std::uint32_t& value)
{
    const auto bytes = in.take(4);
    if (in.failed())
        return false;
    value = 0;
    for (int k = 0; k < 4; ++k)
        value |= static_cast<std::uint32_t>(bytes[k]) << (8 * k);
    return true;
}

// The waits of their own, as step index and ticks; every other step takes
// the spacing. Indices rise, and each wait lies in 0..kMaxWait.
bool takeWaits(Reader& in, StepClip& steps)
{
    std::uint32_t count = 0;
    if (!take32(in, count) || count > steps.kinds.size())
        return false;
    std::int64_t previous = -1;
    for (std::uint32_t k = 0; k < count; ++k) {
        std::uint32_t step = 0, ticks = 0;
        if (!take32(in, step) || !take32(in, ticks) || step >= steps.kinds.size() ||
            static_cast<std::int64_t>(step) <= previous || ticks > static_cast<std::uint32_t>(kMaxWait))
            return false;
        steps.waits[step] = StepWait::ticks(ticks);
        previous = step;
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> encodeSteps(const StepClip& steps)
{
    std::vector<std::uint32_t> own;   // step index, ticks
    for (std::size_t k = 0; k < steps.waits.size() && k < steps.kinds.size(); ++k)
        if (!steps.waits[k].followsSpacing())
            own.insert(own.end(), {static_cast<std::uint32_t>(k),
                                   static_cast<std::uint32_t>(steps.waits[k].ownTicks())});
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    out.push_back(own.empty() ? kStepsOnly : kWithWaits);
    put32(out, static_cast<std::uint32_t>(steps.size()));
    for (const StepKind kind : steps.kinds)
        out.push_back(stepKindByte(kind));
    out.insert(out.end(), steps.effects.begin(), steps.effects.end());
    for (const PackedFrame& frame : steps.frames)
        out.insert(out.end(), frame.begin(), frame.end());
    for (const MessageRecord& record : steps.messages)
        out.insert(out.end(), record.begin(), record.begin() + 1 + record[0]);
    if (!own.empty()) {
        put32(out, static_cast<std::uint32_t>(own.size() / 2));
        for (const std::uint32_t value : own)
            put32(out, value);
    }
    return out;
}

std::optional<StepClip> decodeSteps(std::span<const std::uint8_t> bytes)
{
    Reader in(bytes);
    const auto magic = in.take(kMagic.size());
    const auto version = in.take(1);
    if (in.failed() || !std::ranges::equal(magic, kMagic) ||
        (version[0] != kStepsOnly && version[0] != kWithWaits))
        return std::nullopt;
    std::uint32_t count = 0;
    if (!take32(in, count))
        return std::nullopt;
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
    steps.waits.assign(steps.kinds.size(), StepWait::spacing());
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
    if (version[0] == kWithWaits && !takeWaits(in, steps))
        return std::nullopt;
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
