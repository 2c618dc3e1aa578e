#include "citizens/CitizenValidation.h"

#include <algorithm>

#include "dates/DateConventions.h"

namespace citizens {

namespace {

const QString kInputTitle = QStringLiteral("Ошибка ввода данных");
const QString kSaveTitle = QStringLiteral("сохранение");
const QString kDateError = QStringLiteral("Ошибка заполнения даты");

bool IsDate(const QString& text) {
    return dates::IsValidDateText(text).valid;
}

// An empty date is allowed; anything else must be a calendar date.
bool IsEmptyOrDate(const QString& text) {
    return text.isEmpty() || IsDate(text);
}

InputError Required(InputField field, const char* text) {
    return {field, kInputTitle, QString::fromUtf8(text)};
}

// The completeness checks, up to the organisation's fields.
std::optional<InputError> CheckCompleteness(const CitizenInput& in) {
    if (in.visa && in.permitNumber.isEmpty())
        return Required(InputField::Permit,
                        "Поле 'Номер РНП' является обязательным для заполнения.");
    if (in.profession == -1)
        return Required(InputField::Profession,
                        "Поле 'Профессия' является обязательным для заполнения.");
    if (in.surname.isEmpty())
        return Required(InputField::Surname,
                        "Поле 'Фамилия' является обязательным для заполнения.");
    if (in.givenName.isEmpty())
        return Required(InputField::GivenName, "Поле 'Имя' является обязательным для заполнения.");
    if (in.passportNumber.isEmpty())
        return Required(InputField::PassportNumber,
                        "Поле 'Номер' паспорта является обязательным для заполнения.");
    if (in.birthDate.isEmpty())
        return Required(InputField::BirthDate,
                        "Поле 'Дата' рождения является обязательным для заполнения.");
    if (in.medical && in.medicalAcceptanceDate.isEmpty())
        return Required(
            InputField::MedicalAcceptanceDate,
            "Поле 'Дата принятия медицинских справок' является обязательным для заполнения.");
    if (!in.sexChosen)
        return Required(InputField::Male, "Поле 'Пол' является обязательным для заполнения.");
    if (in.citizenship == -1)
        return Required(InputField::Citizenship,
                        "Поле 'Гражданство' является обязательным для заполнения.");
    if (in.workFrom.isEmpty() || in.workTo.isEmpty())
        return InputError{
            InputField::WorkFrom, kSaveTitle,
            QStringLiteral("Поле 'Период действия' является обязательным для заполнения. ")};
    if (in.regionType == 2 && !in.visa && in.territoriesText.isEmpty())
        return InputError{
            InputField::Territories, kSaveTitle,
            QStringLiteral("Поле 'Территории действия' является обязательным для заполнения. ")};
    return std::nullopt;
}

// The organisation's or the trusted person's required fields; each text ends in a blank.
std::optional<InputError> CheckOrganisation(const CitizenInput& in) {
    struct Field {
        int type;
        const QString* text;
        InputField field;
        const char* name;
    };
    const Field fields[] = {
        {1, &in.orgName, InputField::OrgName, "Наименование организации"},
        {1, &in.orgInn, InputField::OrgInn, "ИНН организации"},
        {2, &in.trustedSurname, InputField::TrustedSurname, "Фамилия доверенного лица"},
        {2, &in.trustedGivenName, InputField::TrustedGivenName, "Имя доверенного лица"},
        {2, &in.trustedPassportNumber, InputField::TrustedPassportNumber,
         "Номер паспорта доверенного лица"},
    };
    for (const Field& f : fields) {
        if (f.type == in.orgType && f.text->isEmpty())
            return InputError{f.field, kSaveTitle,
                              QStringLiteral("Поле '%1' является обязательным для заполнения. ")
                                  .arg(QString::fromUtf8(f.name))};
    }
    return std::nullopt;
}

// The certificate dates count only when the certificates are accepted: otherwise their
// fields are hidden and nothing of them is saved.
std::optional<InputError> CheckDates(const CitizenInput& in) {
    if (in.medical && !IsEmptyOrDate(in.medicalAcceptanceDate))
        return InputError{InputField::MedicalAcceptanceDate, kSaveTitle, kDateError};
    if (in.medical && !IsEmptyOrDate(in.medicalIssueDate))
        return InputError{InputField::MedicalIssueDate, kSaveTitle, kDateError};
    if (!IsDate(in.workFrom))
        return InputError{InputField::WorkFrom, kSaveTitle, kDateError};
    if (!IsDate(in.workTo))
        return InputError{InputField::WorkTo, kSaveTitle, kDateError};
    return std::nullopt;
}

std::optional<InputError> CheckPeriod(const CitizenInput& in) {
    const int from = dates::DateTextToNumber(in.workFrom);
    const int to = dates::DateTextToNumber(in.workTo);
    const char* text = nullptr;
    switch (dates::CheckPeriod(from, to, in.visa ? 1 : 0, in.permitFrom, in.permitTo, in.today)) {
        case 1:
            // The last letter before the closing quote is a Latin C, as users know the text.
            text = "Поле 'Период действия По' не может быть раньше 'Периода действия C'";
            break;
        case 2:
            text = "Поле 'Период действия По' не может быть раньше настоящей даты";
            break;
        case 3:
            text =
                "Поле 'Период действия С' не может быть раньше 'Периода С' выбранного номера "
                "РНП";
            break;
        case 4:
            text =
                "Поле 'Период действия По' не может быть позже 'Периода По' выбранного номера "
                "РНП";
            break;
        default:
            return std::nullopt;
    }
    return InputError{InputField::None, kInputTitle, QString::fromUtf8(text)};
}

std::optional<InputError> CheckRussianTexts(const CitizenInput& in) {
    struct Field {
        const QString* text;
        InputField field;
        const char* name;
    };
    const Field fields[] = {
        {&in.surname, InputField::Surname, "Фамилия"},
        {&in.givenName, InputField::GivenName, "Имя"},
        {&in.patronymic, InputField::Patronymic, "Отчество"},
        {&in.issuedBy, InputField::IssuedBy, "Кем выдан"},
        {&in.specialMarks, InputField::SpecialMarks, "Особые отметки"},
        {&in.passportNumber, InputField::PassportNumber, "Паспорт номер"},
    };
    for (const Field& f : fields) {
        if (!IsRussianText(*f.text))
            return InputError{f.field, kInputTitle,
                              QStringLiteral("Поле '%1' должнло быть введено на русском языке")
                                  .arg(QString::fromUtf8(f.name))};
    }
    return std::nullopt;
}

}  // namespace

bool IsRussianText(const QString& text) {
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    });
}

std::optional<InputError> CheckCitizenInput(const CitizenInput& in) {
    if (auto error = CheckCompleteness(in))
        return error;
    if (auto error = CheckOrganisation(in))
        return error;
    if (auto error = CheckDates(in))
        return error;
    if (auto error = CheckPeriod(in))
        return error;
    if (!in.hasPhoto)
        return InputError{InputField::None, QStringLiteral("Ошибка заполнения данных"),
                          QStringLiteral("Поле 'Фотография' является обязательным для заполнения")};
    if (!IsEmptyOrDate(in.passportIssueDate))
        return InputError{InputField::PassportIssueDate, kInputTitle,
                          QStringLiteral("Фомат поля 'Дата выдачи' должен быть ДД/ММ/ГГГГ'")};
    if (!IsDate(in.birthDate))
        return InputError{InputField::BirthDate, kInputTitle,
                          QStringLiteral("Фомат поля 'Дата рождения' должен быть ДД/ММ/ГГГГ'")};
    if (auto error = CheckRussianTexts(in))
        return error;
    if (dates::DateTextToNumber(in.birthDate) > in.today - kMinimumAgeDays)
        return InputError{InputField::BirthDate, kInputTitle,
                          QStringLiteral("Внимание! Иностранному гражданину должно быть не "
                                         "менее 18 лет!")};
    // The filling date is kept as a date number: a text that is no date cannot be saved.
    if (!IsEmptyOrDate(in.fillingDate))
        return InputError{InputField::FillingDate, kSaveTitle, kDateError};
    return std::nullopt;
}

}  // namespace citizens
