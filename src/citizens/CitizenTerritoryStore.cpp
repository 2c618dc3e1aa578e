#include "citizens/CitizenTerritoryStore.h"

#include "storage/ChildRows.h"

namespace citizens {

namespace {

constexpr storage::IntegerChildRows kTerritories{"igterritory", "terr_pid", "terr_id"};

}  // namespace

void ReplaceCitizenTerritories(storage::Database& db, int citizenKey,
                               const QList<int>& territories) {
    storage::ReplaceChildIntegers(db, kTerritories, citizenKey, territories);
}

QList<int> LoadCitizenTerritories(storage::Database& db, int citizenKey) {
    return storage::LoadChildIntegers(db, kTerritories, citizenKey);
}

}  // namespace citizens
