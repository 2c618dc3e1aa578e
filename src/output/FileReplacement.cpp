#include "output/FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <utility>

namespace output {

namespace {

int OpenFolder(const QByteArray& folder) {
    return ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

FileWriteError::FileWriteError(QString path, QString reason)
    : std::runtime_error(QStringLiteral("%1: %2").arg(path, reason).toStdString())
    , path_(std::move(path))
    , reason_(std::move(reason)) {}

QString FileErrorReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("нет места на диске");
        case EFBIG:
            return QStringLiteral("файл слишком велик для этого диска");
        case EACCES:
        case EPERM:
            return QStringLiteral("нет прав на запись в эту папку");
        case EROFS:
            return QStringLiteral("диск доступен только для чтения");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("папка не найдена");
        case EISDIR:
            return QStringLiteral("под этим именем уже есть папка");
        case ENAMETOOLONG:
            return QStringLiteral("слишком длинное имя файла");
        case EIO:
            return QStringLiteral("ошибка записи на диск");
        default:
            break;
    }
    return QStringLiteral("ошибка записи (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
}

FileReplacement::FileReplacement(const QString& path) : path_(path) {
    const QFileInfo target(path);
    const QByteArray base = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                              target.fileName() + QStringLiteral("."));
    // A fresh name of our own: an existing file is never opened.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = base + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        fail(error);
    }
}

FileReplacement::~FileReplacement() {
    discard();
}

void FileReplacement::write(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            fail(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
}

void FileReplacement::commit() {
    if (::fsync(fd_) != 0)
        fail(errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        fail(errno);
    const QByteArray target = QFile::encodeName(path_);
    if (::rename(temporary_.constData(), target.constData()) != 0)
        fail(errno);
    temporary_.clear();
    // The new name itself must survive a crash too.
    const int folder = OpenFolder(QFile::encodeName(QFileInfo(path_).absolutePath()));
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void FileReplacement::fail(int error) {
    discard();
    throw FileWriteError(path_, FileErrorReason(error));
}

void FileReplacement::discard() {
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!temporary_.isEmpty())
        ::unlink(std::exchange(temporary_, {}).constData());
}

}  // namespace output
