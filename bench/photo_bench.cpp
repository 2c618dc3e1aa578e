// The citizen's photo: a JPEG file of about 200 KB and 2000 by 3000 pixels read and
// normalised (turned upright, cut to 3:4, re-encoded, fitted to the store), and a stored photo
// of about 480 KB shown in the photo area (Base64 decoded, decoded for the area, painted).
// Runs offscreen.
//
//   cmake --build build --target photo_bench && ./build/bench/photo_bench

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "Timing.h"
#include "citizens/Base64.h"
#include "citizens/PhotoImage.h"
#include "citizens/PhotoTesting.h"
#include "citizens/TPhotoArea.h"
#include "gui/Context.h"
#include "storage/Database.h"

using namespace citizens;

namespace {

// The best quality at which the picture encodes to at most `limit` bytes.
QByteArray JpegOfAtMost(const RawImage& image, qsizetype limit) {
    QByteArray best;
    int low = 5;
    int high = 98;
    while (low <= high) {
        const int quality = (low + high) / 2;
        const QByteArray jpeg = EncodeJpeg(image, quality);
        if (jpeg.size() <= limit) {
            best = jpeg;
            low = quality + 1;
        } else {
            high = quality - 1;
        }
    }
    return best;
}

void Describe(const char* what, const QByteArray& jpeg) {
    const QSize size = JpegSize(jpeg);
    std::printf("%s: %lld bytes, %d x %d\n", what, static_cast<long long>(jpeg.size()),
                size.width(), size.height());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;

    const QByteArray file =
        JpegOfAtMost(photo_testing::Portrait(2000, 3000, 6), kMaxPhotoFileBytes);
    Describe("photo file", file);
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    {
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(file);
    }
    Describe("normalised", NormalisePhoto(file).value_or(QByteArray()));
    MeasureMedianMs("file read and normalised (goal 100 ms)", 15, [&] { LoadPhotoFile(path); });
    MeasureMedianMs("  of which the normalising", 15, [&] { NormalisePhoto(file); });

    const QByteArray stored = JpegOfAtMost(photo_testing::Portrait(1500, 2000, 40), 480000);
    Describe("stored photo", stored);
    QString text;
    EncodeBase64(stored, text, kPhotoTextCapacity);
    auto db = storage::Database::open(folder.filePath(QStringLiteral("igdb.dat")));
    gui::Context context{folder.path(), *db};
    TPhotoArea area(context);
    area.show();
    MeasureMedianMs("stored photo shown (goal 30 ms)", 25, [&] {
        area.ShowStoredPhoto(text);
        area.repaint();
    });
    MeasureMedianMs("  of which the Base64 decoding", 25, [&] {
        QByteArray bytes;
        DecodeBase64(text, bytes, kPhotoDataCapacity);
    });
    MeasureMedianMs("  of which the decoding for the area", 25, [&] {
        DecodeJpegForDisplay(stored, {189, 253});
    });
    MeasureMedianMs("  a full decoding, for comparison", 25, [&] { DecodeJpeg(stored); });
    return area.HasPhoto() ? 0 : 1;
}
