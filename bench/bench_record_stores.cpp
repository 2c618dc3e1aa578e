// Times the record stores over a database of 100,000 citizens, 20,000 of them with a photo
// of 60 KB: a whole citizen save (durable), loading a citizen, the quota accounting of a
// permit with 1,000 citizens and the package list with 1,000 packages.
//
// Usage: bench_record_stores [folder]   (default: ./bench_record_stores_data)
// The database is built on the first run (about 1.7 GB) and reused by later runs.

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "LargeDatabase.h"
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

using namespace large_database;

// Random bytes behind a JPEG marker: the stores never decode the photo.
constexpr int kPhotoBytes = 60 * 1024;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString folder = DataFolder(argc, argv, "bench_record_stores_data");
    storage::DatabaseConnector connector(folder);
    const QString photo = PhotoText(kPhotoBytes);
    if (!Open(connector, photo))
        return 1;
    storage::Database& db = connector.db();
    std::printf("Photos of %d bytes.\n\n", kPhotoBytes);

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
