#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <random>

#include "storage/LegacyFile.h"
#include "support/LegacyFileBuilder.h"
#include "support/TestFolder.h"

using namespace storage;
using Kind = LegacyFileError::Kind;

namespace {

QByteArray Fixture(const QString& name) {
    QFile file(FixturePath(QStringLiteral("legacy/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A view as the fixtures' dumps show it: strings as text, integers as numbers.
QJsonObject Dump(const LegacyView& view) {
    QJsonArray properties;
    for (const LegacyProperty& property : view.properties())
        properties.append(QJsonArray{property.name, QString(QLatin1Char(property.type))});
    QJsonArray rows;
    for (int row = 0; row < view.rowCount(); ++row) {
        QJsonObject values;
        for (int p = 0; p < view.properties().size(); ++p) {
            const LegacyProperty& property = view.properties()[p];
            if (property.type == 'I')
                values[property.name] = view.integer(p, row);
            else if (property.type == 'S')
                values[property.name] = view.text(p, row);
        }
        rows.append(values);
    }
    return {{"name", view.name()},
            {"layout", view.layout()},
            {"properties", properties},
            {"row_count", view.rowCount()},
            {"rows", rows}};
}

QString Json(const QJsonValue& value) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
}

}  // namespace

// ---------------------------------------------------------------------------------------

TEST(LegacyFile, ReadsEveryFixtureAsTheEngineDumpsIt) {
    for (const char* name : {"current", "bad_version", "v1_no_orgtype", "case_names", "extra_view",
                             "int_widths", "interrupted_commit"}) {
        SCOPED_TRACE(name);
        const QJsonObject expected =
            QJsonDocument::fromJson(Fixture(QStringLiteral("%1.json").arg(name))).object();
        ASSERT_FALSE(expected.isEmpty());
        const auto file = LegacyFile::open(FixturePath(QStringLiteral("legacy/%1.dat").arg(name)));

        EXPECT_EQ(file->description(), expected["description"].toString());
        const QByteArray stored = Fixture(QStringLiteral("%1.description.txt").arg(name));
        if (!stored.isEmpty()) {
            EXPECT_EQ(file->description(), QString::fromLatin1(stored));
        }
        EXPECT_EQ(file->recoveredPreviousCommit(), QByteArray(name) == "interrupted_commit");

        const QJsonArray views = expected["views"].toArray();
        ASSERT_EQ(file->views().size(), std::size_t(views.size()));
        for (qsizetype v = 0; v < views.size(); ++v) {
            const QJsonObject want = views[v].toObject();
            const QJsonObject got = Dump(file->views()[v]);
            SCOPED_TRACE(want["name"].toString().toStdString());
            for (const char* key : {"name", "layout", "properties", "row_count"})
                EXPECT_EQ(Json(got[key]), Json(want[key])) << key;
            const QJsonArray gotRows = got["rows"].toArray();
            const QJsonArray wantRows = want["rows"].toArray();
            ASSERT_EQ(gotRows.size(), wantRows.size());
            for (qsizetype r = 0; r < wantRows.size(); ++r)
                EXPECT_TRUE(gotRows[r] == wantRows[r]) << "row " << r;
        }
    }
}

TEST(LegacyFile, ManyRowsAreAllThereWithTheirValues) {
    const auto file = LegacyFile::open(FixturePath("legacy/many_rows.dat"));
    ASSERT_EQ(file->views().size(), 3u);
    const LegacyView& ig = *file->view("ig");
    ASSERT_EQ(ig.rowCount(), 5000);
    EXPECT_EQ(file->view("app_options")->rowCount(), 1);
    EXPECT_EQ(file->view("IGGEN")->integer(0, 0), 5000);

    const int crdate = ig.indexOf("crdate"), igid = ig.indexOf("igid");
    const int surname = ig.indexOf("sSurname"), address = ig.indexOf("sPhisicalAddr");
    const int passport = ig.indexOf("sPassNum"), photo = ig.indexOf("Photo");
    // The generator numbered its citizens; every row keeps its number in several places.
    for (int row = 0; row < 5000; ++row) {
        ASSERT_EQ(ig.integer(crdate, row), 876000 + row);
        ASSERT_EQ(ig.integer(igid, row), row + 1);
        ASSERT_TRUE(ig.text(surname, row).endsWith(QStringLiteral("-%1").arg(row)));
        ASSERT_EQ(ig.text(address, row), QStringLiteral("ул. Ленина, д. %1").arg(row));
        ASSERT_EQ(ig.text(passport, row), QString::number(1000000 + 7 * row));
    }
    EXPECT_EQ(ig.text(surname, 0), "Иванов-0");
    EXPECT_EQ(ig.text(surname, 4999), "Smith-4999");
    EXPECT_EQ(ig.text(photo, 0), "");
    // Photos of more than ~200 bytes are stored apart with this many rows.
    EXPECT_EQ(ig.text(photo, 2).size(), 290);
    EXPECT_TRUE(ig.text(photo, 2).startsWith("ZM/SxhULl4r9At1c1KoWLDukjDe17G8pgdMpgAvO"));
    EXPECT_EQ(ig.text(photo, 4999).size(), 270);
    EXPECT_TRUE(ig.text(photo, 4999).startsWith("lVOLAPAKpG7dV4P+ug9vTAgXIpjIX7HqzV/pHUlh"));
}

TEST(LegacyFile, NamesAreMatchedWithoutRegardToAsciiCase) {
    const auto file = LegacyFile::open(FixturePath("legacy/case_names.dat"));
    const LegacyView* org = file->view("org");
    ASSERT_NE(org, nullptr);
    EXPECT_EQ(org->name(), "ORG");
    const LegacyView& ig = *file->view("IG");
    EXPECT_EQ(ig.text(ig.indexOf("sSurname"), 1), "ПЕТРОВ");
    EXPECT_EQ(ig.integer(ig.indexOf("iOrgType"), 2), 2);
    EXPECT_EQ(file->view("igterritory"), nullptr);
}

TEST(LegacyFile, BothByteOrdersAreRead) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        LegacyFileBuilder builder(bigEndian);
        const QByteArray columns = builder.integers({300, -2, 7}, 16) +
                                   builder.integers({100000, -1, -2147483647 - 1}, 32) +
                                   builder.strings({"Щука", "", "z"});
        const QByteArray bytes = builder.finish("t[a:I,b:I,s:S]", {LegacyRecord(3, columns)});
        const auto file = LegacyFile::fromBytes(bytes);
        const LegacyView& t = *file->view("t");
        EXPECT_EQ(t.integer(0, 0), 300);
        EXPECT_EQ(t.integer(0, 1), -2);
        EXPECT_EQ(t.integer(1, 0), 100000);
        EXPECT_EQ(t.integer(1, 1), -1);
        EXPECT_EQ(t.integer(1, 2), -2147483647 - 1);
        EXPECT_EQ(t.text(2, 0), "Щука");
        EXPECT_EQ(t.text(2, 1), "");
    }
}

TEST(LegacyFile, RepeatedNamesAreDroppedAndDataAfterOtherBytesIsFound) {
    LegacyFileBuilder builder;
    // The repeated "A" has no columns; the engine drops it.
    const QByteArray columns = builder.integers({5, 6}, 8) + builder.integers({-1, 1}, 8);
    const QByteArray image = builder.finish("t[a:I,A:S,b:I],T[x:I]", {LegacyRecord(2, columns)});
    for (const QByteArray& bytes : {image, QByteArray("some other file's bytes") + image}) {
        const auto file = LegacyFile::fromBytes(bytes);
        ASSERT_EQ(file->views().size(), 1u);
        const LegacyView& t = file->views()[0];
        EXPECT_EQ(t.layout(), "t[a:I,b:I]");
        EXPECT_EQ(t.integer(0, 1), 6);
        EXPECT_EQ(t.integer(1, 0), -1);
    }
    TestFolder folder;
    folder.write("appended.dat", "junk" + image);
    EXPECT_TRUE(LooksLikeLegacyFile(folder.file("appended.dat")));
    folder.write("text.dat", "just some text, long enough to have a tail");
    EXPECT_FALSE(LooksLikeLegacyFile(folder.file("text.dat")));
}

TEST(LegacyFile, InterruptedOrExtendedFileOpensAtItsLastCompleteCommit) {
    const QByteArray good = Fixture("case_names.dat");
    // A commit that had just begun leaves a lone skip marker at the new end.
    QByteArray interrupted = good + QByteArray(40, '\0');
    interrupted += QByteArray("\x80\0\0\0", 4) + BigEndian32(quint32(interrupted.size()));
    for (const QByteArray& bytes : {interrupted, good + "12345678"}) {
        const auto file = LegacyFile::fromBytes(bytes);
        EXPECT_TRUE(file->recoveredPreviousCommit());
        EXPECT_EQ(file->view("ig")->rowCount(), 3);
    }
}

TEST(LegacyFile, DamagedAndUnsupportedFilesAreReported) {
    const QByteArray good = Fixture("case_names.dat");
    QByteArray oldFormat = good;
    oldFormat[3] = '\x80';
    QByteArray laterSkip = good;
    laterSkip[laterSkip.size() - 16] = '\x90';
    laterSkip[laterSkip.size() - 8] = '\x90';

    // Hand-made files with one fault each.
    const auto built = [](const QByteArray& description, auto&& columns, qint64 rows = 2) {
        LegacyFileBuilder builder;
        const QByteArray refs = columns(builder);
        return builder.finish(description, {LegacyRecord(rows, refs)});
    };
    const QByteArray beyondEnd =
        built("t[a:I]", [](LegacyFileBuilder&) { return LegacyVarint(4) + LegacyVarint(100000); });
    const QByteArray badWidth = built(
        "t[a:I]", [](LegacyFileBuilder& b) { return b.column("abc"); }, 4);
    const QByteArray sizesDisagree = built("t[s:S]", [](LegacyFileBuilder& b) {
        return b.column(QByteArray("ab\0c\0", 5)) + b.integers({3, 3}, 8) + b.column({});
    });
    const QByteArray memoOutside = built("t[s:S]", [](LegacyFileBuilder& b) {
        return b.column({}) + b.column(LegacyVarint(2) + b.column("far"));
    });
    const QByteArray badDescription = built("t[a:I", [](LegacyFileBuilder& b) {
        return b.integers({1, 2}, 8);
    });
    const QByteArray asideColumn =
        built("t[a:I]", [](LegacyFileBuilder&) { return LegacyVarint(2) + LegacyVarint(-5); });
    const QByteArray tooManyRows = built(
        "t[a:I]", [](LegacyFileBuilder&) { return LegacyVarint(0); }, 1 << 30);

    const struct {
        const char* name;
        QByteArray bytes;
        Kind kind;
    } cases[] = {
        {"too short", good.left(23), Kind::Damaged},
        {"cut by one byte", good.chopped(1), Kind::Damaged},
        {"cut in half", good.left(good.size() / 2), Kind::Damaged},
        {"random bytes", QByteArray("0123456789abcdefghijklmnopqrstuvwxyz"), Kind::Damaged},
        {"pre-2.0 header", oldFormat, Kind::Unsupported},
        {"later skip marker", laterSkip, Kind::Unsupported},
        {"column beyond the end", beyondEnd, Kind::Damaged},
        {"impossible integer width", badWidth, Kind::Damaged},
        {"sizes disagree with data", sizesDisagree, Kind::Damaged},
        {"memo of a missing row", memoOutside, Kind::Damaged},
        {"description cut off", badDescription, Kind::Damaged},
        {"column written aside", asideColumn, Kind::Unsupported},
        {"more rows than bytes", tooManyRows, Kind::Damaged},
    };
    for (const auto& c : cases) {
        try {
            LegacyFile::fromBytes(c.bytes);
            ADD_FAILURE() << c.name << ": read";
        } catch (const LegacyFileError& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.name << ": " << e.what();
            EXPECT_FALSE(e.reason().isEmpty());
        }
    }
}

// Mutated files never crash the reader, and reading never writes to them.
TEST(LegacyFile, FuzzedFilesAreReadOrRefusedAndNeverChanged) {
    std::mt19937 random(20240501);
    const auto below = [&](qint64 n) {
        return std::uniform_int_distribution<qint64>(0, std::max<qint64>(n - 1, 0))(random);
    };
    const auto mutate = [&](QByteArray bytes) {
        // Half the mutations hit the bookkeeping, which the engine writes last.
        const auto position = [&] {
            return below(2) ? bytes.size() - 1 - below(std::min<qint64>(bytes.size(), 200))
                            : below(bytes.size());
        };
        switch (below(4)) {
            case 0:
                return bytes.left(below(bytes.size()));
            case 1:
                for (qint64 flips = 1 + below(4); flips > 0; --flips) {
                    const qint64 at = position();
                    bytes[at] = char(bytes[at] ^ (1 << below(8)));
                }
                return bytes;
            case 2:
                for (qint64 at = position(), n = 1 + below(8); n > 0 && at < bytes.size(); --n)
                    bytes[at++] = char(below(256));
                return bytes;
            default: {
                QByteArray noise(below(300), '\0');
                for (char& byte : noise)
                    byte = char(below(256));
                return below(2) ? noise : bytes.left(8) + noise + bytes.right(16);
            }
        }
    };

    // Every sixteenth file is read from disk, to see that the file stays as it was.
    TestFolder folder;
    int opened = 0, refused = 0;
    for (const char* name : {"case_names", "int_widths", "interrupted_commit", "extra_view",
                             "v1_no_orgtype", "bad_version"}) {
        const QByteArray original = Fixture(QStringLiteral("%1.dat").arg(name));
        for (int round = 0; round < 1000; ++round) {
            const QByteArray bytes = mutate(original);
            const bool onDisk = round % 16 == 0;
            if (onDisk)
                folder.write("fuzz.dat", bytes);
            try {
                const auto file = onDisk ? LegacyFile::open(folder.file("fuzz.dat"))
                                         : LegacyFile::fromBytes(bytes);
                for (const LegacyView& view : file->views())
                    Dump(view);
                ++opened;
            } catch (const LegacyFileError&) {
                ++refused;
            }
            if (onDisk) {
                ASSERT_EQ(folder.read("fuzz.dat"), bytes) << name << " round " << round;
            }
        }
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}
