#pragma once

#include <QList>

namespace storage {
class Database;
}

namespace citizens {

// Replaces the territories of work of the citizen by the list, kept in list order at the end
// of igterritory; the rows of other citizens keep their places. An empty list leaves the
// citizen without territories.
void ReplaceCitizenTerritories(storage::Database& db, int citizenKey,
                               const QList<int>& territories);

// The citizen's territory identifiers in the order in which they were saved.
QList<int> LoadCitizenTerritories(storage::Database& db, int citizenKey);

}  // namespace citizens
