#include "permits/PackageStore.h"

#include <algorithm>

#include "dates/DateConventions.h"
#include "storage/ChildRows.h"
#include "storage/Database.h"
#include "storage/Sequences.h"

namespace permits {

namespace {

constexpr storage::IntegerChildRows kPackageTerritories{"pkgterritory", "pkg_pid", "pkgterr_id"};

// The creation day that stands for an open bound: 01/01/4898.
constexpr int kLatestCreationDay = 1095000;

constexpr char kColumns[] =
    "package_id, crdate, pkgnumber, pkg_active_from, pkg_active_to, pkginfo";

// Fills the record from a row selected with kColumns; the territories are not touched.
void ReadPackage(const storage::Statement& row, IGPackageFormData& record) {
    record.id = row.columnInt(0);
    record.created = dates::DateNumberToText(row.columnInt(1));
    record.number = row.columnText(2);
    record.activeFrom = dates::DateNumberToText(row.columnInt(3));
    record.activeTo = dates::DateNumberToText(row.columnInt(4));
    record.notes = row.columnText(5);
}

// Fills the record from the first row of the query and the package's territories. False,
// with the record left as it was, when there is no row.
bool LoadFirstPackage(storage::Database& db, storage::Statement& query, IGPackageFormData& record) {
    if (!query.step())
        return false;
    IGPackageFormData loaded;
    ReadPackage(query, loaded);
    loaded.territories = LoadPackageTerritories(db, loaded.id);
    record = loaded;
    return true;
}

std::string SelectFirstSql(const char* condition) {
    return std::string("SELECT ") + kColumns + " FROM igpackage WHERE " + condition +
           " ORDER BY rowid LIMIT 1";
}

}  // namespace

QString NextPackageNumber(storage::Database& db) {
    storage::Statement query = db.prepare("SELECT pkgnumber FROM igpackage");
    int highest = 0;
    while (query.step()) {
        bool isNumber = false;
        const int value = query.columnText(0).toInt(&isNumber);
        if (isNumber)
            highest = std::max(highest, value);
    }
    return QStringLiteral("%1").arg(highest + 1, 4, 10, QLatin1Char('0'));
}

void InsertPackage(storage::Database& db, const IGPackageFormData& record, int id) {
    InsertPackage(db, record, id, dates::Today());
}

void InsertPackage(storage::Database& db, const IGPackageFormData& record, int id, int createdOn) {
    const int from = dates::DateTextToNumber(record.activeFrom);
    const int to = dates::DateTextToNumber(record.activeTo);
    storage::Transaction transaction(db);
    storage::Statement insert = db.prepare(std::string("INSERT INTO igpackage (") + kColumns +
                                           ") VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    insert.bind(1, id).bind(2, createdOn).bind(3, record.number).bind(4, from).bind(5, to);
    insert.bind(6, record.notes).run();
    SavePackageTerritories(db, id, record.territories);
    transaction.commit();
}

IGPackageFormData AddNewPackage(storage::Database& db, const IGPackageFormData& record) {
    storage::Transaction transaction(db);
    IGPackageFormData stored = record;
    stored.number = NextPackageNumber(db);
    stored.id = storage::NextSequenceValue(db, QString::fromLatin1(storage::kPackageGenerator));
    const int today = dates::Today();
    stored.created = dates::DateNumberToText(today);
    InsertPackage(db, stored, stored.id, today);
    transaction.commit();
    return stored;
}

bool UpdatePackage(storage::Database& db, const IGPackageFormData& record, int id) {
    const int from = dates::DateTextToNumber(record.activeFrom);
    const int to = dates::DateTextToNumber(record.activeTo);
    storage::Transaction transaction(db);
    storage::Statement update = db.prepare(
        "UPDATE igpackage SET pkg_active_from = ?2, pkg_active_to = ?3, pkginfo = ?4 "
        "WHERE rowid = (SELECT rowid FROM igpackage WHERE package_id = ?1 ORDER BY rowid "
        "LIMIT 1)");
    update.bind(1, id).bind(2, from).bind(3, to).bind(4, record.notes).run();
    if (db.queryInt("SELECT changes()") == 0)
        return false;
    SavePackageTerritories(db, id, record.territories);
    transaction.commit();
    return true;
}

bool LoadPackageByNumber(storage::Database& db, const QString& number, IGPackageFormData& record) {
    storage::Statement query = db.prepare(SelectFirstSql("pkgnumber = ?1"));
    query.bind(1, number);
    return LoadFirstPackage(db, query, record);
}

bool LoadPackage(storage::Database& db, int id, IGPackageFormData& record) {
    storage::Statement query = db.prepare(SelectFirstSql("package_id = ?1"));
    query.bind(1, id);
    return LoadFirstPackage(db, query, record);
}

void SavePackageTerritories(storage::Database& db, int id, const QList<int>& territories) {
    storage::ReplaceChildIntegers(db, kPackageTerritories, id, territories);
}

QList<int> LoadPackageTerritories(storage::Database& db, int id) {
    return storage::LoadChildIntegers(db, kPackageTerritories, id);
}

QList<IGPackageFormData> FindPackages(storage::Database& db, int id, int earliest, int latest) {
    storage::Statement query = db.prepare(std::string("SELECT ") + kColumns +
                                          " FROM igpackage WHERE (?1 = -1 OR package_id = ?1) "
                                          "AND crdate BETWEEN ?2 AND ?3 ORDER BY rowid");
    query.bind(1, id).bind(2, earliest == -1 ? 0 : earliest);
    query.bind(3, latest == -1 ? kLatestCreationDay : latest);
    QList<IGPackageFormData> packages;
    while (query.step()) {
        IGPackageFormData record;
        ReadPackage(query, record);
        packages << record;
    }
    return packages;
}

QList<PackageListEntry> ListPackages(storage::Database& db) {
    storage::Statement query =
        db.prepare(std::string("SELECT ") + kColumns + " FROM igpackage ORDER BY " + kColumns);
    QList<PackageListEntry> entries;
    while (query.step()) {
        entries.append({query.columnText(2) + QStringLiteral("  -  ") +
                            dates::DateNumberToText(query.columnInt(1)),
                        query.columnInt(0)});
    }
    return entries;
}

int CountPackageCitizens(storage::Database& db, int id) {
    storage::Statement query = db.prepare("SELECT count(*) FROM ig WHERE iIGPkgNumber = ?1");
    query.bind(1, id);
    query.step();
    return query.columnInt(0);
}

QList<int> CountPackageCitizens(storage::Database& db, const QList<int>& ids) {
    storage::Statement query = db.prepare("SELECT count(*) FROM ig WHERE iIGPkgNumber = ?1");
    QList<int> counts;
    counts.reserve(ids.size());
    for (int id : ids) {
        query.reset();
        query.bind(1, id);
        query.step();
        counts << query.columnInt(0);
    }
    return counts;
}

void DeletePackage(storage::Database& db, const QString& number) {
    storage::Transaction transaction(db);
    db.prepare(
          "DELETE FROM igpackage WHERE rowid = "
          "(SELECT rowid FROM igpackage WHERE pkgnumber = ?1 ORDER BY rowid LIMIT 1)")
        .bind(1, number)
        .run();
    transaction.commit();
}

void DeletePackages(storage::Database& db, const QStringList& numbers) {
    storage::Transaction transaction(db);
    for (const QString& number : numbers)
        DeletePackage(db, number);
    transaction.commit();
}

}  // namespace permits
