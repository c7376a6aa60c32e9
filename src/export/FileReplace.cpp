// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/FileReplace.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <signal.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {

namespace {

using Stage = FileWriteOutcome::Stage;

FileWriteOutcome failed(Stage stage, int error)
{
    return {stage, error};
}

// Writes everything, resuming after interruptions and short writes.
bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Links are followed as the system follows them when it opens a file.
constexpr int kMostLinks = 40;

// The file a chain of symbolic links ends at, whether or not it exists, so
// that the file it names is replaced or created and each link stays a link.
// False, with errno ELOOP, for a loop or a chain too long to follow.
bool resolveTarget(const std::string& requested, std::string& target)
{
    std::filesystem::path path(requested);
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path.string();
            return true;
        }
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) {
            target = path.string();
            return true;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    errno = ELOOP;
    return false;
}

bool isPipeOrSocket(mode_t mode)
{
    return S_ISFIFO(mode) || S_ISSOCK(mode);
}

// The process of a temporary file of this target, by its name: "." + name +
// "." + host + "." + process id + "-" + number + ".tmp". 0 when the name
// is not one, or when another machine made it: a process id means nothing
// on another machine sharing the folder, whose save may still be running.
long tempFileProcess(const std::string& name, const std::string& prefix, const std::string& host)
{
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + host.size() + 1 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 ||
        name.compare(prefix.size(), host.size() + 1, host + ".") != 0)
        return 0;
    const std::size_t from = prefix.size() + host.size() + 1;
    const std::string middle = name.substr(from, name.size() - suffix.size() - from);
    const auto dash = middle.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == middle.size() ||
        middle.find_first_not_of("0123456789-") != std::string::npos ||
        middle.find('-', dash + 1) != std::string::npos)
        return 0;
    return std::strtol(middle.substr(0, dash).c_str(), nullptr, 10);
}

// Removes the temporary files of this target that a save on this machine
// left when it was killed: its process is gone.
void removeLeftoverTempFiles(const std::string& folder, const std::string& baseName)
{
    const std::string prefix = "." + baseName + ".";
    const std::string host = temporaryFileHost();
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const long pid = tempFileProcess(it->path().filename().string(), prefix, host);
        if (pid <= 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(it->path().c_str());
    }
}

// The new file takes over the old one's owner where the system lets this
// user give it (root, or a group the user belongs to), then its permission
// bits, which a change of owner may clear. An owner that cannot be kept is
// no failure: the file then belongs to whoever saved it.
bool keepOwnerAndMode(int fd, const struct stat& existing)
{
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
        static_cast<void>(groupOnly);
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

FileWriteOutcome writeInPlace(const std::string& target, std::span<const std::uint8_t> bytes)
{
    // Opened without waiting, so that a pipe put in the device's place
    // meanwhile is caught before anything blocks; then written normally.
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return failed(Stage::Create, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || isPipeOrSocket(info.st_mode)) {
        ::close(fd);
        return failed(Stage::NotAFile, 0);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool written = writeAll(fd, bytes);
    const int error = errno;
    ::close(fd);
    return written ? FileWriteOutcome{} : failed(Stage::Write, error);
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string temporaryFileHost()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    std::string tag(name);
    for (char& c : tag) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (!kept)
            c = '_';
    }
    return tag;
}

TempFile openTempFileBeside(const std::string& folder, const std::string& baseName)
{
    // Hidden, unique per process and attempt; O_EXCL never reuses a name.
    static unsigned counter = 0;
    const auto seed = static_cast<unsigned long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile temp;
        temp.path = folder + "/." + baseName + "." + temporaryFileHost() + "." + std::to_string(::getpid()) + "-" +
                    std::to_string((seed + ++counter) % 1000000) + ".tmp";
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd >= 0 || errno != EEXIST)
            return temp;
    }
    errno = EEXIST;
    return {};
}

FileWriteOutcome replaceFileContents(const std::string& requested,
                                     std::span<const std::uint8_t> bytes,
                                     const TempFileOpener& opener)
{
    std::string target;
    if (!resolveTarget(requested, target))
        return failed(Stage::Create, errno);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failed(Stage::Create, EISDIR);
    if (exists && isPipeOrSocket(existing.st_mode))
        return failed(Stage::NotAFile, 0);
    if (exists && !S_ISREG(existing.st_mode))
        return writeInPlace(target, bytes);
    // Renaming would replace a file the user may not write to; refuse as
    // writing it in place would.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return failed(Stage::Create, errno);

    const std::filesystem::path path(target);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    removeLeftoverTempFiles(folder, path.filename().string());
    TempFile temp = opener(folder, path.filename().string());
    if (temp.fd < 0)
        return failed(Stage::Create, errno);

    auto abandon = [&temp](int error) {
        if (temp.fd >= 0)
            ::close(temp.fd);
        ::unlink(temp.path.c_str());
        return failed(Stage::Write, error);
    };
    if (!writeAll(temp.fd, bytes))
        return abandon(errno);
    if (exists && !keepOwnerAndMode(temp.fd, existing))
        return abandon(errno);
    if (::fsync(temp.fd) != 0)
        return abandon(errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0)
        return abandon(errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0)
        return abandon(errno);
    syncFolder(folder);
    return {};
}

} // namespace lumidot
