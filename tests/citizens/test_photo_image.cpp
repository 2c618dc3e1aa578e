#include <gtest/gtest.h>

#include <QDir>

#include "citizens/Base64.h"
#include "citizens/PhotoImage.h"
#include "citizens/PhotoTesting.h"
#include "support/QtPrinters.h"
#include "support/TestFolder.h"

inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << "x" << size.height();
}

using namespace citizens;
using namespace photo_testing;

namespace {

RawImage Decoded(const QByteArray& jpeg) {
    std::optional<RawImage> image = DecodeJpeg(jpeg);
    EXPECT_TRUE(image.has_value());
    return image.value_or(RawImage());
}

struct Cut {
    int width;
    int height;
    int cutWidth;
    int cutHeight;
};

class PhotoCutTest : public ::testing::TestWithParam<Cut> {};

}  // namespace

// The top-left part 3A by 4A stays, A = min(height div 4, width div 3); the picture is red on
// the columns that stay and blue on the others, so a wrong side shows as blue.
TEST_P(PhotoCutTest, TopLeftThreeByFourPartStays) {
    const Cut cut = GetParam();
    const QByteArray source = Jpeg(RedThenBlue(cut.width, cut.height, cut.cutWidth));
    const std::optional<QByteArray> photo = NormalisePhoto(source);
    ASSERT_TRUE(photo.has_value());
    EXPECT_EQ(JpegSize(*photo), QSize(cut.cutWidth, cut.cutHeight));
    const RawImage image = Decoded(*photo);
    ASSERT_FALSE(image.isNull());
    for (const int x : {0, cut.cutWidth / 2, cut.cutWidth - 4})
        EXPECT_TRUE(Near(PixelAt(image, x, cut.cutHeight - 1), kRed)) << "column " << x;
}

INSTANTIATE_TEST_SUITE_P(Cuts, PhotoCutTest,
                         ::testing::Values(Cut{600, 800, 600, 800}, Cut{640, 480, 360, 480},
                                           Cut{300, 300, 225, 300}, Cut{601, 803, 600, 800},
                                           Cut{3, 4, 3, 4}));

TEST(PhotoImage, WhatIsNoCompleteJpegIsRefused) {
    const QByteArray jpeg = Jpeg(Portrait(300, 400));
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") + jpeg.mid(16);
    const struct {
        const char* what;
        QByteArray data;
        bool showable;
    } cases[] = {
        {"empty", {}, false},
        {"png", png, false},
        {"text", QByteArray("not a picture at all"), false},
        {"header only", jpeg.left(600), false},
        {"cut in half", jpeg.left(jpeg.size() / 2), false},
        {"cut before the end marker", jpeg.left(jpeg.size() - 200), false},
        {"smaller than 3 by 4", Jpeg(Portrait(2, 2)), true},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(NormalisePhoto(c.data).has_value()) << c.what;
        EXPECT_EQ(DecodeJpegForDisplay(c.data, {189, 253}).has_value(), c.showable) << c.what;
    }
    // Bytes after the end marker are no damage.
    EXPECT_TRUE(NormalisePhoto(jpeg + QByteArray(1000, 'x')).has_value());
}

// Phone photos lie on their side and say so in EXIF: the cut is made on the upright picture.
// Stored quarters: top left red, top right green, bottom left blue, bottom right white.
TEST(PhotoImage, ExifOrientationIsHonouredBeforeTheCut) {
    const struct {
        int orientation;
        Rgb topLeft;
        Rgb topRight;
    } cases[] = {
        {1, kRed, kGreen}, {2, kGreen, kRed}, {3, kWhite, kBlue},  {4, kBlue, kWhite},
        {5, kRed, kBlue},  {6, kBlue, kRed},  {7, kWhite, kGreen}, {8, kGreen, kWhite},
    };
    for (const auto& c : cases) {
        const bool turned = c.orientation >= 5;
        // Upright always 300 by 400, so the whole picture stays.
        const QByteArray stored = Jpeg(turned ? Quarters(400, 300) : Quarters(300, 400));
        for (const bool little : {false, true}) {
            const QByteArray phone = WithOrientation(stored, c.orientation, little);
            ASSERT_EQ(ExifOrientation(phone), c.orientation);
            const std::optional<QByteArray> photo = NormalisePhoto(phone);
            ASSERT_TRUE(photo.has_value()) << c.orientation;
            EXPECT_EQ(JpegSize(*photo), QSize(300, 400)) << c.orientation;
            EXPECT_EQ(ExifOrientation(*photo), 1) << "the photo is kept upright";
            const RawImage image = Decoded(*photo);
            EXPECT_TRUE(Near(PixelAt(image, 10, 10), c.topLeft))
                << c.orientation << " top left " << PixelAt(image, 10, 10);
            EXPECT_TRUE(Near(PixelAt(image, 289, 10), c.topRight))
                << c.orientation << " top right " << PixelAt(image, 289, 10);
        }
    }
    // A tall photo lying on its side is cut as the tall picture it shows (unturned it would
    // give 225 by 300).
    const QByteArray sideways = WithOrientation(Jpeg(Quarters(800, 300)), 6);
    EXPECT_EQ(JpegSize(NormalisePhoto(sideways).value_or(QByteArray())), QSize(300, 400));
}

TEST(PhotoImage, LargePictureIsMadeSmallerUntilItFitsTheStoreKeepingThreeByFour) {
    const QByteArray scan = Jpeg(Noise(1500, 2000), 95);
    ASSERT_GT(scan.size(), 2 * kMaxPhotoBytes);
    const std::optional<QByteArray> photo = NormalisePhoto(scan);
    ASSERT_TRUE(photo.has_value());
    EXPECT_LE(photo->size(), kMaxPhotoBytes);
    const QSize size = JpegSize(*photo);
    EXPECT_EQ(size.width() * 4, size.height() * 3) << size.width() << "x" << size.height();
    EXPECT_LT(size.width(), 1500);
    // What the store then keeps decodes back to the same photo.
    QString text;
    ASSERT_EQ(EncodeBase64(*photo, text, kPhotoTextCapacity).code, kBase64Done);
    QByteArray back;
    ASSERT_EQ(DecodeBase64(text, back, kPhotoDataCapacity).code, kBase64Done);
    EXPECT_EQ(back, *photo);

    // A stored photo over the limit is fitted as it stands; one within it is kept byte for byte.
    const std::optional<QByteArray> fitted = FitPhotoToStore(scan);
    ASSERT_TRUE(fitted.has_value());
    EXPECT_LE(fitted->size(), kMaxPhotoBytes);
    const QSize fittedSize = JpegSize(*fitted);
    EXPECT_NEAR(double(fittedSize.width()) / fittedSize.height(), 0.75, 0.01);
    const QByteArray small = Jpeg(Portrait(300, 400));
    EXPECT_EQ(FitPhotoToStore(small).value_or(QByteArray()), small);
    EXPECT_FALSE(FitPhotoToStore(QByteArray(kMaxPhotoBytes + 1, 'x')).has_value());
}

TEST(PhotoImage, VeryLargePictureIsCutAtAReducedScale) {
    const QByteArray huge = Jpeg(RedThenBlue(4000, 6000, 4000), 50);
    const QSize size = JpegSize(NormalisePhoto(huge).value_or(QByteArray()));
    EXPECT_LE(size.height(), kMaxWorkingHeight);
    EXPECT_EQ(size.width() * 4, size.height() * 3);
}

TEST(PhotoImage, DisplayDecodingCoversTheAreaAtAReducedScale) {
    const QByteArray jpeg = Jpeg(Portrait(1600, 2000));
    const std::optional<RawImage> shown = DecodeJpegForDisplay(jpeg, {189, 253});
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->width, 400);  // a quarter covers 189 by 253; an eighth would not
    EXPECT_EQ(shown->height, 500);
    const std::optional<RawImage> grey =
        DecodeJpegForDisplay(Jpeg(RawImage(60, 80, 1)), {189, 253});
    ASSERT_TRUE(grey.has_value());
    EXPECT_EQ(grey->channels, 1);
    EXPECT_EQ(grey->width, 60);
}

TEST(PhotoImage, PhotoFileSizeLimitAndUnreadableFiles) {
    TestFolder folder;
    const QByteArray jpeg = Jpeg(Portrait(600, 800));
    ASSERT_LT(jpeg.size(), kMaxPhotoFileBytes);
    // Bytes after the end marker make a JPEG file of any size.
    const QByteArray largest = jpeg + QByteArray(kMaxPhotoFileBytes - jpeg.size(), '\0');
    folder.write("largest.jpg", largest);
    folder.write("too-large.jpg", largest + '\0');
    folder.write("empty.jpg", {});
    folder.write("picture.png.jpg", QByteArray::fromHex("89504e470d0a1a0a") + jpeg);
    folder.write("half.jpg", jpeg.left(jpeg.size() / 2));
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.jpg"));

    const PhotoFile loaded = LoadPhotoFile(folder.file("largest.jpg"));
    EXPECT_EQ(loaded.status, PhotoFileStatus::Loaded);
    EXPECT_EQ(JpegSize(loaded.jpeg), QSize(600, 800));
    EXPECT_EQ(LoadPhotoFile(folder.file("too-large.jpg")).status, PhotoFileStatus::TooLarge);
    for (const char* name : {"empty.jpg", "picture.png.jpg", "half.jpg", "folder.jpg", "none.jpg"})
        EXPECT_EQ(LoadPhotoFile(folder.file(name)).status, PhotoFileStatus::NotJpeg) << name;
}
