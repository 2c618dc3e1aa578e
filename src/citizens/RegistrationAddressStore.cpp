#include "citizens/RegistrationAddressStore.h"

#include "dates/DateConventions.h"
#include "storage/Database.h"

namespace citizens {

namespace {

constexpr char kColumns[] =
    "sIndex, iRegion, iDistrict, sCity, sStreet, sCityDistrict, sDvl, sStrKorp, sKvOf, "
    "iAddrRegDateFrom, iAddrRegDateTo";

// The texts kept as they are, in the order of their properties from sCity to sKvOf.
QString RegAddrFormData::*const kPlaceTexts[] = {
    &RegAddrFormData::city,  &RegAddrFormData::street,   &RegAddrFormData::cityDistrict,
    &RegAddrFormData::house, &RegAddrFormData::building, &RegAddrFormData::flat,
};

}  // namespace

void InsertRegistrationAddress(storage::Database& db, const RegAddrFormData& record,
                               int citizenKey) {
    const int from = dates::DateTextToNumber(record.registeredFrom);
    const int to = dates::DateTextToNumber(record.registeredTo);
    storage::Transaction transaction(db);
    storage::Statement insert =
        db.prepare(std::string("INSERT INTO igphaddr (phaddr_pid, ") + kColumns +
                   ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    insert.bind(1, citizenKey).bind(2, record.postalIndex).bind(3, record.region);
    insert.bind(4, record.district);
    int parameter = 5;
    for (QString RegAddrFormData::*text : kPlaceTexts)
        insert.bind(parameter++, record.*text);
    insert.bind(11, from).bind(12, to);
    insert.run();
    transaction.commit();
}

void DeleteRegistrationAddress(storage::Database& db, int citizenKey) {
    storage::Transaction transaction(db);
    storage::Statement remove = db.prepare(
        "DELETE FROM igphaddr WHERE rowid = "
        "(SELECT rowid FROM igphaddr WHERE phaddr_pid = ?1 ORDER BY rowid LIMIT 1)");
    remove.bind(1, citizenKey).run();
    transaction.commit();
}

bool LoadRegistrationAddress(storage::Database& db, RegAddrFormData& record, int citizenKey) {
    storage::Statement query = db.prepare(std::string("SELECT ") + kColumns +
                                          " FROM igphaddr WHERE phaddr_pid = ?1 "
                                          "ORDER BY rowid LIMIT 1");
    query.bind(1, citizenKey);
    if (!query.step())
        return false;
    record.postalIndex = query.columnText(0);
    record.region = query.columnInt(1);
    record.district = query.columnInt(2);
    int column = 3;
    for (QString RegAddrFormData::*text : kPlaceTexts)
        record.*text = query.columnText(column++);
    record.registeredFrom = dates::DateNumberToText(query.columnInt(9));
    record.registeredTo = dates::DateNumberToText(query.columnInt(10));
    return true;
}

bool IsRegistrationAddressEmpty(const RegAddrFormData& record) {
    for (QString RegAddrFormData::*text : kPlaceTexts) {
        if (!(record.*text).isEmpty())
            return false;
    }
    return record.postalIndex.isEmpty() && record.registeredFrom.isEmpty() &&
           record.registeredTo.isEmpty() && record.region == -1 && record.district == -1;
}

}  // namespace citizens
