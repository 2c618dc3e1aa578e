#include "output/CitizenList.h"

namespace output {

using dictionaries::ExtraById;
using dictionaries::NameById;

QString ProfessionTitle(const dictionaries::ReferenceLists& lists, int profession, int prefix) {
    const QString prefixText =
        prefix != -1 ? NameById(lists.professionPrefixes, prefix) : QString();
    QString professionText;
    if (profession != -1) {
        switch (ExtraById(lists.professionPrefixes, prefix)) {
            case 0:
                professionText = NameById(lists.professions, profession);
                break;
            case 1:
                professionText = NameById(lists.genitiveProfessions, profession);
                break;
            default:
                break;
        }
    }
    return prefixText + QLatin1Char(' ') + professionText;
}

QList<QStringList> CitizenListRows(const QList<citizens::IGFormData>& citizens,
                                   const dictionaries::ReferenceLists& lists) {
    QList<QStringList> rows;
    rows.reserve(citizens.size() + 1);
    rows.append({QStringLiteral("ФИО"), QStringLiteral("Дата рождения"),
                 QStringLiteral("Серия №Паспорта"), QStringLiteral("Профессия"),
                 QStringLiteral("Страна")});
    const QChar blank(QLatin1Char(' '));
    for (const citizens::IGFormData& citizen : citizens) {
        rows.append({citizen.surname + blank + citizen.givenName + blank + citizen.patronymic,
                     citizen.birthDate, citizen.passportSeries + blank + citizen.passportNumber,
                     ProfessionTitle(lists, citizen.profession, citizen.professionPrefix),
                     NameById(lists.allCountries, citizen.citizenship)});
    }
    return rows;
}

}  // namespace output
