#include "support/LegacyFileBuilder.h"

#include <QStringEncoder>
#include <algorithm>

LegacyFileBuilder::LegacyFileBuilder(bool bigEndian) : bigEndian_(bigEndian), bytes_(8, '\0') {}

QByteArray LegacyFileBuilder::column(const QByteArray& data) {
    if (data.isEmpty())
        return LegacyVarint(0);
    const qint64 position = bytes_.size();
    bytes_ += data;
    return LegacyVarint(data.size()) + LegacyVarint(position);
}

QByteArray LegacyFileBuilder::integers(const QList<qint32>& values, int width) {
    const int size = width / 8;
    QByteArray data(values.size() * size, '\0');
    for (int i = 0; i < values.size(); ++i) {
        for (int b = 0; b < size; ++b) {
            const int shift = bigEndian_ ? (size - 1 - b) * 8 : b * 8;
            data[i * size + b] = char(quint32(values[i]) >> shift);
        }
    }
    return column(data);
}

QByteArray LegacyFileBuilder::strings(const QStringList& items) {
    QStringEncoder encoder("windows-1251");
    QByteArray data;
    QList<qint32> sizes;
    for (const QString& item : items) {
        const QByteArray bytes = item.isEmpty() ? QByteArray() : encoder.encode(item) + '\0';
        data += bytes;
        sizes << qint32(bytes.size());
    }
    if (data.isEmpty())
        return column({}) + column({});
    const bool wide = *std::max_element(sizes.begin(), sizes.end()) > 127;
    return column(data) + integers(sizes, wide ? 32 : 8) + column({});
}

QByteArray LegacyFileBuilder::finish(const QByteArray& description,
                                     const QList<QByteArray>& records) {
    QByteArray block =
        LegacyVarint(0) + LegacyVarint(description.size()) + description + LegacyVarint(1);
    for (const QByteArray& record : records)
        block += column(record);
    const qint64 root = bytes_.size();
    bytes_ += block;
    bytes_ += QByteArray("\x80\0\0\0", 4) + BigEndian32(quint32(bytes_.size()));
    bytes_ += QByteArray(1, char(0x80)) + BigEndian32(quint32(block.size())).mid(1) +
              BigEndian32(quint32(root));
    bytes_.replace(0, 8,
                   QByteArray(bigEndian_ ? "LJ" : "JL") + QByteArray("\x1a\0", 2) +
                       BigEndian32(quint32(bytes_.size())));
    return bytes_;
}

QByteArray LegacyRecord(qint64 rows, const QByteArray& columns) {
    return LegacyVarint(0) + LegacyVarint(rows) + columns;
}

QByteArray LegacyVarint(qint64 value) {
    QByteArray out;
    if (value < 0) {
        out += '\0';
        value = ~value;
    }
    QByteArray groups;
    do {
        groups.prepend(char(value & 0x7F));
        value >>= 7;
    } while (value != 0);
    groups[groups.size() - 1] = char(groups.back() | 0x80);
    return out + groups;
}

QByteArray BigEndian32(quint32 value) {
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(value >> (24 - 8 * i));
    return out;
}
