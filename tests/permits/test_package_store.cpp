#include <gtest/gtest.h>

#include "citizens/CitizenStore.h"
#include "dates/DateConventions.h"
#include "permits/PackageStore.h"
#include "storage/Database.h"
#include "storage/Sequences.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace permits;

namespace {

constexpr int k12May2010 = 40310;

IGPackageFormData Package(const QString& number, const QList<int>& territories = {}) {
    IGPackageFormData r;
    r.number = number;
    r.notes = "примечание " + number;
    r.activeFrom = "01/06/2010";
    r.activeTo = "31/05/2011";
    r.territories = territories;
    return r;
}

}  // namespace

TEST(PackageStore, NumbersFollowTheHighestStored) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(NextPackageNumber(data.db()), "0001");
    InsertPackage(data.db(), Package("0001"), 1);
    InsertPackage(data.db(), Package("0007"), 2);
    EXPECT_EQ(NextPackageNumber(data.db()), "0008");
    InsertPackage(data.db(), Package("0008"), 3);
    DeletePackage(data.db(), "0008");
    EXPECT_EQ(NextPackageNumber(data.db()), "0008");

    InsertPackage(data.db(), Package("9999"), 4);
    EXPECT_EQ(NextPackageNumber(data.db()), "10000");
    InsertPackage(data.db(), Package("10000"), 5);
    EXPECT_EQ(NextPackageNumber(data.db()), "10001");
}

TEST(PackageStore, InsertAndLoadWithTerritories) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0001", {5, 3}), 7, k12May2010);
    EXPECT_EQ(Rows(data.db(), "igpackage"),
              QStringList{QString("7|%1|0001|40330|40694|примечание 0001").arg(k12May2010)});

    IGPackageFormData expected = Package("0001", {5, 3});
    expected.id = 7;
    expected.created = "12/05/2010";
    IGPackageFormData loaded;
    EXPECT_TRUE(LoadPackage(data.db(), 7, loaded));
    EXPECT_EQ(loaded, expected);
    loaded = {};
    EXPECT_TRUE(LoadPackageByNumber(data.db(), "0001", loaded));
    EXPECT_EQ(loaded, expected);

    IGPackageFormData untouched = Package("x");
    EXPECT_FALSE(LoadPackage(data.db(), 8, untouched));
    EXPECT_FALSE(LoadPackageByNumber(data.db(), "0002", untouched));
    EXPECT_EQ(untouched, Package("x"));
}

TEST(PackageStore, BadDateWritesNothing) {
    TestFolder folder;
    TestDatabase data(folder.path());
    IGPackageFormData record = Package("0001", {5});
    record.activeTo = "32/05/2011";
    EXPECT_THROW(InsertPackage(data.db(), record, 1), dates::DateTextError);
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
    EXPECT_TRUE(Rows(data.db(), "pkgterritory").isEmpty());
}

TEST(PackageStore, UpdateKeepsNumberCreationAndPlace) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0001", {1}), 1, k12May2010);
    InsertPackage(data.db(), Package("0002", {2, 3}), 2, k12May2010 + 1);
    InsertPackage(data.db(), Package("0003", {4}), 3, k12May2010 + 2);

    IGPackageFormData changed = Package("9999", {6, 5});
    changed.notes = "новое";
    changed.activeFrom = "01/07/2010";
    EXPECT_TRUE(UpdatePackage(data.db(), changed, 2));
    EXPECT_EQ(
        Rows(data.db(), "igpackage", "package_id, crdate, pkgnumber, pkg_active_from, pkginfo"),
        QStringList({QString("1|%1|0001|40330|примечание 0001").arg(k12May2010),
                     QString("2|%1|0002|40360|новое").arg(k12May2010 + 1),
                     QString("3|%1|0003|40330|примечание 0003").arg(k12May2010 + 2)}));
    EXPECT_EQ(LoadPackageTerritories(data.db(), 2), QList<int>({6, 5}));
    EXPECT_EQ(LoadPackageTerritories(data.db(), 1), QList<int>{1});

    const QStringList before = Rows(data.db(), "igpackage") + Rows(data.db(), "pkgterritory");
    EXPECT_FALSE(UpdatePackage(data.db(), changed, 9));
    EXPECT_EQ(Rows(data.db(), "igpackage") + Rows(data.db(), "pkgterritory"), before);
}

TEST(PackageStore, FindPackagesByCreationDayBoundsIncluded) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const int day = k12May2010;
    InsertPackage(data.db(), Package("0001"), 1, day);
    InsertPackage(data.db(), Package("0002"), 2, day + 1);
    InsertPackage(data.db(), Package("0003"), 3, day + 2);
    struct Case {
        int id, earliest, latest;
        QStringList numbers;
    };
    const Case cases[] = {
        {-1, -1, -1, {"0001", "0002", "0003"}},
        {-1, day + 1, day + 2, {"0002", "0003"}},
        {-1, -1, day + 1, {"0001", "0002"}},
        {-1, day + 2, day, {}},
        {2, -1, -1, {"0002"}},
        {2, day + 2, -1, {}},
    };
    for (const Case& c : cases) {
        QStringList numbers;
        for (const IGPackageFormData& found : FindPackages(data.db(), c.id, c.earliest, c.latest)) {
            EXPECT_TRUE(found.territories.isEmpty());
            numbers << found.number;
        }
        EXPECT_EQ(numbers, c.numbers) << c.id << " " << c.earliest << " " << c.latest;
    }
    const IGPackageFormData first = FindPackages(data.db(), 1, -1, -1).value(0);
    EXPECT_EQ(first.created, "12/05/2010");
    EXPECT_EQ(first.activeTo, "31/05/2011");
}

TEST(PackageStore, ListShowsNumberAndCreationDayInIdentifierOrder) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0003"), 5, k12May2010);
    InsertPackage(data.db(), Package("0004"), 2, k12May2010 + 1);
    EXPECT_EQ(ListPackages(data.db()),
              (QList<PackageListEntry>{{"0004  -  13/05/2010", 2}, {"0003  -  12/05/2010", 5}}));
}

TEST(PackageStore, DeleteLeavesTerritoriesAndCitizens) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0001", {4}), 1);
    InsertPackage(data.db(), Package("0002"), 2);
    citizens::IGFormData citizen;
    citizen.package = 1;
    citizens::InsertCitizen(data.db(), citizen, 1);
    citizens::InsertCitizen(data.db(), citizen, 2);
    citizen.package = 2;
    citizens::InsertCitizen(data.db(), citizen, 3);
    EXPECT_EQ(CountPackageCitizens(data.db(), 1), 2);
    EXPECT_EQ(CountPackageCitizens(data.db(), 3), 0);
    EXPECT_EQ(CountPackageCitizens(data.db(), QList<int>({2, 3, 1})), QList<int>({1, 0, 2}));

    DeletePackage(data.db(), "0001");
    EXPECT_EQ(Rows(data.db(), "igpackage", "pkgnumber"), QStringList{"0002"});
    EXPECT_EQ(Rows(data.db(), "pkgterritory"), QStringList{"1|4"});
    EXPECT_EQ(CountPackageCitizens(data.db(), 1), 2);
}

TEST(PackageStore, NewPackagesTakeTheNextNumberAndIdentifier) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0004"), 1);
    DeletePackage(data.db(), "0004");  // the number is given again, the identifier is not
    storage::NextSequenceValue(data.db(), storage::kPackageGenerator);

    const IGPackageFormData first = AddNewPackage(data.db(), Package("ignored", {7, 2}));
    const IGPackageFormData second = AddNewPackage(data.db(), Package("ignored"));
    EXPECT_EQ(first.number, "0001");
    EXPECT_EQ(first.id, 2);
    EXPECT_EQ(first.created, dates::DateNumberToText(dates::Today()));
    EXPECT_EQ(second.number, "0002");
    EXPECT_EQ(second.id, 3);
    IGPackageFormData loaded;
    ASSERT_TRUE(LoadPackage(data.db(), 2, loaded));
    EXPECT_EQ(loaded, first);
    EXPECT_EQ(Rows(data.db(), "pkgterritory"), QStringList({"2|7", "2|2"}));
}

TEST(PackageStore, RefusedWritesLeaveNothingBehind) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPackage(data.db(), Package("0001"), 1);
    InsertPackage(data.db(), Package("0002"), 2);
    storage::NextSequenceValue(data.db(), storage::kPackageGenerator);
    const QStringList before = Rows(data.db(), "igpackage") + Rows(data.db(), "pkgterritory") +
                               Rows(data.db(), storage::kPackageGenerator);
    data.db().exec("PRAGMA query_only = ON");
    EXPECT_THROW(AddNewPackage(data.db(), Package("", {3})), storage::DatabaseError);
    EXPECT_THROW(DeletePackages(data.db(), {"0001", "0002"}), storage::DatabaseError);
    data.db().exec("PRAGMA query_only = OFF");
    EXPECT_EQ(Rows(data.db(), "igpackage") + Rows(data.db(), "pkgterritory") +
                  Rows(data.db(), storage::kPackageGenerator),
              before);

    DeletePackages(data.db(), {"0002", "0001"});
    EXPECT_TRUE(Rows(data.db(), "igpackage").isEmpty());
}
