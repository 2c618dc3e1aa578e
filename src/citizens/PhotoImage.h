#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <optional>

namespace citizens {

// A photo file may have at most 200 KB; at most this much of a file is ever read.
inline constexpr qint64 kMaxPhotoFileBytes = 200 * 1024;
inline constexpr qint64 kPhotoFileReadLimit = 500000;

// JPEG quality of a normalised photo, and of a picture delivered by the scanner.
inline constexpr int kPhotoQuality = 85;
inline constexpr int kScanQuality = 80;

// The cut of a very large picture is worked on at a reduced scale, so that it never needs
// more than about 36 MB of memory: its height stays at or below this many pixels.
inline constexpr int kMaxWorkingHeight = 4000;

// Pixels of 8 bits per channel: one channel (grey) or three (red, green, blue), rows from
// top to bottom without padding.
struct RawImage {
    int width = 0;
    int height = 0;
    int channels = 3;
    QByteArray pixels;

    RawImage() = default;
    RawImage(int width_, int height_, int channels_);

    bool isNull() const { return width <= 0 || height <= 0; }
    qsizetype rowBytes() const { return qsizetype(width) * channels; }
    const uchar* row(int y) const;
    uchar* row(int y);
};

// The size of the picture as its header gives it; an invalid size when it is no JPEG.
QSize JpegSize(QByteArrayView jpeg);

// The EXIF orientation of a photo (1 to 8; 1, upright, when it has none or it cannot be read).
int ExifOrientation(QByteArrayView jpeg);

// The whole picture, as stored (no orientation applied). Nothing when the data are no JPEG,
// or a damaged or cut-off one.
std::optional<RawImage> DecodeJpeg(QByteArrayView jpeg);

// The picture at the smallest scale of the decoder that still covers `atLeast` (for a photo
// shown in a small area): much faster than a full decode. Nothing when the data are no JPEG,
// or a damaged or cut-off one.
std::optional<RawImage> DecodeJpegForDisplay(QByteArrayView jpeg, QSize atLeast);

// JPEG data of the pixels; empty when they cannot be encoded.
QByteArray EncodeJpeg(const RawImage& image, int quality);

// The picture reduced to `width` by `height` by averaging the pixels each new pixel covers.
RawImage ScaledDown(const RawImage& image, int width, int height);

// Encodes a picture as a photo the citizen store can hold (at most kMaxPhotoBytes): at
// kPhotoQuality, and when that is too large, again at a smaller size of the same proportions
// until it fits. A picture of 3 by 4 stays exactly 3 by 4.
QByteArray EncodeToFitStore(const RawImage& image);

// A photo as the citizen's photo is kept: turned upright as its EXIF orientation says, cut to
// its top-left part 3A wide and 4A high (A = min(height div 4, width div 3)), re-encoded, and
// made smaller when needed to fit the store. Nothing when the data are no complete JPEG or
// the picture is smaller than 3 by 4 pixels.
std::optional<QByteArray> NormalisePhoto(QByteArrayView jpeg);

// JPEG data the store can hold: the data themselves when they fit, otherwise the picture
// re-encoded smaller. Nothing when they are no complete JPEG.
std::optional<QByteArray> FitPhotoToStore(const QByteArray& jpeg);

// Reading a photo file as the citizen dialog does.
enum class PhotoFileStatus {
    Loaded,    // `jpeg` holds the normalised photo
    TooLarge,  // more than kMaxPhotoFileBytes
    NotJpeg,   // not readable, or not a complete JPEG
};

struct PhotoFile {
    PhotoFileStatus status = PhotoFileStatus::NotJpeg;
    QByteArray jpeg;
};

PhotoFile LoadPhotoFile(const QString& path);

}  // namespace citizens
