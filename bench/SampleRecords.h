#pragma once

// Records that the benchmarks save: a citizen of plausible size, its payment document and
// its registration address, a photo, and the whole save of a citizen.

#include <QRandomGenerator>

#include "citizens/Base64.h"
#include "citizens/CitizenStore.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "storage/Sequences.h"

// A visa citizen without a photo, a permit or a package; the texts vary with the key.
inline citizens::IGFormData SampleCitizen(int key) {
    citizens::IGFormData r;
    r.profession = key % 50;
    r.surname = QStringLiteral("Фамилия%1").arg(key);
    r.givenName = QStringLiteral("Имя%1").arg(key % 300);
    r.patronymic = QStringLiteral("Отчество%1").arg(key % 200);
    r.passportSeries = QStringLiteral("AB");
    r.passportNumber = QString::number(1000000 + key);
    r.passportIssueDate = QStringLiteral("05/03/2008");
    r.passportIssuedBy = QStringLiteral("Отдел внутренних дел");
    r.birthDate = QStringLiteral("01/01/1980");
    r.citizenship = key % 30;
    r.sex = key % 2;
    r.visaRegime = 1;
    r.workFrom = QStringLiteral("01/02/2010");
    r.workTo = QStringLiteral("31/01/2011");
    r.orgName = QStringLiteral("ООО \"Ромашка\"");
    r.orgInn = QStringLiteral("770100000000");
    r.fillingDate = QStringLiteral("03/02/2010");
    r.permanentAddress = QStringLiteral("Ташкент, улица, дом");
    r.professionPrefix = key % 3;
    return r;
}

inline citizens::PPFormData SamplePayment() {
    citizens::PPFormData r;
    r.payer = QStringLiteral("Плательщик");
    r.number = QStringLiteral("123");
    r.date = QStringLiteral("05/03/2008");
    r.bank = QStringLiteral("Банк");
    r.sum = QStringLiteral("1500");
    return r;
}

inline citizens::RegAddrFormData SampleAddress() {
    citizens::RegAddrFormData r;
    r.postalIndex = QStringLiteral("101000");
    r.region = 77;
    r.city = QStringLiteral("Москва");
    r.street = QStringLiteral("Тверская");
    r.house = QStringLiteral("1");
    r.registeredFrom = QStringLiteral("01/02/2010");
    r.registeredTo = QStringLiteral("31/01/2011");
    return r;
}

// The stored text of a photo of `bytes` bytes of JPEG (random bytes after the JPEG marker).
inline QString PhotoText(int bytes) {
    QByteArray jpeg(bytes, '\0');
    QRandomGenerator random(42);
    for (char& byte : jpeg)
        byte = static_cast<char>(random.bounded(256));
    jpeg[0] = '\xff';
    jpeg[1] = '\xd8';
    QString text;
    citizens::EncodeBase64(jpeg, text, citizens::kPhotoTextCapacity);
    return text;
}

// A new citizen saved as the citizen dialog saves it: two identifiers drawn, the citizen,
// its payment document, its address and its territories. Returns the citizen's key.
inline int SaveCitizen(storage::Database& db, const citizens::IGFormData& record) {
    const int key = storage::NextSequenceValue(db, QString::fromLatin1(storage::kCitizenGenerator));
    citizens::InsertCitizen(db, record, key);
    const int document =
        storage::NextSequenceValue(db, QString::fromLatin1(storage::kPaymentDocumentGenerator));
    citizens::InsertPaymentDocument(db, SamplePayment(), document, key);
    citizens::InsertRegistrationAddress(db, SampleAddress(), key);
    citizens::ReplaceCitizenTerritories(db, key, {3, 5});
    return key;
}
