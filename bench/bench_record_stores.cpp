// Times the record stores over a database of 100,000 citizens, 20,000 of them with a photo
// of 60 KB: a whole citizen save (durable), loading a citizen, the quota accounting of a
// permit with 1,000 citizens and the package list with 1,000 packages.
//
// Usage: bench_record_stores [folder]   (default: ./bench_record_stores_data)
// The database is built on the first run (about 1.7 GB) and reused by later runs.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "SampleRecords.h"
#include "Timing.h"
#include "citizens/Base64.h"
#include "citizens/CitizenStore.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "permits/PackageStore.h"
#include "permits/PermitStore.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"
#include "storage/Sequences.h"

namespace {

constexpr int kCitizens = 100000;
constexpr int kPhotoEvery = 5;  // 20,000 photos
constexpr int kPhotoBytes = 60 * 1024;
constexpr int kCitizensPerPermit = 1000;
constexpr int kPackages = 1000;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

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
        citizens::InsertPaymentDocument(db, SamplePayment(), key, key);
        citizens::InsertRegistrationAddress(db, SampleAddress(), key);
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
    std::printf("Built in %.1f s.\n\n", Milliseconds(Clock::now() - start) / 1000);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString folder = argc > 1
                               ? QString::fromLocal8Bit(argv[1])
                               : QDir::currentPath() + QStringLiteral("/bench_record_stores_data");
    QDir().mkpath(folder);
    storage::DatabaseConnector connector(folder);
    const auto opening = Clock::now();
    const storage::OpenOutcome outcome = connector.OpenDatabase();
    if (!outcome.opened) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
        return 1;
    }
    std::printf("Opened in %.1f s.\n", Milliseconds(Clock::now() - opening) / 1000);
    storage::Database& db = connector.db();
    const QString photo = PhotoText(kPhotoBytes);
    if (db.queryInt("SELECT count(*) FROM ig") != kCitizens ||
        db.queryInt("SELECT count(*) FROM igpackage") != kPackages)
        Build(db, photo);
    std::printf(
        "Database %s: %.0f MB, %lld citizens, %lld with a photo of %d bytes "
        "(%lld characters)\n\n",
        qPrintable(connector.databasePath()), QFileInfo(connector.databasePath()).size() / 1e6,
        db.queryInt("SELECT count(*) FROM ig"),
        db.queryInt("SELECT count(*) FROM ig WHERE Photo <> ''"), kPhotoBytes,
        static_cast<long long>(photo.size()));

    QList<int> added;
    const auto save = [&](const QString& withPhoto, bool oneTransaction) {
        return [&db, &added, withPhoto, oneTransaction] {
            const citizens::IGFormData record = Citizen(kCitizens + added.size() + 1, withPhoto);
            if (!oneTransaction) {
                added << SaveCitizen(db, record);
                return;
            }
            storage::Transaction transaction(db);
            added << SaveCitizen(db, record);
            transaction.commit();
        };
    };
    const int saves = 40;
    MeasureMedianMs("citizen save, each operation committing", saves, save({}, false));
    MeasureMedianMs("citizen save with photo, each operation committing", saves,
                    save(photo, false));
    MeasureMedianMs("citizen save as one transaction", saves, save({}, true));
    MeasureMedianMs("citizen save with photo as one transaction", saves, save(photo, true));

    QRandomGenerator random(7);
    const auto randomKey = [&](int remainder) {
        return random.bounded(kCitizens / kPhotoEvery) * kPhotoEvery + remainder;
    };
    const int loads = 400;
    MeasureMedianMs("LoadCitizen, citizen with photo", loads, [&] {
        citizens::IGFormData record;
        citizens::LoadCitizen(db, record, randomKey(kPhotoEvery));
    });
    MeasureMedianMs("LoadCitizen, citizen without photo", loads, [&] {
        citizens::IGFormData record;
        citizens::LoadCitizen(db, record, randomKey(1));
    });
    MeasureMedianMs("load payment document, address, territories", loads, [&] {
        const int key = randomKey(kPhotoEvery);
        citizens::PPFormData payment;
        citizens::LoadCitizenPaymentDocument(db, key, payment);
        citizens::RegAddrFormData address;
        citizens::LoadRegistrationAddress(db, address, key);
        citizens::LoadCitizenTerritories(db, key);
    });

    const int runs = 50;
    int permit = 0;
    MeasureMedianMs("LoadPermit + SubtractUsedQuotas (1,000 citizens)", runs, [&] {
        const QString number = PermitOf(permit++ * kCitizensPerPermit + 1);
        permits::Permit loaded;
        permits::LoadPermit(db, number, loaded);
        permits::SubtractUsedQuotas(db, number, loaded.countries, loaded.professions);
    });
    MeasureMedianMs("ListPermitCitizens (1,000 citizens)", runs, [&] {
        permits::ListPermitCitizens(db, PermitOf(permit-- * kCitizensPerPermit + 1));
    });
    MeasureMedianMs("ListPackages (1,000 packages)", runs, [&] { permits::ListPackages(db); });
    int package = 0;
    MeasureMedianMs("CountPackageCitizens", runs,
                    [&] { permits::CountPackageCitizens(db, ++package); });
    MeasureMedianMs("DeleteCitizens, the citizens saved above", 1,
                    [&] { citizens::DeleteCitizens(db, added); });
    return 0;
}
