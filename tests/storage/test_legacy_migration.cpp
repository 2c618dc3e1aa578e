#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <random>

#include "storage/DatabaseConnector.h"
#include "storage/Views.h"
#include "support/LegacyFileBuilder.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

namespace {

const QString kBackup = QStringLiteral("igdb_legacy_backup.dat");

QByteArray Fixture(const QString& name) {
    QFile file(FixturePath(QStringLiteral("legacy/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SchemaDescription() {
    QStringList layouts;
    for (const QString& view : schema::ViewsInUpgradeOrder())
        layouts << schema::LayoutOf(view)->toString();
    return layouts.join(QLatin1Char(','));
}

QString Columns(const Layout& layout) {
    QStringList columns;
    for (const Property& property : layout.properties)
        columns << QuotedName(property.name);
    return columns.join(QLatin1Char(','));
}

// A row of the engine's dump as the upgrade stores it: properties matched by name without
// regard to case; a missing one takes its conversion value, else -1 or the empty text.
QString ConvertedRow(const QJsonObject& row, const Layout& layout) {
    QStringList values;
    for (const Property& property : layout.properties) {
        QJsonValue value = QJsonValue::Undefined;
        for (auto it = row.begin(); it != row.end(); ++it) {
            if (SameName(it.key(), property.name))
                value = it.value();
        }
        if (value.isUndefined()) {
            values << ConversionTable().value(layout.view + ':' + property.name,
                                              property.type == PropertyType::Integer ? "-1" : "");
        } else {
            values << (value.isString() ? value.toString() : QString::number(value.toInteger()));
        }
    }
    return values.join(QLatin1Char('|'));
}

// What each view of the schema must hold after the conversion of a fixture.
QStringList ExpectedRows(const QJsonObject& dump, const Layout& layout) {
    QStringList rows;
    for (const QJsonValue& view : dump["views"].toArray()) {
        if (!SameName(view["name"].toString(), layout.view))
            continue;
        for (const QJsonValue& row : view["rows"].toArray())
            rows << ConvertedRow(row.toObject(), layout);
    }
    if (layout.view == "app_options") {
        // The version is recorded afresh: its first row goes, a new one comes at the end.
        rows.removeIf([seen = false](const QString& row) mutable {
            return !seen && row.startsWith("DATABASE_VERSION|") && (seen = true);
        });
        rows << "DATABASE_VERSION|2";
    }
    return rows;
}

class FailingReplacement : public DatabaseConnector {
public:
    using DatabaseConnector::DatabaseConnector;

protected:
    bool replaceDatabaseFile(QString* error) override {
        *error = "отказано в доступе";
        return false;
    }
};

void ExpectRefusedUntouched(const TestFolder& folder, const OpenOutcome& outcome,
                            const QByteArray& bytes, const char* reason) {
    EXPECT_FALSE(outcome.opened);
    EXPECT_TRUE(outcome.error.contains(folder.file("igdb.dat")));
    EXPECT_TRUE(outcome.error.contains(QString::fromUtf8(reason))) << outcome.error.toStdString();
    EXPECT_EQ(folder.read("igdb.dat"), bytes);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"igdb.dat"});
}

}  // namespace

TEST(LegacyMigration, EveryFixtureIsConvertedWithEveryRowAndValue) {
    for (const char* name :
         {"current", "bad_version", "v1_no_orgtype", "case_names", "extra_view"}) {
        SCOPED_TRACE(name);
        TestFolder folder;
        folder.copyFixture(QStringLiteral("legacy/%1.dat").arg(name), "igdb.dat");
        DatabaseConnector connector(folder.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        ASSERT_TRUE(outcome.opened) << outcome.error.toStdString();

        ASSERT_EQ(outcome.notices.size(), 1);
        EXPECT_EQ(outcome.notices[0].kind, Notice::Kind::Information);
        EXPECT_EQ(outcome.notices[0].title, "Преобразование базы данных");
        EXPECT_TRUE(outcome.notices[0].text.contains(folder.file(kBackup)));
        EXPECT_FALSE(outcome.notices[0].text.contains("не удалось"));
        EXPECT_EQ(folder.read(kBackup), Fixture(QStringLiteral("%1.dat").arg(name)));
        EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));

        // Views and properties the schema does not list are gone.
        EXPECT_EQ(StructureDescription(connector.db()), SchemaDescription());
        const QJsonObject dump =
            QJsonDocument::fromJson(Fixture(QStringLiteral("%1.json").arg(name))).object();
        for (const Layout& layout : schema::Layouts()) {
            SCOPED_TRACE(layout.view.toStdString());
            const QStringList stored = Rows(connector.db(), layout.view, Columns(layout));
            const QStringList expected = ExpectedRows(dump, layout);
            ASSERT_EQ(stored.size(), expected.size());
            for (qsizetype i = 0; i < stored.size(); ++i)
                EXPECT_EQ(stored[i].toStdString(), expected[i].toStdString()) << "row " << i;
        }
    }
}

TEST(LegacyMigration, CitizensOfAFileWithoutOrgTypeGetOne) {
    TestFolder folder;
    folder.copyFixture("legacy/v1_no_orgtype.dat", "igdb.dat");
    TestDatabase data(folder.path());
    EXPECT_EQ(Rows(data.db(), "ig", "iOrgType"), QStringList(7, QStringLiteral("1")));
}

TEST(LegacyMigration, ManyRowsAreConverted) {
    TestFolder folder;
    folder.copyFixture("legacy/many_rows.dat", "igdb.dat");
    TestDatabase data(folder.path());
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM ig"), 5000);
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM ig WHERE igid = rowid"), 5000);
    EXPECT_EQ(Rows(data.db(), "ig", "crdate, sSurname, sPhisicalAddr, length(Photo)").last(),
              "880999|Smith-4999|ул. Ленина, д. 4999|270");
    EXPECT_EQ(Rows(data.db(), "IGGEN"), QStringList{"5000"});
}

TEST(LegacyMigration, InterruptedCommitIsConvertedAtThePreviousOneAndTheUserIsTold) {
    TestFolder folder;
    folder.copyFixture("legacy/interrupted_commit.dat", "igdb.dat");
    DatabaseConnector connector(folder.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    ASSERT_TRUE(outcome.opened) << outcome.error.toStdString();
    ASSERT_EQ(outcome.notices.size(), 1);
    EXPECT_TRUE(outcome.notices[0].text.contains("восстановить его не удалось"));
    EXPECT_EQ(folder.read(kBackup), Fixture("interrupted_commit.dat"));
}

TEST(LegacyMigration, EarlierBackupsAreNeverOverwritten) {
    TestFolder folder;
    folder.write(kBackup, "the first backup");
    folder.write("igdb_legacy_backup_2.dat", "the second backup");
    folder.copyFixture("legacy/case_names.dat", "igdb.dat");
    DatabaseConnector connector(folder.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    ASSERT_TRUE(outcome.opened);
    EXPECT_TRUE(outcome.notices[0].text.contains(folder.file("igdb_legacy_backup_3.dat")));
    EXPECT_EQ(folder.read(kBackup), "the first backup");
    EXPECT_EQ(folder.read("igdb_legacy_backup_2.dat"), "the second backup");
    EXPECT_EQ(folder.read("igdb_legacy_backup_3.dat"), Fixture("case_names.dat"));

    // The converted file is guarded like any other.
    DatabaseConnector second(folder.path());
    EXPECT_FALSE(second.AcquireExclusiveUse());
}

TEST(LegacyMigration, PropertiesStoredWithAnotherTypeAreConvertedOrTheFileIsRefused) {
    const auto file = [](const QString& igid, const QByteArray& photoType = "S") {
        LegacyFileBuilder builder;
        QByteArray columns = builder.strings({igid}) + builder.integers({42}, 8);
        columns += photoType == "S" ? builder.strings({"QUJD"}) : builder.integers({7}, 8);
        return builder.finish("ig[igid:S,iSex:I,Photo:" + photoType + "]",
                              {LegacyRecord(1, columns)});
    };
    {
        TestFolder folder;
        folder.write("igdb.dat", file(" 12"));
        TestDatabase data(folder.path());
        EXPECT_EQ(Rows(data.db(), "ig", "igid, iSex, Photo"), QStringList{"12|42|QUJD"});
    }
    const struct {
        QByteArray bytes;
        const char* reason;
    } refused[] = {
        {file("abc"), "«abc» не является целым числом"},
        {file("12", "L"), "свойство «ig.Photo» хранится с типом L"},
    };
    for (const auto& c : refused) {
        TestFolder folder;
        folder.write("igdb.dat", c.bytes);
        DatabaseConnector connector(folder.path());
        ExpectRefusedUntouched(folder, connector.OpenDatabase(), c.bytes, c.reason);
    }
}

TEST(LegacyMigration, DamagedOrUnsupportedFilesAreRefusedAndLeftByteForByte) {
    const QByteArray good = Fixture("case_names.dat");
    QByteArray oldFormat = good;
    oldFormat[3] = '\x80';
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"cut in half", good.left(good.size() / 2), "и он повреждён"},
        {"cut by one byte", good.chopped(1), "и он повреждён"},
        {"pre-2.0 format", oldFormat, "не удаётся преобразовать"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        folder.write("igdb.dat", c.bytes);
        DatabaseConnector connector(folder.path());
        ExpectRefusedUntouched(folder, connector.OpenDatabase(), c.bytes, c.reason);
    }
}

TEST(LegacyMigration, FailedReplacementLeavesTheFileAsItWasAndNoBackup) {
    TestFolder folder;
    folder.copyFixture("legacy/case_names.dat", "igdb.dat");
    FailingReplacement connector(folder.path());
    ExpectRefusedUntouched(folder, connector.OpenDatabase(), Fixture("case_names.dat"),
                           "отказано в доступе");
}

// Mutated files are converted with a faithful backup or refused untouched; never anything
// in between.
TEST(LegacyMigration, FuzzedFilesAreConvertedOrRefusedUntouched) {
    std::mt19937 random(8);
    const auto below = [&](qint64 n) {
        return std::uniform_int_distribution<qint64>(0, n - 1)(random);
    };
    int converted = 0;
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes = Fixture(round % 2 ? "case_names.dat" : "v1_no_orgtype.dat");
        if (round % 3 == 0) {
            bytes.truncate(1 + below(bytes.size() - 1));
        } else {
            for (int flips = 1 + int(below(3)); flips > 0; --flips) {
                const qint64 at = bytes.size() - 1 - below(std::min<qint64>(bytes.size(), 300));
                bytes[at] = char(bytes[at] ^ (1 << below(8)));
            }
        }
        TestFolder folder;
        folder.write("igdb.dat", bytes);
        DatabaseConnector connector(folder.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        if (outcome.opened) {
            ++converted;
            EXPECT_EQ(folder.read(kBackup), bytes) << "round " << round;
        } else {
            EXPECT_EQ(folder.read("igdb.dat"), bytes) << "round " << round;
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"igdb.dat"});
        }
    }
    EXPECT_GT(converted, 0);
    EXPECT_LT(converted, 60);
}
