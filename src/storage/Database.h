#pragma once

#include <QString>
#include <memory>
#include <stdexcept>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace storage {

// A failure of the database engine: the file could not be read or written. what() holds the
// engine's own text for the developer; the user is told DescribeDatabaseError().
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(const std::string& what, int code, QString path = {});
    // The engine's extended result code.
    int code() const { return code_; }
    // The database file concerned; empty when unknown.
    const QString& path() const { return path_; }

private:
    int code_;
    QString path_;
};

// Why an operation on the database failed, in Russian, as a user can act on it: "нет места
// на диске", "нет прав на запись", "файл используется другой программой", "файл
// повреждён", ...
QString DatabaseErrorReason(int code);

// The whole message for the user: the file and the reason.
QString DescribeDatabaseError(const DatabaseError& error);

class Database;

// One prepared statement. Parameters are bound by 1-based position; columns are read by
// 0-based position.
class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, int value);
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, const QString& value);
    Statement& bindNull(int index);

    // Advances to the next result row; false when there is none.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    // Makes the statement ready to run again with new parameters.
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    bool isInteger(int column) const;
    int columnInt(int column) const;
    qint64 columnInt64(int column) const;
    QString columnText(int column) const;

private:
    void check(int rc) const;

    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// The connection to one SQLite file. Not copyable; one object owns the connection of the
// program's database for the whole run.
class Database {
public:
    // Opens the file, creating it when missing. Throws DatabaseError.
    static std::unique_ptr<Database> open(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }

    Statement prepare(std::string_view sql) { return Statement(*this, sql); }
    // Runs one or more statements without parameters.
    void exec(std::string_view sql);
    // One integer from a query such as "SELECT count(*) FROM ig"; `fallback` for no row.
    qint64 queryInt(std::string_view sql, qint64 fallback = 0);

    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(int rc, std::string_view context) const;

private:
    Database(sqlite3* db, QString path);

    sqlite3* db_;
    QString path_;
};

// Groups the writes of one operation: they are committed together by commit(), and rolled
// back if the guard goes out of scope first (an exception). Guards nest: only the outermost
// commit reaches the file.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace storage
