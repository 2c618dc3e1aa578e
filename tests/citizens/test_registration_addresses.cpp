#include <gtest/gtest.h>

#include "citizens/RegistrationAddressStore.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;

namespace {

RegAddrFormData FullAddress() {
    RegAddrFormData r;
    r.postalIndex = "101000";
    r.region = 77;
    r.district = 5;
    r.city = "Москва";
    r.street = "Тверская";
    r.cityDistrict = "Центральный";
    r.house = "1";
    r.building = "2";
    r.flat = "3";
    r.registeredFrom = "01/02/2010";
    r.registeredTo = "31/01/2011";
    return r;
}

}  // namespace

TEST(RegistrationAddresses, InsertAndLoad) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertRegistrationAddress(data.db(), FullAddress(), 4);
    EXPECT_EQ(Rows(data.db(), "igphaddr"),
              QStringList{"4|101000|77|5|Москва|Тверская|Центральный|1|2|3|40210|40574"});
    RegAddrFormData loaded;
    EXPECT_TRUE(LoadRegistrationAddress(data.db(), loaded, 4));
    EXPECT_EQ(loaded, FullAddress());
}

TEST(RegistrationAddresses, NoDatesAreStoredAsMinusOne) {
    TestFolder folder;
    TestDatabase data(folder.path());
    RegAddrFormData record = FullAddress();
    record.registeredFrom.clear();
    record.registeredTo.clear();
    InsertRegistrationAddress(data.db(), record, 4);
    EXPECT_EQ(Rows(data.db(), "igphaddr", "iAddrRegDateFrom, iAddrRegDateTo"),
              QStringList{"-1|-1"});
    RegAddrFormData loaded = FullAddress();
    LoadRegistrationAddress(data.db(), loaded, 4);
    EXPECT_EQ(loaded, record);
}

TEST(RegistrationAddresses, CitizenWithoutAddressLeavesTheRecord) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertRegistrationAddress(data.db(), FullAddress(), 1);
    RegAddrFormData record;
    record.region = 12;
    EXPECT_FALSE(LoadRegistrationAddress(data.db(), record, 2));
    RegAddrFormData reset;
    reset.region = 12;
    EXPECT_EQ(record, reset);
}

TEST(RegistrationAddresses, EditSavesKeepOneRow) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertRegistrationAddress(data.db(), FullAddress(), 1);
    InsertRegistrationAddress(data.db(), FullAddress(), 2);
    for (const char* city : {"Тула", "Омск"}) {
        RegAddrFormData record = FullAddress();
        record.city = city;
        DeleteRegistrationAddress(data.db(), 1);
        InsertRegistrationAddress(data.db(), record, 1);
    }
    EXPECT_EQ(Rows(data.db(), "igphaddr", "phaddr_pid, sCity"),
              QStringList({"2|Москва", "1|Омск"}));
}

TEST(RegistrationAddresses, EmptyOnlyWithoutAnyContent) {
    EXPECT_TRUE(IsRegistrationAddressEmpty(RegAddrFormData()));
    using Fill = void (*)(RegAddrFormData&);
    const Fill fills[] = {
        [](RegAddrFormData& r) { r.postalIndex = " "; },
        [](RegAddrFormData& r) { r.region = 77; },
        [](RegAddrFormData& r) { r.district = 0; },
        [](RegAddrFormData& r) { r.city = "x"; },
        [](RegAddrFormData& r) { r.street = "x"; },
        [](RegAddrFormData& r) { r.cityDistrict = "x"; },
        [](RegAddrFormData& r) { r.house = "x"; },
        [](RegAddrFormData& r) { r.building = "x"; },
        [](RegAddrFormData& r) { r.flat = "x"; },
        [](RegAddrFormData& r) { r.registeredFrom = "01/01/2010"; },
        [](RegAddrFormData& r) { r.registeredTo = "01/01/2010"; },
    };
    int index = 0;
    for (Fill fill : fills) {
        RegAddrFormData record;
        fill(record);
        EXPECT_FALSE(IsRegistrationAddressEmpty(record)) << "field " << index++;
    }
}
