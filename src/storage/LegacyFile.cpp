#include "storage/LegacyFile.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>

#include "storage/Schema.h"

// The file is a sequence of commits; only the last completed one counts. Its tail markers
// (the last 16 bytes of the data) lead to the structure block, which holds the structure
// description and, for every view, a reference to a column that lists the view's row count
// and the columns of its properties. Nothing else in the file may be trusted: old copies of
// columns and markers linger as unreferenced bytes. Every reference is checked against the
// data's bounds before it is followed.

namespace storage {

namespace {

using Kind = LegacyFileError::Kind;

constexpr qint64 kMarkerSize = 8;
// A header, a skip tail and a commit tail.
constexpr qint64 kMinimumSize = 3 * kMarkerSize;
// Pre-2.0 files are recognised by a header anywhere in their first 4 KB.
constexpr qint64 kOldHeaderSearch = 4096;
// Deeper nesting than any real description has.
constexpr int kMaxNesting = 32;

[[noreturn]] void Damaged(const char* reason) {
    throw LegacyFileError(Kind::Damaged, QString::fromUtf8(reason));
}

[[noreturn]] void Unsupported(const QString& reason) {
    throw LegacyFileError(Kind::Unsupported, reason);
}

const char kBrokenNumber[] = "служебное число обрывается или слишком велико";
const char kColumnOutside[] = "столбец данных выходит за пределы файла";
const char kBrokenView[] = "запись о строках таблицы не читается";

quint32 BigEndian32(const uchar* p) {
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// The 8-byte markers at the data's end; their numbers are big-endian in either byte order.
struct Marker {
    const uchar* bytes;

    bool isSkip() const {
        return bytes[0] == 0x80 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0;
    }
    // A skip marker of later format versions.
    bool isLaterSkip() const { return (bytes[0] & 0xF0) == 0x90; }
    bool isCommit() const { return bytes[0] == 0x80 && length() > 0; }
    quint32 length() const { return BigEndian32(bytes) & 0xFFFFFF; }
    quint32 offset() const { return BigEndian32(bytes + 4); }
};

enum class HeaderKind { None, Current, Old };

HeaderKind ReadHeaderKind(const uchar* h) {
    const bool order = (h[0] == 'J' && h[1] == 'L') || (h[0] == 'L' && h[1] == 'J');
    if (!order || h[2] != 0x1A || (h[3] & 0x40))
        return HeaderKind::None;
    return (h[3] & 0x80) ? HeaderKind::Old : HeaderKind::Current;
}

// Reads the variable-length numbers of the bookkeeping: 7 bits a byte, big-endian, the
// last byte flagged by its high bit; a leading 00 byte makes the value negative (~value).
class Cursor {
public:
    Cursor(const uchar* data, qint64 size) : p_(data), end_(data + size) {}

    bool atEnd() const { return p_ == end_; }
    qint64 remaining() const { return end_ - p_; }

    qint32 number() {
        const bool negative = p_ != end_ && *p_ == 0;
        if (negative)
            ++p_;
        quint64 value = 0;
        for (int groups = 1;; ++groups) {
            if (p_ == end_ || groups > 5)
                Damaged(kBrokenNumber);
            const uchar byte = *p_++;
            value = value << 7 | (byte & 0x7F);
            if (byte & 0x80)
                break;
        }
        if (value > quint64(std::numeric_limits<qint32>::max()))
            Damaged(kBrokenNumber);
        return negative ? ~qint32(value) : qint32(value);
    }

    const uchar* take(qint64 size) {
        if (size < 0 || size > remaining())
            Damaged(kBrokenNumber);
        const uchar* start = p_;
        p_ += size;
        return start;
    }

private:
    const uchar* p_;
    const uchar* end_;
};

// The width in bits of an integer column, implied by its row count and byte size. Tiny
// columns use a table; its impossible-looking sizes keep the narrow widths recoverable.
int IntegerWidth(qint64 rows, qint64 size) {
    static constexpr std::array<std::array<int, 6>, 7> kSmall{{
        {8, 16, 1, 32, 2, 4},
        {4, 8, 1, 16, 2, -1},
        {2, 4, 8, 1, -1, 16},
        {2, 4, -1, 8, 1, -1},
        {1, 2, 4, -1, 8, -1},
        {1, 2, 4, -1, -1, 8},
        {1, 2, -1, 4, -1, -1},
    }};
    if (size == 0)
        return 0;
    const qint64 width = rows >= 8 || size >= 7 ? size * 8 / rows : kSmall[rows - 1][size - 1];
    switch (width) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 32:
            return int(width);
        default:
            Damaged("неверная ширина целочисленного столбца");
    }
}

// windows-1251 byte to character.
const std::array<char16_t, 256>& Cp1251() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> chars{};
        QStringDecoder decoder("windows-1251");
        for (int byte = 0; byte < 256; ++byte) {
            const QString one = decoder.decode(QByteArray(1, char(byte)));
            chars[byte] = one.size() == 1 ? one[0].unicode() : u'\uFFFD';
        }
        return chars;
    }();
    return table;
}

// One item of the structure description.
struct Field {
    QString name;
    char type = 'S';
    QString description;
    std::vector<Field> fields;  // of a view
};

bool ContainsName(const std::vector<Field>& fields, const QString& name) {
    return std::any_of(fields.begin(), fields.end(),
                       [&](const Field& field) { return SameName(field.name, name); });
}

// Items separated by ","; an item is "name:T", "name" (a string), "name[items]" (a view) or
// "name[^]" (a view of its parent's layout). An item whose name repeats an earlier
// sibling's, letter case aside, is dropped, as the engine drops it: it has no columns.
class DescriptionParser {
public:
    explicit DescriptionParser(QByteArrayView text) : p_(text.data()), end_(p_ + text.size()) {}

    std::vector<Field> parse() {
        std::vector<Field> fields = items(0);
        if (p_ != end_)
            fail();
        return fields;
    }

private:
    [[noreturn]] static void fail() { Damaged("описание структуры не читается"); }
    bool at(char c) const { return p_ != end_ && *p_ == c; }

    std::vector<Field> items(int depth) {
        std::vector<Field> fields;
        if (p_ == end_ || at(']'))
            return fields;
        for (;;) {
            Field field = item(depth);
            if (!ContainsName(fields, field.name))
                fields.push_back(std::move(field));
            if (!at(','))
                return fields;
            ++p_;
        }
    }

    Field item(int depth) {
        const char* start = p_;
        while (p_ != end_ && !std::strchr(",[]:", *p_) && *p_ != '\0')
            ++p_;
        Field field;
        field.name = QString::fromLatin1(start, p_ - start);
        if (field.name.isEmpty())
            fail();
        if (at(':'))
            readType(field);
        else if (at('['))
            readSubview(field, depth);
        if (field.type != 'V')
            field.description = field.name + QLatin1Char(':') + QLatin1Char(field.type);
        return field;
    }

    // Only the first letter after ":" counts.
    void readType(Field& field) {
        ++p_;
        if (p_ == end_)
            fail();
        char letter = *p_++;
        if (letter >= 'a' && letter <= 'z')
            letter = char(letter - 'a' + 'A');
        if (letter == 'M')
            letter = 'B';
        if (!std::strchr("ISBLFD", letter) || letter == '\0')
            Unsupported(QStringLiteral("неизвестный тип свойства «%1»").arg(field.name));
        field.type = letter;
        while (p_ != end_ && *p_ != ',' && *p_ != ']') {
            if (*p_ == '[' || *p_ == ':')
                fail();
            ++p_;
        }
    }

    void readSubview(Field& field, int depth) {
        ++p_;
        if (depth >= kMaxNesting)
            fail();
        field.type = 'V';
        QString inner = QStringLiteral("^");
        if (at('^')) {
            ++p_;
        } else {
            field.fields = items(depth + 1);
            QStringList parts;
            for (const Field& sub : field.fields)
                parts << sub.description;
            inner = parts.join(QLatin1Char(','));
        }
        if (!at(']'))
            fail();
        ++p_;
        field.description = field.name + QLatin1Char('[') + inner + QLatin1Char(']');
    }

    const char* p_;
    const char* end_;
};

}  // namespace

LegacyFileError::LegacyFileError(Kind kind, const QString& reason)
    : std::runtime_error(reason.toStdString()), kind_(kind), reason_(reason) {}

// ---------------------------------------------------------------------------------------
// Reading the structure

class LegacyParser {
public:
    explicit LegacyParser(LegacyFile& file) : file_(file) {}

    void parse() {
        if (file_.size_ < kMinimumSize)
            Damaged("файл слишком короткий");
        readStructure(locateLastCommit());
    }

private:
    using Column = LegacyView::Column;
    using IntColumn = LegacyView::IntColumn;
    using Columns = LegacyView::Columns;

    // Where the state of one commit lies: the data run from `base` to `end`, all positions
    // being relative to `base`.
    struct Commit {
        qint64 base = 0;
        qint64 end = 0;
        qint64 rootPosition = 0;
        qint64 rootLength = 0;
        bool bigEndian = false;
    };

    Commit locateLastCommit() {
        try {
            return locateCommit(file_.size_);
        } catch (const LegacyFileError&) {
            // An interrupted commit leaves a marker at the end that leads nowhere; the
            // header still records where the previous commit ended, and it is intact.
            if (const auto previous = previousCommitEnd()) {
                try {
                    const Commit commit = locateCommit(*previous);
                    file_.recoveredPreviousCommit_ = true;
                    return commit;
                } catch (const LegacyFileError&) {
                }
            }
            if (hasOldFormatHeader()) {
                Unsupported(QStringLiteral(
                    "файл записан в старом варианте формата, который не поддерживается"));
            }
            throw;
        }
    }

    // The procedure of the engine itself: skip markers move the end back; a commit marker
    // must follow a skip marker that leads to the header.
    Commit locateCommit(qint64 end) const {
        for (;;) {
            if (end < kMinimumSize)
                Damaged("не найдена метка конца данных");
            const qint64 position = end - kMarkerSize;
            const Marker marker{file_.data_ + position};
            if (marker.isLaterSkip())
                Unsupported(QStringLiteral("файл записан более поздней версией формата"));
            if (marker.isSkip()) {
                // Each step moves the end strictly back, so the walk ends.
                if (marker.offset() == 0 || marker.offset() > position)
                    Damaged("метка конца данных указывает за начало файла");
                end = position - marker.offset();
                continue;
            }
            if (!marker.isCommit() || marker.offset() == 0)
                Damaged("не найдена метка конца данных");
            return commitAt(position, marker);
        }
    }

    Commit commitAt(qint64 position, const Marker& commitMarker) const {
        const Marker skip{file_.data_ + position - kMarkerSize};
        // The header lies before the skip marker, at or after the file's start.
        if (!skip.isSkip() || skip.offset() < kMarkerSize || skip.offset() > position - kMarkerSize)
            Damaged("метка фиксации не ведёт к заголовку");
        Commit commit;
        commit.base = position - kMarkerSize - skip.offset();
        commit.end = position + kMarkerSize;
        const uchar* header = file_.data_ + commit.base;
        switch (ReadHeaderKind(header)) {
            case HeaderKind::Current:
                break;
            case HeaderKind::Old:
                Unsupported(QStringLiteral(
                    "файл записан в старом варианте формата, который не поддерживается"));
            case HeaderKind::None:
                Damaged("заголовок файла повреждён");
        }
        commit.bigEndian = header[0] == 'L';
        commit.rootLength = commitMarker.length();
        commit.rootPosition = commitMarker.offset();
        return commit;
    }

    // The end of the previous commit, as the header at the file's start records it.
    std::optional<qint64> previousCommitEnd() const {
        if (ReadHeaderKind(file_.data_) != HeaderKind::Current)
            return std::nullopt;
        const qint64 end = BigEndian32(file_.data_ + 4);
        if (end < kMinimumSize || end >= file_.size_)
            return std::nullopt;
        return end;
    }

    bool hasOldFormatHeader() const {
        const qint64 limit = std::min(file_.size_ - kMarkerSize, kOldHeaderSearch);
        for (qint64 at = 0; at <= limit; at += kMarkerSize) {
            if (ReadHeaderKind(file_.data_ + at) == HeaderKind::Old)
                return true;
        }
        return false;
    }

    // The structure block: 0, the description, the root's row count (1) and the column of
    // every top-level property.
    void readStructure(const Commit& commit) {
        commit_ = commit;
        if (commit.rootPosition + commit.rootLength > commit.end - commit.base)
            Damaged("блок описания структуры выходит за пределы файла");
        Cursor block(file_.data_ + commit.base + commit.rootPosition, commit.rootLength);
        if (block.number() != 0)
            Damaged("блок описания структуры не читается");
        const qint32 length = block.number();
        const uchar* text = block.take(length);
        file_.description_ = QString::fromLatin1(reinterpret_cast<const char*>(text), length);
        const std::vector<Field> fields = DescriptionParser(QByteArrayView(text, length)).parse();
        const qint32 rootRows = block.number();
        if (rootRows != 0 && rootRows != 1)
            Damaged("блок описания структуры не читается");
        for (const Field& field : fields) {
            if (field.type == 'V') {
                const Column column = rootRows == 1 ? readColumn(block) : Column{};
                file_.views_.push_back(readView(field, column));
            } else if (rootRows == 1) {
                Columns unused;
                readProperty(block, field, 1, unused);
            }
        }
    }

    // A view's column holds its row record: 0, the row count, then (for rows) the columns
    // of each property in description order.
    LegacyView readView(const Field& field, const Column& column) const {
        LegacyView view;
        view.name_ = field.name;
        for (const Field& sub : field.fields)
            view.properties_.append({sub.name, sub.type, sub.description});
        view.columns_.resize(field.fields.size());
        if (column.size == 0)
            return view;
        Cursor record(column.data, column.size);
        const qint32 marker = record.number();
        const qint32 rows = record.number();
        if (marker != 0 || rows < 0)
            Damaged(kBrokenView);
        // A row needs at least a bit of some column; more rows than that are damage.
        if (rows > 8 * (commit_.end - commit_.base))
            Damaged(kBrokenView);
        view.rows_ = rows;
        if (rows == 0)
            return view;
        for (std::size_t i = 0; i < field.fields.size(); ++i)
            readProperty(record, field.fields[i], rows, view.columns_[i]);
        return view;
    }

    void readProperty(Cursor& cursor, const Field& field, qint64 rows, Columns& out) const {
        switch (field.type) {
            case 'I':
                out.integers = integerColumn(readColumn(cursor), rows);
                break;
            case 'F':
                integerColumn(readColumn(cursor), rows);
                break;
            case 'S':
            case 'B':
                readItems(cursor, rows, out);
                break;
            default:  // L, D, V: one column, not read here
                readColumn(cursor);
                break;
        }
    }

    // A column reference: its size and, unless it is empty, its position.
    Column readColumn(Cursor& cursor) const {
        const qint32 size = cursor.number();
        if (size < 0)
            Damaged(kColumnOutside);
        if (size == 0)
            return {};
        const qint32 position = cursor.number();
        if (position < 0)
            Unsupported(QStringLiteral("файл содержит отложенные изменения"));
        if (qint64(position) + size > commit_.end - commit_.base)
            Damaged(kColumnOutside);
        return {file_.data_ + commit_.base + position, size};
    }

    IntColumn integerColumn(const Column& column, qint64 rows) const {
        const int width = IntegerWidth(rows, column.size);
        if ((rows * width + 7) / 8 > column.size)
            Damaged(kColumnOutside);
        return {column.data, width, commit_.bigEndian};
    }

    // Items of a string property: the data column of the items stored together, their
    // sizes (only when there is data), and the map of items stored in columns of their own.
    void readItems(Cursor& cursor, qint64 rows, Columns& out) const {
        out.data = readColumn(cursor);
        if (out.data.size > 0)
            out.starts = itemStarts(integerColumn(readColumn(cursor), rows), rows, out.data);
        out.memos = readMemoMap(readColumn(cursor), rows);
    }

    std::vector<qint64> itemStarts(const IntColumn& sizes, qint64 rows, const Column& data) const {
        std::vector<qint64> starts(rows + 1);
        qint64 sum = 0;
        for (qint64 row = 0; row < rows; ++row) {
            starts[row] = sum;
            const qint32 size = sizes.at(row);
            if (size < 0 || size > data.size - sum)
                Damaged("размеры строк не сходятся с их данными");
            sum += size;
        }
        if (sum != data.size)
            Damaged("размеры строк не сходятся с их данными");
        starts[rows] = sum;
        return starts;
    }

    // Triples of rows skipped, size and position; rows strictly increase.
    std::vector<std::pair<qint64, Column>> readMemoMap(const Column& map, qint64 rows) const {
        std::vector<std::pair<qint64, Column>> memos;
        Cursor cursor(map.data, map.size);
        qint64 row = 0;
        while (!cursor.atEnd()) {
            const qint32 skip = cursor.number();
            if (skip < 0)
                Damaged("длинная строка приписана несуществующей строке таблицы");
            row += skip;
            const Column column = readColumn(cursor);
            if (row >= rows)
                Damaged("длинная строка приписана несуществующей строке таблицы");
            memos.emplace_back(row, column);
            ++row;
        }
        return memos;
    }

    LegacyFile& file_;
    Commit commit_;
};

// ---------------------------------------------------------------------------------------
// LegacyView

qint32 LegacyView::IntColumn::at(qint64 row) const {
    switch (width) {
        case 1:
        case 2:
        case 4: {
            const qint64 bit = row * width;
            return (data[bit / 8] >> (bit % 8)) & ((1 << width) - 1);
        }
        case 8:
            return qint8(data[row]);
        case 16: {
            const uchar* p = data + 2 * row;
            return qint16(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
        }
        case 32: {
            const uchar* p = data + 4 * row;
            const quint32 value =
                bigEndian ? BigEndian32(p)
                          : quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
            return qint32(value);
        }
        default:
            return 0;
    }
}

const LegacyView::Columns& LegacyView::columns(int property, char type, int row) const {
    if (property < 0 || property >= properties_.size() || properties_[property].type != type)
        throw std::invalid_argument("legacy view: no property of that type");
    if (row < 0 || row >= rows_)
        throw std::out_of_range("legacy view: no such row");
    return columns_[property];
}

QString LegacyView::layout() const {
    QStringList parts;
    for (const LegacyProperty& property : properties_)
        parts << property.description;
    return name_ + QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

int LegacyView::indexOf(const QString& name) const {
    for (int i = 0; i < properties_.size(); ++i) {
        if (SameName(properties_[i].name, name))
            return i;
    }
    return -1;
}

qint32 LegacyView::integer(int property, int row) const {
    return columns(property, 'I', row).integers.at(row);
}

QByteArrayView LegacyView::bytes(int property, int row) const {
    const Columns& c = columns(property, 'S', row);
    QByteArrayView item;
    const auto memo = std::lower_bound(c.memos.begin(), c.memos.end(), qint64(row),
                                       [](const auto& entry, qint64 r) { return entry.first < r; });
    if (memo != c.memos.end() && memo->first == row)
        item = QByteArrayView(memo->second.data, memo->second.size);
    else if (!c.starts.empty())
        item = QByteArrayView(c.data.data + c.starts[row], c.starts[row + 1] - c.starts[row]);
    if (item.isEmpty())
        return {};
    const void* nul = std::memchr(item.data(), 0, item.size());
    return nul ? item.first(static_cast<const char*>(nul) - item.data()) : item;
}

QString LegacyView::text(int property, int row) const {
    const QByteArrayView item = bytes(property, row);
    const auto& table = Cp1251();
    QString text(item.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : item)
        *out++ = QChar(table[uchar(byte)]);
    return text;
}

// ---------------------------------------------------------------------------------------
// LegacyFile

LegacyFile::LegacyFile() = default;

LegacyFile::~LegacyFile() {
    if (file_ && owned_.isNull() && data_)
        file_->unmap(const_cast<uchar*>(data_));
}

std::unique_ptr<LegacyFile> LegacyFile::open(const QString& path) {
    std::unique_ptr<LegacyFile> legacy(new LegacyFile);
    legacy->file_ = std::make_unique<QFile>(path);
    QFile& file = *legacy->file_;
    if (!file.open(QIODevice::ReadOnly)) {
        throw LegacyFileError(
            Kind::Unreadable,
            QStringLiteral("его не удалось прочитать (%1)").arg(file.errorString()));
    }
    legacy->size_ = file.size();
    if (legacy->size_ < kMinimumSize)
        Damaged("файл слишком короткий");
    legacy->data_ = file.map(0, legacy->size_);
    if (!legacy->data_) {
        // Some file systems cannot map files: read the bytes instead.
        legacy->owned_ = file.readAll();
        if (legacy->owned_.size() != legacy->size_) {
            throw LegacyFileError(
                Kind::Unreadable,
                QStringLiteral("его не удалось прочитать (%1)").arg(file.errorString()));
        }
        legacy->data_ = reinterpret_cast<const uchar*>(legacy->owned_.constData());
    }
    LegacyParser(*legacy).parse();
    return legacy;
}

std::unique_ptr<LegacyFile> LegacyFile::fromBytes(const QByteArray& bytes) {
    std::unique_ptr<LegacyFile> legacy(new LegacyFile);
    legacy->owned_ = bytes.isNull() ? QByteArray("") : bytes;
    legacy->data_ = reinterpret_cast<const uchar*>(legacy->owned_.constData());
    legacy->size_ = legacy->owned_.size();
    LegacyParser(*legacy).parse();
    return legacy;
}

const LegacyView* LegacyFile::view(const QString& name) const {
    for (const LegacyView& candidate : views_) {
        if (SameName(candidate.name(), name))
            return &candidate;
    }
    return nullptr;
}

bool LooksLikeLegacyFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(kMarkerSize);
    if (head.size() == kMarkerSize && (head.startsWith("JL") || head.startsWith("LJ")) &&
        head[2] == '\x1A')
        return true;
    // A file whose data were appended to other bytes: the tail leads back to the header.
    const qint64 size = file.size();
    if (size < kMinimumSize || !file.seek(size - 2 * kMarkerSize))
        return false;
    const QByteArray tail = file.read(2 * kMarkerSize);
    if (tail.size() != 2 * kMarkerSize)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(tail.constData());
    const Marker skip{bytes};
    const Marker commit{bytes + kMarkerSize};
    const qint64 base = size - 2 * kMarkerSize - skip.offset();
    if (!skip.isSkip() || !commit.isCommit() || base < 0 || !file.seek(base))
        return false;
    const QByteArray header = file.read(kMarkerSize);
    return header.size() == kMarkerSize &&
           ReadHeaderKind(reinterpret_cast<const uchar*>(header.constData())) ==
               HeaderKind::Current;
}

}  // namespace storage
