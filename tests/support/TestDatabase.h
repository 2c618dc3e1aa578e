#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

// The program's database opened in a folder (normally a TestFolder) as at start-up: all
// views current, "DATABASE_VERSION" recorded.
class TestDatabase {
public:
    explicit TestDatabase(const QString& folder);
    storage::Database& db() { return connector_.db(); }
    storage::DatabaseConnector& connector() { return connector_; }

private:
    storage::DatabaseConnector connector_;
};

// A database file of this program with the given layouts, as an earlier version of the
// program could have left it; fill it with SQL.
std::unique_ptr<storage::Database> MakeOwnDatabase(const QString& path, const QStringList& layouts);

// The rows of a table in stored order, each as its values joined by "|".
QStringList Rows(storage::Database& db, const QString& table,
                 const QString& columns = QStringLiteral("*"));
