// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Document.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumidot {

// The save dialog's file-type index of each format a file can be read from.
inline constexpr int kTypeSyx = 1;
inline constexpr int kTypeSmf = 2;
inline constexpr int kTypePrt = 3;
inline constexpr int kTypeExc = 4;
inline constexpr int kTypeDocument = 5;   // the whole document (.lumidot)

// Why a file was refused. Together with the byte offset, where there is one,
// the kind makes both the English and the Japanese text.
enum class ReadFault {
    None,
    CannotRead,          // no such file, a folder, no permission, a read error
    TooLarge,
    EmptyFile,
    UnknownFormat,       // none of the four formats as Lumidot writes them
    OutsideMessage,      // a byte between System Exclusive messages
    Truncated,           // something cut off by the end of the file, track or block
    ForeignMessage,      // another device's message where an NS5R one belongs
    UnknownCommand,      // an NS5R command that no recorded step produces
    BrokenEffectGroup,   // the five messages of an effect setting out of order
    BrokenStructure,     // the format's own framing is broken
    CountMismatch,       // a count in the file disagrees with what follows it
    TooManySteps,
    BadValue,            // a value outside its range
    BadLength,           // a message of the wrong length
    Unsupported,         // a variant of the format that is not read
    NoSteps,             // a sound file without a single NS5R step
    NotAFile,            // a pipe, a socket or a device
    // A document file's own refusals; entry names the part where it is one.
    DamagedArchive,      // not a ZIP archive, or its directory or an entry broken
    NotADocument,        // mimetype missing, not first, compressed or naming another type
    MissingEntry,
    EntryTooLarge,       // an entry beyond its limit (a zip bomb)
    NewerVersion,        // written by a newer Lumidot
    BadEntry,            // an entry that is no valid content of its kind
    Inconsistent,        // entries that disagree with each other
};

// True for the refusals only a document file has.
constexpr bool isDocumentFault(ReadFault fault)
{
    return fault >= ReadFault::DamagedArchive;
}

// A file read back into a fresh recording. On refusal ok is false, the
// recording is empty and typeIndex is 0.
struct LoadResult {
    bool ok = false;
    std::string error;     // English, for the command-line tool: "byte offset N: what"
    std::string message;   // Japanese UTF-8, for the window: what is wrong and where
    Recording recording;
    int stepTick = 0;      // the tick spacing found; 0 when the format has none
    int typeIndex = 0;     // the format read, as a save dialog file-type index (kTypeSyx..kTypeDocument)
    ReadFault fault = ReadFault::None;
    // The reader's own count of the most memory it held at once besides
    // the file's bytes: what it read into and the recording it built.
    std::size_t workingBytes = 0;
    // A document file: where a refusal lies (the entry, the byte offset in
    // the file or in that entry, when known), and the document read.
    std::string entry;
    std::optional<std::size_t> offset;
    std::optional<Document> document;
};

// The largest file the readers take; the writers refuse to make larger ones.
inline constexpr std::size_t kLargestReadableFile = 64u * 1024 * 1024;

// Reads a file that Lumidot wrote, choosing the reader by the file's first
// bytes rather than by its name.
LoadResult loadRecording(const std::string& fileName);
LoadResult loadRecordingBytes(std::span<const std::uint8_t> bytes);
// Reads a regular file whole into bytes, as the readers take files: the
// result's fault is None when it was read, the refusal otherwise.
LoadResult readRegularFile(const std::string& fileName, std::vector<std::uint8_t>& bytes);

// A refusal of a file's content at a byte offset; detail says what in English.
LoadResult refusedAt(ReadFault fault, std::size_t offset, const std::string& detail);
// A refusal with no place in the file; error is the English text as it stands.
LoadResult refusedWhole(ReadFault fault, const std::string& fileName, const std::string& error);

// The window's text for a refusal: what is wrong and, where known, the byte offset.
std::string readFaultMessage(ReadFault fault, std::optional<std::size_t> offset,
                             const std::string& fileName = {});

} // namespace lumidot
