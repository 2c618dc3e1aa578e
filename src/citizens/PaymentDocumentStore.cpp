#include "citizens/PaymentDocumentStore.h"

#include "storage/Database.h"

namespace citizens {

namespace {

// The text fields in the order of their properties, sName to sOsnovanie.
QString PPFormData::*const kTexts[] = {
    &PPFormData::payer,   &PPFormData::inn,   &PPFormData::kpp,
    &PPFormData::number,  &PPFormData::bik,   &PPFormData::date,
    &PPFormData::bank,    &PPFormData::sum,   &PPFormData::correspondentAccount,
    &PPFormData::account, &PPFormData::okato, &PPFormData::paymentKind,
    &PPFormData::basis,
};

constexpr char kColumns[] =
    "ppid, pppid, sName, sINN, sKPP, sNPlatPoruch, sBIK, sDate, sBank, sSumma, sKorShetN, "
    "sShetN, sOKATO, sVidPlatez, sOsnovanie, iOstatok, iDocType";

}  // namespace

void InsertPaymentDocument(storage::Database& db, const PPFormData& record, int documentKey,
                           int citizenKey) {
    storage::Transaction transaction(db);
    storage::Statement insert = db.prepare(
        std::string("INSERT INTO pp (") + kColumns +
        ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
    insert.bind(1, documentKey).bind(2, citizenKey);
    int parameter = 3;
    for (QString PPFormData::*text : kTexts)
        insert.bind(parameter++, record.*text);
    insert.bind(16, record.remainder).bind(17, record.documentKind);
    insert.run();
    transaction.commit();
}

void DeleteCitizenPaymentDocuments(storage::Database& db, int citizenKey) {
    storage::Transaction transaction(db);
    db.prepare("DELETE FROM pp WHERE pppid = ?1").bind(1, citizenKey).run();
    transaction.commit();
}

bool LoadCitizenPaymentDocument(storage::Database& db, int citizenKey, PPFormData& record) {
    storage::Statement query = db.prepare(std::string("SELECT ") + kColumns +
                                          " FROM pp WHERE pppid = ?1 ORDER BY rowid LIMIT 1");
    query.bind(1, citizenKey);
    if (!query.step())
        return false;
    record.documentKey = query.columnInt(0);
    record.citizenKey = query.columnInt(1);
    int column = 2;
    for (QString PPFormData::*text : kTexts)
        record.*text = query.columnText(column++);
    record.remainder = query.columnInt(15);
    record.documentKind = query.columnInt(16);
    return true;
}

}  // namespace citizens
