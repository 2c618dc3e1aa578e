#include "storage/Database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <iterator>
#include <string>

#include "storage/Sequences.h"

namespace storage {

namespace {

bool NoSpace(int systemError) {
    return systemError == ENOSPC || systemError == EDQUOT;
}

bool NoWritePermission(int systemError) {
    return systemError == EACCES || systemError == EPERM || systemError == EROFS;
}

// Why a file could not be opened or created.
QString CannotOpenReason(int systemError) {
    if (NoWritePermission(systemError))
        return QStringLiteral("нет прав на запись");
    if (NoSpace(systemError))
        return QStringLiteral("нет места на диске");
    if (systemError == ENOENT || systemError == ENOTDIR)
        return QStringLiteral("папка не найдена");
    return QStringLiteral("файл не удаётся открыть");
}

QString InputOutputReason(int systemError) {
    if (NoSpace(systemError))
        return QStringLiteral("нет места на диске");
    if (NoWritePermission(systemError))
        return QStringLiteral("нет прав на запись");
    return QStringLiteral("ошибка чтения или записи на диск");
}

// Generator names compare as view names do: without regard to the case of ASCII letters.
QString GeneratorKey(const QString& name) {
    QString key = name;
    for (QChar& c : key) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return key;
}

}  // namespace

DatabaseError::DatabaseError(const std::string& what, int code, QString path, int systemError)
    : std::runtime_error(what), code_(code), path_(std::move(path)), systemError_(systemError) {}

QString DatabaseErrorReason(int code, int systemError) {
    switch (code & 0xFF) {
        case SQLITE_FULL:
            return QStringLiteral("нет места на диске");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("нет прав на запись");
        case SQLITE_CANTOPEN:
            return CannotOpenReason(systemError);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("файл используется другой программой");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("файл повреждён");
        case SQLITE_IOERR:
            return InputOutputReason(systemError);
        case SQLITE_NOMEM:
            return QStringLiteral("не хватает памяти");
        case SQLITE_ABORT:
            return QStringLiteral("запись прервана");
        default:
            break;
    }
    return QStringLiteral("ошибка базы данных (код %1)").arg(code);
}

QString DescribeDatabaseError(const DatabaseError& error) {
    const QString reason = DatabaseErrorReason(error.code(), error.systemError());
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
    // An empty text is bound as "", never as NULL.
    const QByteArray utf8 = value.toUtf8();
    check(sqlite3_bind_text(stmt_, index, utf8.isNull() ? "" : utf8.constData(),
                            static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
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

// The store keeps UTF-8: reading it as such spares the engine a conversion of every text.
QString Statement::columnText(int column) const {
    return QString::fromUtf8(columnUtf8(column));
}

QByteArrayView Statement::columnUtf8(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QByteArrayView(text, text ? sqlite3_column_bytes(stmt_, column) : 0);
}

// ---------------------------------------------------------------------------------------
// Database

Database::Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

std::unique_ptr<Database> Database::open(const QString& path,
                                         std::chrono::milliseconds busyTimeout) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<Database> db(new Database(handle, path));
    if (rc != SQLITE_OK)
        throw db->openError(rc);
    sqlite3_extended_result_codes(handle, 1);
    // The engine falls back to reading only when the file or the file system is write
    // protected; every save would then fail.
    if (sqlite3_db_readonly(handle, "main") == 1)
        throw DatabaseError("the file can be read but not written [open]", SQLITE_READONLY, path);
    // Another program reading the file (a backup tool, the sqlite3 shell) holds its lock
    // for a moment: wait for it rather than fail the save at once.
    db->setBusyTimeout(busyTimeout);
    // A file handed to us may be crafted: do not let its schema run code of its own.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // Rollback journal (one file at rest, never OFF or MEMORY) with the journal's removal
    // synced too: a committed change survives a crash or a power loss.
    db->exec("PRAGMA synchronous = EXTRA");
    return db;
}

Database::~Database() {
    if (sequencesBehind_ && openTransactions_ == 0) {
        // Generator values were drawn in a transaction that failed and no commit since has
        // recorded them: try once more, briefly, so that the next run does not hand them out
        // again. A failure changes nothing.
        setBusyTimeout(std::chrono::milliseconds(1000));
        try {
            Transaction transaction(*this);
            StoreIssuedSequenceValues(*this, issuedSequenceValues_);
            transaction.commit();
        } catch (...) {
        }
    }
    sqlite3_close_v2(db_);
}

namespace {

thread_local bool tNoBusyWait = false;

// Waits for a lock held elsewhere as the engine's own busy timeout does, in growing steps up
// to the connection's timeout, unless the calling thread must not wait.
int WaitWhileBusy(void* database, int attempt) {
    if (tNoBusyWait)
        return 0;
    static constexpr int kDelays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int kSteps = static_cast<int>(std::size(kDelays));
    int waited = 0;
    for (int i = 0; i < std::min(attempt, kSteps); ++i)
        waited += kDelays[i];
    if (attempt > kSteps)
        waited += (attempt - kSteps) * kDelays[kSteps - 1];
    const int delay = kDelays[std::min(attempt, kSteps - 1)];
    const int timeout = static_cast<int>(static_cast<Database*>(database)->busyTimeout().count());
    if (waited + delay > timeout)
        return 0;
    sqlite3_sleep(delay);
    return 1;
}

}  // namespace

NoBusyWaitOnThisThread::NoBusyWaitOnThisThread() {
    tNoBusyWait = true;
}

NoBusyWaitOnThisThread::~NoBusyWaitOnThisThread() {
    tNoBusyWait = false;
}

void Database::setBusyTimeout(std::chrono::milliseconds timeout) {
    busyTimeout_ = timeout;
    sqlite3_busy_handler(db_, &WaitWhileBusy, this);
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

// The engine reports the error of its last attempt to open the file, which for a folder
// that allows no writing is "no such file": the folder tells the real reason.
DatabaseError Database::openError(int rc) const {
    const DatabaseError error = this->error(rc, "open");
    if ((rc & 0xFF) != SQLITE_CANTOPEN)
        return error;
    const QByteArray folder = QFile::encodeName(QFileInfo(path_).absolutePath());
    if (::access(folder.constData(), W_OK) == 0)
        return error;
    const int folderError = errno;
    return DatabaseError(error.what(), rc, path_, folderError);
}

void Database::fail(int rc, std::string_view context) const {
    throw error(rc, context);
}

DatabaseError Database::error(int rc, std::string_view context) const {
    const char* message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    // The system's error number belongs to the last failed file operation: it explains only
    // the errors that come from one.
    const int primary = rc & 0xFF;
    const bool fromFileSystem =
        primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_FULL;
    return DatabaseError(std::string(message) + " [" + std::string(context) + "]", rc, path_,
                         db_ && fromFileSystem ? sqlite3_system_errno(db_) : 0);
}

int Database::issuedSequenceValue(const QString& generator) const {
    return issuedSequenceValues_.value(GeneratorKey(generator), 0);
}

void Database::recordIssuedSequenceValue(const QString& generator, int value) {
    int& issued = issuedSequenceValues_[GeneratorKey(generator)];
    issued = std::max(issued, value);
}

// ---------------------------------------------------------------------------------------
// Transaction

namespace {

// The engine rolls a whole transaction back by itself after some failures (a full disk, an
// I/O error); a write made after that would commit on its own.
DatabaseError LostTransaction(const Database& db) {
    return DatabaseError("the transaction was rolled back by an earlier error", SQLITE_ABORT,
                         db.path());
}

}  // namespace

Transaction::Transaction(Database& db) : db_(db), outermost_(db.openTransactions_ == 0) {
    sqlite3* handle = db_.handle();
    if (outermost_ && !sqlite3_get_autocommit(handle)) {
        // Left open by a failure whose rollback did not complete: nothing in it was ever
        // reported saved, and nothing after it may nest inside it.
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    if (!outermost_ && sqlite3_get_autocommit(handle))
        throw LostTransaction(db_);
    db_.exec("SAVEPOINT op");
    ++db_.openTransactions_;
}

Transaction::~Transaction() {
    if (!done_)
        rollback();
}

void Transaction::commit() {
    sqlite3* handle = db_.handle();
    if (sqlite3_get_autocommit(handle)) {
        rollback();
        throw LostTransaction(db_);
    }
    // The generators catch up with a write that commits anyway: a reading operation never
    // writes, so it cannot fail for a cause that only writes meet (a full disk, a lock).
    const bool catchUp =
        outermost_ && db_.sequencesBehind_ && sqlite3_txn_state(handle, "main") == SQLITE_TXN_WRITE;
    if (catchUp)
        StoreIssuedSequenceValues(db_, db_.issuedSequenceValues_);
    const int rc = sqlite3_exec(handle, "RELEASE op", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        // A failed outermost RELEASE leaves the transaction open: roll it back whole.
        const DatabaseError error = db_.error(rc, "RELEASE op");
        rollback();
        throw error;
    }
    done_ = true;
    --db_.openTransactions_;
    if (catchUp)
        db_.sequencesBehind_ = false;
}

// Undoes what the operation wrote; errors here cannot be reported any more.
void Transaction::rollback() noexcept {
    done_ = true;
    --db_.openTransactions_;
    sqlite3* handle = db_.handle();
    if (outermost_)
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(handle, "ROLLBACK TO op; RELEASE op", nullptr, nullptr, nullptr);
    if (!db_.issuedSequenceValues_.isEmpty())
        db_.sequencesBehind_ = true;
    if (outermost_ && !sqlite3_get_autocommit(handle))
        qWarning("Rollback of %s did not complete: %s", qPrintable(db_.path()),
                 sqlite3_errmsg(handle));
}

}  // namespace storage
