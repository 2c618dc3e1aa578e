#pragma once

// The database the record benchmarks share: 100,000 citizens, 20,000 of them with a photo of
// 60 KB, each with a payment document, an address and two territories; 100 permits of 1,000
// citizens with their quotas, and 1,000 packages. Built on first use (about 1.7 GB) and reused.

#include <QString>
#include <chrono>
#include <memory>

#include "citizens/CitizenStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "storage/DatabaseConnector.h"

namespace bench {

inline constexpr int kCitizens = 100000;
inline constexpr int kPhotoEvery = 5;  // 20,000 photos
inline constexpr int kPhotoBytes = 60 * 1024;
inline constexpr int kCitizensPerPermit = 1000;
inline constexpr int kPackages = 1000;

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The Base64 text of 60 KB of JPEG-like data.
QString PhotoText();
// The permit of a citizen ("P-0001" for the first 1,000).
QString PermitOf(int key);
// Citizen number `key` as the database holds it; `photo` is given to every fifth.
citizens::IGFormData Citizen(int key, const QString& photo);
citizens::PPFormData Payment();
citizens::RegAddrFormData Address();

// Opens the benchmark database in `folder` (the first command-line argument, else
// ./bench_record_stores_data), building it when it is not complete, and prints its size.
// Null, after printing why, when it cannot be opened.
std::unique_ptr<storage::DatabaseConnector> OpenBenchDatabase(int argc, char** argv,
                                                              const QString& photo);

}  // namespace bench
