#include "output/ApplicationForm.h"

#include <QStringList>
#include <optional>

#include "citizens/CitizenTerritoryStore.h"
#include "dates/DateConventions.h"
#include "output/FileNames.h"
#include "permits/PermitStore.h"
#include "settings/RegionSetting.h"
#include "storage/Options.h"

namespace output {

using dictionaries::NameById;

namespace {

// The blanks after most values: enough to clear the longest value of those boxes.
constexpr int kPadding = 41;
constexpr int kAddressPadding = 81;
constexpr int kSurnameBoxes = 26;
constexpr int kProfessionFirstLine = 30;

const QString kResidencePermit = QStringLiteral(" Разрешение на временное проживание");

QString Blanks(qsizetype count) {
    return QString(std::max<qsizetype>(count, 0), QLatin1Char(' '));
}

QString Padded(const QString& text, int blanks = kPadding) {
    return text + Blanks(blanks);
}

}  // namespace

QString FormatAddressText(const citizens::RegAddrFormData& address,
                          const dictionaries::ReferenceLists& lists, AddressSeparator separator) {
    const QString between =
        separator == AddressSeparator::Underscore ? QStringLiteral(",_") : QStringLiteral(", ");
    const auto chosen = [](const dictionaries::ReferenceList& list, int id) {
        return id != -1 ? std::optional<QString>(NameById(list, id)) : std::nullopt;
    };
    const auto text = [](const QString& part) {
        return part.isEmpty() ? std::nullopt : std::optional<QString>(part);
    };
    const std::optional<QString> parts[] = {
        text(address.postalIndex),
        chosen(lists.regions, address.region),
        chosen(lists.districts, address.district),
        text(address.city),
        text(address.street),
        text(address.cityDistrict),
        text(address.house),
        text(address.flat),
        text(address.building),
        text(address.registeredFrom),
    };
    QString result;
    for (const std::optional<QString>& part : parts) {
        if (part)
            result += *part + between;
    }
    return result + address.registeredTo;
}

QString CompactDate(const QString& text) {
    return text.mid(0, 2) + text.mid(3, 2) + text.mid(6, 4);
}

QString DottedDate(const QString& text) {
    if (text.isEmpty())
        return {};
    return text.mid(0, 2) + QLatin1Char('.') + text.mid(3, 2) + QLatin1Char('.') + text.mid(6, 4);
}

QList<FormSlot> ApplicationFormSlots(const citizens::IGFormData& citizen,
                                     const ApplicationFormTexts& texts) {
    const bool visa = citizen.visaRegime == 1;
    const bool male = citizen.sex == 1;
    QString professionRest = texts.profession.mid(kProfessionFirstLine);
    if (citizen.temporaryResidence != 0)
        professionRest += kResidencePermit;
    QList<FormSlot> formSlots = {
        {3, 1, citizen.surname + Blanks(kSurnameBoxes - citizen.surname.size())},
        {3, 26, Padded(citizen.givenName)},
        {4, 1, Padded(citizen.patronymic)},
        {7, 1, Padded(QStringLiteral("паспорт"))},
        {8, 1, Padded(citizen.passportSeries)},
        {9, 1, Padded(citizen.passportNumber)},
        {12, 1, QStringLiteral(" ")},
        {13, 1, QStringLiteral(" ")},
        {male ? 12 : 13, 1, QStringLiteral("x")},
        {10, 1, Padded(CompactDate(citizen.passportIssueDate))},
        {11, 1, Padded(CompactDate(citizen.birthDate))},
        {18, 1, Padded(CompactDate(citizen.workFrom))},
        {19, 1, Padded(CompactDate(citizen.workTo))},
        {32, 1, Padded(texts.profession.left(kProfessionFirstLine))},
        {5, 1, Padded(texts.country)},
        {17, 1, Padded(CompactDate(citizen.fillingDate))},
    };
    if (citizen.visaRegime == 0)
        formSlots.append({6, 1, Padded(citizen.permanentAddress, kAddressPadding)});
    formSlots.append({33, 1, Padded(professionRest)});
    formSlots.append({31, 1, Padded(texts.territory)});
    if (visa) {
        formSlots.append({14, 1, Padded(citizen.permitNumber)});
        formSlots.append({15, 1, Padded(CompactDate(texts.permitIssueDate))});
        formSlots.append({20, 1, Padded(citizen.orgName)});
        formSlots.append({21, 1, Padded(citizen.orgLegalAddress)});
        formSlots.append({22, 1, Padded(citizen.orgOgrn)});
        formSlots.append({23, 1, Padded(CompactDate(citizen.orgRegistrationDate))});
    }
    return formSlots;
}

QString FmsOfficeLine(const QString& office) {
    const int blanks = std::max(0, (kFmsLineUnderlined - static_cast<int>(office.size())) / 2 + 1);
    return Blanks(blanks) + office + Blanks(blanks);
}

QString ApplicationFileName(const citizens::IGFormData& citizen, const QString& suffix) {
    const QChar blank(QLatin1Char(' '));
    return SafeFileName(citizen.surname + blank + citizen.givenName + blank + citizen.patronymic +
                            QLatin1Char('(') + citizen.passportSeries + blank +
                            citizen.passportNumber + QLatin1Char(')'),
                        suffix);
}

FormsRunSettings LoadFormsRunSettings(storage::Database& db,
                                      const dictionaries::ReferenceLists& lists) {
    FormsRunSettings settings;
    settings.regionId = settings::LoadRegionId(db);
    if (settings.regionId != -1)
        settings.regionName = NameById(lists.territories, settings.regionId);
    settings.fmsOffice = storage::GetOption(db, QString::fromLatin1(storage::kFmsMemberKey));
    return settings;
}

CitizenForms LoadCitizenForms(storage::Database& db, const dictionaries::ReferenceLists& lists,
                              const FormsRunSettings& settings,
                              const citizens::IGFormData& citizen) {
    ApplicationFormTexts texts;
    texts.country = NameById(lists.allCountries, citizen.citizenship);
    texts.profession = NameById(lists.professions, citizen.profession);
    if (settings.regionId != -1) {
        texts.territory = settings.regionName;
    } else {
        texts.territory =
            JoinedNames(lists.territories, citizens::LoadCitizenTerritories(db, citizen.key), u',');
    }
    // A permit number that matches no permit leaves the issue date empty: blanks are written.
    permits::Permit permit;
    if (citizen.visaRegime == 1 && permits::LoadPermitDates(db, citizen.permitNumber, permit))
        texts.permitIssueDate = dates::DateNumberToText(permit.issueDate);

    citizens::RegAddrFormData address;
    citizens::LoadRegistrationAddress(db, address, citizen.key);

    CitizenForms forms;
    forms.formSlots = ApplicationFormSlots(citizen, texts);
    forms.reverseSide = {
        texts.profession, FormatAddressText(address, lists, AddressSeparator::Underscore),
        DottedDate(citizen.workFrom) + QStringLiteral(" - ") + DottedDate(citizen.workTo)};
    forms.workbookName = ApplicationFileName(citizen, QStringLiteral(".xls"));
    forms.documentName = ApplicationFileName(citizen, QStringLiteral(".doc"));
    return forms;
}

}  // namespace output
