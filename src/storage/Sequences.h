#pragma once

#include <QString>

namespace storage {

class Database;

// Generators of identifiers kept in the file.
inline constexpr char kCitizenGenerator[] = "IGGEN";
inline constexpr char kPaymentDocumentGenerator[] = "PPGEN";
inline constexpr char kPackageGenerator[] = "IG_PKG_GEN";

// The next identifier of the named generator: the last one issued plus 1, starting at 1.
// The generator's view "name[name:I]" is created on first use and afterwards holds exactly
// one row with the value returned; the replacement is one transaction.
int NextSequenceValue(Database& db, const QString& name);

}  // namespace storage
