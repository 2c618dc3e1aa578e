#pragma once

#include <QList>
#include <QString>

namespace storage {

class Database;

// An index on the keys that store operations select rows by. Indexes are not part of the
// file's layouts: the tables keep exactly their properties.
struct Index {
    QString name;
    QString view;
    QString columns;  // in index order, separated by ", "
};

// The indexes of the schema's views. The citizen's permit index also holds what the quota
// accounting reads, so that counting places never reaches a row with its photo.
const QList<Index>& Indexes();

// Creates every index that is missing. Run after the views have their layouts, since a
// restructured or copied table has lost its indexes.
void CreateIndexes(Database& db);

}  // namespace storage
