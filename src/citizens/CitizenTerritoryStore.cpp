#include "citizens/CitizenTerritoryStore.h"

#include "storage/Database.h"

namespace citizens {

void ReplaceCitizenTerritories(storage::Database& db, int citizenKey,
                               const QList<int>& territories) {
    storage::Transaction transaction(db);
    db.prepare("DELETE FROM igterritory WHERE terr_pid = ?1").bind(1, citizenKey).run();
    storage::Statement add =
        db.prepare("INSERT INTO igterritory (terr_pid, terr_id) VALUES (?1, ?2)");
    for (int territory : territories) {
        add.bind(1, citizenKey).bind(2, territory).run();
        add.reset();
    }
    transaction.commit();
}

QList<int> LoadCitizenTerritories(storage::Database& db, int citizenKey) {
    storage::Statement query =
        db.prepare("SELECT terr_id FROM igterritory WHERE terr_pid = ?1 ORDER BY rowid");
    query.bind(1, citizenKey);
    QList<int> territories;
    while (query.step())
        territories << query.columnInt(0);
    return territories;
}

}  // namespace citizens
