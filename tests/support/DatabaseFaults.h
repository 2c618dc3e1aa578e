#pragma once

#include <QProcess>
#include <QString>
#include <chrono>

// Ways a user's machine fails the database: another program holding the file, a disk that
// fills, a folder that allows no writing.

// Another program using a database file: the sqlite3 shell in a process of its own, as a
// backup tool or a user's shell would read the file.
class OtherProgram {
public:
    enum class Lock {
        Read,       // an open read transaction: writers wait for it before they commit
        Exclusive,  // BEGIN EXCLUSIVE: nobody else can even read
    };
    // Takes the lock and holds it until release() or the end of the object; for `hold` only
    // when that is given.
    OtherProgram(const QString& path, Lock lock, std::chrono::milliseconds hold = {});
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // The lock was taken.
    bool holding() const { return holding_; }
    // Ends the transaction and the program.
    void release();

private:
    QProcess process_;
    bool holding_ = false;
};

// A small file system of its own (tmpfs) mounted on a new folder, which a test fills up or
// makes read-only. Mounting needs the right to mount (root); a test skips when it failed.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& path() const { return path_; }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

    // Takes the free space with a filler file until about `leave` bytes stay free.
    void fill(qint64 leave = 0);
    // Gives the filler's space back.
    void clear();
    // Remounts the disk read-only: no process, root included, can write to it any more.
    bool makeReadOnly();

private:
    QString path_;
    qint64 bytes_;
    bool mounted_ = false;
};
