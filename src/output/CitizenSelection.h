#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "citizens/CitizenStore.h"

namespace storage {
class Database;
}

namespace output {

// The citizens an output is made for, loaded by their keys in the order of the keys, as
// LoadCitizen fills them; the photo is read only when wanted. A key no citizen has gives no
// record.
QList<citizens::IGFormData> LoadCitizensByKeys(storage::Database& db, const QList<int>& keys,
                                               bool withPhoto);

// The name proposed for an output: the stored organisation's name with every double quote
// replaced by two apostrophes, a blank, and the moment as "dd.MM.yyyy-HH.mm".
QString DefaultOutputName(storage::Database& db, const QDateTime& now);

// The chosen file name with the number of citizens written into it: " - N" before its last
// four characters when they are an extension such as ".xml" or ".xls" ("list.xml", 3 gives
// "list - 3.xml"), before another extension when the name has one, and at its end
// otherwise. Only the file name changes, never the folder.
QString FileNameWithCount(const QString& chosen, int count);

}  // namespace output
