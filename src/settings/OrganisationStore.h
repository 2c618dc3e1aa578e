#pragma once

#include <QString>

namespace storage {
class Database;
}

namespace settings {

// Who acts for the employer.
inline constexpr int kOrganisationItself = 1;
inline constexpr int kTrustedPerson = 2;

// The organisation and its trusted person, with the org property that keeps each field.
struct OrgFormData {
    QString name;                       // orgname
    QString inn;                        // orgINN
    QString legalAddress;               // orgUrAddr
    QString ogrn;                       // orgOGRN
    QString registrationDate;           // orgRegDate: the date text as typed
    QString surname;                    // orgFF
    QString givenName;                  // orgII
    QString patronymic;                 // orgOO
    QString passportSeries;             // orgSeriya
    QString passportNumber;             // orgNumber
    qint32 type = kOrganisationItself;  // orgType

    bool operator==(const OrgFormData&) const = default;
};

// The stored organisation; before the first save every text is empty and the type is 1.
OrgFormData LoadOrganisation(storage::Database& db);

// Replaces the stored organisation by the record.
void SaveOrganisation(storage::Database& db, const OrgFormData& record);

}  // namespace settings
