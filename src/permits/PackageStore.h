#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace storage {
class Database;
}

namespace permits {

// A package of citizens as the dialogs hold it. Dates travel as date texts (empty for none)
// and are kept as date numbers.
struct IGPackageFormData {
    qint32 id = -1;          // package_id; -1 for a package not yet stored
    QString number;          // pkgnumber: decimal digits, at least four ("0001")
    QString notes;           // pkginfo
    QString activeFrom;      // pkg_active_from
    QString activeTo;        // pkg_active_to
    QString created;         // crdate: the day the package was created
    QList<int> territories;  // its pkgterritory rows, in stored order

    bool operator==(const IGPackageFormData&) const = default;
};

// One entry of a package list: "number  -  creation date" and the package's identifier.
struct PackageListEntry {
    QString text;
    qint32 id = -1;

    bool operator==(const PackageListEntry&) const = default;
};

// The number of a new package: the largest stored number plus 1, at least four digits with
// leading zeros ("0001" for the first; after "9999" comes "10000"). The number of a deleted
// package with the highest number is given again.
QString NextPackageNumber(storage::Database& db);

// Adds the package under `id`, created today (or on the given day, a date number), with its
// territories, in one transaction. A date that is not a calendar date throws
// dates::DateTextError and nothing is written.
void InsertPackage(storage::Database& db, const IGPackageFormData& record, int id);
void InsertPackage(storage::Database& db, const IGPackageFormData& record, int id, int createdOn);

// Stores a new package in one transaction: its number from NextPackageNumber, its identifier
// the next value of the generator IG_PKG_GEN, created today, with its territories. Returns
// the package as stored. When the database refuses a write nothing stays behind, not even
// a drawn identifier.
IGPackageFormData AddNewPackage(storage::Database& db, const IGPackageFormData& record);

// Replaces the period, notes and territories of the package; its number, creation day and
// place in the stored order stay. False, with nothing changed, when no package has the id.
bool UpdatePackage(storage::Database& db, const IGPackageFormData& record, int id);

// Fill the record from the package with this number, or this identifier, and its
// territories. False, with the record left as it was, when there is none.
bool LoadPackageByNumber(storage::Database& db, const QString& number, IGPackageFormData& record);
bool LoadPackage(storage::Database& db, int id, IGPackageFormData& record);

// Replaces the package's territories by the list, in list order.
void SavePackageTerritories(storage::Database& db, int id, const QList<int>& territories);

// The package's territory identifiers in stored order.
QList<int> LoadPackageTerritories(storage::Database& db, int id);

// The packages, in stored order, of this identifier (-1: any) created between the two days
// (date numbers, both included; -1 for no bound). The records carry no territories.
QList<IGPackageFormData> FindPackages(storage::Database& db, int id, int earliest, int latest);

// Every package in the order of the identifiers, as the package lists show them.
QList<PackageListEntry> ListPackages(storage::Database& db);

// How many citizens belong to the package.
int CountPackageCitizens(storage::Database& db, int id);
// The same for each package of the list, in list order.
QList<int> CountPackageCitizens(storage::Database& db, const QList<int>& ids);

// Removes the package with this number. Its territories and the package link of its
// citizens are left as they are.
void DeletePackage(storage::Database& db, const QString& number);

// DeletePackage for each number, in one transaction: all of them or none.
void DeletePackages(storage::Database& db, const QStringList& numbers);

}  // namespace permits
