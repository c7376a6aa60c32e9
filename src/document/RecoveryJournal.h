// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/JournalFormat.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumidot {

class DocumentChanges;
class Workspace;

// The folder of the recovery journals: $XDG_STATE_HOME/lumidot, or
// ~/.local/state/lumidot when that is not set.
std::string journalFolder();

// Keeps every completed action of a run in a journal file, so that the work
// comes back after the program was killed. Each action's record is written
// on the window's thread when the action completes (a few bytes: what it
// changed), so it survives the process at once; a thread of its own makes
// it reach the disk (fdatasync) right after. The journal is locked while
// the program runs: another Lumidot sees that it is alive and leaves it be.
class RecoveryJournal {
public:
    // Starts a journal in folder (made when missing) with the document of
    // workspace as its first record, and follows the workspace's actions
    // from then on. None when the folder cannot hold one; error says why.
    static std::unique_ptr<RecoveryJournal> start(const std::string& folder, Workspace& workspace,
                                                  std::string& error);
    ~RecoveryJournal();
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    const std::string& path() const { return path_; }
    // The bytes written so far, and whether writing failed (a full disk):
    // a journal that failed writes nothing more.
    std::size_t size() const { return size_; }
    bool failed() const { return failed_; }

    // Returns once everything written so far is on the disk. Safe from any
    // thread: the termination signals call it before the program ends.
    void sync();
    // The program ends cleanly: the journal is removed.
    void discard();

    // A journal grown this much past its first record is started afresh
    // from the document as it is.
    static constexpr std::size_t kCompactAfter = 8u << 20;

private:
    RecoveryJournal(Workspace& workspace, std::string path, std::string lockPath, int fd, int lockFd);
    void follow();
    void actionCompleted(DocumentChanges changes);
    void append(const std::vector<std::uint8_t>& bytes);
    void compact();
    void syncLoop();

    Workspace& workspace_;
    // What the workspace's observer reaches the journal through.
    std::shared_ptr<RecoveryJournal*> following_ = std::make_shared<RecoveryJournal*>(this);
    std::string path_;
    std::string lockPath_;
    int fd_;
    int lockFd_;
    ActionRecord pending_;
    std::vector<std::uint8_t> buffer_;
    std::size_t size_ = 0;
    std::size_t snapshotSize_ = 0;
    bool failed_ = false;
    bool discarded_ = false;

    // The syncing thread: written_ counts the appends, synced_ those on disk.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::uint64_t written_ = 0;
    std::uint64_t synced_ = 0;
    bool stop_ = false;
    std::mutex fdMutex_;   // held while the file is synced, and while it is swapped
    std::thread syncer_;
};

// A journal left by a program that is gone, claimed by this one: its lock
// is held until it is released (kept or removed).
class OrphanJournal {
public:
    OrphanJournal(std::string path, std::string lockPath, int lockFd);
    ~OrphanJournal();
    OrphanJournal(OrphanJournal&& other) noexcept;
    OrphanJournal& operator=(OrphanJournal&&) = delete;

    const std::string& path() const { return path_; }
    JournalRead read() const;
    // Keeps what it holds as a document file beside it and removes the
    // journal; the document file's name, or empty when it could not be
    // written (the journal then stays).
    std::string keepAsDocument();
    void remove();

private:
    std::string path_;
    std::string lockPath_;
    int lockFd_;
};

// The journals in folder whose programs are gone, newest first.
std::vector<OrphanJournal> findOrphanJournals(const std::string& folder);

} // namespace lumidot
