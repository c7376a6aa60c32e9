// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/SmfReader.h"
#include "export/SmfWriter.h"

using namespace lumidot;

// Other programs' files hold more than Lumidot writes, so the promise here
// is weaker: what was read exports to a file that reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LoadResult result = readSmf(fuzz::input(data, size));
    fuzz::requireCleanRefusal(result);
    if (result.ok) {
        const int tick = result.stepTick ? result.stepTick : 8;
        const LoadResult again = readSmf(EXPORT_SMF(result.recording, static_cast<std::uint8_t>(tick)));
        fuzz::require(again.ok && again.stepTick == (result.recording.StepCount() ? tick : 0));
        fuzz::require(fuzz::sameBytes(FileSaveData(again.recording), FileSaveData(result.recording)));
    }
    return 0;
}
