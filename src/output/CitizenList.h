#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "citizens/CitizenStore.h"
#include "dictionaries/ReferenceLists.h"

namespace output {

// A citizen's full profession title: the prefix's name (none for prefix -1), a blank, and the
// profession's name in the form the prefix's case selects: case 0 the ordinary name, case 1
// the genitive form, any other case nothing (nothing either for profession -1). The blank is
// always there, so a title without prefix begins with it.
QString ProfessionTitle(const dictionaries::ReferenceLists& lists, int profession, int prefix);

// The cells of the citizen list: the header row "ФИО", "Дата рождения", "Серия №Паспорта",
// "Профессия", "Страна", then one row of five texts per citizen in the order given.
QList<QStringList> CitizenListRows(const QList<citizens::IGFormData>& citizens,
                                   const dictionaries::ReferenceLists& lists);

}  // namespace output
