#include <gtest/gtest.h>

#include "citizens/CitizenStore.h"
#include "permits/PermitEntrySave.h"
#include "storage/Database.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace permits;

namespace {

// Every permit view in stored order, to compare a database before and after.
QStringList PermitViews(storage::Database& db) {
    QStringList all;
    for (const char* table : {"rnpirs", "rnpirsCOUNTRY", "rnpirsPROFESS", "rnpterritory"})
        all << QLatin1String(table) << Rows(db, QLatin1String(table));
    return all << QStringLiteral("ig") << Rows(db, QStringLiteral("ig"), QStringLiteral("igid"));
}

class PermitEntrySaveTest : public ::testing::Test {
protected:
    PermitEntrySaveTest() {
        SavePermitEntry(db, {"A", {100, 465, 90, {{10, 3}}, {{200, 3, -1}}}, {5, 9}}, false);
        SavePermitEntry(db, {"B", {100, 465, -1, {{20, 1}}, {{300, 1, 4}}}, {7}}, false);
        citizens::IGFormData citizen;
        citizen.permitNumber = "A";
        citizens::InsertCitizen(db, citizen, 1);
    }

    // The database refuses the statement from now on, as a full disk or a lost file would.
    void Refuse(const char* event) {
        db.exec(QStringLiteral("CREATE TEMP TRIGGER refused %1 BEGIN "
                               "SELECT RAISE(ABORT, 'refused for the test'); END")
                    .arg(QLatin1String(event))
                    .toStdString());
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    storage::Database& db = data.db();
    const PermitEntry edited{"A", {200, 565, -1, {{30, 2}, {40, 1}}, {{500, 3, 6}}}, {8}};
};

}  // namespace

TEST_F(PermitEntrySaveTest, NewPermitIsWrittenWithItsQuotasAndTerritories) {
    EXPECT_EQ(Rows(db, "rnpirs"), QStringList({"A|100|465|90", "B|100|465|-1"}));
    EXPECT_EQ(Rows(db, "rnpirsPROFESS"), QStringList({"A|200|3|-1", "B|300|1|4"}));
    EXPECT_EQ(LoadPermitTerritories(db, "A"), QList<int>({5, 9}));
}

TEST_F(PermitEntrySaveTest, EditedPermitIsRewrittenAtTheEndAndKeepsItsCitizens) {
    SavePermitEntry(db, edited, true);
    EXPECT_EQ(Rows(db, "rnpirs"), QStringList({"B|100|465|-1", "A|200|565|-1"}));
    EXPECT_EQ(Rows(db, "rnpirsCOUNTRY"), QStringList({"B|20|1", "A|30|2", "A|40|1"}));
    EXPECT_EQ(Rows(db, "rnpirsPROFESS"), QStringList({"B|300|1|4", "A|500|3|6"}));
    EXPECT_EQ(Rows(db, "rnpterritory"), QStringList({"B|7", "A|8"}));
    EXPECT_EQ(Rows(db, "ig", "igid, iRNP_ig_num"), QStringList{"1|A"});
}

// A permit deleted (with its citizens) while it was open for editing is not written back
// without them.
TEST_F(PermitEntrySaveTest, EditOfAPermitDeletedMeanwhileWritesNothing) {
    DeletePermit(db, "A", true);
    const QStringList before = PermitViews(db);
    EXPECT_FALSE(SavePermitEntry(db, edited, true));
    EXPECT_EQ(PermitViews(db), before);
    EXPECT_FALSE(PermitExists(db, "A"));
}

// The edit deletes the stored permit before it writes the new one: a refusal at any later
// step must bring the deleted rows back.
TEST_F(PermitEntrySaveTest, RefusalAfterTheDeletionLosesNothing) {
    for (const char* step : {"BEFORE INSERT ON rnpirs", "BEFORE INSERT ON rnpirsPROFESS",
                             "BEFORE INSERT ON rnpterritory"}) {
        const QStringList before = PermitViews(db);
        Refuse(step);
        EXPECT_THROW(SavePermitEntry(db, edited, true), storage::DatabaseError) << step;
        EXPECT_EQ(PermitViews(db), before) << step;
        db.exec("DROP TRIGGER refused");
    }
    SavePermitEntry(db, edited, true);  // the connection still writes afterwards
    EXPECT_EQ(Rows(db, "rnpirs", "rnpnum"), QStringList({"B", "A"}));
}

TEST_F(PermitEntrySaveTest, RefusedDeletionWithCitizensKeepsThePermitWhole) {
    const QStringList before = PermitViews(db);
    Refuse("BEFORE DELETE ON ig");
    EXPECT_THROW(DeletePermit(db, "A", true), storage::DatabaseError);
    EXPECT_EQ(PermitViews(db), before);
}
