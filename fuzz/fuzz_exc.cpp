// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/SswReader.h"
#include "export/SswWriter.h"

using namespace lumidot;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LoadResult result = readSsw(fuzz::input(data, size));
    fuzz::requireCleanRefusal(result);
    if (result.ok) {
        const ExportResult again = EXPORT_SSW(result.recording);
        fuzz::require(again.ok() && fuzz::sameBytes(again.bytes, fuzz::input(data, size)));
    }
    return 0;
}
