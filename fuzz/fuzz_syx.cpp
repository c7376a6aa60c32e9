// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/SyxReader.h"

using namespace lumidot;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LoadResult result = readSyx(fuzz::input(data, size));
    fuzz::requireCleanRefusal(result);
    if (result.ok)
        fuzz::require(fuzz::sameBytes(FileSaveData(result.recording), fuzz::input(data, size)));
    return 0;
}
