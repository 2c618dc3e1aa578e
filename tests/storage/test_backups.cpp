#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "storage/Backups.h"
#include "storage/Database.h"
#include "storage/Options.h"
#include "support/DatabaseFaults.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;
using namespace std::chrono_literals;
using Status = BackupResult::Status;

namespace {

constexpr qint64 kKilobyte = 1024;
const QDate kDay(2026, 12, 10);

// A copy slow enough to be caught in the middle: a page at a time.
const BackupPace kSlowPace{1, 2ms};

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Citizens `first`, `first` + 1, ... each with a photo text of `photoChars`, a payment
// document and two territories.
void AddCitizens(Database& db, int first, int count, int photoChars) {
    Transaction transaction(db);
    for (int key = first; key < first + count; ++key) {
        db.prepare("INSERT INTO ig (igid, sSurname, Photo) VALUES (?1, ?2, ?3)")
            .bind(1, key)
            .bind(2, QStringLiteral("Иванов%1").arg(key))
            .bind(3, QString(photoChars, QChar(u'A' + key % 26)))
            .run();
        db.prepare("INSERT INTO pp (ppid, pppid) VALUES (?1, ?1)").bind(1, key).run();
        db.prepare("INSERT INTO igterritory (terr_pid, terr_id) VALUES (?1, 1), (?1, 2)")
            .bind(1, key)
            .run();
    }
    transaction.commit();
}

// Runs the event loop until the daily copy reports its end.
BackupResult WaitForCopy(DailyBackup& backup) {
    BackupResult result;
    result.reason = QStringLiteral("no end reported");
    QEventLoop loop;
    QObject::connect(&backup, &DailyBackup::finished, &loop, [&](const BackupResult& r) {
        result = r;
        loop.quit();
    });
    QTimer::singleShot(60s, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

bool WaitForFile(const QString& path, qint64 bytes) {
    QElapsedTimer timer;
    timer.start();
    while (QFileInfo(path).size() < bytes) {
        if (timer.hasExpired(20000))
            return false;
        QThread::msleep(5);
    }
    return true;
}

}  // namespace

TEST(BackupNames, CopiesAreNamedByTheirDayAndNothingElseCounts) {
    EXPECT_EQ(BackupFileName(kDay), "igdb_2026-12-10.dat");
    EXPECT_EQ(BackupDay("igdb_2026-12-10.dat"), kDay);
    EXPECT_EQ(BackupDay("igdb_2027-01-05.dat"), QDate(2027, 1, 5));
    for (const char* other :
         {"igdb.dat", "igdb_legacy_backup.dat", "igdb_legacy_backup_2.dat", "igdb_2026-02-30.dat",
          "igdb_2026-12-10.dat.tmp", "igdb_2026-12-10.dat-journal", "IGDB_2026-12-10.DAT",
          "igdb_2026-12-1.dat", "xigdb_2026-12-10.dat"})
        EXPECT_EQ(BackupDay(QString::fromLatin1(other)), std::nullopt) << other;
    EXPECT_EQ(BackupFolderOf("/data/start/igdb.dat"), "/data/start/backup");
}

// The program runs on working days, with a holiday in summer and a pause of two months;
// after each day's copy the rule is applied to what is in the folder. Each day the folder
// must hold the copies of the last ten days on which the program ran and, for each of the
// last twelve months in which it ran, that month's last such day, and nothing else.
TEST(BackupRetention, OverTwoYearsOfSimulatedWorkingDays) {
    std::set<QDate> ran;
    QList<QDate> folder;
    for (QDate day(2025, 1, 1); day <= QDate(2026, 12, 31); day = day.addDays(1)) {
        const bool holiday = day >= QDate(2025, 7, 7) && day <= QDate(2025, 7, 27);
        const bool pause = day >= QDate(2026, 3, 1) && day <= QDate(2026, 4, 30);
        if (day.dayOfWeek() > 5 || holiday || pause)
            continue;
        ran.insert(day);
        folder << day;
        folder = CopiesToKeep(folder, day);

        std::set<QDate> expected;
        auto latest = ran.rbegin();
        for (int i = 0; i < kDailyCopiesKept && latest != ran.rend(); ++i, ++latest)
            expected.insert(*latest);
        std::map<int, QDate> lastOfMonth;
        for (const QDate& d : ran) {
            const int age = (day.year() - d.year()) * 12 + day.month() - d.month();
            if (age < kMonthlyCopiesKept)
                lastOfMonth[age] = d;
        }
        for (const auto& [age, d] : lastOfMonth)
            expected.insert(d);
        ASSERT_EQ(std::set<QDate>(folder.begin(), folder.end()), expected)
            << day.toString(Qt::ISODate).toStdString();
    }
    // At the end: ten working days of December, and the last working day of each month
    // back to January 2026, without March and April.
    const QList<QDate> expectedEnd = {
        QDate(2026, 1, 30),  QDate(2026, 2, 27),  QDate(2026, 5, 29),  QDate(2026, 6, 30),
        QDate(2026, 7, 31),  QDate(2026, 8, 31),  QDate(2026, 9, 30),  QDate(2026, 10, 30),
        QDate(2026, 11, 30), QDate(2026, 12, 18), QDate(2026, 12, 21), QDate(2026, 12, 22),
        QDate(2026, 12, 23), QDate(2026, 12, 24), QDate(2026, 12, 25), QDate(2026, 12, 28),
        QDate(2026, 12, 29), QDate(2026, 12, 30), QDate(2026, 12, 31)};
    EXPECT_EQ(folder, expectedEnd);
}

TEST(BackupRetention, NewestCopyStaysWhateverTheClockSays) {
    // The clock was set back: the copies are "from the future", the newest of them stays.
    const QList<QDate> copies = {QDate(2030, 1, 1), QDate(2030, 1, 2)};
    EXPECT_EQ(CopiesToKeep(copies, QDate(2020, 1, 1)), copies);
    // Started again after two years: the last ten days stay, old as they are.
    QList<QDate> old;
    for (int i = 0; i < 14; ++i)
        old << QDate(2024, 5, 1).addDays(i);
    EXPECT_EQ(CopiesToKeep(old, QDate(2026, 6, 1)), old.mid(4));
}

TEST(BackupRetention, OnlyCopiesOfTheFolderAreRemoved) {
    TestFolder folder;
    QDir().mkpath(folder.file("backup"));
    const QStringList others = {"igdb_legacy_backup.dat", "igdb_legacy_backup_2.dat",
                                "igdb_2026-02-30.dat", "igdb_2025-01-01.dat.bak", "notes.txt"};
    for (const QString& name : others)
        folder.write("backup/" + name, "x");
    QStringList copies;
    for (int month = 1; month <= 12; ++month)
        copies << BackupFileName(QDate(2025, month, 15));
    for (const QString& name : copies)
        folder.write("backup/" + name, "x");

    // On 31 January 2026 the last twelve months are February 2025 to January 2026, and the
    // last ten copies are those of March to December.
    EXPECT_EQ(RemoveExpiredCopies(folder.file("backup"), QDate(2026, 1, 31)),
              QStringList({"igdb_2025-01-15.dat"}));
    QStringList expected = others + copies.mid(1);
    expected.sort();
    EXPECT_EQ(FilesIn(folder.file("backup")), expected);
}

TEST(DailyBackup, FirstStartOfADayMakesOneCopyAndASecondStartNone) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AddCitizens(data.db(), 1, 20, 3000);
    SetOption(data.db(), "FMSMEMBER", "Отдел");
    folder.write("igdb_legacy_backup.dat", "old");
    const QString copy = folder.file("backup/igdb_2026-12-10.dat");

    QDate today = kDay;
    DailyBackup first(data.db(), [&] { return today; });
    first.start();
    const BackupResult made = WaitForCopy(first);
    EXPECT_EQ(made.status, Status::Made) << made.reason.toStdString();
    EXPECT_EQ(made.path, copy);
    EXPECT_EQ(FilesIn(folder.file("backup")), QStringList{"igdb_2026-12-10.dat"});
    {
        const auto reader = Database::open(copy);
        EXPECT_EQ(Rows(*reader, "ig", "igid, sSurname"), Rows(data.db(), "ig", "igid, sSurname"));
        EXPECT_EQ(GetOption(*reader, "FMSMEMBER"), "Отдел");
        EXPECT_EQ(reader->queryInt("PRAGMA application_id"), kApplicationId);
    }
    const QByteArray bytes = Read(copy);
    EXPECT_FALSE(first.checkDay());

    SetOption(data.db(), "FMSMEMBER", "позже");
    DailyBackup second(data.db(), [&] { return today; });
    second.start();
    EXPECT_EQ(WaitForCopy(second).status, Status::AlreadyThere);
    EXPECT_EQ(Read(copy), bytes);

    // Left running over midnight: the next day's copy, by itself.
    today = kDay.addDays(1);
    EXPECT_TRUE(first.checkDay());
    EXPECT_EQ(WaitForCopy(first).status, Status::Made);
    EXPECT_EQ(FilesIn(folder.file("backup")),
              QStringList({"igdb_2026-12-10.dat", "igdb_2026-12-11.dat"}));
    EXPECT_EQ(folder.read("igdb_legacy_backup.dat"), "old");
}

TEST(DailyBackup, RetentionRunsAfterEachDaysCopy) {
    TestFolder folder;
    TestDatabase data(folder.path());
    QList<QDate> days;
    for (int day = 20; day <= 23; ++day)
        days << QDate(2026, 11, day);
    for (int day = 1; day <= 12; ++day)
        days << QDate(2026, 12, day);
    QDate today;
    DailyBackup backup(data.db(), [&] { return today; });
    for (const QDate& day : days) {
        today = day;
        ASSERT_TRUE(backup.checkDay());
        ASSERT_EQ(WaitForCopy(backup).status, Status::Made);
    }
    // The last ten days, and November's last.
    QStringList expected{"igdb_2026-11-23.dat"};
    for (int day = 3; day <= 12; ++day)
        expected << BackupFileName(QDate(2026, 12, day));
    EXPECT_EQ(FilesIn(folder.file("backup")), expected);
}

// The copy runs on a thread of its own while saves go on; each save writes a citizen with
// its children, changes a row at the start of the file (copied long before) and counts
// itself in an option. The copy must be the database after one of the saves, whole.
TEST(BackupDuringSaves, CopyEqualsTheDatabaseBetweenTwoSaves) {
    TestFolder folder;
    TestDatabase data(folder.path());
    Database& db = data.db();
    constexpr int kCitizens = 200;
    AddCitizens(db, 1, kCitizens, 6000);

    std::atomic<bool> copyDone{false}, cancel{false};
    BackupResult result;
    std::thread copier([&] {
        result = MakeBackup(db, folder.file("backup"), kDay, BackupPace{4, 1ms}, &cancel);
        copyDone = true;
    });
    QElapsedTimer timer;
    timer.start();
    int saves = 0;
    while (!copyDone || saves < 3) {
        // A copy that starts over at every save would never end.
        if (timer.hasExpired(30000))
            cancel = true;
        ++saves;
        Transaction save(db);
        AddCitizens(db, kCitizens + saves, 1, 6000);
        db.prepare("UPDATE ig SET sSurname = ?1 WHERE igid = 1")
            .bind(1, QStringLiteral("Сохранение %1").arg(saves))
            .run();
        SetOption(db, "SAVES", QString::number(saves));
        save.commit();
        // A user saves now and then, not without pause.
        std::this_thread::sleep_for(5ms);
    }
    copier.join();
    ASSERT_EQ(result.status, Status::Made) << result.reason.toStdString();
    EXPECT_EQ(result.restarts, 0);

    const auto copy = Database::open(result.path);
    const int k = GetOption(*copy, "SAVES").toInt();
    EXPECT_GT(k, 0);
    EXPECT_LE(k, saves);
    EXPECT_EQ(copy->queryInt("SELECT count(*) FROM ig"), kCitizens + k);
    EXPECT_EQ(copy->queryInt("SELECT max(igid) FROM ig"), kCitizens + k);
    EXPECT_EQ(copy->queryInt("SELECT count(*) FROM pp"), kCitizens + k);
    EXPECT_EQ(copy->queryInt("SELECT count(*) FROM igterritory"), 2 * (kCitizens + k));
    EXPECT_EQ(Rows(*copy, "ig", "sSurname").first(), QStringLiteral("Сохранение %1").arg(k));
    EXPECT_EQ(copy->queryInt("SELECT count(*) FROM ig WHERE length(Photo) <> 6000"), 0);
}

TEST(BackupAfterwards, SecondCopyOfTheProgramIsRefusedAndSavesReachTheFile) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AddCitizens(data.db(), 1, 50, 2000);
    ASSERT_EQ(MakeBackup(data.db(), folder.file("backup"), kDay).status, Status::Made);

    DatabaseConnector second(folder.path());
    EXPECT_FALSE(second.AcquireExclusiveUse());
    // The engine's own locks on the file hold too: nobody else can write while we do.
    data.db().exec("BEGIN IMMEDIATE");
    {
        const OtherProgram other(folder.file("igdb.dat"), OtherProgram::Lock::Exclusive);
        EXPECT_FALSE(other.holding());
    }
    data.db().exec("COMMIT");
    // The program's connection still commits durably.
    EXPECT_EQ(data.db().queryInt("PRAGMA synchronous"), 3);
    SetOption(data.db(), "FMSMEMBER", "после копии");
    const auto reader = Database::open(folder.file("igdb.dat"));
    EXPECT_EQ(GetOption(*reader, "FMSMEMBER"), "после копии");
}

TEST(BackupInterrupted, KillDuringTheCopyLeavesThePreviousCopiesAndNoHalfFile) {
    TestFolder folder;
    const QString backup = folder.file("backup");
    {
        TestDatabase data(folder.path());
        AddCitizens(data.db(), 1, 300, 4000);
        for (const QDate& day : {kDay.addDays(-2), kDay.addDays(-1)})
            ASSERT_EQ(MakeBackup(data.db(), backup, day).status, Status::Made);
    }
    const QStringList before = FilesIn(backup);
    const QByteArray previous = Read(backup + "/" + before.last());

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto db = Database::open(folder.file("igdb.dat"));
        MakeBackup(*db, backup, kDay, kSlowPace);
        _exit(0);
    }
    const bool midCopy = WaitForFile(backup + "/igdb_2026-12-10.dat.tmp", 64 * kKilobyte);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(midCopy);
    ASSERT_TRUE(WIFSIGNALED(status));

    QStringList left = FilesIn(backup);
    left.removeAll("igdb_2026-12-10.dat.tmp");
    left.removeAll("igdb_2026-12-10.dat.tmp-journal");
    EXPECT_EQ(left, before);
    EXPECT_EQ(Read(backup + "/" + before.last()), previous);

    // The next start clears what the killed copy left and makes the day's copy.
    TestDatabase data(folder.path());
    DailyBackup daily(data.db(), [] { return kDay; });
    daily.start();
    EXPECT_EQ(WaitForCopy(daily).status, Status::Made);
    EXPECT_EQ(FilesIn(backup), before + QStringList{"igdb_2026-12-10.dat"});
}

TEST(BackupInterrupted, ProgramClosedDuringTheCopyKeepsNothingOfIt) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AddCitizens(data.db(), 1, 300, 4000);
    {
        DailyBackup daily(data.db(), [] { return kDay; });
        daily.setPace(kSlowPace);
        daily.start();
        ASSERT_TRUE(WaitForFile(folder.file("backup/igdb_2026-12-10.dat.tmp"), 64 * kKilobyte));
    }
    EXPECT_EQ(FilesIn(folder.file("backup")), QStringList());
    SetOption(data.db(), "FMSMEMBER", "дальше");
    EXPECT_EQ(GetOption(data.db(), "FMSMEMBER"), "дальше");
}

TEST(BackupFailure, FullDiskOrReadOnlyFolderKeepsNothingAndTellsTheReason) {
    enum class Fault { DiskFillsDuringTheCopy, NoRoomToBegin, ReadOnlyFolder };
    struct Case {
        const char* name;
        Fault fault;
        const char* reason;
    };
    const Case cases[] = {
        {"disk fills during the copy", Fault::DiskFillsDuringTheCopy, "нет места на диске"},
        {"no room for the copy and the spare space", Fault::NoRoomToBegin, "нет места на диске"},
        {"read-only folder", Fault::ReadOnlyFolder, "нет прав на запись"},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        SmallDisk disk(folder.file("disk"), 4096 * kKilobyte);
        if (!disk.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";
        TestDatabase data(disk.path());
        AddCitizens(data.db(), 1, 200, 4000);
        const QString backup = disk.file("backup");
        BackupResult result;
        std::optional<SmallDisk> readOnly;
        switch (c.fault) {
            case Fault::DiskFillsDuringTheCopy: {
                // Another program takes the space while the copy is under way.
                BackupPace pace = kSlowPace;
                pace.spareBytes = 0;
                std::thread copier([&] { result = MakeBackup(data.db(), backup, kDay, pace); });
                const bool midCopy =
                    WaitForFile(backup + "/igdb_2026-12-10.dat.tmp", 64 * kKilobyte);
                disk.fill();
                copier.join();
                ASSERT_TRUE(midCopy);
                break;
            }
            case Fault::NoRoomToBegin:
                // The disk holds the database twice over, but not the spare space besides.
                result = MakeBackup(data.db(), backup, kDay);
                break;
            case Fault::ReadOnlyFolder:
                readOnly.emplace(backup, 64 * kKilobyte);
                ASSERT_TRUE(readOnly->makeReadOnly());
                result = MakeBackup(data.db(), backup, kDay);
                break;
        }
        EXPECT_EQ(result.status, Status::Failed) << c.name;
        EXPECT_EQ(result.reason, QString::fromUtf8(c.reason)) << c.name;
        EXPECT_EQ(BackupFailureMessage(result),
                  QStringLiteral(
                      "Не удалось записать резервную копию базы данных в папку «%1»: %2.\n"
                      "Данные в файле базы данных не затронуты, работу можно продолжать. Копия "
                      "будет сделана снова при следующем запуске программы.")
                      .arg(backup, QString::fromUtf8(c.reason)));
        EXPECT_EQ(FilesIn(backup), QStringList()) << c.name;

        disk.clear();
        SetOption(data.db(), "FMSMEMBER", "работаем дальше");
        EXPECT_EQ(GetOption(data.db(), "FMSMEMBER"), "работаем дальше");
    }
}

TEST(BackupFailure, IsToldOnceARunAndTriedAgainTheNextDay) {
    TestFolder folder;
    TestDatabase data(folder.path());
    // A file where the folder should be: no copy can be written.
    folder.write("backup", "not a folder");
    QDate today = kDay;
    DailyBackup daily(data.db(), [&] { return today; });
    QStringList told;
    QObject::connect(&daily, &DailyBackup::failed, [&](const QString& text) { told << text; });

    daily.start();
    const BackupResult first = WaitForCopy(daily);
    EXPECT_EQ(first.status, Status::Failed);
    EXPECT_EQ(first.reason, "на месте папки находится файл с тем же именем");
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(folder.file("backup"))) << told[0].toStdString();

    today = today.addDays(1);
    ASSERT_TRUE(daily.checkDay());
    EXPECT_EQ(WaitForCopy(daily).status, Status::Failed);
    EXPECT_EQ(told.size(), 1);

    QFile::remove(folder.file("backup"));
    today = today.addDays(1);
    ASSERT_TRUE(daily.checkDay());
    EXPECT_EQ(WaitForCopy(daily).status, Status::Made);
}
