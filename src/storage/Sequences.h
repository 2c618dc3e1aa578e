#pragma once

#include <QHash>
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
//
// A value once returned is never returned again. Called on its own, it returns only after
// the new value is committed. Called inside a caller's transaction, the value is committed
// with the caller's rows; should that transaction fail, the connection still knows the value
// (Database::issuedSequenceValue), draws above it in this run, and writes it into the file
// with the next commit that succeeds, or at the latest when the connection closes.
int NextSequenceValue(Database& db, const QString& name);

// Raises each generator's stored value to the value issued on this connection where the
// file holds less. Runs inside the committing transaction; used by Transaction.
void StoreIssuedSequenceValues(Database& db, const QHash<QString, int>& issued);

}  // namespace storage
