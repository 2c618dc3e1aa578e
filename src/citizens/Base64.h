#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace citizens {

// Result codes of the Base64 conversions.
inline constexpr int kBase64Done = 0;
inline constexpr int kBase64BufferTooSmall = 16;
inline constexpr int kBase64NotBase64 = 18;

struct Base64Result {
    int code = kBase64Done;
    // The text length or the byte count made; with kBase64BufferTooSmall, the capacity that
    // would have been needed.
    qsizetype size = 0;
};

// Standard Base64 (alphabet A-Z, a-z, 0-9, "+", "/"), padded with "=" to a multiple of four
// characters, without line breaks. `capacity` counts the terminating zero of the text
// buffer as well. `text` is changed only when the result is kBase64Done.
Base64Result EncodeBase64(QByteArrayView bytes, QString& text, qsizetype capacity);

// The reverse of EncodeBase64. CR LF pairs and single LFs anywhere in the text are skipped.
// Refused with kBase64NotBase64: a character of code 128 or more, a character outside the
// alphabet other than "=", more than two "=", or an alphabet character after an "=". A last
// group of two or three characters gives one or two bytes, padded or not. `bytes` is
// changed only when the result is kBase64Done.
Base64Result DecodeBase64(QStringView text, QByteArray& bytes, qsizetype capacity);

// Limits of a stored photo. The citizen dialog holds the JPEG data in a buffer of 500,000
// bytes and its text in one of 650,000 characters with the terminating zero, so a storable
// photo has at most 487,497 bytes of JPEG data (649,996 characters of text).
inline constexpr qsizetype kPhotoDataCapacity = 500000;
inline constexpr qsizetype kPhotoTextCapacity = 650000;
inline constexpr qsizetype kMaxPhotoBytes = 487497;

// Whether JPEG data of this size can be stored as a citizen's photo.
bool IsStorablePhotoSize(qsizetype jpegBytes);

// What the user is told when a photo is too large to be stored, and the title of the box.
QString PhotoTooLargeMessage(qsizetype jpegBytes);
inline constexpr char kPhotoTooLargeTitle[] = "Ошибка сохранения фотографии";

}  // namespace citizens
