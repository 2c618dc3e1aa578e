#include "permits/PermitEntrySave.h"

#include "storage/Database.h"

namespace permits {

bool SavePermitEntry(storage::Database& db, const PermitEntry& entry, bool replacing) {
    storage::Transaction transaction(db);
    if (replacing) {
        if (!PermitExists(db, entry.number))
            return false;
        DeletePermit(db, entry.number, false);
    }
    const Permit& permit = entry.permit;
    InsertPermit(db, entry.number, permit.dateFrom, permit.dateTo, permit.countries,
                 permit.professions, permit.issueDate);
    SavePermitTerritories(db, entry.number, entry.territories);
    transaction.commit();
    return true;
}

}  // namespace permits
