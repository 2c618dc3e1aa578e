#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <compare>
#include <map>

#include "citizens/CitizenStore.h"
#include "citizens/PaymentDocumentStore.h"

namespace storage {
class Database;
}

namespace output {

// The file for the migration service: the citizens grouped by the organisation or trusted
// person they were entered for, in the windows-1251 code page.

// What a citizen's group is known by: its stored organisation fields, untrimmed ("name_INN_1"
// for an organisation, "F I O _series_number_2" for a trusted person). Groups are ordered by
// the key's windows-1251 bytes, a shorter key before a longer one that begins with it.
struct GroupKey {
    QByteArray bytes;  // the text in windows-1251; a character it lacks counts as "?"
    QString text;

    // Two texts that give the same bytes (only possible with characters the code page
    // lacks) stay two groups.
    std::strong_ordering operator<=>(const GroupKey& other) const;
    bool operator==(const GroupKey& other) const = default;
};

GroupKey CitizenGroupKey(const citizens::IGFormData& citizen);

// The groups in key order, each with its citizens in the order of the list.
using CitizenGroups = std::map<GroupKey, QList<citizens::IGFormData>>;
CitizenGroups GroupCitizensByOrganisation(const QList<citizens::IGFormData>& citizens);

// Every payment document of the citizen, in stored order.
QList<citizens::PPFormData> ListCitizenPaymentDocuments(storage::Database& db, int citizenKey);

// Writes the file for the citizens (their records need not carry the photo: each photo is
// read from the store by the citizen's key while the file is written, so that one photo at a
// time is held in memory). The file appears under its name only when it is complete; a file
// of that name is then replaced. Throws FileWriteError when the file cannot be written and
// storage::DatabaseError when the store cannot be read; either way nothing is left behind.
//
// What the file holds is always well-formed: a character windows-1251 lacks is written as a
// character reference, one that XML does not allow (control characters other than tab, line
// feed and carriage return) is left out, and the photo's CDATA section holds only its
// printable ASCII and line breaks (a Base64 text never holds anything else).
void WriteExportFile(storage::Database& db, const QString& path,
                     const QList<citizens::IGFormData>& citizens);

}  // namespace output
