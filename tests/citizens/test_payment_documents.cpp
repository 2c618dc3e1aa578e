#include <gtest/gtest.h>

#include "citizens/PaymentDocumentStore.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;

namespace {

PPFormData Document(const QString& number, int kind = 1) {
    PPFormData r;
    r.payer = "Плательщик";
    r.number = number;
    r.date = "05/03/2008";
    r.bank = "Банк";
    r.sum = "1500";
    r.documentKind = kind;
    return r;
}

}  // namespace

TEST(PaymentDocuments, InsertWritesEveryPropertyAndLoadReadsItBack) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPaymentDocument(data.db(), Document("42", 2), 5, 9);
    EXPECT_EQ(Rows(data.db(), "pp"),
              QStringList{"5|9|Плательщик|||42||05/03/2008|Банк|1500||||||0|2"});

    PPFormData loaded;
    EXPECT_TRUE(LoadCitizenPaymentDocument(data.db(), 9, loaded));
    PPFormData expected = Document("42", 2);
    expected.documentKey = 5;
    expected.citizenKey = 9;
    EXPECT_EQ(loaded, expected);
}

TEST(PaymentDocuments, CitizenWithoutDocumentLoadsNothing) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPaymentDocument(data.db(), Document("1"), 1, 1);
    PPFormData record = Document("untouched");
    EXPECT_FALSE(LoadCitizenPaymentDocument(data.db(), 2, record));
    EXPECT_EQ(record, Document("untouched"));
}

TEST(PaymentDocuments, DeleteRemovesExactlyTheCitizensDocuments) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertPaymentDocument(data.db(), Document("a"), 1, 1);
    InsertPaymentDocument(data.db(), Document("b"), 2, 2);
    InsertPaymentDocument(data.db(), Document("c"), 3, 1);
    InsertPaymentDocument(data.db(), Document("d"), 4, 3);
    DeleteCitizenPaymentDocuments(data.db(), 1);
    EXPECT_EQ(Rows(data.db(), "pp", "ppid, pppid"), QStringList({"2|2", "4|3"}));
    DeleteCitizenPaymentDocuments(data.db(), 7);  // none: nothing changes
    EXPECT_EQ(Rows(data.db(), "pp", "ppid, pppid"), QStringList({"2|2", "4|3"}));
}

TEST(PaymentDocuments, SavingTwiceKeepsOneDocumentUnderTheNewKey) {
    TestFolder folder;
    TestDatabase data(folder.path());
    for (int documentKey : {1, 2}) {
        DeleteCitizenPaymentDocuments(data.db(), 9);
        InsertPaymentDocument(data.db(), Document("42"), documentKey, 9);
    }
    EXPECT_EQ(Rows(data.db(), "pp", "ppid, pppid"), QStringList{"2|9"});
}
