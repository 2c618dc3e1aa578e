#include "storage/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace storage {

std::optional<FileLock> FileLock::tryLock(const QString& path, bool create, bool* busy) {
    if (busy)
        *busy = false;
    const QByteArray name = QFile::encodeName(path);
    int flags = O_RDONLY | O_CLOEXEC;
    if (create)
        flags |= O_CREAT;
    const int fd = ::open(name.constData(), flags, 0644);
    if (fd < 0)
        return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (busy)
            *busy = errno == EWOULDBLOCK;
        ::close(fd);
        return std::nullopt;
    }
    return FileLock(fd);
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace storage
