#include <gtest/gtest.h>

#include "citizens/Base64.h"
#include "support/QtPrinters.h"

using namespace citizens;

TEST(Base64, EncodesGroupsOfThreeWithPadding) {
    struct Case {
        QByteArray bytes;
        const char* text;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "YWJj"},                                  // 3 bytes: 4 characters, no "="
        {"abcd", "YWJjZA=="},                             // 4 bytes: 8 characters, "=="
        {"abcde", "YWJjZGU="},                            //
        {QByteArray("\xff\xd8\xff\xe0", 4), "/9j/4A=="},  // JPEG start: "+" and "/" alphabet
    };
    for (const Case& c : cases) {
        QString text = "unchanged";
        const Base64Result result = EncodeBase64(c.bytes, text, 100);
        EXPECT_EQ(result.code, kBase64Done) << c.text;
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(result.size, text.size());

        QByteArray bytes;
        const Base64Result back = DecodeBase64(text, bytes, 100);
        EXPECT_EQ(back.code, kBase64Done) << c.text;
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(back.size, c.bytes.size());
    }
}

TEST(Base64, DecodingSkipsLineBreaks) {
    // The last: a group without its padding decodes as if padded.
    const char* texts[] = {"YWJj\r\nZA==", "YW\nJjZA==", "\r\nYWJjZA=\r\n=\n", "YWJjZA"};
    for (const char* text : texts) {
        QByteArray bytes;
        const Base64Result result = DecodeBase64(QString::fromLatin1(text), bytes, 100);
        EXPECT_EQ(result.code, kBase64Done) << text;
        EXPECT_EQ(bytes, "abcd") << text;
    }
}

TEST(Base64, RefusesWhatIsNotBase64) {
    const char* texts[] = {
        "YWJj ZA==",   // a blank
        "YWJj\rZA==",  // a CR without its LF
        "YW=j",        // an alphabet character after "="
        "YQ===",       // three "="
        "YWJj-A==",    // outside the alphabet
        "YWJjÀ==",     // a character of code 128 or more
    };
    for (const char* text : texts) {
        QByteArray bytes = "unchanged";
        EXPECT_EQ(DecodeBase64(QString::fromUtf8(text), bytes, 100).code, kBase64NotBase64) << text;
        EXPECT_EQ(bytes, "unchanged");
    }
}

TEST(Base64, TooSmallBufferTellsTheCapacityNeeded) {
    QString text = "unchanged";
    // The text buffer holds a terminating zero as well.
    Base64Result result = EncodeBase64("abc", text, 4);
    EXPECT_EQ(result.code, kBase64BufferTooSmall);
    EXPECT_EQ(result.size, 5);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(EncodeBase64("abc", text, 5).code, kBase64Done);

    QByteArray bytes = "unchanged";
    result = DecodeBase64(u"YWJjZA==", bytes, 3);
    EXPECT_EQ(result.code, kBase64BufferTooSmall);
    EXPECT_EQ(result.size, 4);
    EXPECT_EQ(bytes, "unchanged");
}

TEST(Base64, PhotoLimitFitsTheTextBuffer) {
    QString text;
    const QByteArray largest(kMaxPhotoBytes, '\x55');
    EXPECT_TRUE(IsStorablePhotoSize(largest.size()));
    const Base64Result result = EncodeBase64(largest, text, kPhotoTextCapacity);
    EXPECT_EQ(result.code, kBase64Done);
    EXPECT_EQ(result.size, 649996);

    const QByteArray tooLarge(kMaxPhotoBytes + 1, '\x55');
    EXPECT_FALSE(IsStorablePhotoSize(tooLarge.size()));
    EXPECT_EQ(EncodeBase64(tooLarge, text, kPhotoTextCapacity).code, kBase64BufferTooSmall);
    EXPECT_TRUE(PhotoTooLargeMessage(tooLarge.size()).contains("487498"));
}
