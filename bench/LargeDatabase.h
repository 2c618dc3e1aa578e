#pragma once

// The large database the benchmarks share: 100,000 citizens, each with a payment document,
// an address and two territories, a photo on every fifth; 100 permits of 1,000 citizens with
// their quotas; 1,000 packages. Countries are 0 to 29, professions 0 to 49, prefixes 0 to 2,
// territories 0 to 90.

#include <QString>

#include "citizens/CitizenStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"

namespace storage {
class DatabaseConnector;
}

namespace large_database {

inline constexpr int kCitizens = 100000;
inline constexpr int kPhotoEvery = 5;  // 20,000 photos
inline constexpr int kCitizensPerPermit = 1000;
inline constexpr int kPackages = 1000;
inline constexpr int kCountries = 30;
inline constexpr int kProfessions = 50;
inline constexpr int kPrefixes = 3;

// The permit of the citizen with this key: "P-0001" for the first 1,000.
QString PermitOf(int key);

citizens::IGFormData Citizen(int key, const QString& photo);
citizens::PPFormData Payment();
citizens::RegAddrFormData Address();

// The folder of the database: the program's first argument, else `defaultName` in the working
// folder; made when missing.
QString DataFolder(int argc, char** argv, const char* defaultName);

// Opens the database of `folder`, building it on the first run with `photo` as the photo
// text, and prints what it holds. False, with the reason printed, when it cannot be opened.
bool Open(storage::DatabaseConnector& connector, const QString& photo);

}  // namespace large_database
