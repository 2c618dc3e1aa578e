#include "storage/Sequences.h"

#include "storage/Database.h"
#include "storage/Views.h"

namespace storage {

int NextSequenceValue(Database& db, const QString& name) {
    const Layout layout{name, {{name, PropertyType::Integer}}};
    const QString table = QuotedName(name);
    Transaction transaction(db);
    OpenView(db, layout);
    Statement last = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid LIMIT 1").arg(table, table).toStdString());
    const int next = (last.step() ? last.columnInt(0) : 0) + 1;
    db.exec(QStringLiteral("DELETE FROM %1").arg(table).toStdString());
    Statement add = db.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (?1)").arg(table, table).toStdString());
    add.bind(1, next).run();
    transaction.commit();
    return next;
}

}  // namespace storage
