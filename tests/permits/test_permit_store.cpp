#include <gtest/gtest.h>

#include "citizens/CitizenStore.h"
#include "permits/PermitStore.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace permits;

namespace {

void AddCitizen(storage::Database& db, int key, const QString& permit, int country,
                int profession = -1, int prefix = -1) {
    citizens::IGFormData record;
    record.surname = QString("Ф%1").arg(key);
    record.givenName = QString("И%1").arg(key);
    record.permitNumber = permit;
    record.citizenship = country;
    record.profession = profession;
    record.professionPrefix = prefix;
    citizens::InsertCitizen(db, record, key);
}

}  // namespace

TEST(PermitStore, InsertAndLoad) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const QList<CountryQuota> countries{{10, 2}, {20, 1}};
    const QList<ProfessionQuota> professions{{100, 2, 7}, {200, 1, -1}};
    InsertPermit(data.db(), "AB1", 40000, 40364, countries, professions, -1);

    EXPECT_TRUE(PermitExists(data.db(), "AB1"));
    EXPECT_TRUE(PermitExists(data.db(), "ab1"));  // Latin letters in any case
    EXPECT_FALSE(PermitExists(data.db(), "AB"));
    EXPECT_EQ(Rows(data.db(), "rnpirs"), QStringList{"AB1|40000|40364|-1"});

    Permit permit;
    EXPECT_TRUE(LoadPermit(data.db(), "AB1", permit));
    EXPECT_EQ(permit, (Permit{40000, 40364, -1, countries, professions}));
    int from = 0, to = 0;
    EXPECT_TRUE(LoadPermitPeriod(data.db(), "AB1", from, to));
    EXPECT_EQ(from, 40000);
    EXPECT_EQ(to, 40364);
}

TEST(PermitStore, UnknownNumberLeavesTheRecord) {
    TestFolder folder;
    TestDatabase data(folder.path());
    // Quota rows without their permit row do not make a permit.
    data.db().exec("INSERT INTO rnpirsCOUNTRY VALUES ('X', 1, 1)");
    const Permit before{1, 2, 3, {{4, 5}}, {{6, 7, 8}}};
    Permit permit = before;
    EXPECT_FALSE(LoadPermit(data.db(), "X", permit));
    EXPECT_FALSE(LoadPermitDates(data.db(), "X", permit));
    EXPECT_EQ(permit, before);
    int from = 11, to = 12;
    EXPECT_FALSE(LoadPermitPeriod(data.db(), "X", from, to));
    EXPECT_EQ(from, 11);
    EXPECT_EQ(to, 12);
}

TEST(PermitStore, FindPermitNumbersByPattern) {
    TestFolder folder;
    TestDatabase data(folder.path());
    for (const char* number : {"12", "512", "123", "7", "ab12"})
        InsertPermit(data.db(), number, 1, 2, {}, {}, -1);
    struct Case {
        const char* pattern;
        QStringList found;
    };
    const Case cases[] = {
        {"", {"12", "512", "123", "7", "ab12"}},
        {"%12", {"12", "512", "123", "ab12"}},
        {"12", {"12"}},
        {"%", {}},
        {"%AB", {}},  // letter case counts
        {"AB12", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindPermitNumbers(data.db(), c.pattern), c.found) << c.pattern;
}

TEST(PermitStore, DeleteWithCitizensRemovesOnlyTheTiedOnes) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPermit(data.db(), "A", 1, 2, {{10, 5}}, {{100, 5, -1}}, -1);
    InsertPermit(data.db(), "B", 1, 2, {{20, 5}}, {{200, 5, -1}}, -1);
    SavePermitTerritories(data.db(), "A", {3});
    AddCitizen(data.db(), 1, "B", 20);
    AddCitizen(data.db(), 2, "A", 10);
    AddCitizen(data.db(), 3, "", 10);
    AddCitizen(data.db(), 4, "a", 10);  // the number in other letter case names the permit
    AddCitizen(data.db(), 5, "B", 20);
    EXPECT_EQ(ListPermitCitizens(data.db(), "A"), QStringList({"Ф2 И2 ", "Ф4 И4 "}));

    DeletePermit(data.db(), "A", true);
    EXPECT_EQ(Rows(data.db(), "rnpirs", "rnpnum"), QStringList{"B"});
    EXPECT_EQ(Rows(data.db(), "rnpirsCOUNTRY", "c_rnp_pid"), QStringList{"B"});
    EXPECT_EQ(Rows(data.db(), "rnpirsPROFESS", "p_rnp_pid"), QStringList{"B"});
    EXPECT_EQ(Rows(data.db(), "ig", "igid"), QStringList({"1", "3", "5"}));
}

TEST(PermitStore, SavingAgainUnderTheSameNumberKeepsItsCitizens) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPermit(data.db(), "A", 1, 2, {{10, 5}}, {{100, 5, -1}}, -1);
    SavePermitTerritories(data.db(), "A", {3, 4});
    AddCitizen(data.db(), 1, "A", 10);

    DeletePermit(data.db(), "A", false);
    InsertPermit(data.db(), "A", 5, 6, {{30, 1}}, {{300, 1, 2}}, 4);
    SavePermitTerritories(data.db(), "A", {8});
    EXPECT_EQ(ListPermitCitizens(data.db(), "A"), QStringList{"Ф1 И1 "});
    EXPECT_EQ(Rows(data.db(), "rnpirsCOUNTRY"), QStringList{"A|30|1"});
    EXPECT_EQ(Rows(data.db(), "rnpirsPROFESS"), QStringList{"A|300|1|2"});
    EXPECT_EQ(LoadPermitTerritories(data.db(), "A"), QList<int>{8});

    SavePermitTerritories(data.db(), "A", {});
    EXPECT_TRUE(LoadPermitTerritories(data.db(), "A").isEmpty());
}

TEST(PermitStore, UsedQuotasNeverGoBelowZero) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AddCitizen(data.db(), 1, "A", 10, 100, 7);
    AddCitizen(data.db(), 2, "A", 10, 100, 7);
    AddCitizen(data.db(), 3, "A", 10, 100, 8);  // the profession with another prefix
    AddCitizen(data.db(), 4, "A", 20, 200, -1);
    AddCitizen(data.db(), 5, "B", 20, 200, -1);  // another permit
    AddCitizen(data.db(), 6, "A", 30, 300, -1);  // no entry: not counted

    QList<CountryQuota> countries{{10, 2}, {20, 5}, {10, 4}};
    QList<ProfessionQuota> professions{{100, 3, 7}, {100, 1, 9}, {200, 0, -1}};
    SubtractUsedQuotas(data.db(), "A", countries, professions);
    EXPECT_EQ(countries, (QList<CountryQuota>{{10, 0}, {20, 4}, {10, 4}}));
    EXPECT_EQ(professions, (QList<ProfessionQuota>{{100, 1, 7}, {100, 1, 9}, {200, 0, -1}}));
}

TEST(PermitStore, QuotaTestForAnEditedCitizen) {
    QList<CountryQuota> countries{{10, 0}, {20, 0}, {30, 2}};
    QList<ProfessionQuota> professions{
        {100, 0, 7}, {100, 0, 9}, {200, 0, -1}, {300, 1, 1}, {300, 2, 2}};
    const ProfessionPrefixIndex index = BuildProfessionPrefixIndex(professions);
    EXPECT_EQ(index.value(100), (QList<PrefixQuots>{{7, 0}, {9, 0}}));
    EXPECT_EQ(index.value(300), (QList<PrefixQuots>{{1, 1}, {2, 2}}));

    EXPECT_EQ(OfferedCountries(countries), QList<qint32>{30});
    EXPECT_EQ(OfferedProfessions(professions), QList<qint32>{300});
    // The citizen's own place comes back, for every prefix of its profession.
    GiveBackCitizenPlace(countries, professions, 10, 100);
    EXPECT_EQ(OfferedCountries(countries), QList<qint32>({10, 30}));
    EXPECT_EQ(OfferedProfessions(professions), QList<qint32>({100, 300}));
    EXPECT_EQ(professions[1], (ProfessionQuota{100, 1, 9}));
}
