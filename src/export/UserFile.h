// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumidot {

// Which file a name leads to: the same device and inode through any name,
// hard link or symbolic link.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known = false;

    bool sameFileAs(const FileIdentity& other) const
    {
        return known && other.known && device == other.device && inode == other.inode;
    }
};

// Why a file the user named was not read: the fault, and the English words
// for the command-line tool. The window's text is readFaultMessage(fault,
// std::nullopt, fileName), the same whichever reader asked.
struct FileRefusal {
    ReadFault fault = ReadFault::None;
    std::string error;

    bool refused() const { return fault != ReadFault::None; }
};

// Every reader of a file the user named opens it here, so that each one
// refuses the same things in the same words. Only a regular file is opened:
// a folder is refused, and so are a pipe, a socket and a device, which
// would block the reader or never end; the type is checked before the file
// is opened and again on what was opened, and opening never waits for a
// writer. The descriptor (close-on-exec, blocking again) is the caller's to
// close; -1 with the refusal otherwise. For readers that stream a file
// rather than read it whole, such as a video decoder.
int openUserFile(const std::string& fileName, FileRefusal& refusal, FileIdentity* identity = nullptr);

// Reads a regular file whole, as openUserFile opens it. A file larger than
// limit is refused by its size before a byte is read.
FileRefusal readUserFile(const std::string& fileName, std::vector<std::uint8_t>& bytes,
                         std::size_t limit = kLargestReadableFile, FileIdentity* identity = nullptr);

// The file a name leads to now; not known when there is none.
FileIdentity fileIdentity(const std::string& fileName);

} // namespace lumidot
