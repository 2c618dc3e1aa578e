#include <gtest/gtest.h>

#include "settings/OrganisationStore.h"
#include "settings/RegionSetting.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace settings;

TEST(Organisation, EmptyStoreGivesTypeOne) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(LoadOrganisation(data.db()), OrgFormData());
    EXPECT_EQ(LoadOrganisation(data.db()).type, 1);
}

TEST(Organisation, SaveReplacesTheOneRow) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const OrgFormData first{
        "ООО \"Ромашка\"", "7701", "Москва", "1027", "12/12/2001", "Петров", "Пётр",
        "Петрович",        "45",   "678",    2};
    SaveOrganisation(data.db(), first);
    EXPECT_EQ(Rows(data.db(), "org"),
              QStringList{"ООО \"Ромашка\"|7701|Петров|45|678|2|Пётр|Петрович|Москва|1027|"
                          "12/12/2001"});
    EXPECT_EQ(LoadOrganisation(data.db()), first);

    OrgFormData second = first;
    second.name = "ЗАО";
    second.type = 1;
    SaveOrganisation(data.db(), second);
    EXPECT_EQ(Rows(data.db(), "org").size(), 1);
    EXPECT_EQ(LoadOrganisation(data.db()), second);
}

TEST(RegionSetting, TypeAndRegion) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(LoadRegionType(data.db()), 2);  // nothing stored: the Moscow issuing centre
    EXPECT_EQ(LoadRegionId(data.db()), -1);

    SaveRegionSetting(data.db(), 1, 77);
    EXPECT_EQ(LoadRegionType(data.db()), 1);
    EXPECT_EQ(LoadRegionId(data.db()), 77);

    // A region left chosen with the Moscow centre is kept but not in use.
    SaveRegionSetting(data.db(), 2, 50);
    EXPECT_EQ(Rows(data.db(), "optionRegion"), QStringList{"2|50"});
    EXPECT_EQ(LoadRegionType(data.db()), 2);
    EXPECT_EQ(LoadRegionId(data.db()), -1);
}
