#include "export/FileReplace.h"

#include <cerrno>
#include <chrono>
#include <filesystem>

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

// A symbolic link is followed, so that the file it points to is replaced
// and the link stays a link.
std::string resolveTarget(const std::string& target)
{
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return target;
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved.string();
}

FileWriteOutcome writeInPlace(const std::string& target, std::span<const std::uint8_t> bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return failed(Stage::Create, errno);
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

TempFile openTempFileBeside(const std::string& folder, const std::string& baseName)
{
    // Hidden, unique per process and attempt; O_EXCL never reuses a name.
    static unsigned counter = 0;
    const auto seed = static_cast<unsigned long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile temp;
        temp.path = folder + "/." + baseName + "." + std::to_string(::getpid()) + "-" +
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
    const std::string target = resolveTarget(requested);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failed(Stage::Create, EISDIR);
    if (exists && !S_ISREG(existing.st_mode))
        return writeInPlace(target, bytes);
    // Renaming would replace a file the user may not write to; refuse as
    // writing it in place would.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return failed(Stage::Create, errno);

    const std::filesystem::path path(target);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
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
    if (exists && ::fchmod(temp.fd, existing.st_mode & 07777) != 0)
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
