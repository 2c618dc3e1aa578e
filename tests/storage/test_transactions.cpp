#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QElapsedTimer>
#include <thread>

#include "storage/Database.h"
#include "storage/Options.h"
#include "storage/Sequences.h"
#include "support/DatabaseFaults.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;
using namespace std::chrono_literals;

namespace {

// A save as the stores make one: an identifier drawn, a row written, an option replaced, all
// in one transaction. Returns the identifier.
int SaveCitizen(Database& db, const QString& surname) {
    Transaction transaction(db);
    const int key = NextSequenceValue(db, kCitizenGenerator);
    db.prepare("INSERT INTO ig (igid, sSurname) VALUES (?1, ?2)")
        .bind(1, key)
        .bind(2, surname)
        .run();
    SetOption(db, "FMSMEMBER", surname);
    transaction.commit();
    return key;
}

// What is really in the file: read through a connection of its own.
QStringList CitizensInFile(const QString& path) {
    const auto reader = Database::open(path);
    return Rows(*reader, "ig", "igid, sSurname");
}

bool InAutocommit(Database& db) {
    return sqlite3_get_autocommit(db.handle()) != 0;
}

}  // namespace

TEST(Transactions, SaveWaitsForAnotherProgramReadingTheFileAndCommits) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const OtherProgram reader(folder.file("igdb.dat"), OtherProgram::Lock::Read, 300ms);
    ASSERT_TRUE(reader.holding());

    EXPECT_EQ(SaveCitizen(data.db(), "Иванов"), 1);
    EXPECT_EQ(CitizensInFile(folder.file("igdb.dat")), QStringList{"1|Иванов"});
}

TEST(Transactions, SaveThatOutlastsTheLockFailsWholeAndEveryLaterSaveCommits) {
    TestFolder folder;
    TestDatabase data(folder.path());
    data.db().setBusyTimeout(100ms);
    SaveCitizen(data.db(), "Первый");
    {
        const OtherProgram reader(folder.file("igdb.dat"), OtherProgram::Lock::Read);
        ASSERT_TRUE(reader.holding());
        try {
            SaveCitizen(data.db(), "Второй");
            ADD_FAILURE() << "the save was reported done while the file was locked";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.code() & 0xFF, SQLITE_BUSY) << e.what();
            EXPECT_EQ(e.path(), folder.file("igdb.dat"));
            EXPECT_TRUE(DescribeDatabaseError(e).contains("используется другой программой"));
        }
        EXPECT_TRUE(InAutocommit(data.db()));
    }
    // Identifier 2 went to the failed save and is not given again.
    EXPECT_EQ(SaveCitizen(data.db(), "Третий"), 3);
    EXPECT_EQ(SaveCitizen(data.db(), "Четвёртый"), 4);
    EXPECT_TRUE(InAutocommit(data.db()));

    EXPECT_EQ(CitizensInFile(folder.file("igdb.dat")),
              QStringList({"1|Первый", "3|Третий", "4|Четвёртый"}));
    const auto reader = Database::open(folder.file("igdb.dat"));
    EXPECT_EQ(GetOption(*reader, "FMSMEMBER"), "Четвёртый");
}

TEST(Transactions, FailureInsideANestedGuardRollsTheWholeSaveBack) {
    TestFolder folder;
    TestDatabase data(folder.path());
    Database& db = data.db();
    EXPECT_THROW(
        {
            Transaction save(db);
            SetOption(db, "FMSMEMBER", "не сохранено");
            Transaction inner(db);
            db.exec("INSERT INTO missing VALUES (1)");
        },
        DatabaseError);
    EXPECT_TRUE(InAutocommit(db));
    EXPECT_EQ(GetOption(db, "FMSMEMBER"), "");
    SaveCitizen(db, "Иванов");
    EXPECT_EQ(CitizensInFile(folder.file("igdb.dat")), QStringList{"1|Иванов"});
}

TEST(Transactions, LeftoverOpenTransactionIsRolledBackBeforeTheNextOperation) {
    TestFolder folder;
    TestDatabase data(folder.path());
    Database& db = data.db();
    // As a failed commit whose rollback did not happen would leave the connection.
    db.exec("BEGIN; INSERT INTO ig (igid, sSurname) VALUES (99, 'никогда не сохранён')");
    SaveCitizen(db, "Иванов");
    EXPECT_TRUE(InAutocommit(db));
    EXPECT_EQ(CitizensInFile(folder.file("igdb.dat")), QStringList{"1|Иванов"});
}

// The daily copy's thread must not hold the connection while another program's lock lasts:
// on that thread a busy connection gives up at once, elsewhere it waits its timeout.
TEST(Transactions, AThreadThatMustNotWaitGivesUpAtOnceOnALock) {
    TestFolder folder;
    TestDatabase data(folder.path());
    data.db().setBusyTimeout(std::chrono::milliseconds(300));
    const OtherProgram holder(folder.file("igdb.dat"), OtherProgram::Lock::Exclusive);
    ASSERT_TRUE(holder.holding());
    const auto timed = [&data] {
        QElapsedTimer timer;
        timer.start();
        EXPECT_THROW(data.db().queryInt("SELECT count(*) FROM ig"), DatabaseError);
        return timer.elapsed();
    };
    EXPECT_GE(timed(), 200);
    std::thread([&] {
        const NoBusyWaitOnThisThread noWait;
        EXPECT_LT(timed(), 100);
    }).join();
    EXPECT_GE(timed(), 200);  // the other threads still wait
}
