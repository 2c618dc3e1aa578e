#include "storage/Options.h"

#include <memory>

#include "storage/Database.h"

namespace storage {

QString GetOption(Database& db, const QString& key) {
    Statement query =
        db.prepare("SELECT value FROM app_options WHERE key = ?1 ORDER BY rowid LIMIT 1");
    query.bind(1, key);
    return query.step() ? query.columnText(0) : QString();
}

void SetOption(Database& db, const QString& key, const QString& value) {
    Transaction transaction(db);
    Statement remove = db.prepare(
        "DELETE FROM app_options WHERE rowid = "
        "(SELECT rowid FROM app_options WHERE key = ?1 ORDER BY rowid LIMIT 1)");
    remove.bind(1, key).run();
    Statement add = db.prepare("INSERT INTO app_options (key, value) VALUES (?1, ?2)");
    add.bind(1, key).bind(2, value).run();
    transaction.commit();
}

AppSettingsDAO& AppSettingsDAO::instance(Database& db) {
    static std::unique_ptr<AppSettingsDAO> dao;
    if (!dao || &dao->db_ != &db)
        dao = std::make_unique<AppSettingsDAO>(db);
    return *dao;
}

void AppSettingsDAO::Insert(const AppSettings& record) {
    write(record);
}

void AppSettingsDAO::Update(const AppSettings& record) {
    Insert(record);
}

void AppSettingsDAO::Delete(const AppSettings&) {}

void AppSettingsDAO::Load(AppSettings& record) {
    record = read();
}

AppSettings AppSettingsDAO::read() {
    return {GetOption(db_, QString::fromLatin1(kPaymentNumberRequiredKey)) == QLatin1String("1")};
}

void AppSettingsDAO::write(const AppSettings& settings) {
    SetOption(db_, QString::fromLatin1(kPaymentNumberRequiredKey),
              settings.paymentNumberRequired ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace storage
