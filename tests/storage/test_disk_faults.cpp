#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "storage/DatabaseConnector.h"
#include "storage/Options.h"
#include "storage/Views.h"
#include "support/DatabaseFaults.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

namespace {

constexpr qint64 kKilobyte = 1024;

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file as an earlier version of the program left it: `ig` without iOrgType, no
// DATABASE_VERSION.
void WriteOldFile(const QString& path) {
    auto db = MakeOwnDatabase(path, {"ig[igid:I,sSurname:S]", "app_options[key:S,value:S]"});
    db->exec("INSERT INTO ig VALUES (1, 'Иванов'), (2, 'Петров')");
}

}  // namespace

TEST(DiskFaults, SaveOnAFullDiskFailsWholeAndTheNextSaveCommits) {
    TestFolder folder;
    SmallDisk disk(folder.file("disk"), 1024 * kKilobyte);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    {
        TestDatabase data(disk.path());
        Database& db = data.db();
        SetOption(db, "FMSMEMBER", "до");
        disk.fill();
        try {
            Transaction save(db);
            SetOption(db, "FMSMEMBER", QString(20000, QChar(u'Ж')));
            db.exec("INSERT INTO ig (igid) VALUES (1)");
            save.commit();
            ADD_FAILURE() << "the save was reported done on a full disk";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.path(), disk.file("igdb.dat"));
            EXPECT_TRUE(DescribeDatabaseError(e).contains("нет места на диске"))
                << DescribeDatabaseError(e).toStdString();
        }
        EXPECT_EQ(GetOption(db, "FMSMEMBER"), "до");
        disk.clear();
        SetOption(db, "FMSMEMBER", "после");
    }
    const auto reader = Database::open(disk.file("igdb.dat"));
    EXPECT_EQ(GetOption(*reader, "FMSMEMBER"), "после");
    EXPECT_EQ(reader->queryInt("SELECT count(*) FROM ig"), 0);
}

TEST(DiskFaults, FirstStartOnAFullDiskIsRefusedAndLeavesNoFile) {
    TestFolder folder;
    SmallDisk disk(folder.file("disk"), 512 * kKilobyte);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    // The space runs out while the new file is copied, and after it took its name.
    for (const qint64 leave : {qint64(0), 64 * kKilobyte, 128 * kKilobyte}) {
        disk.fill(leave);
        DatabaseConnector connector(disk.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        EXPECT_FALSE(outcome.opened) << leave;
        EXPECT_EQ(outcome.error, QStringLiteral("Файл базы данных «%1» не может быть создан: нет "
                                                "места на диске.")
                                     .arg(disk.file("igdb.dat")));
        EXPECT_EQ(FilesIn(disk.path()), QStringList{"filler"}) << leave;
        disk.clear();
    }
    EXPECT_TRUE(TestDatabase(disk.path()).connector().isOpen());
}

TEST(DiskFaults, UpgradeThatRunsOutOfSpaceEndsTheStartAndIsTriedAgainNextTime) {
    TestFolder folder;
    SmallDisk disk(folder.file("disk"), 512 * kKilobyte);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    WriteOldFile(disk.file("igdb.dat"));
    const QByteArray before = Read(disk.file("igdb.dat"));
    disk.fill(16 * kKilobyte);
    {
        DatabaseConnector connector(disk.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        EXPECT_FALSE(outcome.opened);
        EXPECT_EQ(outcome.error,
                  QStringLiteral("Файл базы данных «%1» не может быть открыт: не удалось записать "
                                 "его преобразованную копию «%2» (нет места на диске).\n"
                                 "Файл оставлен без изменений.")
                      .arg(disk.file("igdb.dat"), disk.file("igdb_temp.dat")));
    }
    EXPECT_EQ(Read(disk.file("igdb.dat")), before);
    EXPECT_EQ(FilesIn(disk.path()), QStringList({"filler", "igdb.dat"}));

    disk.clear();
    TestDatabase data(disk.path());
    EXPECT_EQ(Rows(data.db(), "ig", "igid, sSurname, iOrgType"),
              QStringList({"1|Иванов|1", "2|Петров|1"}));
    EXPECT_EQ(GetOption(data.db(), "DATABASE_VERSION"), "2");
}

TEST(DiskFaults, LegacyFileOnAFullDiskIsRefusedAndLeftByteForByte) {
    TestFolder folder;
    SmallDisk disk(folder.file("disk"), 512 * kKilobyte);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QByteArray legacy = Read(FixturePath("legacy/case_names.dat"));
    ASSERT_FALSE(legacy.isEmpty());
    QFile file(disk.file("igdb.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(legacy);
    file.close();
    disk.fill();

    DatabaseConnector connector(disk.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    EXPECT_FALSE(outcome.opened);
    EXPECT_TRUE(outcome.error.contains("нет места на диске")) << outcome.error.toStdString();
    EXPECT_EQ(Read(disk.file("igdb.dat")), legacy);
    EXPECT_EQ(FilesIn(disk.path()), QStringList({"filler", "igdb.dat"}));
}

TEST(DiskFaults, ReadOnlyStartFolderIsRefusedWithoutWritePermission) {
    struct Case {
        const char* name;
        bool withDatabase;
        const char* message;
    };
    const Case cases[] = {
        {"a database", true,
         "Файл базы данных «%1» не может быть открыт: нет прав на запись.\n"
         "Файл оставлен без изменений."},
        {"no database yet", false,
         "Файл базы данных «%1» не может быть создан: нет прав на запись."},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        SmallDisk disk(folder.file("disk"), 512 * kKilobyte);
        if (!disk.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";
        if (c.withDatabase) {
            TestDatabase create(disk.path());
            SetOption(create.db(), "FMSMEMBER", "x");
        }
        const QByteArray before = Read(disk.file("igdb.dat"));
        ASSERT_TRUE(disk.makeReadOnly());

        DatabaseConnector connector(disk.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        EXPECT_FALSE(outcome.opened) << c.name;
        EXPECT_EQ(outcome.error, QString::fromUtf8(c.message).arg(disk.file("igdb.dat"))) << c.name;
        EXPECT_EQ(Read(disk.file("igdb.dat")), before) << c.name;
    }
}
