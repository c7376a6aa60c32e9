#include "export/PrtWriter.h"

#include "export/StepMessages.h"

#include <array>

namespace lumidot {

namespace {

constexpr std::array<std::uint8_t, 6> kSignature{'R', 'C', 'P', 'P', 'R', 0x01};
constexpr std::size_t kHeaderSize = kSignature.size() + 2;
constexpr std::uint8_t kExclusiveStart = 0x98;
constexpr std::uint8_t kExclusiveData = 0xF7;

// The message after its F0, two bytes an event; an odd count is made even
// with a second F7.
void appendMessage(std::vector<std::uint8_t>& out, const SysExMessage& message,
                   std::uint8_t stepTick)
{
    out.insert(out.end(), {kExclusiveStart, 0x00, stepTick, 0x00});
    const auto bytes = message.bytes().subspan(1);
    for (std::size_t k = 0; k < bytes.size(); k += 2) {
        const std::uint8_t second = k + 1 < bytes.size() ? bytes[k + 1] : kEndOfExclusive;
        out.insert(out.end(), {kExclusiveData, 0x00, bytes[k], second});
    }
}

} // namespace

ExportResult Export_PRT(const Recording& recording, std::uint8_t stepTick)
{
    ExportResult result;
    auto& file = result.bytes;
    file.reserve(kHeaderSize + static_cast<std::size_t>(recording.StepCount()) * 180);
    file.insert(file.end(), kSignature.begin(), kSignature.end());
    file.resize(kHeaderSize);
    forEachStep(recording, [&](const Step& step) {
        for (const SysExMessage& message : stepMessages(step))
            appendMessage(file, message, stepTick);
    });

    const std::size_t blockSize = file.size() - kHeaderSize;
    if (blockSize > kPrtMaxBlock) {
        result.bytes.clear();
        result.refusal = "記録が長すぎて Recomposer98 形式では保存できません"
                         "（イベントが 65,535 バイトを超えます）";
        return result;
    }
    file[6] = static_cast<std::uint8_t>(blockSize & 0xFF);
    file[7] = static_cast<std::uint8_t>(blockSize >> 8);
    return result;
}

} // namespace lumidot
