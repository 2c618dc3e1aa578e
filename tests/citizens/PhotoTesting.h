#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <ostream>

#include "citizens/PhotoImage.h"

// Pictures made for the photo tests.
namespace photo_testing {

struct Rgb {
    int r;
    int g;
    int b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kWhite{255, 255, 255};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << '(' << c.r << ',' << c.g << ',' << c.b << ')';
}

// A picture whose four quarters have their own colour: top left red, top right green, bottom
// left blue, bottom right white.
inline citizens::RawImage Quarters(int width, int height) {
    citizens::RawImage image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            const Rgb colour = !bottom ? (right ? kGreen : kRed) : (right ? kWhite : kBlue);
            row[x * 3] = uchar(colour.r);
            row[x * 3 + 1] = uchar(colour.g);
            row[x * 3 + 2] = uchar(colour.b);
        }
    }
    return image;
}

// A picture red up to column `redColumns` and blue after it.
inline citizens::RawImage RedThenBlue(int width, int height, int redColumns) {
    citizens::RawImage image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const bool red = x < redColumns;
            row[x * 3] = red ? 255 : 0;
            row[x * 3 + 1] = 0;
            row[x * 3 + 2] = red ? 0 : 255;
        }
    }
    return image;
}

// Noise, which JPEG cannot compress: a large scan that does not fit the store as it is.
inline citizens::RawImage Noise(int width, int height, quint32 seed = 7) {
    citizens::RawImage image(width, height, 3);
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = char(random.bounded(256));
    return image;
}

// Something like a portrait: a face (skin ellipse, eyes, mouth) on a soft blue gradient,
// with a little grain so that it compresses as a photo does.
inline citizens::RawImage Portrait(int width, int height, int grain = 12) {
    citizens::RawImage image(width, height, 3);
    QRandomGenerator random(11);
    const double cx = width / 2.0;
    const double cy = height * 0.42;
    const double rx = width * 0.28;
    const double ry = height * 0.27;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const double t = double(y) / height;
            double r = 150 + 60 * t, g = 175 + 50 * t, b = 215 + 30 * t;
            const double dx = (x - cx) / rx;
            const double dy = (y - cy) / ry;
            const double shoulders = (x - cx) / (width * 0.45);
            if (y > height * 0.72 &&
                shoulders * shoulders + std::pow((y - height) / (height * 0.3), 2) < 1) {
                r = 60, g = 70, b = 95;  // jacket
            }
            if (dx * dx + dy * dy < 1) {
                r = 232 - 30 * dy, g = 190 - 25 * dy, b = 160 - 20 * dy;  // face
                const double ex = std::abs(x - cx) - rx * 0.38;
                const double ey = y - (cy - ry * 0.18);
                if (ex * ex + ey * ey < std::pow(width * 0.028, 2))
                    r = 50, g = 40, b = 35;  // eyes
                const double mx = (x - cx) / (rx * 0.38);
                const double my = (y - (cy + ry * 0.45)) / (ry * 0.07);
                if (mx * mx + my * my < 1)
                    r = 170, g = 70, b = 70;  // mouth
            }
            if (dy < -0.55 && dx * dx + dy * dy < 1.25 && dy > -1.15)
                r = 70, g = 45, b = 30;  // hair
            const int noise = grain > 0 ? int(random.bounded(2 * grain + 1)) - grain : 0;
            row[x * 3] = uchar(std::clamp(int(r) + noise, 0, 255));
            row[x * 3 + 1] = uchar(std::clamp(int(g) + noise, 0, 255));
            row[x * 3 + 2] = uchar(std::clamp(int(b) + noise, 0, 255));
        }
    }
    return image;
}

inline QByteArray Jpeg(const citizens::RawImage& image, int quality = 90) {
    return citizens::EncodeJpeg(image, quality);
}

// The JPEG data with an EXIF block saying `orientation` put right after the start marker.
inline QByteArray WithOrientation(const QByteArray& jpeg, int orientation,
                                  bool littleEndian = false) {
    const auto u16 = [littleEndian](int v) {
        QByteArray b(2, '\0');
        b[littleEndian ? 0 : 1] = char(v & 0xFF);
        b[littleEndian ? 1 : 0] = char((v >> 8) & 0xFF);
        return b;
    };
    const auto u32 = [&u16, littleEndian](int v) {
        return littleEndian ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF);
    };
    QByteArray tiff = littleEndian ? QByteArray("II") : QByteArray("MM");
    tiff += u16(42) + u32(8);
    tiff += u16(1);  // one entry
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0);
    tiff += u32(0);  // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(payload.size()) + 2;
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// The colour of a pixel, and whether it is near another colour (JPEG blurs a little).
inline Rgb PixelAt(const citizens::RawImage& image, int x, int y) {
    const uchar* p = image.row(y) + qsizetype(x) * image.channels;
    return image.channels == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[0], p[1], p[2]};
}

inline bool Near(const Rgb& a, const Rgb& b, int tolerance = 40) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

}  // namespace photo_testing
