#include <gtest/gtest.h>

#include "citizens/CitizenStore.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "dates/DateConventions.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;

namespace {

const QDateTime kNewYear(QDate(2000, 1, 1), QTime(14, 30));

// A citizen with a distinct value in every field.
IGFormData FullCitizen() {
    IGFormData r;
    r.profession = 11;
    r.surname = "Иванов";
    r.givenName = "Иван";
    r.patronymic = "Иванович";
    r.passportSeries = "AB";
    r.passportNumber = "123456";
    r.passportIssueDate = "05/03/2008";
    r.passportIssuedBy = "ОВД";
    r.birthDate = "01/01/1980";
    r.citizenship = 22;
    r.sex = 1;
    r.specialMarks = "отметки";
    r.medicalCertificatesAccepted = 1;
    r.temporaryResidence = 1;
    r.photo = "/9j/4A==";
    r.visaRegime = 1;
    r.permitNumber = "П-12";
    r.workFrom = "01/02/2010";
    r.workTo = "31/01/2011";
    r.orgName = "ООО \"Ромашка\"";
    r.orgInn = "7701";
    r.orgLegalAddress = "Москва";
    r.orgOgrn = "1027";
    r.orgRegistrationDate = "12/12/2001";
    r.trustedSurname = "Петров";
    r.trustedGivenName = "Пётр";
    r.trustedPatronymic = "Петрович";
    r.trustedPassportSeries = "45";
    r.trustedPassportNumber = "678";
    r.orgType = 2;
    r.medicalAcceptanceDate = "31/02/2010";  // a wrong day is kept as typed
    r.medicalIssueDate = "02/02/2010";
    r.medicalNumber = "M-7";
    r.package = 33;
    r.fillingDate = "03/02/2010";
    r.permanentAddress = "Ташкент";
    r.professionPrefix = 44;
    return r;
}

IGFormData Named(const QString& surname) {
    IGFormData r;
    r.surname = surname;
    return r;
}

}  // namespace

TEST(CitizenStore, EveryFieldIsKeptInItsProperty) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(InsertCitizen(data.db(), FullCitizen(), 7, kNewYear), 7);
    EXPECT_EQ(Rows(data.db(), "ig"),
              QStringList{
                  "876638|7|11|Иванов|Иван|Иванович|AB|123456|39512|ОВД|29221|22|отметки|1|1|"
                  "/9j/4A==|1|П-12|1|40210|40574|ООО \"Ромашка\"|7701|14|31/02/2010|02/02/2010|"
                  "M-7|33|40212|Ташкент|Петров|45|678|2|Пётр|Петрович|44|Москва|1027|12/12/2001"});

    IGFormData loaded;
    EXPECT_TRUE(LoadCitizen(data.db(), loaded, 7));
    IGFormData expected = FullCitizen();
    expected.key = 7;
    EXPECT_EQ(loaded, expected);
}

TEST(CitizenStore, CreationStampIsDayTimes24PlusHour) {
    TestFolder folder;
    TestDatabase data(folder.path());
    struct Case {
        QDateTime moment;
        int crdate;
        int hour;
    };
    const Case cases[] = {
        {kNewYear, 876638, 14},
        {QDateTime(QDate(2000, 1, 1), QTime(0, 0)), 876624, 0},
        {QDateTime(QDate(2000, 1, 1), QTime(23, 59, 59)), 876647, 23},
    };
    int key = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(HourStamp(c.moment), c.crdate);
        InsertCitizen(data.db(), IGFormData(), ++key, c.moment);
        EXPECT_EQ(Rows(data.db(), "ig", "crdate, scrhour").last(),
                  QString("%1|%2").arg(c.crdate).arg(c.hour));
    }
}

TEST(CitizenStore, UpdateKeepsCreationAndPlace) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertCitizen(data.db(), Named("Первый"), 1, kNewYear);
    InsertCitizen(data.db(), Named("Второй"), 2, kNewYear.addDays(1).addSecs(3600));
    InsertCitizen(data.db(), Named("Третий"), 3, kNewYear.addDays(2));

    EXPECT_TRUE(UpdateCitizen(data.db(), FullCitizen(), 2));
    EXPECT_EQ(Rows(data.db(), "ig", "igid, crdate, scrhour, sSurname"),
              QStringList({"1|876638|14|Первый", "2|876663|15|Иванов", "3|876686|14|Третий"}));
    IGFormData loaded;
    LoadCitizen(data.db(), loaded, 2);
    IGFormData expected = FullCitizen();
    expected.key = 2;
    EXPECT_EQ(loaded, expected);
}

TEST(CitizenStore, UnknownKeyChangesNothing) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertCitizen(data.db(), Named("Первый"), 1, kNewYear);
    const QStringList before = Rows(data.db(), "ig");

    EXPECT_FALSE(UpdateCitizen(data.db(), FullCitizen(), 99));
    EXPECT_EQ(Rows(data.db(), "ig"), before);

    IGFormData record = FullCitizen();
    EXPECT_FALSE(LoadCitizen(data.db(), record, 99));
    EXPECT_EQ(record, FullCitizen());
}

TEST(CitizenStore, MissingDatesAreStoredAsMinusOne) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertCitizen(data.db(), Named("Без дат"), 1, kNewYear);
    EXPECT_EQ(Rows(data.db(), "ig", "sDateReceive, sBirthday, sRNRDateFrom, sRNRDateTo, iFillDate"),
              QStringList{"-1|-1|-1|-1|-1"});
    IGFormData loaded = FullCitizen();
    LoadCitizen(data.db(), loaded, 1);
    EXPECT_EQ(loaded.passportIssueDate, "");
    EXPECT_EQ(loaded.birthDate, "");
    EXPECT_EQ(loaded.fillingDate, "");
}

TEST(CitizenStore, BadDateWritesNothing) {
    TestFolder folder;
    TestDatabase data(folder.path());
    IGFormData record = FullCitizen();
    record.workTo = "31/02/2011";
    EXPECT_THROW(InsertCitizen(data.db(), record, 1, kNewYear), dates::DateTextError);
    EXPECT_TRUE(Rows(data.db(), "ig").isEmpty());

    InsertCitizen(data.db(), Named("Первый"), 2, kNewYear);
    const QStringList before = Rows(data.db(), "ig");
    EXPECT_THROW(UpdateCitizen(data.db(), record, 2), dates::DateTextError);
    EXPECT_EQ(Rows(data.db(), "ig"), before);
}

TEST(CitizenStore, DeleteRemovesOnlyTheNamedCitizens) {
    TestFolder folder;
    TestDatabase data(folder.path());
    for (int key = 1; key <= 6; ++key) {
        InsertCitizen(data.db(), Named(QString::number(key)), key, kNewYear);
        InsertPaymentDocument(data.db(), PPFormData(), 100 + key, key);
        InsertRegistrationAddress(data.db(), RegAddrFormData(), key);
        ReplaceCitizenTerritories(data.db(), key, {key});
    }
    // A key without a row and a key named twice remove no other row.
    DeleteCitizens(data.db(), {2, 5, 99, 5});
    EXPECT_EQ(Rows(data.db(), "ig", "igid"), QStringList({"1", "3", "4", "6"}));
    EXPECT_EQ(Rows(data.db(), "pp", "pppid").size(), 6);
    EXPECT_EQ(Rows(data.db(), "igphaddr", "phaddr_pid").size(), 6);
    EXPECT_EQ(Rows(data.db(), "igterritory", "terr_pid").size(), 6);
}

TEST(CitizenStore, ReadingWithoutPhotoLeavesItEmpty) {
    TestFolder folder;
    TestDatabase data(folder.path());
    InsertCitizen(data.db(), FullCitizen(), 1, kNewYear);
    storage::Statement query =
        data.db().prepare(QString("SELECT %1 FROM ig").arg(CitizenColumns(false)).toStdString());
    ASSERT_TRUE(query.step());
    IGFormData record = FullCitizen();
    record.surname = "другая";
    ReadCitizen(query, record, false);
    IGFormData expected = FullCitizen();
    expected.key = 1;
    expected.photo.clear();
    EXPECT_EQ(record, expected);
}
