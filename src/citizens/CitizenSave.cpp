#include "citizens/CitizenSave.h"

#include "citizens/CitizenTerritoryStore.h"
#include "storage/Database.h"
#include "storage/Sequences.h"

namespace citizens {

namespace {

int NextKey(storage::Database& db, const char* generator) {
    return storage::NextSequenceValue(db, QString::fromLatin1(generator));
}

// The rows attached to the citizen, written after its ig row.
void WriteAttachedRows(storage::Database& db, const CitizenSave& save, int key) {
    if (save.paymentDocument)
        InsertPaymentDocument(db, *save.paymentDocument,
                              NextKey(db, storage::kPaymentDocumentGenerator), key);
    InsertRegistrationAddress(db, AddressToStore(save.address), key);
    ReplaceCitizenTerritories(db, key, save.territories);
}

}  // namespace

RegAddrFormData AddressToStore(const RegAddrFormData& address) {
    RegAddrFormData stored = address;
    stored.region = -1;
    if (!IsRegistrationAddressEmpty(stored))
        stored.region = address.region;
    return stored;
}

std::optional<int> SaveCitizen(storage::Database& db, const CitizenSave& save) {
    storage::Transaction transaction(db);
    int key = save.editedKey;
    if (key == -1) {
        key = NextKey(db, storage::kCitizenGenerator);
        InsertCitizen(db, save.record, key);
    } else {
        if (!UpdateCitizen(db, save.record, key))
            return std::nullopt;
        DeleteCitizenPaymentDocuments(db, key);
        DeleteRegistrationAddress(db, key);
    }
    WriteAttachedRows(db, save, key);
    transaction.commit();
    return key;
}

}  // namespace citizens
