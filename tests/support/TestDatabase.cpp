#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include "storage/Views.h"

TestDatabase::TestDatabase(const QString& folder) : connector_(folder) {
    const storage::OpenOutcome outcome = connector_.OpenDatabase();
    if (!outcome.opened)
        ADD_FAILURE() << outcome.error.toStdString();
}

std::unique_ptr<storage::Database> MakeOwnDatabase(const QString& path,
                                                   const QStringList& layouts) {
    auto db = storage::Database::open(path);
    db->exec("PRAGMA application_id = " + std::to_string(storage::kApplicationId));
    for (const QString& text : layouts)
        storage::OpenView(*db, *storage::Layout::parse(text));
    return db;
}

QStringList Rows(storage::Database& db, const QString& table, const QString& columns) {
    storage::Statement query = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns, table).toStdString());
    QStringList rows;
    while (query.step()) {
        QStringList values;
        for (int i = 0; i < query.columnCount(); ++i)
            values << query.columnText(i);
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}
