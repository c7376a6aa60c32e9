// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/PrtReader.h"
#include "export/PrtWriter.h"

using namespace lumidot;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LoadResult result = readPrt(fuzz::input(data, size));
    fuzz::requireCleanRefusal(result);
    if (result.ok) {
        const ExportResult again =
            Export_PRT(result.recording, static_cast<std::uint8_t>(result.stepTick));
        // An empty event block has no tick to keep.
        fuzz::require(again.ok());
        if (result.recording.StepCount() > 0)
            fuzz::require(fuzz::sameBytes(again.bytes, fuzz::input(data, size)));
    }
    return 0;
}
