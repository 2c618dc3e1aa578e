#include <gtest/gtest.h>

#include "storage/Options.h"
#include "storage/Sequences.h"
#include "support/DatabaseFaults.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;
using namespace std::chrono_literals;

namespace {

// Draws a citizen key inside a save whose commit fails, because another program reads the
// file past the busy timeout. Returns the key drawn.
int DrawInAFailedSave(Database& db) {
    db.setBusyTimeout(100ms);
    const OtherProgram reader(db.path(), OtherProgram::Lock::Read);
    EXPECT_TRUE(reader.holding());
    Transaction save(db);
    const int key = NextSequenceValue(db, kCitizenGenerator);
    EXPECT_THROW(save.commit(), DatabaseError);
    return key;
}

QStringList GeneratorInFile(const QString& path) {
    const auto reader = Database::open(path);
    return Rows(*reader, "IGGEN");
}

}  // namespace

TEST(Sequences, StartAtOneAndCountUp) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(NextSequenceValue(data.db(), "IGGEN"), 1);
    EXPECT_EQ(Rows(data.db(), "IGGEN"), QStringList{"1"});
    EXPECT_EQ(NextSequenceValue(data.db(), "IGGEN"), 2);
    EXPECT_EQ(Rows(data.db(), "IGGEN"), QStringList{"2"});
}

TEST(Sequences, ContinueFromTheStoredValue) {
    TestFolder folder;
    TestDatabase data(folder.path());
    data.db().exec("INSERT INTO PPGEN VALUES (41)");
    EXPECT_EQ(NextSequenceValue(data.db(), "PPGEN"), 42);
    EXPECT_EQ(Rows(data.db(), "PPGEN"), QStringList{"42"});
}

TEST(Sequences, GeneratorsCountIndependently) {
    TestFolder folder;
    TestDatabase data(folder.path());
    NextSequenceValue(data.db(), "IGGEN");
    NextSequenceValue(data.db(), "IGGEN");
    EXPECT_EQ(NextSequenceValue(data.db(), "PPGEN"), 1);
    EXPECT_EQ(NextSequenceValue(data.db(), "IG_PKG_GEN"), 1);
    EXPECT_EQ(NextSequenceValue(data.db(), "IGGEN"), 3);
}

TEST(Sequences, AnyNameMakesItsOwnView) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(NextSequenceValue(data.db(), "OTHERGEN"), 1);
    EXPECT_EQ(Rows(data.db(), "OTHERGEN"), QStringList{"1"});
}

TEST(Sequences, ValueDrawnInAFailedSaveIsNotGivenAgainInThisRun) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(NextSequenceValue(data.db(), "IGGEN"), 1);
    EXPECT_EQ(DrawInAFailedSave(data.db()), 2);
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{"1"});
    // Any later commit records the value drawn, so that a crash cannot bring it back.
    SetOption(data.db(), "FMSMEMBER", "x");
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{"2"});
    EXPECT_EQ(NextSequenceValue(data.db(), "iggen"), 3);
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{"3"});
}

TEST(Sequences, ValueDrawnInAFailedSaveIsNotGivenAgainInTheNextRun) {
    TestFolder folder;
    {
        TestDatabase data(folder.path());
        EXPECT_EQ(DrawInAFailedSave(data.db()), 1);
        EXPECT_EQ(DrawInAFailedSave(data.db()), 2);
        // Nothing commits before the program ends.
    }
    TestDatabase next(folder.path());
    EXPECT_EQ(NextSequenceValue(next.db(), "IGGEN"), 3);
}

TEST(Sequences, DrawWhoseOwnCommitFailsReturnsNothing) {
    TestFolder folder;
    TestDatabase data(folder.path());
    data.db().setBusyTimeout(100ms);
    {
        const OtherProgram reader(folder.file("igdb.dat"), OtherProgram::Lock::Read);
        ASSERT_TRUE(reader.holding());
        EXPECT_THROW(NextSequenceValue(data.db(), "IGGEN"), DatabaseError);
    }
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{});
    EXPECT_EQ(NextSequenceValue(data.db(), "IGGEN"), 1);
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{"1"});
}

// Catching up is a write: a reading operation never takes it on, so a cause that only writes
// meet (a lock, a full disk) cannot fail a search after a refused save.
TEST(Sequences, ReadingAfterAFailedSaveStaysAReadWhileTheFileIsHeld) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(DrawInAFailedSave(data.db()), 1);
    {
        const OtherProgram reader(folder.file("igdb.dat"), OtherProgram::Lock::Read);
        ASSERT_TRUE(reader.holding());
        Transaction read(data.db());
        EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM ig"), 0);
        EXPECT_NO_THROW(read.commit());
    }
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{});
    SetOption(data.db(), "FMSMEMBER", "x");  // the next write catches up
    EXPECT_EQ(GeneratorInFile(folder.file("igdb.dat")), QStringList{"1"});
}
