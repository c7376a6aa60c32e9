// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzOracle.h"

#include "export/JournalFormat.h"
#include "export/PlanePng.h"

using namespace lumidot;

// A journal reads up to its last sound record: the bytes it took read
// alone as the same document, whole, and the document's own snapshot
// reads back as it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = fuzz::input(data, size);
    const JournalRead read = readJournal(bytes);
    fuzz::require(read.wholeBytes <= size);
    if (!read.document)
        return 0;
    const JournalRead taken = readJournal(bytes.first(read.wholeBytes));
    fuzz::require(taken.document && !taken.cut && taken.actions == read.actions);
    fuzz::require(fuzz::sameBytes(FileSaveData(taken.document->recording), FileSaveData(read.document->recording)));
    std::vector<std::uint8_t> snapshot = journalHeader();
    appendSnapshotRecord(snapshot, *read.document);
    const JournalRead back = readJournal(snapshot);
    fuzz::require(back.document && !back.cut);
    fuzz::require(fuzz::sameBytes(encodePlanePng(back.document->plane), encodePlanePng(read.document->plane)));
    return 0;
}
