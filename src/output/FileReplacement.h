#pragma once

#include <QByteArrayView>
#include <QString>
#include <stdexcept>

namespace output {

// A file of the outputs could not be written. Nothing was left under its name: a file that
// was there before is unchanged, and no partial file remains.
class FileWriteError : public std::runtime_error {
public:
    FileWriteError(QString path, QString reason);
    // The file that was to be written.
    const QString& path() const { return path_; }
    // Why, in Russian, as a user can act on it: "нет места на диске", ...
    const QString& reason() const { return reason_; }

private:
    QString path_;
    QString reason_;
};

// The reason for a failed file operation (an errno value), in Russian.
QString FileErrorReason(int error);

// A file written whole or not at all. The bytes go to a new temporary file in the same
// folder; commit() makes them durable and only then gives the file its name, replacing a
// file of that name. Without commit(), the temporary file is removed and nothing else changes.
// Every failure throws FileWriteError naming the final file.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void write(QByteArrayView bytes);
    void commit();

    const QString& path() const { return path_; }

private:
    [[noreturn]] void fail(int error);
    void discard();

    QString path_;
    QByteArray temporary_;
    int fd_ = -1;
};

}  // namespace output
