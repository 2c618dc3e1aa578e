#pragma once

#include <QList>
#include <QString>
#include <stdexcept>

#include "citizens/CitizenStore.h"

namespace storage {
class Database;
}

namespace output {

// The filter of the citizen search: the eight texts as the search window's fields show them.
struct SearchFilter {
    QString surname;                             // part of the surname, as typed; empty: any
    QString givenName;                           // part of the given name, as typed; empty: any
    QString birthDate;                           // date text; empty: any
    QString addedFromDate;                       // date text; empty: no lower bound
    QString addedToDate;                         // date text; empty: no upper bound
    QString citizenship = QStringLiteral("-1");  // country identifier; "-1": any
    QString addedFromHour;                       // 0 to 23; empty: 0
    QString addedToHour;                         // 0 to 23; empty: 23
};

// The filter texts that are converted before the search.
enum class FilterField {
    BirthDate,
    AddedFromDate,
    AddedToDate,
    Citizenship,
    AddedFromHour,
    AddedToHour
};

// A filter text that is not a date, an identifier or an hour of the day; nothing was searched.
class SearchFilterError : public std::runtime_error {
public:
    explicit SearchFilterError(FilterField field);
    FilterField field() const { return field_; }

private:
    FilterField field_;
};

// A search lists at most this many citizens: the first ones in stored order.
inline constexpr int kSearchLimit = 2000;

// The citizens that match the filter, in stored order, at most kSearchLimit, each filled as
// LoadCitizen fills it but without the photo (which is never read). The store selects by
// birth date, citizenship and creation hours (both bounds included); the name parts are then
// compared with each row's names in upper case (Unicode rules: Cyrillic of either case, "ё"
// and "Ё" compare equal), anywhere in the name, blanks included: nothing is trimmed.
// Throws SearchFilterError before reading anything when a filter text cannot be converted.
QList<citizens::IGFormData> SearchCitizens(storage::Database& db, const SearchFilter& filter);

}  // namespace output
