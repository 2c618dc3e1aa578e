#include "output/Utf8Query.h"

#include <sqlite3.h>

#include "storage/Database.h"

namespace output {

Utf8Query::Utf8Query(storage::Database& db, std::string sql) : db_(db), sql_(std::move(sql)) {
    const int rc = sqlite3_prepare_v2(db.handle(), sql_.c_str(), -1, &statement_, nullptr);
    if (rc != SQLITE_OK)
        db.fail(rc, sql_);
}

Utf8Query::~Utf8Query() {
    sqlite3_finalize(statement_);
}

Utf8Query& Utf8Query::bind(int index, int value) {
    const int rc = sqlite3_bind_int(statement_, index, value);
    if (rc != SQLITE_OK)
        db_.fail(rc, sql_);
    return *this;
}

bool Utf8Query::step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        db_.fail(rc, sql_);
    return false;
}

void Utf8Query::reset() {
    sqlite3_reset(statement_);
}

qint64 Utf8Query::columnInt64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

QByteArrayView Utf8Query::columnUtf8(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return QByteArrayView(text, sqlite3_column_bytes(statement_, column));
}

}  // namespace output
