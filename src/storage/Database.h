#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <chrono>
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
    DatabaseError(const std::string& what, int code, QString path = {}, int systemError = 0);
    // The engine's extended result code.
    int code() const { return code_; }
    // The database file concerned; empty when unknown.
    const QString& path() const { return path_; }
    // The operating system's error number behind it (errno), 0 when unknown.
    int systemError() const { return systemError_; }

private:
    int code_;
    QString path_;
    int systemError_;
};

// Why an operation on the database failed, in Russian, as a user can act on it: "нет места
// на диске", "нет прав на запись", "файл используется другой программой", "файл
// повреждён", ... The system's error number, when known, makes it precise where the
// engine's code alone is not (a file that cannot be opened).
QString DatabaseErrorReason(int code, int systemError = 0);

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
    // The text as the store keeps it, in UTF-8, without a conversion: for readers that go over
    // many rows or large texts. Valid until the next step or reset.
    QByteArrayView columnUtf8(int column) const;

private:
    void check(int rc) const;

    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// How long a statement waits for another program's lock on the file (a backup tool, the
// sqlite3 shell reading it) before it fails with "файл используется другой программой".
inline constexpr std::chrono::milliseconds kBusyTimeout{5000};

// While one lives on a thread, a connection used from that thread gives up at once on a lock
// held elsewhere instead of waiting for it. The daily copy steps on the program's connection
// from a thread of its own: waiting there would hold the connection, and every window that
// uses it, for the whole busy timeout.
class NoBusyWaitOnThisThread {
public:
    NoBusyWaitOnThisThread();
    ~NoBusyWaitOnThisThread();
    NoBusyWaitOnThisThread(const NoBusyWaitOnThisThread&) = delete;
    NoBusyWaitOnThisThread& operator=(const NoBusyWaitOnThisThread&) = delete;
};

// The connection to one SQLite file. Not copyable; one object owns the connection of the
// program's database for the whole run.
class Database {
public:
    // Opens the file for reading and writing, creating it when missing. A file or folder
    // that allows reading only is refused. Throws DatabaseError.
    static std::unique_ptr<Database> open(const QString& path,
                                          std::chrono::milliseconds busyTimeout = kBusyTimeout);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return path_; }

    Statement prepare(std::string_view sql) { return Statement(*this, sql); }
    // Runs one or more statements without parameters.
    void exec(std::string_view sql);
    // One integer from a query such as "SELECT count(*) FROM ig"; `fallback` for no row.
    qint64 queryInt(std::string_view sql, qint64 fallback = 0);

    // How long a statement waits for another connection's lock before it fails.
    void setBusyTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds busyTimeout() const { return busyTimeout_; }

    sqlite3* handle() const { return db_; }
    // The error of a failed call that returned `rc`, with the engine's message and the
    // statement or step concerned.
    [[noreturn]] void fail(int rc, std::string_view context) const;
    DatabaseError error(int rc, std::string_view context) const;

    // The highest value each generator handed out on this connection (see Sequences.h), 0
    // for none; names compare without regard to ASCII case. It outlives a rolled-back
    // transaction, so that a value drawn inside it is not handed out again.
    int issuedSequenceValue(const QString& generator) const;
    void recordIssuedSequenceValue(const QString& generator, int value);

private:
    friend class Transaction;
    Database(sqlite3* db, QString path);
    DatabaseError openError(int rc) const;

    sqlite3* db_;
    QString path_;
    std::chrono::milliseconds busyTimeout_{0};
    int openTransactions_ = 0;
    QHash<QString, int> issuedSequenceValues_;
    // Set when a transaction was rolled back after generator values were handed out: the
    // file may hold less than issuedSequenceValues_. The next outermost commit writes them.
    bool sequencesBehind_ = false;
};

// Groups the writes of one operation: they are committed together by commit(), and rolled
// back if the guard goes out of scope first (an exception). Guards nest: only the outermost
// commit reaches the file.
//
// A commit that the engine refuses (another program's lock outlasting the busy timeout, a
// full disk, an I/O error) throws DatabaseError after the whole transaction has been rolled
// back: the connection is back in autocommit, nothing of the operation is in the file, and
// the next transaction starts clean. commit() returns only when the change is in the file.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    void rollback() noexcept;

    Database& db_;
    bool outermost_;
    bool done_ = false;
};

}  // namespace storage
