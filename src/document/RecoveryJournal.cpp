// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RecoveryJournal.h"

#include "document/Workspace.h"
#include "export/DocumentFile.h"
#include "export/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumidot {

namespace {

constexpr std::string_view kJournalSuffix = ".journal";
constexpr std::string_view kLockSuffix = ".lock";
// A journal this large is no journal this program wrote.
constexpr std::size_t kLargestJournal = 1u << 30;

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string folderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A lock of the file at path, taken without waiting: -1 when another
// program holds it (or it cannot be opened).
int tryLock(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::vector<std::uint8_t> startBytes(const Document& document)
{
    std::vector<std::uint8_t> bytes = journalHeader();
    appendSnapshotRecord(bytes, document);
    return bytes;
}

// A file written whole and on the disk; -1 on failure, nothing left behind.
int writeNewFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (!writeAll(fd, bytes) || ::fdatasync(fd) != 0) {
        ::close(fd);
        ::unlink(path.c_str());
        return -1;
    }
    return fd;
}

std::string sessionName()
{
    std::random_device random;
    return "session-" + std::to_string(::getpid()) + "-" + std::to_string(std::time(nullptr)) + "-" +
           std::to_string(random() % 1000000);
}

} // namespace

std::string journalFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/lumidot";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/lumidot";
}

std::unique_ptr<RecoveryJournal> RecoveryJournal::start(const std::string& folder, Workspace& workspace,
                                                        std::string& error)
{
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        error = folder + ": " + made.message();
        return nullptr;
    }
    const std::string base = folder + "/" + sessionName();
    const int lockFd = tryLock(base + std::string(kLockSuffix));
    if (lockFd < 0) {
        error = base + std::string(kLockSuffix) + ": " + std::strerror(errno);
        return nullptr;
    }
    const std::string path = base + std::string(kJournalSuffix);
    const std::vector<std::uint8_t> first = startBytes(workspace.document());
    const int fd = writeNewFile(path, first);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        ::unlink((base + std::string(kLockSuffix)).c_str());
        ::close(lockFd);
        return nullptr;
    }
    syncFolder(folder);
    std::unique_ptr<RecoveryJournal> journal(
        new RecoveryJournal(workspace, path, base + std::string(kLockSuffix), fd, lockFd));
    journal->size_ = journal->snapshotSize_ = first.size();
    journal->follow();
    return journal;
}

RecoveryJournal::RecoveryJournal(Workspace& workspace, std::string path, std::string lockPath, int fd,
                                 int lockFd)
    : workspace_(workspace)
    , path_(std::move(path))
    , lockPath_(std::move(lockPath))
    , fd_(fd)
    , lockFd_(lockFd)
    , syncer_([this] { syncLoop(); })
{
}

RecoveryJournal::~RecoveryJournal()
{
    workspace_.history().onEdit = nullptr;
    *following_ = nullptr;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    syncer_.join();
    if (fd_ >= 0)
        ::close(fd_);
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

// The workspace outlives nothing here: its observer reaches the journal
// through a pointer the journal clears when it goes.
void RecoveryJournal::follow()
{
    workspace_.history().onEdit = [this](const EditEntry& change, bool undone) {
        pending_.edit(change, undone);
    };
    workspace_.addObserver([following = following_](DocumentChanges changes) {
        if (*following)
            (*following)->actionCompleted(changes);
    });
}

void RecoveryJournal::actionCompleted(DocumentChanges changes)
{
    const bool settings = changes.has(DocumentChange::Lines) || changes.has(DocumentChange::Colour) ||
                          changes.has(DocumentChange::Effect) || changes.has(DocumentChange::Window) ||
                          changes.has(DocumentChange::StepTick) || changes.has(DocumentChange::Tempo);
    if (failed_ || discarded_ || (!settings && !pending_.hasEdits()))
        return;
    buffer_.clear();
    pending_.finish(workspace_.document(), buffer_);
    append(buffer_);
    if (size_ - snapshotSize_ > kCompactAfter && size_ > 4 * snapshotSize_)
        compact();
}

void RecoveryJournal::append(const std::vector<std::uint8_t>& bytes)
{
    if (!writeAll(fd_, bytes)) {
        failed_ = true;
        return;
    }
    size_ += bytes.size();
    {
        const std::lock_guard lock(mutex_);
        ++written_;
    }
    wake_.notify_one();
}

// The journal starts again from the document as it is: written beside the
// old one and put in its place in one step, so that a crash at any point
// leaves one whole journal.
void RecoveryJournal::compact()
{
    const std::string fresh = path_ + ".new";
    const std::vector<std::uint8_t> first = startBytes(workspace_.document());
    const int fd = writeNewFile(fresh, first);
    if (fd < 0)
        return;
    if (::rename(fresh.c_str(), path_.c_str()) != 0) {
        ::close(fd);
        ::unlink(fresh.c_str());
        return;
    }
    syncFolder(folderOf(path_));
    {
        const std::lock_guard lock(fdMutex_);
        ::close(fd_);
        fd_ = fd;
    }
    size_ = snapshotSize_ = first.size();
}

void RecoveryJournal::syncLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || written_ > synced_; });
        if (written_ == synced_ && stop_)
            return;
        const std::uint64_t target = written_;
        lock.unlock();
        {
            const std::lock_guard fdLock(fdMutex_);
            ::fdatasync(fd_);
        }
        lock.lock();
        synced_ = target;
        done_.notify_all();
    }
}

void RecoveryJournal::sync()
{
    std::unique_lock lock(mutex_);
    const std::uint64_t target = written_;
    done_.wait(lock, [&] { return synced_ >= target; });
}

void RecoveryJournal::discard()
{
    if (discarded_)
        return;
    discarded_ = true;
    ::unlink(path_.c_str());
    ::unlink(lockPath_.c_str());
    syncFolder(folderOf(path_));
}

OrphanJournal::OrphanJournal(std::string path, std::string lockPath, int lockFd)
    : path_(std::move(path))
    , lockPath_(std::move(lockPath))
    , lockFd_(lockFd)
{
}

OrphanJournal::OrphanJournal(OrphanJournal&& other) noexcept
    : path_(std::move(other.path_))
    , lockPath_(std::move(other.lockPath_))
    , lockFd_(std::exchange(other.lockFd_, -1))
{
}

OrphanJournal::~OrphanJournal()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

JournalRead OrphanJournal::read() const
{
    std::vector<std::uint8_t> bytes;
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) <= kLargestJournal) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    }
    ::close(fd);
    return readJournal(bytes);
}

std::string OrphanJournal::keepAsDocument()
{
    const JournalRead read = this->read();
    if (!read.document) {
        remove();
        return {};
    }
    const ExportResult file = writeDocument(*read.document);
    const std::filesystem::path journal(path_);
    std::string stem = journal.stem().string();
    if (stem.starts_with("session-"))
        stem.erase(0, 8);
    const std::string name = (journal.parent_path() / ("recovered-" + stem + ".lumidot")).string();
    if (!file.ok() || !replaceFileContents(name, file.bytes).ok())
        return {};
    remove();
    return name;
}

void OrphanJournal::remove()
{
    ::unlink(path_.c_str());
    ::unlink(lockPath_.c_str());
    syncFolder(folderOf(path_));
}

std::vector<OrphanJournal> findOrphanJournals(const std::string& folder)
{
    struct Found {
        std::int64_t time;
        std::string base;
        int lockFd;
    };
    std::vector<Found> found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!endsWith(name, kJournalSuffix))
            continue;
        const std::string base = folder + "/" + name.substr(0, name.size() - kJournalSuffix.size());
        const int lockFd = tryLock(base + std::string(kLockSuffix));
        if (lockFd < 0)
            continue;
        // Gone between the listing and the lock: its program ended cleanly.
        struct stat info {};
        if (::stat((base + std::string(kJournalSuffix)).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(lockFd);
            continue;
        }
        found.push_back({static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                         base, lockFd});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.time > b.time; });
    std::vector<OrphanJournal> orphans;
    for (const Found& each : found)
        orphans.emplace_back(each.base + std::string(kJournalSuffix), each.base + std::string(kLockSuffix),
                             each.lockFd);
    return orphans;
}

} // namespace lumidot
