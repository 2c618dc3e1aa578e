#pragma once

#include <QString>

namespace storage {
class Database;
}

namespace citizens {

// The address where a citizen is registered for his stay, with the igphaddr property that
// keeps each field. The period's dates travel as date texts and are kept as date numbers.
struct RegAddrFormData {
    QString postalIndex;     // sIndex
    qint32 region = -1;      // iRegion, regions list
    qint32 district = -1;    // iDistrict, districts list
    QString city;            // sCity
    QString street;          // sStreet
    QString cityDistrict;    // sCityDistrict
    QString house;           // sDvl
    QString building;        // sStrKorp
    QString flat;            // sKvOf
    QString registeredFrom;  // iAddrRegDateFrom, date number
    QString registeredTo;    // iAddrRegDateTo, date number

    bool operator==(const RegAddrFormData&) const = default;
};

// Adds the address at the end of igphaddr, tied to the citizen. A date that is not a
// calendar date throws dates::DateTextError and nothing is written.
void InsertRegistrationAddress(storage::Database& db, const RegAddrFormData& record,
                               int citizenKey);

// Removes the citizen's first address, if any.
void DeleteRegistrationAddress(storage::Database& db, int citizenKey);

// Fills the record from the citizen's first address; date numbers -1 and 0 give the empty
// text. False, with the record left as it was, when the citizen has none.
bool LoadRegistrationAddress(storage::Database& db, RegAddrFormData& record, int citizenKey);

// True when every text and both dates are empty and neither region nor district is chosen.
bool IsRegistrationAddressEmpty(const RegAddrFormData& record);

}  // namespace citizens
