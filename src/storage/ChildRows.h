#pragma once

#include <QList>
#include <QString>

namespace storage {

class Database;

// A child view whose rows each hang on one owner and carry one integer: the territories of a
// citizen, of a permit, of a package.
struct IntegerChildRows {
    const char* table;
    const char* ownerColumn;
    const char* valueColumn;
};

// Replaces the owner's rows by one row per value, in the values' order; one transaction.
void ReplaceChildIntegers(Database& db, const IntegerChildRows& rows, int owner,
                          const QList<int>& values);
void ReplaceChildIntegers(Database& db, const IntegerChildRows& rows, const QString& owner,
                          const QList<int>& values);

// The owner's values in stored order.
QList<int> LoadChildIntegers(Database& db, const IntegerChildRows& rows, int owner);
QList<int> LoadChildIntegers(Database& db, const IntegerChildRows& rows, const QString& owner);

}  // namespace storage
