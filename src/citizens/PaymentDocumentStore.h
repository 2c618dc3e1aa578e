#pragma once

#include <QString>

namespace storage {
class Database;
}

namespace citizens {

// The payment document of a citizen ("Платежное поручение"), with the pp property that
// keeps each field. The fields this system never fills are stored empty, or 0, on every
// insert: they are part of the stored format.
struct PPFormData {
    qint32 documentKey = -1;       // ppid; the insert takes it as an argument
    qint32 citizenKey = -1;        // pppid; the insert takes it as an argument
    QString payer;                 // sName
    QString inn;                   // sINN
    QString kpp;                   // sKPP
    QString number;                // sNPlatPoruch
    QString bik;                   // sBIK
    QString date;                  // sDate, the date text as typed
    QString bank;                  // sBank
    QString sum;                   // sSumma
    QString correspondentAccount;  // sKorShetN
    QString account;               // sShetN
    QString okato;                 // sOKATO
    QString paymentKind;           // sVidPlatez
    QString basis;                 // sOsnovanie
    qint32 remainder = 0;          // iOstatok
    qint32 documentKind = 1;       // iDocType: 1 "п/п", 2 "кв.", 3 "пр."

    bool operator==(const PPFormData&) const = default;
};

// Adds the document at the end of pp under its own key, tied to the citizen.
void InsertPaymentDocument(storage::Database& db, const PPFormData& record, int documentKey,
                           int citizenKey);

// Removes every payment document of the citizen, and no other row.
void DeleteCitizenPaymentDocuments(storage::Database& db, int citizenKey);

// Fills the record from the citizen's first payment document, its keys included. False, with
// the record left as it was, when the citizen has none.
bool LoadCitizenPaymentDocument(storage::Database& db, int citizenKey, PPFormData& record);

}  // namespace citizens
