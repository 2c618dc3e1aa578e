#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace storage {
class Database;
class Statement;
}  // namespace storage

namespace citizens {

// A foreign citizen as the dialogs hold it, with the ig property that keeps each field.
// Dates travel as date texts (DD/MM/YYYY, empty for none) and are kept as date numbers,
// except the medical certificate dates and the organisation's registration date, which are
// kept as typed. Identifiers are -1 when none was chosen; flags are 1 or 0.
struct IGFormData {
    qint32 key = -1;                         // igid; filled by a load only
    qint32 profession = -1;                  // iProfess
    QString surname;                         // sSurname
    QString givenName;                       // sName
    QString patronymic;                      // sSecondName
    QString passportSeries;                  // sPassSerr
    QString passportNumber;                  // sPassNum
    QString passportIssueDate;               // sDateReceive, date number
    QString passportIssuedBy;                // sKemVidan
    QString birthDate;                       // sBirthday, date number
    qint32 citizenship = -1;                 // iGrazdanstvo
    qint32 sex = 0;                          // iSex: 1 male, 0 female
    QString specialMarks;                    // sOsobiOtmetki
    qint32 medicalCertificatesAccepted = 0;  // iMedSpravki
    qint32 temporaryResidence = 0;           // iVremennoe
    QString photo;                           // Photo: Base64 of the JPEG data, empty for none
    qint32 visaRegime = 0;                   // iVisa_ig_type: 1 visa, 0 visa-free
    QString permitNumber;                    // iRNP_ig_num; empty for none
    QString workFrom;                        // sRNRDateFrom, date number
    QString workTo;                          // sRNRDateTo, date number
    QString orgName;                         // sOrgName
    QString orgInn;                          // sOrgINN
    QString orgLegalAddress;                 // sOrgUrAddr
    QString orgOgrn;                         // sOrgOGRN
    QString orgRegistrationDate;             // sOrgRegDate, as typed
    QString trustedSurname;                  // sOrgFF
    QString trustedGivenName;                // sOrgII
    QString trustedPatronymic;               // sOrgOO
    QString trustedPassportSeries;           // sOrgSeriya
    QString trustedPassportNumber;           // sOrgNumber
    qint32 orgType = 1;                      // iOrgType: 1 organisation, 2 trusted person
    QString medicalAcceptanceDate;           // sReqDate, as typed
    QString medicalIssueDate;                // sIssueDate, as typed
    QString medicalNumber;                   // sMedNumber
    qint32 package = -1;                     // iIGPkgNumber
    QString fillingDate;                     // iFillDate, date number
    QString permanentAddress;                // sPhisicalAddr
    qint32 professionPrefix = -1;            // iProfessPrefix

    bool operator==(const IGFormData&) const = default;
};

// The creation stamp of a citizen: the date number of the moment's day × 24 plus its hour.
int HourStamp(const QDateTime& moment);

// Adds the citizen at the end of ig under `key`, stamped with the moment of creation (now,
// unless given): crdate is its hour stamp, scrhour its hour. Returns the key. A converted
// date that is not a calendar date throws dates::DateTextError and nothing is written.
int InsertCitizen(storage::Database& db, const IGFormData& record, int key);
int InsertCitizen(storage::Database& db, const IGFormData& record, int key,
                  const QDateTime& created);

// Rewrites the citizen's row in place from the record: the citizen keeps its key, its
// creation stamp and its place in the stored order. False, with nothing changed, when no
// citizen has the key.
bool UpdateCitizen(storage::Database& db, const IGFormData& record, int key);

// Fills the record from the citizen's row; date numbers -1 and 0 give the empty text. False,
// with the record left as it was, when no citizen has the key.
bool LoadCitizen(storage::Database& db, IGFormData& record, int key);

// Removes the ig row of every citizen named, and no other row. The citizens' payment
// documents, registration addresses and territories stay in the store.
void DeleteCitizens(storage::Database& db, const QList<int>& keys);

// For readers of many citizens: the ig columns to select, and a record filled from a row
// selected with them, as LoadCitizen fills it. Without the photo its large text is not
// fetched and the record's photo is left empty.
QString CitizenColumns(bool withPhoto);
void ReadCitizen(const storage::Statement& row, IGFormData& record, bool withPhoto);

}  // namespace citizens
