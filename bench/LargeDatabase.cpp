#include "LargeDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>

#include "SampleRecords.h"
#include "citizens/CitizenTerritoryStore.h"
#include "permits/PackageStore.h"
#include "permits/PermitStore.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace large_database {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

QString PermitOf(int key) {
    return QStringLiteral("P-%1").arg((key - 1) / kCitizensPerPermit + 1, 4, 10, QLatin1Char('0'));
}

citizens::IGFormData Citizen(int key, const QString& photo) {
    citizens::IGFormData r = SampleCitizen(key);
    r.photo = key % kPhotoEvery == 0 ? photo : QString();
    r.permitNumber = PermitOf(key);
    r.package = key % kPackages + 1;
    return r;
}

citizens::PPFormData Payment() {
    return SamplePayment();
}

citizens::RegAddrFormData Address() {
    return SampleAddress();
}

namespace {

// Writes every citizen with a payment document, an address and two territories, the
// permits with their quotas and the packages, in one transaction.
void Build(storage::Database& db, const QString& photo) {
    std::printf("Building the database (once)...\n");
    const auto start = Clock::now();
    storage::Transaction transaction(db);
    for (const char* table :
         {"ig", "pp", "igphaddr", "igterritory", "rnpirs", "rnpirsCOUNTRY", "rnpirsPROFESS",
          "rnpterritory", "igpackage", "pkgterritory", "IGGEN", "PPGEN", "IG_PKG_GEN"})
        db.exec(std::string("DELETE FROM ") + table);
    for (int key = 1; key <= kCitizens; ++key) {
        citizens::InsertCitizen(db, Citizen(key, photo), key);
        citizens::InsertPaymentDocument(db, Payment(), key, key);
        citizens::InsertRegistrationAddress(db, Address(), key);
        citizens::ReplaceCitizenTerritories(db, key, {key % 90, key % 90 + 1});
    }
    QList<permits::CountryQuota> countries;
    for (int country = 0; country < 30; ++country)
        countries.append({country, 40});
    QList<permits::ProfessionQuota> professions;
    for (int profession = 0; profession < 50; ++profession) {
        for (int prefix = 0; prefix < 3; ++prefix)
            professions.append({profession, 8, prefix});
    }
    for (int permit = 1; permit <= kCitizens / kCitizensPerPermit; ++permit) {
        const QString number = PermitOf((permit - 1) * kCitizensPerPermit + 1);
        permits::InsertPermit(db, number, 40000, 40364, countries, professions, -1);
        permits::SavePermitTerritories(db, number, {1, 2, 3});
    }
    for (int id = 1; id <= kPackages; ++id) {
        permits::IGPackageFormData package;
        package.number = QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'));
        package.activeFrom = QStringLiteral("01/06/2010");
        package.activeTo = QStringLiteral("31/05/2011");
        package.territories = {id % 90};
        permits::InsertPackage(db, package, id, 40000 + id);
    }
    db.exec("INSERT INTO IGGEN VALUES (100000)");
    db.exec("INSERT INTO PPGEN VALUES (100000)");
    db.exec("INSERT INTO IG_PKG_GEN VALUES (1000)");
    transaction.commit();
    std::printf("Built in %.1f s.\n\n", Seconds(Clock::now() - start));
}

}  // namespace

QString DataFolder(int argc, char** argv, const char* defaultName) {
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QDir::currentPath() + QLatin1Char('/') + QString::fromLatin1(defaultName);
    QDir().mkpath(folder);
    return folder;
}

bool Open(storage::DatabaseConnector& connector, const QString& photo) {
    const auto opening = Clock::now();
    const storage::OpenOutcome outcome = connector.OpenDatabase();
    if (!outcome.opened) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
        return false;
    }
    std::printf("Opened in %.1f s.\n", Seconds(Clock::now() - opening));
    storage::Database& db = connector.db();
    if (db.queryInt("SELECT count(*) FROM ig") != kCitizens ||
        db.queryInt("SELECT count(*) FROM igpackage") != kPackages)
        Build(db, photo);
    std::printf("Database %s: %.0f MB, %lld citizens, %lld with a photo of %lld characters\n\n",
                qPrintable(connector.databasePath()),
                QFileInfo(connector.databasePath()).size() / 1e6,
                db.queryInt("SELECT count(*) FROM ig"),
                db.queryInt("SELECT count(*) FROM ig WHERE Photo <> ''"),
                static_cast<long long>(photo.size()));
    return true;
}

}  // namespace large_database
