#include <gtest/gtest.h>

#include "citizens/CitizenTerritoryStore.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;

TEST(CitizenTerritories, ReplaceKeepsOtherCitizensInPlace) {
    TestFolder folder;
    TestDatabase data(folder.path());
    ReplaceCitizenTerritories(data.db(), 1, {5, 3});  // a citizen without rows: only additions
    ReplaceCitizenTerritories(data.db(), 2, {7});
    data.db().exec("INSERT INTO igterritory VALUES (1, 9)");  // rows of 1 around those of 2
    ReplaceCitizenTerritories(data.db(), 3, {8});

    ReplaceCitizenTerritories(data.db(), 1, {4, 2, 6});
    EXPECT_EQ(Rows(data.db(), "igterritory"), QStringList({"2|7", "3|8", "1|4", "1|2", "1|6"}));
    EXPECT_EQ(LoadCitizenTerritories(data.db(), 1), QList<int>({4, 2, 6}));

    ReplaceCitizenTerritories(data.db(), 1, {});
    EXPECT_EQ(Rows(data.db(), "igterritory"), QStringList({"2|7", "3|8"}));
    EXPECT_TRUE(LoadCitizenTerritories(data.db(), 1).isEmpty());
}
