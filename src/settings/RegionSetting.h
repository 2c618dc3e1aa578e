#pragma once

namespace storage {
class Database;
}

namespace settings {

// Where the employer's papers are handled.
inline constexpr int kOwnRegion = 1;  // "Ваш регион": territories are not asked for
inline constexpr int kMoscowIssuingCentre = 2;  // "Центр выдачи Москва"

// The stored region type; kMoscowIssuingCentre before the first save.
int LoadRegionType(storage::Database& db);

// The chosen region (territories list) when the region type is kOwnRegion, otherwise -1.
// Territories of work are in use exactly when this is -1.
int LoadRegionId(storage::Database& db);

// Replaces the stored setting.
void SaveRegionSetting(storage::Database& db, int regionType, int regionId);

}  // namespace settings
