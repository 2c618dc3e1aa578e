#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <csignal>

#include "storage/DatabaseConnector.h"
#include "storage/Options.h"
#include "storage/Views.h"
#include "support/DatabaseFaults.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

namespace {

ino_t Inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QString SchemaDescription() {
    QStringList layouts;
    for (const QString& view : schema::ViewsInUpgradeOrder())
        layouts << schema::LayoutOf(view)->toString();
    return layouts.join(QLatin1Char(','));
}

// The file as an earlier version left it: `ig` without iOrgType, no DATABASE_VERSION, only
// three views.
const QString kOldIg = QStringLiteral(
    "ig[crdate:I,igid:I,iProfess:I,sSurname:S,sName:S,sSecondName:S,sPassSerr:S,sPassNum:S,"
    "sDateReceive:I,sKemVidan:S,sBirthday:I,iGrazdanstvo:I,sOsobiOtmetki:S,iMedSpravki:I,"
    "iVremennoe:I,Photo:S,iSex:I,iRNP_ig_num:S,iVisa_ig_type:I,sRNRDateFrom:I,sRNRDateTo:I,"
    "sOrgName:S,sOrgINN:S,scrhour:I,sReqDate:S,sIssueDate:S,sMedNumber:S,iIGPkgNumber:I,"
    "iFillDate:I,sPhisicalAddr:S,sOrgFF:S,sOrgSeriya:S,sOrgNumber:S,sOrgII:S,sOrgOO:S,"
    "iProfessPrefix:I,sOrgUrAddr:S,sOrgOGRN:S,sOrgRegDate:S]");

void WriteOldFile(const TestFolder& folder, const QString& version = {}) {
    auto db = MakeOwnDatabase(folder.file("igdb.dat"), {kOldIg, "org[orgname:S,orgINN:S,orgType:I]",
                                                        "app_options[key:S,value:S]"});
    db->exec(
        "INSERT INTO ig (igid, sSurname, sBirthday, Photo) VALUES "
        "(1, 'Иванов', 36526, 'QUJD'), (2, 'Petrov', -1, '')");
    db->exec("INSERT INTO org VALUES ('ООО Ромашка', '7701', 2)");
    if (!version.isEmpty()) {
        db->exec(QStringLiteral("INSERT INTO app_options VALUES ('DATABASE_VERSION', '%1')")
                     .arg(version)
                     .toStdString());
    }
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

}  // namespace

TEST(Connector, FreshStartCreatesEveryViewAndRecordsTheVersion) {
    TestFolder folder;
    DatabaseConnector connector(folder.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    ASSERT_TRUE(outcome.opened) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.notices.isEmpty());

    EXPECT_EQ(StructureDescription(connector.db()), SchemaDescription());
    for (const Layout& layout : schema::Layouts()) {
        const qint64 rows = connector.db().queryInt(
            QStringLiteral("SELECT count(*) FROM %1").arg(QuotedName(layout.view)).toStdString());
        EXPECT_EQ(rows, layout.view == "app_options" ? 1 : 0) << layout.view.toStdString();
    }
    EXPECT_EQ(Rows(connector.db(), "app_options"), QStringList{"DATABASE_VERSION|2"});
    EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));
}

TEST(Connector, CurrentFileIsNeitherCopiedNorReplaced) {
    TestFolder folder;
    { TestDatabase first(folder.path()); }
    const ino_t before = Inode(folder.file("igdb.dat"));
    TestDatabase second(folder.path());
    EXPECT_EQ(Inode(folder.file("igdb.dat")), before);
    EXPECT_EQ(Rows(second.db(), "app_options"), QStringList{"DATABASE_VERSION|2"});
}

TEST(Connector, FileWithoutVersionIsConvertedAndEveryCitizenGetsOrgTypeOne) {
    TestFolder folder;
    WriteOldFile(folder);
    TestDatabase data(folder.path());

    EXPECT_EQ(StructureDescription(data.db()), SchemaDescription());
    EXPECT_EQ(Rows(data.db(), "ig", "igid, sSurname, sBirthday, Photo, iOrgType, iProfessPrefix"),
              QStringList({"1|Иванов|36526|QUJD|1|0", "2|Petrov|-1||1|0"}));
    // New properties of other views get -1 or the empty text.
    EXPECT_EQ(Rows(data.db(), "org", "orgname, orgINN, orgType, orgFF, orgRegDate"),
              QStringList{"ООО Ромашка|7701|2||"});
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM rnpirs"), 0);
    EXPECT_EQ(Rows(data.db(), "app_options"), QStringList{"DATABASE_VERSION|2"});
    EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));
}

TEST(Connector, NewIntegerPropertiesOfCopiedRowsGetMinusOne) {
    TestFolder folder;
    {
        auto db = MakeOwnDatabase(folder.file("igdb.dat"), {"igphaddr[phaddr_pid:I,sCity:S]"});
        db->exec("INSERT INTO igphaddr VALUES (7, 'Тверь')");
    }
    TestDatabase data(folder.path());
    EXPECT_EQ(Rows(data.db(), "igphaddr", "phaddr_pid, sCity, iRegion, sStreet, iAddrRegDateTo"),
              QStringList{"7|Тверь|-1||-1"});
}

TEST(Connector, VersionThatIsNotANumberAbandonsTheCopy) {
    TestFolder folder;
    WriteOldFile(folder, "abc");
    const ino_t before = Inode(folder.file("igdb.dat"));
    TestDatabase data(folder.path());

    EXPECT_EQ(Inode(folder.file("igdb.dat")), before);
    EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));
    EXPECT_EQ(GetOption(data.db(), "DATABASE_VERSION"), "2");
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM app_options"), 1);
    // The old file stays in use with its views in the current layouts, new properties
    // holding the engine's defaults.
    EXPECT_EQ(StoredLayout(data.db(), "ig").toString(), schema::Ig().toString());
    EXPECT_EQ(Rows(data.db(), "ig", "igid, sSurname, iOrgType"),
              QStringList({"1|Иванов|0", "2|Petrov|0"}));
}

TEST(Connector, PropertyNamesDifferingInCaseAreTheSameProperty) {
    TestFolder folder;
    {
        auto db = MakeOwnDatabase(
            folder.file("igdb.dat"),
            {"IG[CRDATE:I,IGID:I,SSURNAME:S,IORGTYPE:I]", "ORG[ORGNAME:S,orgtype:I]"});
        db->exec("INSERT INTO IG VALUES (876638, 5, 'Сидоров', 2)");
        db->exec("INSERT INTO ORG VALUES ('Org', 2)");
    }
    TestDatabase data(folder.path());
    EXPECT_EQ(Rows(data.db(), "ig", "crdate, igid, sSurname, iOrgType"),
              QStringList{"876638|5|Сидоров|2"});
    EXPECT_EQ(Rows(data.db(), "org", "orgname, orgType"), QStringList{"Org|2"});
}

TEST(Connector, LeftoverTemporaryFileIsDiscardedBeforeAConversion) {
    TestFolder folder;
    WriteOldFile(folder);
    {
        auto stale = MakeOwnDatabase(folder.file("igdb_temp.dat"), {"ig[igid:I]"});
        stale->exec("INSERT INTO ig VALUES (999)");
    }
    TestDatabase data(folder.path());
    EXPECT_EQ(Rows(data.db(), "ig", "igid"), QStringList({"1", "2"}));
    EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));
}

TEST(Connector, LeftoverTemporaryFileIsNeverTakenForTheDatabase) {
    TestFolder folder;
    folder.write("igdb_temp.dat", "not a database at all");
    TestDatabase data(folder.path());
    EXPECT_EQ(Rows(data.db(), "app_options"), QStringList{"DATABASE_VERSION|2"});
}

TEST(Connector, FailedReplacementKeepsTheOldFileInUseAndTheCopy) {
    TestFolder folder;
    WriteOldFile(folder);
    FailingReplacement connector(folder.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    ASSERT_TRUE(outcome.opened);
    ASSERT_EQ(outcome.notices.size(), 1);
    EXPECT_EQ(outcome.notices[0].kind, Notice::Kind::Warning);
    EXPECT_EQ(outcome.notices[0].title, "Ошибка базы данных");
    EXPECT_TRUE(outcome.notices[0].text.contains(folder.file("igdb.dat")));
    EXPECT_TRUE(outcome.notices[0].text.contains(folder.file("igdb_temp.dat")));

    // The converted data are kept in the copy ...
    auto copy = Database::open(folder.file("igdb_temp.dat"));
    EXPECT_EQ(Rows(*copy, "ig", "igid, iOrgType"), QStringList({"1|1", "2|1"}));
    // ... and the old file goes on working.
    EXPECT_EQ(Rows(connector.db(), "ig", "igid, sSurname"), QStringList({"1|Иванов", "2|Petrov"}));
    EXPECT_EQ(GetOption(connector.db(), "DATABASE_VERSION"), "2");
}

TEST(Connector, UnreadableFilesAreRefusedAndLeftByteForByte) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    QByteArray damagedSqlite("SQLite format 3\0", 16);
    damagedSqlite += QByteArray(200, '\x7f');
    const Case cases[] = {
        {"text", "This is a letter, not a database.\n", "не является файлом базы данных"},
        {"damaged sqlite", damagedSqlite, "повреждён"},
        {"legacy header only", QByteArray("JL\x1a\0\0\0\0\x08", 8),
         "файл прежней версии программы, и он повреждён"},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        folder.write("igdb.dat", c.bytes);
        DatabaseConnector connector(folder.path());
        const OpenOutcome outcome = connector.OpenDatabase();
        EXPECT_FALSE(outcome.opened) << c.name;
        EXPECT_TRUE(outcome.error.contains(folder.file("igdb.dat"))) << c.name;
        EXPECT_TRUE(outcome.error.contains(QString::fromUtf8(c.reason)))
            << c.name << ": " << outcome.error.toStdString();
        EXPECT_EQ(folder.read("igdb.dat"), c.bytes) << c.name;
        EXPECT_FALSE(QFile::exists(folder.file("igdb_temp.dat")));
    }
}

TEST(Connector, SqliteFileOfAnotherProgramIsRefusedUntouched) {
    TestFolder folder;
    {
        auto other = Database::open(folder.file("igdb.dat"));
        other->exec("CREATE TABLE contacts (name TEXT); INSERT INTO contacts VALUES ('x')");
    }
    const QByteArray before = folder.read("igdb.dat");
    DatabaseConnector connector(folder.path());
    const OpenOutcome outcome = connector.OpenDatabase();
    EXPECT_FALSE(outcome.opened);
    EXPECT_TRUE(outcome.error.contains("другой программы"));
    EXPECT_EQ(folder.read("igdb.dat"), before);
}

TEST(Connector, SecondUserOfTheFileIsKeptAwayAlsoAfterReplacement) {
    TestFolder folder;
    WriteOldFile(folder);  // the first copy converts it and replaces the file
    TestDatabase first(folder.path());

    DatabaseConnector second(folder.path());
    EXPECT_FALSE(second.AcquireExclusiveUse());
    EXPECT_FALSE(second.OpenDatabase().opened);
    // Another process is refused as well.
    const int status = QProcess::execute("flock", {"-n", folder.file("igdb.dat"), "true"});
    EXPECT_EQ(status, 1);
    // The first copy is not disturbed.
    SetOption(first.db(), "FMSMEMBER", "x");
    EXPECT_EQ(GetOption(first.db(), "FMSMEMBER"), "x");
}

TEST(Connector, FileHeldByAnotherProgramIsRefusedAsInUseNotAsDamaged) {
    using namespace std::chrono_literals;
    TestFolder folder;
    { TestDatabase create(folder.path()); }
    const QByteArray before = folder.read("igdb.dat");
    const OtherProgram other(folder.file("igdb.dat"), OtherProgram::Lock::Exclusive);
    ASSERT_TRUE(other.holding());

    DatabaseConnector connector(folder.path());
    connector.setBusyTimeout(100ms);
    const OpenOutcome outcome = connector.OpenDatabase();
    EXPECT_FALSE(outcome.opened);
    EXPECT_TRUE(outcome.error.contains(folder.file("igdb.dat")));
    EXPECT_TRUE(outcome.error.contains("используется другой программой"))
        << outcome.error.toStdString();
    EXPECT_FALSE(outcome.error.contains("повреждён"));
    EXPECT_FALSE(outcome.error.contains("locked"));
    EXPECT_EQ(folder.read("igdb.dat"), before);
}

TEST(Connector, MissingFilePassesTheExclusiveUseTest) {
    TestFolder folder;
    DatabaseConnector connector(folder.path());
    EXPECT_TRUE(connector.AcquireExclusiveUse());
    EXPECT_TRUE(connector.OpenDatabase().opened);
}

TEST(ConnectorDeathTest, CommittedChangeSurvivesKill) {
    // Forked at this point, so that the child writes into this test's folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    TestFolder folder;
    { TestDatabase create(folder.path()); }
    EXPECT_EXIT(
        {
            TestDatabase data(folder.path());
            SetOption(data.db(), "FMSMEMBER", "сохранено");
            std::raise(SIGKILL);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    TestDatabase after(folder.path());
    EXPECT_EQ(GetOption(after.db(), "FMSMEMBER"), "сохранено");

    // What makes it so, read back from the connection: a rollback journal (one file at rest)
    // synced with its removal, and a file that cannot make the engine run code of its own.
    Database& db = after.db();
    Statement journal = db.prepare("PRAGMA journal_mode");
    ASSERT_TRUE(journal.step());
    EXPECT_EQ(journal.columnText(0), "delete");
    EXPECT_EQ(db.queryInt("PRAGMA synchronous"), 3);  // EXTRA
    EXPECT_EQ(db.queryInt("PRAGMA trusted_schema"), 0);
    int defensive = -1;
    sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_DEFENSIVE, -1, &defensive);
    EXPECT_EQ(defensive, 1);
    EXPECT_EQ(db.busyTimeout(), std::chrono::milliseconds(5000));
}
