#include <gtest/gtest.h>

#include "citizens/CitizenSave.h"
#include "citizens/CitizenTerritoryStore.h"
#include "dates/DateConventions.h"
#include "storage/Database.h"
#include "storage/Sequences.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;

namespace {

CitizenSave NewCitizen(const QString& surname) {
    CitizenSave save;
    save.record.surname = surname;
    save.record.birthDate = QStringLiteral("01/01/1980");
    PPFormData document;
    document.payer = QStringLiteral("Плательщик");
    document.number = QStringLiteral("42");
    save.paymentDocument = document;
    save.address.city = QStringLiteral("Москва");
    save.address.region = 77;
    save.territories = {5, 9};
    return save;
}

class CitizenSaveTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    storage::Database& db = data.db();

    // Every table a save writes, generators included.
    QStringList everything() {
        QStringList rows;
        for (const char* table : {"ig", "pp", "igphaddr", "igterritory", "IGGEN", "PPGEN"})
            rows << QLatin1String(table) << Rows(db, QLatin1String(table));
        return rows;
    }
};

}  // namespace

TEST_F(CitizenSaveTest, NewCitizenIsWrittenWithEverythingAttachedUnderGeneratedKeys) {
    storage::NextSequenceValue(db, "IGGEN");  // keys 1 are taken
    storage::NextSequenceValue(db, "PPGEN");
    EXPECT_EQ(SaveCitizen(db, NewCitizen("Иванов")), 2);
    EXPECT_EQ(Rows(db, "ig", "igid, sSurname"), QStringList{"2|Иванов"});
    EXPECT_EQ(Rows(db, "pp", "ppid, pppid, sName"), QStringList{"2|2|Плательщик"});
    EXPECT_EQ(Rows(db, "igphaddr", "phaddr_pid, iRegion, sCity"), QStringList{"2|77|Москва"});
    EXPECT_EQ(LoadCitizenTerritories(db, 2), (QList<int>{5, 9}));

    CitizenSave bare = NewCitizen("Петров");
    bare.paymentDocument.reset();
    EXPECT_EQ(SaveCitizen(db, bare), 3);
    EXPECT_EQ(Rows(db, "pp", "ppid"), QStringList{"2"});  // PPGEN is not drawn for none
    EXPECT_EQ(Rows(db, "PPGEN"), QStringList{"2"});
}

TEST_F(CitizenSaveTest, AnAddressWithOnlyItsRegionIsStoredEmpty) {
    struct Case {
        RegAddrFormData address;
        const char* stored;
    };
    RegAddrFormData regionOnly;
    regionOnly.region = 77;
    RegAddrFormData withCity = regionOnly;
    withCity.city = QStringLiteral("Москва");
    RegAddrFormData districtOnly;
    districtOnly.region = 77;
    districtOnly.district = 3;
    const Case cases[] = {
        {RegAddrFormData(), "1||-1|-1|||||||-1|-1"},
        {regionOnly, "2||-1|-1|||||||-1|-1"},
        {withCity, "3||77|-1|Москва||||||-1|-1"},
        {districtOnly, "4||77|3|||||||-1|-1"},
    };
    for (const Case& c : cases) {
        CitizenSave save = NewCitizen("Иванов");
        save.address = c.address;
        const std::optional<int> key = SaveCitizen(db, save);
        ASSERT_TRUE(key);
        EXPECT_EQ(Rows(db, "igphaddr").last(), c.stored);
    }
}

TEST_F(CitizenSaveTest, EditReplacesTheAttachedRowsAndStoresThePaymentUnderANewKeyEachTime) {
    const int key = *SaveCitizen(db, NewCitizen("Иванов"));
    const int other = *SaveCitizen(db, NewCitizen("Сидоров"));
    CitizenSave edit = NewCitizen("Иванова");
    edit.editedKey = key;
    edit.territories = {7};
    EXPECT_EQ(SaveCitizen(db, edit), key);
    EXPECT_EQ(SaveCitizen(db, edit), key);

    EXPECT_EQ(Rows(db, "ig", "igid, sSurname"), (QStringList{"1|Иванова", "2|Сидоров"}));
    EXPECT_EQ(Rows(db, "pp", "ppid, pppid"), (QStringList{"2|2", "4|1"}));
    EXPECT_EQ(Rows(db, "igphaddr", "phaddr_pid"), (QStringList{"2", "1"}));
    EXPECT_EQ(LoadCitizenTerritories(db, key), QList<int>{7});
    EXPECT_EQ(LoadCitizenTerritories(db, other), (QList<int>{5, 9}));
    EXPECT_EQ(Rows(db, "IGGEN"), QStringList{"2"});  // an edit draws no citizen key

    edit.paymentDocument.reset();
    SaveCitizen(db, edit);
    EXPECT_EQ(Rows(db, "pp", "pppid"), QStringList{"2"});
}

TEST_F(CitizenSaveTest, ACitizenDeletedMeanwhileIsNotWrittenAgain) {
    const int key = *SaveCitizen(db, NewCitizen("Иванов"));
    DeleteCitizens(db, {key});
    const QStringList before = everything();
    CitizenSave edit = NewCitizen("Иванов");
    edit.editedKey = key;
    EXPECT_EQ(SaveCitizen(db, edit), std::nullopt);
    EXPECT_EQ(everything(), before);
}

// A failure at any step, the last one included, leaves the database as it was: no citizen,
// no attached row, and the generators where they were.
TEST_F(CitizenSaveTest, AFailedStepLeavesNothingBehind) {
    const int key = *SaveCitizen(db, NewCitizen("Иванов"));
    CitizenSave edit = NewCitizen("Иванова");
    edit.editedKey = key;
    const CitizenSave added = NewCitizen("Петров");
    CitizenSave badAddress = NewCitizen("Петров");
    badAddress.address.registeredFrom = QStringLiteral("31/02/2012");

    struct Case {
        const char* what;
        const char* fault;  // SQL run before the save
        const CitizenSave* save;
    };
    const char* lastStepFails =
        "CREATE TEMP TRIGGER refuse BEFORE INSERT ON igterritory "
        "BEGIN SELECT RAISE(ABORT, 'injected'); END";
    const char* addressFails =
        "CREATE TEMP TRIGGER refuse BEFORE INSERT ON igphaddr "
        "BEGIN SELECT RAISE(ABORT, 'injected'); END";
    const Case cases[] = {
        {"new citizen, territories refused", lastStepFails, &added},
        {"new citizen, address refused", addressFails, &added},
        {"edit, territories refused", lastStepFails, &edit},
        {"new citizen, read-only database", "PRAGMA query_only = ON", &added},
        {"edit, read-only database", "PRAGMA query_only = ON", &edit},
    };
    for (const Case& c : cases) {
        const QStringList before = everything();
        db.exec(c.fault);
        EXPECT_THROW(SaveCitizen(db, *c.save), storage::DatabaseError) << c.what;
        db.exec("PRAGMA query_only = OFF; DROP TRIGGER IF EXISTS temp.refuse");
        EXPECT_EQ(everything(), before) << c.what;
    }

    const QStringList before = everything();
    EXPECT_THROW(SaveCitizen(db, badAddress), dates::DateTextError);
    EXPECT_EQ(everything(), before);

    // Once the cause is gone the save goes through, with a key no refused save was given:
    // the three refused new citizens drew 2, 3 and 4, which are never handed out again.
    EXPECT_EQ(SaveCitizen(db, added), 5);
}
