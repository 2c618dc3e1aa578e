#include "storage/ChildRows.h"

#include <string>

#include "storage/Database.h"

namespace storage {

namespace {

template <typename Key>
void Replace(Database& db, const IntegerChildRows& rows, const Key& owner,
             const QList<int>& values) {
    const std::string table(rows.table), ownerColumn(rows.ownerColumn);
    Transaction transaction(db);
    db.prepare("DELETE FROM " + table + " WHERE " + ownerColumn + " = ?1").bind(1, owner).run();
    Statement add = db.prepare("INSERT INTO " + table + " (" + ownerColumn + ", " +
                               rows.valueColumn + ") VALUES (?1, ?2)");
    for (int value : values) {
        add.bind(1, owner).bind(2, value).run();
        add.reset();
    }
    transaction.commit();
}

template <typename Key>
QList<int> Load(Database& db, const IntegerChildRows& rows, const Key& owner) {
    Statement query = db.prepare(std::string("SELECT ") + rows.valueColumn + " FROM " + rows.table +
                                 " WHERE " + rows.ownerColumn + " = ?1 ORDER BY rowid");
    query.bind(1, owner);
    QList<int> values;
    while (query.step())
        values << query.columnInt(0);
    return values;
}

}  // namespace

void ReplaceChildIntegers(Database& db, const IntegerChildRows& rows, int owner,
                          const QList<int>& values) {
    Replace(db, rows, owner, values);
}

void ReplaceChildIntegers(Database& db, const IntegerChildRows& rows, const QString& owner,
                          const QList<int>& values) {
    Replace(db, rows, owner, values);
}

QList<int> LoadChildIntegers(Database& db, const IntegerChildRows& rows, int owner) {
    return Load(db, rows, owner);
}

QList<int> LoadChildIntegers(Database& db, const IntegerChildRows& rows, const QString& owner) {
    return Load(db, rows, owner);
}

}  // namespace storage
