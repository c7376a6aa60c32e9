// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/DocumentFile.h"
#include "export/PlanePng.h"
#include "export/SmfWriter.h"

using namespace lumidot;

// A document file that reads is one whose document writes and reads back
// as the same document.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LoadResult result = readDocument(fuzz::input(data, size));
    fuzz::requireCleanRefusal(result);
    fuzz::require(result.ok == result.document.has_value());
    if (!result.ok)
        return 0;
    const Document& document = *result.document;
    const LoadResult again = readDocument(writeDocument(document).bytes);
    fuzz::require(again.ok);
    fuzz::require(fuzz::sameBytes(EXPORT_SMF(again.document->recording, again.document->stepTick),
                                  EXPORT_SMF(document.recording, document.stepTick)));
    fuzz::require(fuzz::sameBytes(encodePlanePng(again.document->plane), encodePlanePng(document.plane)));
    fuzz::require(again.document->lines == document.lines && again.document->window == document.window);
    return 0;
}
