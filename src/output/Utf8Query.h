#pragma once

#include <QByteArrayView>
#include <string>

struct sqlite3_stmt;

namespace storage {
class Database;
}

namespace output {

// A query whose texts are read as the UTF-8 bytes the store keeps, without a conversion to
// other text forms: for the readers that go over many rows or large texts (the search's name
// comparison, the export's photos). Errors throw storage::DatabaseError.
class Utf8Query {
public:
    Utf8Query(storage::Database& db, std::string sql);
    ~Utf8Query();
    Utf8Query(const Utf8Query&) = delete;
    Utf8Query& operator=(const Utf8Query&) = delete;

    Utf8Query& bind(int index, int value);
    // Advances to the next row; false when there is none.
    bool step();
    // Makes the query ready to run again.
    void reset();

    qint64 columnInt64(int column) const;
    // Valid until the next step or reset.
    QByteArrayView columnUtf8(int column) const;

private:
    storage::Database& db_;
    std::string sql_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace output
