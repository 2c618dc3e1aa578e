#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// Lays out a data file of the earlier program by hand, as its engine lays one out: header,
// columns, one row record per top-level view, structure block, skip and commit tails. For
// files the fixtures do not show: the other byte order, single faults, odd types.
class LegacyFileBuilder {
public:
    explicit LegacyFileBuilder(bool bigEndian = false);

    // The reference to a new column holding `data` (an empty column has no bytes).
    QByteArray column(const QByteArray& data);
    // An integer column of 8, 16 or 32 bits a value, in the file's byte order.
    QByteArray integers(const QList<qint32>& values, int width);
    // The columns of a string property (data, sizes, empty memo map), in windows-1251.
    QByteArray strings(const QStringList& items);
    // Writes the structure block for `description` with one record per top-level view, then
    // the tails, fills in the header and returns the file.
    QByteArray finish(const QByteArray& description, const QList<QByteArray>& records);

private:
    bool bigEndian_;
    QByteArray bytes_;
};

// A view's row record: 0, the row count and the column references of its properties.
QByteArray LegacyRecord(qint64 rows, const QByteArray& columns);

// The engine's variable-length number.
QByteArray LegacyVarint(qint64 value);
QByteArray BigEndian32(quint32 value);
