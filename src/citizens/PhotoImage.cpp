#include "citizens/PhotoImage.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "citizens/Base64.h"

namespace citizens {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back to
// the call that started the work. The jump only crosses libjpeg's own frames and locals
// without destructors. Warnings that mean lost picture data (a file cut off, a damaged
// stream) mark the picture damaged; harmless ones (stray bytes between markers) do not.
struct ErrorManager {
    jpeg_error_mgr base;  // first, so that libjpeg's pointer is also ours
    std::jmp_buf jump;
    bool damaged;
};

ErrorManager& Manager(j_common_ptr info) {
    return *reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(Manager(info).jump, 1);
}

bool LosesPictureData(int code) {
    switch (code) {
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_JPEG_EOF:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
            return true;
        default:
            return false;
    }
}

void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0)
        return;  // a trace message
    ErrorManager& manager = Manager(info);
    ++manager.base.num_warnings;
    if (LosesPictureData(manager.base.msg_code))
        manager.damaged = true;
}

void InstallErrorManager(ErrorManager& manager) {
    jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.emit_message = EmitMessage;
    manager.damaged = false;
}

int ReadU16(const uchar* at, bool littleEndian) {
    return littleEndian ? at[0] | (at[1] << 8) : (at[0] << 8) | at[1];
}

quint32 ReadU32(const uchar* at, bool littleEndian) {
    const quint32 low = quint32(ReadU16(littleEndian ? at : at + 2, littleEndian));
    const quint32 high = quint32(ReadU16(littleEndian ? at + 2 : at, littleEndian));
    return (high << 16) | low;
}

// The orientation tag (0x0112) of the first image directory of an EXIF block
// ("Exif\0\0", then a TIFF header); 1 when there is none or the block is malformed.
int OrientationOfExif(const uchar* data, size_t size) {
    static const char kExif[] = "Exif\0";
    if (size < 6 + 8 || std::memcmp(data, kExif, 6) != 0)
        return 1;
    const uchar* tiff = data + 6;
    const size_t length = size - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return 1;
    if (ReadU16(tiff + 2, little) != 42)
        return 1;
    const size_t directory = ReadU32(tiff + 4, little);
    if (directory > length - 2)
        return 1;
    const int entries = ReadU16(tiff + directory, little);
    for (int i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + size_t(i) * 12;
        if (entry + 12 > length)
            break;
        if (ReadU16(tiff + entry, little) != 0x0112)
            continue;
        const int type = ReadU16(tiff + entry + 2, little);  // 3: SHORT
        const int value = ReadU16(tiff + entry + 8, little);
        return type == 3 && value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

// Adobe's CMYK JPEGs keep the inks inverted; others keep them as they are.
void CmykToRgb(const uchar* cmyk, uchar* rgb, int pixels, bool inverted) {
    for (int i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int ink = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = uchar((ink * k + 127) / 255);
        }
    }
}

// One decoding of JPEG data from memory.
class Decoder {
public:
    explicit Decoder(QByteArrayView data) : data_(data) { InstallErrorManager(errors_); }
    ~Decoder() {
        if (created_)
            jpeg_destroy_decompress(&info_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool ReadHeader(bool keepExif) {
        if (data_.isEmpty())
            return false;
        info_.err = &errors_.base;
        if (setjmp(errors_.jump))
            return false;
        created_ = true;
        jpeg_create_decompress(&info_);
        jpeg_mem_src(&info_, reinterpret_cast<const uchar*>(data_.data()),
                     static_cast<unsigned long>(data_.size()));
        if (keepExif)
            jpeg_save_markers(&info_, JPEG_APP0 + 1, 0xFFFF);
        return jpeg_read_header(&info_, TRUE) == JPEG_HEADER_OK;
    }

    int StoredWidth() const { return int(info_.image_width); }
    int StoredHeight() const { return int(info_.image_height); }

    int Orientation() const {
        for (jpeg_saved_marker_ptr marker = info_.marker_list; marker; marker = marker->next) {
            if (marker->marker == JPEG_APP0 + 1)
                return OrientationOfExif(marker->data, marker->data_length);
        }
        return 1;
    }

    // Starts decoding at scale `eighths`/8: grey stays grey, CMYK is read as CMYK and
    // turned into RGB row by row, everything else comes as RGB.
    bool Start(int eighths) {
        if (setjmp(errors_.jump))
            return false;
        switch (info_.jpeg_color_space) {
            case JCS_GRAYSCALE:
                info_.out_color_space = JCS_GRAYSCALE;
                break;
            case JCS_CMYK:
            case JCS_YCCK:
                info_.out_color_space = JCS_CMYK;
                break;
            default:
                info_.out_color_space = JCS_RGB;
                break;
        }
        info_.scale_num = unsigned(eighths);
        info_.scale_denom = 8;
        return jpeg_start_decompress(&info_) == TRUE;
    }

    int OutputWidth() const { return int(info_.output_width); }
    int OutputHeight() const { return int(info_.output_height); }
    int PixelChannels() const { return info_.out_color_components == 1 ? 1 : 3; }

    // Reads the columns [x, x + out.width) of the rows [y, y + out.height) into `out`, then
    // goes through the rest of the picture, so that damage anywhere is found.
    bool ReadRegion(int x, int y, RawImage& out) {
        rowBuffer_.resize(qsizetype(info_.output_width) * info_.out_color_components);
        // No local of this frame lives across the jump: the work is in its own frame.
        if (setjmp(errors_.jump))
            return false;
        return ReadRows(x, y, out);
    }

private:
    bool ReadRows(int x, int y, RawImage& out) {
        // Decoding one block column wider keeps the last column identical to a full decode.
        JDIMENSION cropX = JDIMENSION(x);
        JDIMENSION cropWidth = JDIMENSION(std::min(out.width + 16, OutputWidth() - x));
        if (cropX != 0 || cropWidth != info_.output_width)
            jpeg_crop_scanline(&info_, &cropX, &cropWidth);
        if (y > 0)
            jpeg_skip_scanlines(&info_, JDIMENSION(y));
        for (int r = 0; r < out.height; ++r) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(rowBuffer_.data());
            if (jpeg_read_scanlines(&info_, &row, 1) != 1)
                return false;
            CopyColumns(x - int(cropX), out.width, out.row(r));
        }
        jpeg_skip_scanlines(&info_, info_.output_height - info_.output_scanline);
        jpeg_finish_decompress(&info_);
        return !errors_.damaged;
    }

    void CopyColumns(int from, int count, uchar* target) const {
        const int components = info_.out_color_components;
        const uchar* source =
            reinterpret_cast<const uchar*>(rowBuffer_.constData()) + qsizetype(from) * components;
        if (components == 4)
            CmykToRgb(source, target, count, info_.saw_Adobe_marker);
        else
            std::memcpy(target, source, size_t(count) * size_t(components));
    }

    QByteArrayView data_;
    jpeg_decompress_struct info_{};
    ErrorManager errors_{};
    bool created_ = false;
    QByteArray rowBuffer_;
};

// One encoding into memory.
class Encoder {
public:
    Encoder() { InstallErrorManager(errors_); }
    ~Encoder() {
        if (created_)
            jpeg_destroy_compress(&info_);
        std::free(buffer_);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    bool Encode(const RawImage& image, int quality) {
        info_.err = &errors_.base;
        if (setjmp(errors_.jump))
            return false;
        created_ = true;
        jpeg_create_compress(&info_);
        jpeg_mem_dest(&info_, &buffer_, &size_);
        info_.image_width = JDIMENSION(image.width);
        info_.image_height = JDIMENSION(image.height);
        info_.input_components = image.channels;
        info_.in_color_space = image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        jpeg_start_compress(&info_, TRUE);
        while (info_.next_scanline < info_.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(image.row(int(info_.next_scanline)));
            jpeg_write_scanlines(&info_, &row, 1);
        }
        jpeg_finish_compress(&info_);
        return true;
    }

    QByteArray Data() const {
        return QByteArray(reinterpret_cast<const char*>(buffer_), qsizetype(size_));
    }

private:
    jpeg_compress_struct info_{};
    ErrorManager errors_{};
    bool created_ = false;
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

std::optional<RawImage> DecodeAtScale(Decoder& decoder, int eighths) {
    if (!decoder.Start(eighths))
        return std::nullopt;
    RawImage image(decoder.OutputWidth(), decoder.OutputHeight(), decoder.PixelChannels());
    if (!decoder.ReadRegion(0, 0, image))
        return std::nullopt;
    return image;
}

// The largest decoder scale (in eighths) at which a cut `cutHeight` pixels high stays
// within kMaxWorkingHeight.
int WorkingScale(int cutHeight) {
    for (int eighths = 8; eighths > 1; --eighths) {
        if ((qint64(cutHeight) * eighths + 7) / 8 <= kMaxWorkingHeight)
            return eighths;
    }
    return 1;
}

// Where an upright pixel (u, v) lies in the stored picture (width by height) of an EXIF
// orientation.
struct Point {
    int x;
    int y;
};

Point StoredPoint(int orientation, int u, int v, int width, int height) {
    switch (orientation) {
        case 2:
            return {width - 1 - u, v};
        case 3:
            return {width - 1 - u, height - 1 - v};
        case 4:
            return {u, height - 1 - v};
        case 5:
            return {v, u};
        case 6:
            return {v, height - 1 - u};
        case 7:
            return {width - 1 - v, height - 1 - u};
        case 8:
            return {width - 1 - v, u};
        default:
            return {u, v};
    }
}

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

// The part of the stored picture that shows the upright rectangle (0, 0, width, height).
Rect StoredRect(int orientation, int width, int height, int storedWidth, int storedHeight) {
    const Point a = StoredPoint(orientation, 0, 0, storedWidth, storedHeight);
    const Point b = StoredPoint(orientation, width - 1, height - 1, storedWidth, storedHeight);
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    return {left, top, std::max(a.x, b.x) - left + 1, std::max(a.y, b.y) - top + 1};
}

// The upright picture (width by height) from the stored part `region` found at `at`.
RawImage Upright(const RawImage& region, Rect at, int orientation, int width, int height,
                 int storedWidth, int storedHeight) {
    RawImage upright(width, height, region.channels);
    const int channels = region.channels;
    for (int v = 0; v < height; ++v) {
        uchar* target = upright.row(v);
        for (int u = 0; u < width; ++u) {
            const Point p = StoredPoint(orientation, u, v, storedWidth, storedHeight);
            const uchar* source = region.row(p.y - at.y) + qsizetype(p.x - at.x) * channels;
            std::memcpy(target + qsizetype(u) * channels, source, size_t(channels));
        }
    }
    return upright;
}

}  // namespace

RawImage::RawImage(int width_, int height_, int channels_)
    : width(width_)
    , height(height_)
    , channels(channels_)
    , pixels(qsizetype(width_) * channels_ * height_, Qt::Uninitialized) {}

const uchar* RawImage::row(int y) const {
    return reinterpret_cast<const uchar*>(pixels.constData()) + y * rowBytes();
}

uchar* RawImage::row(int y) {
    return reinterpret_cast<uchar*>(pixels.data()) + y * rowBytes();
}

QSize JpegSize(QByteArrayView jpeg) {
    Decoder decoder(jpeg);
    if (!decoder.ReadHeader(false))
        return {};
    return {decoder.StoredWidth(), decoder.StoredHeight()};
}

int ExifOrientation(QByteArrayView jpeg) {
    Decoder decoder(jpeg);
    return decoder.ReadHeader(true) ? decoder.Orientation() : 1;
}

std::optional<RawImage> DecodeJpeg(QByteArrayView jpeg) {
    Decoder decoder(jpeg);
    if (!decoder.ReadHeader(false))
        return std::nullopt;
    return DecodeAtScale(decoder, 8);
}

std::optional<RawImage> DecodeJpegForDisplay(QByteArrayView jpeg, QSize atLeast) {
    Decoder decoder(jpeg);
    if (!decoder.ReadHeader(false))
        return std::nullopt;
    // The reduced scales the decoder is fastest at.
    int eighths = 1;
    while (eighths < 8 && ((qint64(decoder.StoredWidth()) * eighths + 7) / 8 < atLeast.width() ||
                           (qint64(decoder.StoredHeight()) * eighths + 7) / 8 < atLeast.height()))
        eighths *= 2;
    return DecodeAtScale(decoder, eighths);
}

QByteArray EncodeJpeg(const RawImage& image, int quality) {
    if (image.isNull() || (image.channels != 1 && image.channels != 3) ||
        image.pixels.size() < image.rowBytes() * image.height)
        return {};
    Encoder encoder;
    return encoder.Encode(image, quality) ? encoder.Data() : QByteArray();
}

RawImage ScaledDown(const RawImage& image, int width, int height) {
    RawImage scaled(width, height, image.channels);
    const int channels = image.channels;
    std::vector<int> left(size_t(width) + 1);
    for (int x = 0; x <= width; ++x)
        left[size_t(x)] = int(qint64(x) * image.width / width);
    std::vector<quint32> sums(size_t(width) * size_t(channels));
    for (int y = 0; y < height; ++y) {
        const int top = int(qint64(y) * image.height / height);
        const int bottom = std::max(top + 1, int(qint64(y + 1) * image.height / height));
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = top; sy < bottom; ++sy) {
            const uchar* source = image.row(sy);
            for (int x = 0; x < width; ++x) {
                const int end = std::max(left[size_t(x)] + 1, left[size_t(x) + 1]);
                quint32* sum = &sums[size_t(x) * size_t(channels)];
                for (int sx = left[size_t(x)]; sx < end; ++sx) {
                    for (int c = 0; c < channels; ++c)
                        sum[c] += source[sx * channels + c];
                }
            }
        }
        uchar* target = scaled.row(y);
        for (int x = 0; x < width; ++x) {
            const int columns = std::max(1, left[size_t(x) + 1] - left[size_t(x)]);
            const quint32 count = quint32(columns * (bottom - top));
            for (int c = 0; c < channels; ++c) {
                const size_t i = size_t(x) * size_t(channels) + size_t(c);
                target[i] = uchar((sums[i] + count / 2) / count);
            }
        }
    }
    return scaled;
}

QByteArray EncodeToFitStore(const RawImage& image) {
    QByteArray data = EncodeJpeg(image, kPhotoQuality);
    const bool threeByFour = image.width % 3 == 0 && image.width / 3 * 4 == image.height;
    int width = image.width;
    int height = image.height;
    while (data.size() > kMaxPhotoBytes) {
        // The encoded size goes roughly with the number of pixels.
        const double factor = std::sqrt(double(kMaxPhotoBytes) / double(data.size())) * 0.95;
        if (threeByFour) {
            const int unit = width / 3;
            if (unit <= 1)
                return {};
            const int smaller = std::clamp(int(unit * factor), 1, unit - 1);
            width = 3 * smaller;
            height = 4 * smaller;
        } else {
            if (width <= 1 && height <= 1)
                return {};
            const int newWidth = std::clamp(int(width * factor), 1, std::max(1, width - 1));
            height = std::max(1, int(std::lround(double(height) * newWidth / width)));
            width = newWidth;
        }
        data = EncodeJpeg(ScaledDown(image, width, height), kPhotoQuality);
        if (data.isEmpty())
            return {};
    }
    return data;
}

std::optional<QByteArray> NormalisePhoto(QByteArrayView jpeg) {
    Decoder decoder(jpeg);
    if (!decoder.ReadHeader(true))
        return std::nullopt;
    const int orientation = decoder.Orientation();
    const bool turned = orientation >= 5;
    const auto cutUnit = [turned](int storedWidth, int storedHeight) {
        const int width = turned ? storedHeight : storedWidth;
        const int height = turned ? storedWidth : storedHeight;
        return std::min(height / 4, width / 3);
    };
    const int fullUnit = cutUnit(decoder.StoredWidth(), decoder.StoredHeight());
    if (fullUnit == 0)
        return std::nullopt;
    if (!decoder.Start(WorkingScale(4 * fullUnit)))
        return std::nullopt;
    const int storedWidth = decoder.OutputWidth();
    const int storedHeight = decoder.OutputHeight();
    const int unit = cutUnit(storedWidth, storedHeight);
    if (unit == 0)
        return std::nullopt;
    const int width = 3 * unit;
    const int height = 4 * unit;
    const Rect at = StoredRect(orientation, width, height, storedWidth, storedHeight);
    RawImage region(at.width, at.height, decoder.PixelChannels());
    if (!decoder.ReadRegion(at.x, at.y, region))
        return std::nullopt;
    const RawImage upright = orientation == 1 ? region
                                              : Upright(region, at, orientation, width, height,
                                                        storedWidth, storedHeight);
    QByteArray data = EncodeToFitStore(upright);
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

std::optional<QByteArray> FitPhotoToStore(const QByteArray& jpeg) {
    if (jpeg.size() <= kMaxPhotoBytes)
        return jpeg;
    const std::optional<RawImage> image = DecodeJpeg(jpeg);
    if (!image)
        return std::nullopt;
    QByteArray data = EncodeToFitStore(*image);
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

PhotoFile LoadPhotoFile(const QString& path) {
    if (QFileInfo(path).size() > kMaxPhotoFileBytes)
        return {PhotoFileStatus::TooLarge, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {PhotoFileStatus::NotJpeg, {}};
    const std::optional<QByteArray> photo = NormalisePhoto(file.read(kPhotoFileReadLimit));
    if (!photo)
        return {PhotoFileStatus::NotJpeg, {}};
    return {PhotoFileStatus::Loaded, *photo};
}

}  // namespace citizens
