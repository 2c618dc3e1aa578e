#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

class QFile;

namespace storage {

// Why a data file of the earlier program cannot be read. `reason` is a short Russian text
// for the user.
class LegacyFileError : public std::runtime_error {
public:
    enum class Kind {
        Damaged,      // the file's own references contradict each other or leave the file
        Unsupported,  // a valid file in a variant of the format that is not read here
        Unreadable,   // the file system would not give its bytes
    };
    LegacyFileError(Kind kind, const QString& reason);
    Kind kind() const { return kind_; }
    const QString& reason() const { return reason_; }

private:
    Kind kind_;
    QString reason_;
};

// One property of a legacy view: its name spelled as in the file and its type letter
// (I, S, B, L, F, D or V; an old memo "M" is read as B).
struct LegacyProperty {
    QString name;
    char type = 'S';
    QString description;  // "name:T", or "name[...]" for a nested view
};

// One top-level view of a legacy file. Every column was located and checked when the file
// was opened, so reading a value never leaves the file's bytes.
class LegacyView {
public:
    const QString& name() const { return name_; }
    const QList<LegacyProperty>& properties() const { return properties_; }
    int rowCount() const { return rows_; }
    // "name[a:I,b:S]", the view's part of the structure description.
    QString layout() const;
    // Position of the property matched without regard to ASCII letter case, or -1.
    int indexOf(const QString& name) const;

    // The value of an I property.
    qint32 integer(int property, int row) const;
    // The stored bytes of an S property up to its first NUL byte.
    QByteArrayView bytes(int property, int row) const;
    // The text of an S property, decoded from windows-1251.
    QString text(int property, int row) const;

private:
    friend class LegacyParser;

    // Bytes of one column, inside the file.
    struct Column {
        const uchar* data = nullptr;
        qint64 size = 0;
    };
    // A column of integers of one width (0, 1, 2, 4, 8, 16 or 32 bits) for all rows.
    struct IntColumn {
        const uchar* data = nullptr;
        int width = 0;
        bool bigEndian = false;
        qint32 at(qint64 row) const;
    };
    // The columns of one property; only those of its type are used.
    struct Columns {
        IntColumn integers;                            // I
        Column data;                                   // S: the items stored together
        std::vector<qint64> starts;                    // S: item i is data[starts[i], starts[i+1])
        std::vector<std::pair<qint64, Column>> memos;  // S: items stored apart, by row
    };

    const Columns& columns(int property, char type, int row) const;

    QString name_;
    QList<LegacyProperty> properties_;
    int rows_ = 0;
    std::vector<Columns> columns_;
};

// A data file of the earlier program's database engine, read without ever writing to it.
// Only the state of the last completed commit is read, found from the file's tail markers;
// a file whose last commit was cut off opens at the commit before.
class LegacyFile {
public:
    // Maps the file read-only and checks its whole structure. Throws LegacyFileError.
    static std::unique_ptr<LegacyFile> open(const QString& path);
    // The same over bytes in memory.
    static std::unique_ptr<LegacyFile> fromBytes(const QByteArray& bytes);
    ~LegacyFile();
    LegacyFile(const LegacyFile&) = delete;
    LegacyFile& operator=(const LegacyFile&) = delete;

    // The structure description as the file stores it.
    const QString& description() const { return description_; }
    const std::vector<LegacyView>& views() const { return views_; }
    // The view of that name, matched without regard to ASCII letter case, or null.
    const LegacyView* view(const QString& name) const;
    // The file's last commit was interrupted and the commit before it was read instead.
    bool recoveredPreviousCommit() const { return recoveredPreviousCommit_; }
    // Every byte of the file.
    QByteArrayView bytes() const { return {data_, size_}; }

private:
    friend class LegacyParser;
    LegacyFile();

    std::unique_ptr<QFile> file_;
    QByteArray owned_;
    const uchar* data_ = nullptr;
    qint64 size_ = 0;
    QString description_;
    std::vector<LegacyView> views_;
    bool recoveredPreviousCommit_ = false;
};

// Whether the file carries the markers of the earlier engine's format: a header at its
// start, or tail markers at its end that lead back to a header.
bool LooksLikeLegacyFile(const QString& path);

}  // namespace storage
