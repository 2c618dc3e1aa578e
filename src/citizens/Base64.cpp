#include "citizens/Base64.h"

namespace citizens {

namespace {

// The value of an alphabet character, -1 for any other character.
int SextetOf(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    return -1;
}

// Calls `take` with the value of every alphabet character, skipping line breaks. False when
// the text is refused.
template <typename Take>
bool ForEachSextet(QStringView text, Take take) {
    int padding = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n')
            continue;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
            continue;
        }
        if (c == u'=') {
            if (++padding > 2)
                return false;
            continue;
        }
        const int sextet = SextetOf(c);
        if (sextet < 0 || padding > 0)
            return false;
        take(sextet);
    }
    return true;
}

}  // namespace

Base64Result EncodeBase64(QByteArrayView bytes, QString& text, qsizetype capacity) {
    const qsizetype length = (bytes.size() + 2) / 3 * 4;
    if (length + 1 > capacity)
        return {kBase64BufferTooSmall, length + 1};
    text = QString::fromLatin1(QByteArray::fromRawData(bytes.data(), bytes.size()).toBase64());
    return {kBase64Done, length};
}

Base64Result DecodeBase64(QStringView text, QByteArray& bytes, qsizetype capacity) {
    qsizetype sextets = 0;
    if (!ForEachSextet(text, [&](int) { ++sextets; }))
        return {kBase64NotBase64, 0};
    // Whole bytes only: a single character left at the end carries none.
    const qsizetype size = sextets * 6 / 8;
    if (size > capacity)
        return {kBase64BufferTooSmall, size};

    QByteArray decoded;
    decoded.reserve(size);
    quint32 bits = 0;
    int count = 0;
    ForEachSextet(text, [&](int sextet) {
        bits = (bits << 6) | static_cast<quint32>(sextet);
        count += 6;
        if (count >= 8) {
            count -= 8;
            decoded.append(static_cast<char>((bits >> count) & 0xFF));
        }
    });
    bytes = decoded;
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
