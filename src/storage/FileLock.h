#pragma once

#include <QString>
#include <optional>

namespace storage {

// An exclusive advisory lock (flock) on a file, held while the object lives. It guards the
// database file against a second copy of the program; the database engine's own locks are
// independent of it. The lock belongs to the file's inode: when a file is replaced by rename,
// lock the new file before it takes the old one's name.
class FileLock {
public:
    // Locks the file without waiting, creating it empty when `create` is set and it is
    // missing. Nothing when the file is locked by another open file description (another
    // process, or another lock of this one) or cannot be opened; `busy` tells which.
    static std::optional<FileLock> tryLock(const QString& path, bool create, bool* busy = nullptr);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int fd) : fd_(fd) {}
    void release();

    int fd_ = -1;
};

// Flushes a folder's entries (a rename or a new file in it) to the disk.
void SyncFolder(const QString& folder);

}  // namespace storage
