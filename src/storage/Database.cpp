#include "storage/Database.h"

#include <sqlite3.h>

#include <QDir>
#include <string>

namespace storage {

DatabaseError::DatabaseError(const std::string& what, int code, QString path)
    : std::runtime_error(what), code_(code), path_(std::move(path)) {}

QString DatabaseErrorReason(int code) {
    switch (code & 0xFF) {
        case SQLITE_FULL:
            return QStringLiteral("нет места на диске");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("нет прав на запись");
        case SQLITE_CANTOPEN:
            return QStringLiteral("файл не удаётся открыть (нет прав доступа или папки)");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("файл используется другой программой");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("файл повреждён");
        case SQLITE_IOERR:
            return QStringLiteral("ошибка чтения или записи на диск");
        case SQLITE_NOMEM:
            return QStringLiteral("не хватает памяти");
        default:
            break;
    }
    return QStringLiteral("ошибка базы данных (код %1)").arg(code);
}

QString DescribeDatabaseError(const DatabaseError& error) {
    const QString reason = DatabaseErrorReason(error.code());
    if (error.path().isEmpty())
        return QStringLiteral("Ошибка базы данных: %1.").arg(reason);
    return QStringLiteral("Ошибка базы данных «%1»: %2.")
        .arg(QDir::toNativeSeparators(error.path()), reason);
}

// ---------------------------------------------------------------------------------------
// Statement

Statement::Statement(Database& db, std::string_view sql) : db_(&db) {
    const int rc =
        sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc, sql);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

void Statement::check(int rc) const {
    if (rc != SQLITE_OK)
        db_->fail(rc, sqlite3_sql(stmt_));
}

Statement& Statement::bind(int index, int value) {
    check(sqlite3_bind_int(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, qint64 value) {
    check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

Statement& Statement::bind(int index, const QString& value) {
    // An empty QString may have no buffer; SQLite takes a null pointer as NULL, not as "".
    static const char16_t kEmpty[] = u"";
    const void* text = value.isEmpty() ? kEmpty : static_cast<const void*>(value.utf16());
    check(sqlite3_bind_text16(stmt_, index, text, static_cast<int>(value.size() * 2),
                              SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_, index));
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    db_->fail(rc, sqlite3_sql(stmt_));
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

bool Statement::isInteger(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}

int Statement::columnInt(int column) const {
    return sqlite3_column_int(stmt_, column);
}

qint64 Statement::columnInt64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString Statement::columnText(int column) const {
    const void* text = sqlite3_column_text16(stmt_, column);
    const int bytes = sqlite3_column_bytes16(stmt_, column);
    if (!text)
        return {};
    return QString::fromUtf16(static_cast<const char16_t*>(text), bytes / 2);
}

// ---------------------------------------------------------------------------------------
// Database

Database::Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

std::unique_ptr<Database> Database::open(const QString& path) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<Database> db(new Database(handle, path));
    if (rc != SQLITE_OK)
        db->fail(rc, "open");
    sqlite3_extended_result_codes(handle, 1);
    // A file handed to us may be crafted: do not let its schema run code of its own.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // Rollback journal (one file at rest, never OFF or MEMORY) with the journal's removal
    // synced too: a committed change survives a crash or a power loss.
    db->exec("PRAGMA synchronous = EXTRA");
    return db;
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::exec(std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, sql);
}

qint64 Database::queryInt(std::string_view sql, qint64 fallback) {
    Statement statement = prepare(sql);
    return statement.step() ? statement.columnInt64(0) : fallback;
}

void Database::fail(int rc, std::string_view context) const {
    const char* message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    throw DatabaseError(std::string(message) + " [" + std::string(context) + "]", rc, path_);
}

// ---------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("SAVEPOINT op");
}

Transaction::~Transaction() {
    if (done_)
        return;
    // Undo what the failed operation wrote; errors here cannot be reported any more.
    sqlite3_exec(db_.handle(), "ROLLBACK TO op; RELEASE op", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.exec("RELEASE op");
    done_ = true;
}

}  // namespace storage
