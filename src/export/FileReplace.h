// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace lumidot {

// How a file replacement ended: Done, or the stage that failed with the
// system's error number.
struct FileWriteOutcome {
    // NotAFile: the target is a pipe or a socket, which a save would wait on
    // for good; nothing was written.
    enum class Stage { Done, Create, Write, NotAFile };
    Stage stage = Stage::Done;
    int error = 0;

    bool ok() const { return stage == Stage::Done; }
};

// A new temporary file opened for writing, and its path.
struct TempFile {
    int fd = -1;
    std::string path;
};

// Creates the temporary file beside the target (in folder). On failure it
// returns fd -1 and leaves errno set. Tests hand their own to make writes fail.
using TempFileOpener = std::function<TempFile(const std::string& folder, const std::string& baseName)>;

TempFile openTempFileBeside(const std::string& folder, const std::string& baseName);

// The machine's name as a temporary file's name carries it: letters, digits
// and '-' kept, anything else (a '.' among them) made '_'.
std::string temporaryFileHost();

// Replaces target with bytes in one step: the bytes go to a temporary file in
// the same folder, which is flushed to disk and renamed over the target, so a
// failure leaves any previous file untouched and removes the temporary file.
// An existing target keeps its permission bits, and its owner and group as
// far as the system lets this user give them; one the user may not write to
// is refused. The rename makes a new file: other hard links to the old one
// keep the old contents. A symbolic link is followed to the file it names,
// which is created when it does not exist yet; a loop of links is refused
// (ELOOP). A device is written directly instead, since renaming over it
// would replace the node itself; a pipe or a socket is refused at once, and
// so is a folder. Temporary files that an earlier, killed save to the same
// target on this machine left behind are removed; the temporary file's name
// carries the machine's name beside the process id, so that another
// machine's save in progress in a shared folder is never taken for one.
FileWriteOutcome replaceFileContents(const std::string& target, std::span<const std::uint8_t> bytes,
                                     const TempFileOpener& opener = openTempFileBeside);

} // namespace lumidot
