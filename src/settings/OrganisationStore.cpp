#include "settings/OrganisationStore.h"

#include "storage/Database.h"

namespace settings {

namespace {

constexpr char kColumns[] =
    "orgname, orgINN, orgUrAddr, orgOGRN, orgRegDate, orgFF, orgII, orgOO, orgSeriya, "
    "orgNumber, orgType";

// The texts in the order of kColumns.
QString OrgFormData::*const kTexts[] = {
    &OrgFormData::name,
    &OrgFormData::inn,
    &OrgFormData::legalAddress,
    &OrgFormData::ogrn,
    &OrgFormData::registrationDate,
    &OrgFormData::surname,
    &OrgFormData::givenName,
    &OrgFormData::patronymic,
    &OrgFormData::passportSeries,
    &OrgFormData::passportNumber,
};

}  // namespace

OrgFormData LoadOrganisation(storage::Database& db) {
    storage::Statement query =
        db.prepare(std::string("SELECT ") + kColumns + " FROM org ORDER BY rowid LIMIT 1");
    OrgFormData record;
    if (!query.step())
        return record;
    int column = 0;
    for (QString OrgFormData::*text : kTexts)
        record.*text = query.columnText(column++);
    record.type = query.columnInt(column);
    return record;
}

void SaveOrganisation(storage::Database& db, const OrgFormData& record) {
    storage::Transaction transaction(db);
    db.exec("DELETE FROM org");
    storage::Statement insert = db.prepare(std::string("INSERT INTO org (") + kColumns +
                                           ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                                           "?11)");
    int parameter = 1;
    for (QString OrgFormData::*text : kTexts)
        insert.bind(parameter++, record.*text);
    insert.bind(parameter, record.type).run();
    transaction.commit();
}

}  // namespace settings
