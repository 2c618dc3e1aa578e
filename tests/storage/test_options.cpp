#include <gtest/gtest.h>

#include "storage/Options.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

TEST(Options, AbsentKeyReadsEmpty) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(GetOption(data.db(), "FMSMEMBER"), "");
}

TEST(Options, SecondWriteLeavesOneRowAtTheEnd) {
    TestFolder folder;
    TestDatabase data(folder.path());
    SetOption(data.db(), "FMSMEMBER", "А");
    SetOption(data.db(), "OTHER", "x");
    SetOption(data.db(), "FMSMEMBER", "Б");
    EXPECT_EQ(Rows(data.db(), "app_options"),
              QStringList({"DATABASE_VERSION|2", "OTHER|x", "FMSMEMBER|Б"}));
    EXPECT_EQ(GetOption(data.db(), "FMSMEMBER"), "Б");
    EXPECT_EQ(GetOption(data.db(), "fmsmember"), "Б");
}

TEST(Options, EmptyValueIsStoredAsEmpty) {
    TestFolder folder;
    TestDatabase data(folder.path());
    SetOption(data.db(), "FMSMEMBER", "");
    EXPECT_EQ(Rows(data.db(), "app_options", "key, value").last(), "FMSMEMBER|");
}

TEST(Options, PaymentNumberIsRequiredOnlyForOne) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AppSettingsDAO& dao = AppSettingsDAO::instance(data.db());
    EXPECT_FALSE(dao.read().paymentNumberRequired);  // absent
    for (const char* stored : {"0", "", "yes", "11", " 1"}) {
        SetOption(data.db(), "PP_NUMBER_NESS", QString::fromLatin1(stored));
        EXPECT_FALSE(dao.read().paymentNumberRequired) << stored;
    }
    SetOption(data.db(), "PP_NUMBER_NESS", "1");
    AppSettings settings;
    dao.Load(settings);
    EXPECT_TRUE(settings.paymentNumberRequired);
}

TEST(Options, ClearedFlagIsStoredAsZero) {
    TestFolder folder;
    TestDatabase data(folder.path());
    AppSettingsDAO& dao = AppSettingsDAO::instance(data.db());
    AppSettings settings{true};
    dao.Insert(settings);
    EXPECT_EQ(GetOption(data.db(), "PP_NUMBER_NESS"), "1");
    settings.paymentNumberRequired = false;
    dao.Insert(settings);
    EXPECT_EQ(GetOption(data.db(), "PP_NUMBER_NESS"), "0");
    EXPECT_EQ(data.db().queryInt("SELECT count(*) FROM app_options WHERE key='PP_NUMBER_NESS'"), 1);
}
