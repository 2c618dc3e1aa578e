#pragma once

#include <QList>
#include <optional>

#include "citizens/CitizenStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"

namespace storage {
class Database;
}

namespace citizens {

// Everything the citizen entry dialog writes for one citizen.
struct CitizenSave {
    IGFormData record;
    std::optional<PPFormData> paymentDocument;  // none: the citizen has no payment document
    RegAddrFormData address;
    QList<int> territories;
    int editedKey = -1;  // the citizen being edited; -1 for a new citizen
};

// Writes the citizen with its payment document, its registration address and its
// territories, in one transaction with the identifiers it draws: either all of it is stored
// or nothing is, and the generators move only when it is.
//
// A new citizen gets its key from IGGEN. An edited citizen keeps its key; its payment
// documents and its address are replaced. A held payment document is stored under a new key
// from PPGEN at every save. Every citizen gets one address row, also an empty one.
//
// Returns the citizen's key; nothing, with nothing written, when the edited citizen is no
// longer stored (deleted meanwhile). A refused write throws storage::DatabaseError, a date
// text that is no calendar date dates::DateTextError; nothing is written then either.
std::optional<int> SaveCitizen(storage::Database& db, const CitizenSave& save);

// The address as a citizen's row stores it: an address whose only content is its region
// (the default region of a new address) is stored without a region.
RegAddrFormData AddressToStore(const RegAddrFormData& address);

}  // namespace citizens
