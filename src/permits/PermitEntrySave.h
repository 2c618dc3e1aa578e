#pragma once

#include <QList>
#include <QString>

#include "permits/PermitStore.h"

namespace storage {
class Database;
}

namespace permits {

// A permit as the permit entry dialog saves it: its number, period, issue date and quotas,
// and its territories of work.
struct PermitEntry {
    QString number;
    Permit permit;
    QList<int> territories;

    bool operator==(const PermitEntry&) const = default;
};

// Writes an entered permit with its quotas and territories. With `replacing` (an edited
// permit) the stored permit of the same number is deleted first, its citizens staying tied
// to it by the number, and the permit is written anew at the end of its views. One
// transaction: when any step is refused, nothing changes, so an interrupted edit never
// loses the permit it was replacing. False, with nothing written, when the permit being
// replaced is no longer stored (deleted meanwhile in the permit search).
bool SavePermitEntry(storage::Database& db, const PermitEntry& entry, bool replacing);

}  // namespace permits
