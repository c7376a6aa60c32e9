// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Document.h"
#include "recording/EditEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumidot {

// The recovery journal: a header, then records, each its payload's length
// and CRC-32 before the payload, so that a record cut by a crash in the
// middle of its write is found and everything before it still reads. The
// first record holds the whole document; each later one what one completed
// action changed (the undo history's changes of the plane and the steps, in
// the order they were made or undone) and the page settings after it.
inline constexpr std::string_view kJournalMagic = "LUMIDOTJ";
inline constexpr std::uint8_t kJournalVersion = 1;
inline constexpr std::size_t kJournalHeaderSize = kJournalMagic.size() + 1;
// No record is larger: a whole document is well under it.
inline constexpr std::size_t kJournalRecordLimit = 16u << 20;

std::vector<std::uint8_t> journalHeader();

// A record of the whole document, appended to out.
void appendSnapshotRecord(std::vector<std::uint8_t>& out, const Document& document);

// The record of one completed action, built as the history reports its
// changes: edit() for each, then finish() with the document after it.
class ActionRecord {
public:
    // backward: the entry was undone (applied from its after to its before).
    void edit(const EditEntry& entry, bool backward);
    bool hasEdits() const { return edits_ > 0; }
    // Appends the record to out and starts a new one.
    void finish(const Document& after, std::vector<std::uint8_t>& out);

private:
    std::vector<std::uint8_t> payload_;
    std::uint32_t edits_ = 0;
};

// A journal read back up to its last whole, sound record.
struct JournalRead {
    std::optional<Document> document;   // none when not even the first record is whole
    int actions = 0;                    // action records applied after the first
    std::size_t wholeBytes = 0;         // the bytes up to the end of the last record taken
    bool cut = false;                   // something followed that was not a whole, sound record
};

JournalRead readJournal(std::span<const std::uint8_t> bytes);

} // namespace lumidot
