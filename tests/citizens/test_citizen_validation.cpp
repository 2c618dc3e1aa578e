#include <gtest/gtest.h>

#include <QDate>
#include <functional>

#include "citizens/CitizenValidation.h"
#include "dates/DateConventions.h"

using citizens::CheckCitizenInput;
using citizens::CitizenInput;
using citizens::InputField;

namespace {

const int kToday = dates::DateToNumber(QDate(2012, 6, 15));

QString Day(int number) {
    return dates::DateNumberToText(number);
}

// A visa citizen under a permit of the whole year 2012 that passes every check.
CitizenInput Valid() {
    CitizenInput in;
    in.visa = true;
    in.permitNumber = QStringLiteral("77-001");
    in.permitFrom = dates::DateToNumber(QDate(2012, 1, 1));
    in.permitTo = dates::DateToNumber(QDate(2012, 12, 31));
    in.profession = 12680;
    in.surname = QStringLiteral("Иванов");
    in.givenName = QStringLiteral("Иван");
    in.passportNumber = QStringLiteral("123456");
    in.birthDate = QStringLiteral("01/01/1980");
    in.citizenship = 156;
    in.workFrom = Day(kToday);
    in.workTo = Day(kToday + 100);
    in.orgName = QStringLiteral("Ромашка");
    in.orgInn = QStringLiteral("7701");
    in.hasPhoto = true;
    in.today = kToday;
    return in;
}

struct Failure {
    const char* what;
    std::function<void(CitizenInput&)> change;
    InputField field;
    const char* title;
    const char* text;
};

void ExpectFailure(const Failure& f) {
    CitizenInput in = Valid();
    f.change(in);
    const auto error = CheckCitizenInput(in);
    ASSERT_TRUE(error.has_value()) << f.what;
    EXPECT_EQ(error->text, QString::fromUtf8(f.text)) << f.what;
    EXPECT_EQ(error->title, QString::fromUtf8(f.title)) << f.what;
    EXPECT_EQ(error->field, f.field) << f.what;
}

const char kInput[] = "Ошибка ввода данных";
const char kSave[] = "сохранение";

}  // namespace

TEST(CitizenValidation, TheValidCitizenPasses) {
    EXPECT_FALSE(CheckCitizenInput(Valid()).has_value());
}

TEST(CitizenValidation, EachCheckFailsAloneWithItsMessageAndField) {
    using F = InputField;
    const Failure failures[] = {
        {"1 permit", [](CitizenInput& in) { in.permitNumber.clear(); }, F::Permit, kInput,
         "Поле 'Номер РНП' является обязательным для заполнения."},
        {"2 profession", [](CitizenInput& in) { in.profession = -1; }, F::Profession, kInput,
         "Поле 'Профессия' является обязательным для заполнения."},
        {"3 surname", [](CitizenInput& in) { in.surname.clear(); }, F::Surname, kInput,
         "Поле 'Фамилия' является обязательным для заполнения."},
        {"4 given name", [](CitizenInput& in) { in.givenName.clear(); }, F::GivenName, kInput,
         "Поле 'Имя' является обязательным для заполнения."},
        {"5 passport number", [](CitizenInput& in) { in.passportNumber.clear(); },
         F::PassportNumber, kInput, "Поле 'Номер' паспорта является обязательным для заполнения."},
        {"6 birth date", [](CitizenInput& in) { in.birthDate.clear(); }, F::BirthDate, kInput,
         "Поле 'Дата' рождения является обязательным для заполнения."},
        {"7 acceptance date",
         [](CitizenInput& in) {
             in.medical = true;
             in.medicalAcceptanceDate.clear();
         },
         F::MedicalAcceptanceDate, kInput,
         "Поле 'Дата принятия медицинских справок' является обязательным для заполнения."},
        {"8 sex", [](CitizenInput& in) { in.sexChosen = false; }, F::Male, kInput,
         "Поле 'Пол' является обязательным для заполнения."},
        {"9 citizenship", [](CitizenInput& in) { in.citizenship = -1; }, F::Citizenship, kInput,
         "Поле 'Гражданство' является обязательным для заполнения."},
        {"10 period to", [](CitizenInput& in) { in.workTo.clear(); }, F::WorkFrom, kSave,
         "Поле 'Период действия' является обязательным для заполнения. "},
        {"11 territories",
         [](CitizenInput& in) {
             in.visa = false;
             in.regionType = 2;
         },
         F::Territories, kSave,
         "Поле 'Территории действия' является обязательным для заполнения. "},
        {"12 organisation name", [](CitizenInput& in) { in.orgName.clear(); }, F::OrgName, kSave,
         "Поле 'Наименование организации' является обязательным для заполнения. "},
        {"12 organisation INN", [](CitizenInput& in) { in.orgInn.clear(); }, F::OrgInn, kSave,
         "Поле 'ИНН организации' является обязательным для заполнения. "},
        {"12 trusted surname",
         [](CitizenInput& in) {
             in.orgType = 2;
             in.trustedGivenName = in.trustedPassportNumber = QStringLiteral("x");
         },
         F::TrustedSurname, kSave,
         "Поле 'Фамилия доверенного лица' является обязательным для заполнения. "},
        {"12 trusted given name",
         [](CitizenInput& in) {
             in.orgType = 2;
             in.trustedSurname = in.trustedPassportNumber = QStringLiteral("x");
         },
         F::TrustedGivenName, kSave,
         "Поле 'Имя доверенного лица' является обязательным для заполнения. "},
        {"12 trusted passport number",
         [](CitizenInput& in) {
             in.orgType = 2;
             in.trustedSurname = in.trustedGivenName = QStringLiteral("x");
         },
         F::TrustedPassportNumber, kSave,
         "Поле 'Номер паспорта доверенного лица' является обязательным для заполнения. "},
        {"13 acceptance date",
         [](CitizenInput& in) {
             in.medical = true;
             in.medicalAcceptanceDate = QStringLiteral("31/02/2012");
         },
         F::MedicalAcceptanceDate, kSave, "Ошибка заполнения даты"},
        {"14 certificate issue date",
         [](CitizenInput& in) {
             in.medical = true;
             in.medicalAcceptanceDate = QStringLiteral("01/02/2012");
             in.medicalIssueDate = QStringLiteral("1234");
         },
         F::MedicalIssueDate, kSave, "Ошибка заполнения даты"},
        {"15 period from", [](CitizenInput& in) { in.workFrom = QStringLiteral("32/01/2012"); },
         F::WorkFrom, kSave, "Ошибка заполнения даты"},
        {"15 period to", [](CitizenInput& in) { in.workTo = QStringLiteral("01/13/2012"); },
         F::WorkTo, kSave, "Ошибка заполнения даты"},
        {"16 end not after start", [](CitizenInput& in) { in.workTo = in.workFrom; }, F::None,
         kInput, "Поле 'Период действия По' не может быть раньше 'Периода действия C'"},
        {"16 end today",
         [](CitizenInput& in) {
             in.workFrom = Day(kToday - 10);
             in.workTo = Day(kToday);
         },
         F::None, kInput, "Поле 'Период действия По' не может быть раньше настоящей даты"},
        {"16 start before the permit",
         [](CitizenInput& in) { in.workFrom = Day(in.permitFrom - 1); }, F::None, kInput,
         "Поле 'Период действия С' не может быть раньше 'Периода С' выбранного номера РНП"},
        {"16 end after the permit", [](CitizenInput& in) { in.workTo = Day(in.permitTo + 1); },
         F::None, kInput,
         "Поле 'Период действия По' не может быть позже 'Периода По' выбранного номера РНП"},
        {"17 photo", [](CitizenInput& in) { in.hasPhoto = false; }, F::None,
         "Ошибка заполнения данных", "Поле 'Фотография' является обязательным для заполнения"},
        {"18 issue date",
         [](CitizenInput& in) { in.passportIssueDate = QStringLiteral("31/02/2008"); },
         F::PassportIssueDate, kInput, "Фомат поля 'Дата выдачи' должен быть ДД/ММ/ГГГГ'"},
        {"19 birth date", [](CitizenInput& in) { in.birthDate = QStringLiteral("1980"); },
         F::BirthDate, kInput, "Фомат поля 'Дата рождения' должен быть ДД/ММ/ГГГГ'"},
        {"20 surname", [](CitizenInput& in) { in.surname = QStringLiteral("Ивaнов"); },  // Latin a
         F::Surname, kInput, "Поле 'Фамилия' должнло быть введено на русском языке"},
        {"20 given name", [](CitizenInput& in) { in.givenName = QStringLiteral("Ivan"); },
         F::GivenName, kInput, "Поле 'Имя' должнло быть введено на русском языке"},
        {"20 patronymic", [](CitizenInput& in) { in.patronymic = QStringLiteral("Z"); },
         F::Patronymic, kInput, "Поле 'Отчество' должнло быть введено на русском языке"},
        {"20 issued by", [](CitizenInput& in) { in.issuedBy = QStringLiteral("OVD 5"); },
         F::IssuedBy, kInput, "Поле 'Кем выдан' должнло быть введено на русском языке"},
        {"20 special marks", [](CitizenInput& in) { in.specialMarks = QStringLiteral("nb"); },
         F::SpecialMarks, kInput, "Поле 'Особые отметки' должнло быть введено на русском языке"},
        {"20 passport number", [](CitizenInput& in) { in.passportNumber = QStringLiteral("AB1"); },
         F::PassportNumber, kInput, "Поле 'Паспорт номер' должнло быть введено на русском языке"},
        {"21 age", [](CitizenInput& in) { in.birthDate = Day(kToday - 6569); }, F::BirthDate,
         kInput, "Внимание! Иностранному гражданину должно быть не менее 18 лет!"},
        {"filling date", [](CitizenInput& in) { in.fillingDate = QStringLiteral("15/15/2012"); },
         F::FillingDate, kSave, "Ошибка заполнения даты"},
    };
    for (const Failure& f : failures)
        ExpectFailure(f);
}

TEST(CitizenValidation, TheFirstFailureInOrderIsReported) {
    CitizenInput in = Valid();
    in.surname.clear();
    in.hasPhoto = false;
    in.birthDate = QStringLiteral("1980");
    EXPECT_EQ(CheckCitizenInput(in)->field, InputField::Surname);
    in.surname = QStringLiteral("Иванов");
    EXPECT_EQ(CheckCitizenInput(in)->title, "Ошибка заполнения данных");  // the photo, step 17
}

TEST(CitizenValidation, CasesThatPass) {
    const std::pair<const char*, std::function<void(CitizenInput&)>> passing[] = {
        {"born exactly 6,570 days ago",
         [](CitizenInput& in) { in.birthDate = Day(kToday - 6570); }},
        {"a period that ends tomorrow",
         [](CitizenInput& in) {
             in.workFrom = Day(kToday - 10);
             in.workTo = Day(kToday + 1);
         }},
        {"a period on the permit's first and last day",
         [](CitizenInput& in) {
             in.workFrom = Day(in.permitFrom);
             in.workTo = Day(in.permitTo);
         }},
        {"visa-free: the permit's bounds do not apply",
         [](CitizenInput& in) {
             in.visa = false;
             in.regionType = 1;
             in.permitNumber.clear();
             in.workTo = Day(in.permitTo + 400);
         }},
        {"Cyrillic with a hyphen and a digit",
         [](CitizenInput& in) { in.surname = QStringLiteral("Петров-Водкин 2"); }},
        {"blanks count as filled", [](CitizenInput& in) { in.surname = QStringLiteral("   "); }},
        {"an empty passport issue date", [](CitizenInput& in) { in.passportIssueDate.clear(); }},
        {"trusted person without patronymic or passport series",
         [](CitizenInput& in) {
             in.orgType = 2;
             in.orgName.clear();
             in.trustedSurname = in.trustedGivenName = in.trustedPassportNumber =
                 QStringLiteral("Петров");
         }},
        {"an invalid certificate date while the certificates are not accepted",
         [](CitizenInput& in) { in.medicalAcceptanceDate = QStringLiteral("99/99/9999"); }},
        {"territories given",
         [](CitizenInput& in) {
             in.visa = false;
             in.territoriesText = QStringLiteral("Москва");
         }},
    };
    for (const auto& [what, change] : passing) {
        CitizenInput in = Valid();
        change(in);
        const auto error = CheckCitizenInput(in);
        EXPECT_FALSE(error.has_value()) << what << ": " << (error ? error->text.toStdString() : "");
    }
}

TEST(CitizenValidation, OnlyTheFiftyTwoAsciiLettersAreLatin) {
    EXPECT_TRUE(citizens::IsRussianText(QStringLiteral("Ёлка, д. 5/1 (№ 7) é")));
    EXPECT_FALSE(citizens::IsRussianText(QStringLiteral("Ёлкаz")));
    EXPECT_FALSE(citizens::IsRussianText(QStringLiteral("A")));
}
