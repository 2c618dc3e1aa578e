#include "storage/Sequences.h"

#include <algorithm>

#include "storage/Database.h"
#include "storage/Views.h"

namespace storage {

namespace {

// The last value the generator's view holds, 0 when it holds none; the view is created on
// first use.
int StoredValue(Database& db, const QString& name) {
    OpenView(db, Layout{name, {{name, PropertyType::Integer}}});
    const QString table = QuotedName(name);
    Statement last = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid LIMIT 1").arg(table, table).toStdString());
    return last.step() ? last.columnInt(0) : 0;
}

void StoreValue(Database& db, const QString& name, int value) {
    const QString table = QuotedName(name);
    db.exec(QStringLiteral("DELETE FROM %1").arg(table).toStdString());
    Statement add = db.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (?1)").arg(table, table).toStdString());
    add.bind(1, value).run();
}

}  // namespace

int NextSequenceValue(Database& db, const QString& name) {
    Transaction transaction(db);
    const int next = std::max(StoredValue(db, name), db.issuedSequenceValue(name)) + 1;
    StoreValue(db, name, next);
    transaction.commit();
    db.recordIssuedSequenceValue(name, next);
    return next;
}

void StoreIssuedSequenceValues(Database& db, const QHash<QString, int>& issued) {
    for (auto it = issued.constBegin(); it != issued.constEnd(); ++it) {
        if (StoredValue(db, it.key()) < it.value())
            StoreValue(db, it.key(), it.value());
    }
}

}  // namespace storage
