#include <gtest/gtest.h>

#include "storage/Sequences.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

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
