#include "support/DatabaseFaults.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <vector>

namespace {

constexpr int kProcessWaitMs = 10000;

QByteArray FillerName(const QString& folder) {
    return QFile::encodeName(folder + QStringLiteral("/filler"));
}

}  // namespace

OtherProgram::OtherProgram(const QString& path, Lock lock, std::chrono::milliseconds hold) {
    // -bail: a lock that cannot be taken ends the shell before it says so.
    process_.start(QStringLiteral("sqlite3"),
                   {QStringLiteral("-batch"), QStringLiteral("-bail"), path});
    if (!process_.waitForStarted(kProcessWaitMs))
        return;
    QByteArray script =
        lock == Lock::Read ? "BEGIN; SELECT count(*) FROM sqlite_schema;\n" : "BEGIN EXCLUSIVE;\n";
    script += ".print holding\n";
    if (hold.count() > 0) {
        script += ".shell sleep " + QByteArray::number(hold.count() / 1000.0, 'f', 3) + "\n" +
                  "COMMIT;\n.quit\n";
    }
    process_.write(script);
    QByteArray output;
    while (!output.contains("holding\n") && process_.waitForReadyRead(kProcessWaitMs))
        output += process_.readAllStandardOutput();
    holding_ = output.contains("holding\n");
}

OtherProgram::~OtherProgram() {
    release();
}

void OtherProgram::release() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.write("COMMIT;\n.quit\n");
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kProcessWaitMs))
        process_.kill();
    process_.waitForFinished(kProcessWaitMs);
}

SmallDisk::SmallDisk(const QString& folder, qint64 bytes) : path_(folder), bytes_(bytes) {
    QDir().mkpath(path_);
    const QByteArray options = "size=" + QByteArray::number(bytes_) + ",mode=0755";
    mounted_ = ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                       options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (!mounted_)
        return;
    const QByteArray name = QFile::encodeName(path_);
    if (::umount2(name.constData(), 0) != 0)
        ::umount2(name.constData(), MNT_DETACH);
}

void SmallDisk::fill(qint64 leave) {
    const int fd = ::open(FillerName(path_).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    ::lseek(fd, 0, SEEK_END);
    const std::vector<char> block(16 * 1024, 'x');
    qint64 size = ::lseek(fd, 0, SEEK_CUR);
    for (;;) {
        const ssize_t written = ::write(fd, block.data(), block.size());
        if (written <= 0)
            break;
        size += written;
    }
    if (leave > 0)
        (void)::ftruncate(fd, std::max<qint64>(0, size - leave));
    ::close(fd);
}

void SmallDisk::clear() {
    ::unlink(FillerName(path_).constData());
}

bool SmallDisk::makeReadOnly() {
    return ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs",
                   MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}
