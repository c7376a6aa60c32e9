// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SyxWriter.h"

#include "ns5r/StepMessages.h"

namespace lumidot {

std::vector<std::uint8_t> FileSaveData(const Recording& recording)
{
    std::vector<std::uint8_t> file;
    file.reserve(static_cast<std::size_t>(recording.StepCount()) * SysExMessage::kCapacity);
    forEachStep(recording, [&file](const Step& step) {
        for (const SysExMessage& message : stepMessages(step))
            file.insert(file.end(), message.bytes().begin(), message.bytes().end());
    });
    return file;
}

} // namespace lumidot
