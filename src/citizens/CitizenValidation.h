#pragma once

#include <QString>
#include <optional>

namespace citizens {

// The field of the citizen entry dialog that a failed check puts the focus on.
enum class InputField {
    None,  // the focus stays where it is
    Permit,
    Profession,
    Surname,
    GivenName,
    Patronymic,
    PassportNumber,
    PassportIssueDate,
    IssuedBy,
    BirthDate,
    Male,
    Citizenship,
    SpecialMarks,
    MedicalAcceptanceDate,
    MedicalIssueDate,
    WorkFrom,
    WorkTo,
    Territories,
    OrgName,
    OrgInn,
    TrustedSurname,
    TrustedGivenName,
    TrustedPassportNumber,
    FillingDate,
};

// What the checks read of the citizen entry dialog, texts exactly as the fields hold them.
struct CitizenInput {
    bool visa = false;
    QString permitNumber;  // the text of the permit list; empty when none is chosen
    int permitFrom = -1;   // the chosen permit's period (date numbers)
    int permitTo = -1;
    int profession = -1;
    QString surname;
    QString givenName;
    QString patronymic;
    QString passportNumber;
    QString passportIssueDate;
    QString issuedBy;
    QString birthDate;
    QString specialMarks;
    bool medical = false;  // "Все медицинские справки приняты"
    QString medicalAcceptanceDate;
    QString medicalIssueDate;
    bool sexChosen = true;
    int citizenship = -1;
    QString workFrom;
    QString workTo;
    int regionType = 2;
    QString territoriesText;  // Memo1
    int orgType = 1;          // whose fields are required: 1 organisation, 2 trusted person
    QString orgName;
    QString orgInn;
    QString trustedSurname;
    QString trustedGivenName;
    QString trustedPassportNumber;
    bool hasPhoto = false;
    QString fillingDate;
    int today = -1;  // today's date number
};

// The first failed check: the message box to show and where the focus goes.
struct InputError {
    InputField field = InputField::None;
    QString title;
    QString text;
};

// A citizen is at least this many days old on the day it is entered (18 years of 365 days).
inline constexpr int kMinimumAgeDays = 6570;

// Runs the checks of a citizen before anything is saved, in their fixed order, and gives the
// first that fails; nothing when all pass. Only the exactly empty text counts as empty.
std::optional<InputError> CheckCitizenInput(const CitizenInput& input);

// Whether a text holds no Latin letter (A to Z, a to z); digits, punctuation, blanks and
// letters of other alphabets are allowed.
bool IsRussianText(const QString& text);

}  // namespace citizens
