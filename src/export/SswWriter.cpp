// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SswWriter.h"

#include "ns5r/StepMessages.h"
#include "ns5r/UserText.h"

namespace lumidot {

std::string_view SswEntryName(StepKind kind)
{
    switch (kind) {
    case StepKind::Green: return "NS5R LCD GREEN";
    case StepKind::Orange: return "NS5R LCD ORANGE";
    case StepKind::Red: return "NS5R LCD RED";
    case StepKind::Message: return "NS5R SHOW MESSAGE";
    case StepKind::Frame: return "NS5R FRAME DRAW";
    case StepKind::Off: return "NS5R LCD HIDE";
    case StepKind::Effect: return "NS5R FX MODE";
    }
    return {};
}

ExportResult EXPORT_SSW(const Recording& recording)
{
    ExportResult result;
    std::size_t entries = 0;
    for (const StepKind kind : recording.kinds())
        entries += stepMessageCount(kind);
    if (entries > kSswMaxEntries) {
        result.refusal = LUMIDOT_TEXT("SswWriter", "記録が長すぎて Singer Song Writer 4 形式では保存できません"
                                                   "（エントリーが 65,535 個を超えます）");
        return result;
    }

    auto& file = result.bytes;
    file.reserve(kSswSignature.size() + 2 + entries * (2 + SysExMessage::kCapacity + kSswNameSize + 2));
    file.insert(file.end(), kSswSignature.begin(), kSswSignature.end());
    file.insert(file.end(), {static_cast<std::uint8_t>(entries & 0xFF),
                             static_cast<std::uint8_t>(entries >> 8)});

    // The names follow all the data records, so the kind of every entry is
    // kept until the end.
    std::vector<StepKind> entryKinds;
    entryKinds.reserve(entries);
    forEachStep(recording, [&](const Step& step) {
        for (const SysExMessage& message : stepMessages(step)) {
            const auto bytes = message.bytes();
            file.insert(file.end(), {static_cast<std::uint8_t>(bytes.size()), 0x00});
            file.insert(file.end(), bytes.begin(), bytes.end());
            entryKinds.push_back(step.kind);
        }
    });

    for (const StepKind kind : entryKinds) {
        const std::string_view name = SswEntryName(kind);
        file.insert(file.end(), name.begin(), name.end());
        file.insert(file.end(), kSswNameSize - name.size(), ' ');
        file.insert(file.end(), {0x00, 0x00});
    }
    return result;
}

} // namespace lumidot
