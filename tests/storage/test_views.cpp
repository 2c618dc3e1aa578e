#include <gtest/gtest.h>

#include "storage/Database.h"
#include "storage/Views.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

TEST(Views, OpenViewCreatesTableWithLayoutInOrder) {
    TestFolder folder;
    auto db = Database::open(folder.file("x.db"));
    OpenView(*db, *Layout::parse("t[b:S,a:I]"));
    EXPECT_EQ(StoredLayout(*db, "t").toString(), "t[b:S,a:I]");
    EXPECT_EQ(StructureDescription(*db), "t[b:S,a:I]");
}

TEST(Views, TextComparesWithoutAsciiCaseOnly) {
    TestFolder folder;
    auto db = Database::open(folder.file("x.db"));
    OpenView(*db, *Layout::parse("t[k:S]"));
    db->exec("INSERT INTO t VALUES ('ab1'), ('Юг')");
    EXPECT_EQ(db->queryInt("SELECT count(*) FROM t WHERE k = 'AB1'"), 1);
    EXPECT_EQ(db->queryInt("SELECT count(*) FROM t WHERE k = 'юг'"), 0);
}

TEST(Views, RestructureKeepsRowsOrderAndMatchesNamesWithoutCase) {
    TestFolder folder;
    auto db = MakeOwnDatabase(folder.file("x.db"), {"v[B:S,gone:I,a:I]"});
    db->exec("INSERT INTO v VALUES ('one', 7, 1), ('two', 8, 2), ('three', 9, 3)");
    db->exec("DELETE FROM v WHERE a = 2");
    db->exec("INSERT INTO v VALUES ('four', 0, 4)");

    OpenView(*db, *Layout::parse("v[a:I,b:S,added:I,note:S]"));

    EXPECT_EQ(StoredLayout(*db, "v").toString(), "v[a:I,b:S,added:I,note:S]");
    EXPECT_EQ(Rows(*db, "v"), QStringList({"1|one|0|", "3|three|0|", "4|four|0|"}));
}

TEST(Views, OpeningACurrentViewChangesNothing) {
    TestFolder folder;
    auto db = MakeOwnDatabase(folder.file("x.db"), {"v[a:I]"});
    db->exec("INSERT INTO v VALUES (5)");
    const qint64 version = db->queryInt("PRAGMA schema_version");
    OpenView(*db, *Layout::parse("V[A:I]"));
    EXPECT_EQ(db->queryInt("PRAGMA schema_version"), version);
    EXPECT_EQ(Rows(*db, "v"), QStringList{"5"});
}

TEST(Views, TransactionRollsBackUnlessCommitted) {
    TestFolder folder;
    auto db = MakeOwnDatabase(folder.file("x.db"), {"v[a:I]"});
    try {
        Transaction outer(*db);
        db->exec("INSERT INTO v VALUES (1)");
        {
            Transaction inner(*db);
            db->exec("INSERT INTO v VALUES (2)");
            inner.commit();
        }
        throw std::runtime_error("interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(Rows(*db, "v").isEmpty());

    Transaction done(*db);
    db->exec("INSERT INTO v VALUES (3)");
    done.commit();
    EXPECT_EQ(Rows(*db, "v"), QStringList{"3"});
}

TEST(Views, EngineErrorsAreTyped) {
    TestFolder folder;
    auto db = Database::open(folder.file("x.db"));
    EXPECT_THROW(db->exec("SELECT * FROM missing"), DatabaseError);
}
