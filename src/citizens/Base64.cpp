#include "citizens/Base64.h"

namespace citizens {

namespace {

// The value of each alphabet character; -1 for any other character.
struct SextetTable {
    qint8 value[128];
    constexpr SextetTable() : value() {
        for (qint8& v : value)
            v = -1;
        for (int i = 0; i < 26; ++i) {
            value['A' + i] = static_cast<qint8>(i);
            value['a' + i] = static_cast<qint8>(26 + i);
        }
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<qint8>(52 + i);
        value['+'] = 62;
        value['/'] = 63;
    }
};
constexpr SextetTable kSextets;

}  // namespace

Base64Result EncodeBase64(QByteArrayView bytes, QString& text, qsizetype capacity) {
    const qsizetype length = (bytes.size() + 2) / 3 * 4;
    if (length + 1 > capacity)
        return {kBase64BufferTooSmall, length + 1};
    text = QString::fromLatin1(QByteArray::fromRawData(bytes.data(), bytes.size()).toBase64());
    return {kBase64Done, length};
}

// One pass over the text into a buffer of the largest size it can give (a photo of half a
// megabyte is shown on every opening of a citizen).
Base64Result DecodeBase64(QStringView text, QByteArray& bytes, qsizetype capacity) {
    QByteArray decoded(text.size() * 3 / 4 + 1, Qt::Uninitialized);
    char* out = decoded.data();
    quint32 bits = 0;
    int count = 0;
    int padding = 0;
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    for (; c != end; ++c) {
        if (*c == u'\n')
            continue;
        if (*c == u'\r' && c + 1 != end && c[1] == u'\n') {
            ++c;
            continue;
        }
        if (*c == u'=') {
            if (++padding > 2)
                return {kBase64NotBase64, 0};
            continue;
        }
        const int sextet = *c < 128 ? kSextets.value[*c] : -1;
        if (sextet < 0 || padding > 0)
            return {kBase64NotBase64, 0};
        bits = (bits << 6) | static_cast<quint32>(sextet);
        count += 6;
        if (count >= 8) {
            count -= 8;
            *out++ = static_cast<char>((bits >> count) & 0xFF);
        }
    }
    // Whole bytes only: a single character left at the end carries none.
    const qsizetype size = out - decoded.data();
    if (size > capacity)
        return {kBase64BufferTooSmall, size};
    decoded.truncate(size);
    bytes = std::move(decoded);
    return {kBase64Done, size};
}

bool IsStorablePhotoSize(qsizetype jpegBytes) {
    return jpegBytes <= kMaxPhotoBytes;
}

QString PhotoTooLargeMessage(qsizetype jpegBytes) {
    return QStringLiteral(
               "Фотография слишком велика для сохранения: %1 байт, допускается не более %2 "
               "байт. Уменьшите фотографию или выберите другую.")
        .arg(jpegBytes)
        .arg(kMaxPhotoBytes);
}

}  // namespace citizens
