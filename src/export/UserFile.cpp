// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/UserFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {

namespace {

FileRefusal refusal(ReadFault fault, std::string error)
{
    return {fault, std::move(error)};
}

FileRefusal cannotOpen(const std::string& fileName, int error)
{
    return refusal(ReadFault::CannotRead, "cannot open " + fileName + ": " + std::strerror(error));
}

FileRefusal notAFile(const std::string& fileName)
{
    return refusal(ReadFault::NotAFile, fileName + " is a pipe, socket or device, not a file");
}

// The refusal for a file of this type, or none for a regular file.
FileRefusal byType(const std::string& fileName, mode_t mode)
{
    if (S_ISDIR(mode))
        return refusal(ReadFault::CannotRead, fileName + " is a folder");
    if (!S_ISREG(mode))
        return notAFile(fileName);
    return {};
}

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), true};
}

} // namespace

int openUserFile(const std::string& fileName, FileRefusal& refused, FileIdentity* identity)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) {
        refused = cannotOpen(fileName, errno);
        return -1;
    }
    if (refused = byType(fileName, info.st_mode); refused.refused())
        return -1;
    // O_NONBLOCK: a pipe put in the file's place since the check must not
    // hold the open until a writer comes.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        refused = cannotOpen(fileName, errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || (refused = byType(fileName, info.st_mode)).refused()) {
        if (!refused.refused())
            refused = cannotOpen(fileName, errno);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (identity)
        *identity = identityOf(info);
    refused = {};
    return fd;
}

FileRefusal readUserFile(const std::string& fileName, std::vector<std::uint8_t>& bytes, std::size_t limit,
                         FileIdentity* identity)
{
    bytes.clear();
    FileRefusal refused;
    const int fd = openUserFile(fileName, refused, identity);
    if (fd < 0)
        return refused;
    struct stat info {};
    ::fstat(fd, &info);
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        ::close(fd);
        return refusal(ReadFault::TooLarge,
                       fileName + " is larger than " + std::to_string(limit >> 20) + " MiB");
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return refusal(ReadFault::CannotRead, "cannot read " + fileName + ": " + std::strerror(error));
        }
        if (got == 0)
            break;   // the file shrank while it was read
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(done);
    return {};
}

FileIdentity fileIdentity(const std::string& fileName)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0)
        return {};
    return identityOf(info);
}

} // namespace lumidot
