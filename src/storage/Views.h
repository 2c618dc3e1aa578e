#pragma once

#include <QString>

#include "storage/Schema.h"

namespace storage {

class Database;

// Makes the table of a view match the layout and returns nothing: a missing table is created
// empty; a table whose properties differ (names matched without regard to ASCII case, types
// exactly) is restructured to the layout in one transaction, keeping its rows and their
// order, matching properties by name and giving new ones 0 or the empty text. A table that
// already has the layout is left alone at the cost of one lookup.
void OpenView(Database& db, const Layout& layout);

// The layout a table of the file has now, or an empty layout name when there is no table.
Layout StoredLayout(Database& db, const QString& view);

// The structure description of the open file: the layouts of its tables in creation order,
// separated by ",".
QString StructureDescription(Database& db);

// Double-quoted SQL identifier of a view or property name.
QString QuotedName(const QString& name);

}  // namespace storage
