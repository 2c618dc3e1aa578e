#include "settings/RegionSetting.h"

#include "storage/Database.h"

namespace settings {

int LoadRegionType(storage::Database& db) {
    return static_cast<int>(db.queryInt(
        "SELECT regiontype FROM optionRegion ORDER BY rowid LIMIT 1", kMoscowIssuingCentre));
}

int LoadRegionId(storage::Database& db) {
    if (LoadRegionType(db) != kOwnRegion)
        return -1;
    return static_cast<int>(
        db.queryInt("SELECT regionid FROM optionRegion ORDER BY rowid LIMIT 1", -1));
}

void SaveRegionSetting(storage::Database& db, int regionType, int regionId) {
    storage::Transaction transaction(db);
    db.exec("DELETE FROM optionRegion");
    storage::Statement insert =
        db.prepare("INSERT INTO optionRegion (regiontype, regionid) VALUES (?1, ?2)");
    insert.bind(1, regionType).bind(2, regionId).run();
    transaction.commit();
}

}  // namespace settings
