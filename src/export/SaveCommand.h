// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/Document.h"
#include "recording/Recording.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumidot {

// The save dialog's filter, in its "Description|*.ext|..." form; file-type index 1..4.
inline constexpr std::string_view kSaveFilter =
    "System Exclusive(*.SYX)|*.syx|Standard MIDI(*.MID)|*.mid|Recomposer98(*.PRT)|*.prt|Singer Song Writer 4(*.EXC)|*.exc";

// The file a save writes, and in which format (file-type index 1..5, 5 the
// whole document, whose dialog entry the window adds to the filter).
struct SaveTarget {
    std::string fileName;
    int typeIndex = 1;

    bool operator==(const SaveTarget&) const = default;
};

// What the save dialog's answer means: a name that ends in .syx, .mid, .prt,
// .exc or .lumidot (in any case) is written in that format, whatever the
// filter; a name without any extension gets the one of the filter's type;
// any other name is used as it stands, in the filter's type.
SaveTarget saveTargetFor(const std::string& fileName, int filterIndex);

struct SaveResult {
    bool ok = true;
    std::string message;   // Japanese UTF-8 text for the window to show
};

// Writes the recording with the writer of file-type index 1..4 (1 .syx, 2 .mid,
// 3 .prt, 4 .exc) to fileName exactly as given (no extension added). Any other
// index writes nothing and returns ok. A tempo (quarter notes a minute) goes
// into a .mid with a 4/4 time signature; 0 writes none.
SaveResult saveRecording(int typeIndex, const std::string& fileName, const Recording& recording,
                         std::uint8_t stepTick, int tempo = 0);
// Writes the whole document as a document file (.lumidot), replacing any
// file of that name in one step.
SaveResult saveDocument(const std::string& fileName, const Document& document);

} // namespace lumidot
