#pragma once

#include <QString>

namespace storage {

class Database;

// Option keys of app_options.
inline constexpr char kDatabaseVersionKey[] = "DATABASE_VERSION";
inline constexpr char kPaymentNumberRequiredKey[] = "PP_NUMBER_NESS";
inline constexpr char kFmsMemberKey[] = "FMSMEMBER";

// The value stored under the key (matched without regard to ASCII case), or the empty text.
QString GetOption(Database& db, const QString& key);

// Stores the value under the key: the first row with that key is replaced by a new row at
// the end of app_options, in one transaction.
void SetOption(Database& db, const QString& key, const QString& value);

// The general settings record.
struct AppSettings {
    bool paymentNumberRequired = false;  // "PP_NUMBER_NESS" is "1"
};

// Data access with virtual operations, for the settings records: two writes, a removal and
// a read, each on a record of its type. A write that the database refuses throws
// DatabaseError.
template <typename Record>
class BaseDAO {
public:
    virtual ~BaseDAO() = default;
    virtual void Insert(const Record& record) = 0;
    virtual void Update(const Record& record) = 0;
    virtual void Delete(const Record& record) = 0;
    virtual void Load(Record& record) = 0;
};

// The settings record in app_options. One instance serves the process, made on first use.
class AppSettingsDAO final : public BaseDAO<AppSettings> {
public:
    explicit AppSettingsDAO(Database& db) : db_(db) {}

    static AppSettingsDAO& instance(Database& db);

    void Insert(const AppSettings& record) override;  // stores the flag as "1" or "0"
    void Update(const AppSettings& record) override;  // the same as Insert
    void Delete(const AppSettings& record) override;  // settings are never removed
    void Load(AppSettings& record) override;          // flag = stored value is "1"

    AppSettings read();
    void write(const AppSettings& settings);

private:
    Database& db_;
};

}  // namespace storage
