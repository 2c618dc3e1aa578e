#include "output/CitizenSearch.h"

#include <QStringDecoder>
#include <QStringList>

#include "dates/DateConventions.h"
#include "storage/Database.h"

namespace output {

namespace {

// The upper bound of the creation range when no end date is given: 1 January 4898.
constexpr int kNoEndDate = 1095000;

// The filter as the store selects by it.
struct Selection {
    bool byBirthDate = false;
    int birthDate = -1;
    int citizenship = -1;
    int lowestHourStamp = 0;
    int highestHourStamp = 0;
};

int DateOf(const QString& text, FilterField field) {
    try {
        return dates::DateTextToNumber(text);
    } catch (const dates::DateTextError&) {
        throw SearchFilterError(field);
    }
}

int HourOf(const QString& text, int whenEmpty, FilterField field) {
    if (text.isEmpty())
        return whenEmpty;
    bool ok = false;
    const int hour = text.toInt(&ok);
    if (!ok || hour < 0 || hour > 23)
        throw SearchFilterError(field);
    return hour;
}

Selection Convert(const SearchFilter& filter) {
    Selection selection;
    selection.byBirthDate = !filter.birthDate.isEmpty();
    if (selection.byBirthDate)
        selection.birthDate = DateOf(filter.birthDate, FilterField::BirthDate);
    const int from = filter.addedFromDate.isEmpty()
                         ? 0
                         : DateOf(filter.addedFromDate, FilterField::AddedFromDate);
    int to =
        filter.addedToDate.isEmpty() ? 0 : DateOf(filter.addedToDate, FilterField::AddedToDate);
    if (to == 0)
        to = kNoEndDate;
    bool ok = false;
    selection.citizenship = filter.citizenship.toInt(&ok);
    if (!ok)
        throw SearchFilterError(FilterField::Citizenship);
    selection.lowestHourStamp =
        from * 24 + HourOf(filter.addedFromHour, 0, FilterField::AddedFromHour);
    selection.highestHourStamp = to * 24 + HourOf(filter.addedToHour, 23, FilterField::AddedToHour);
    return selection;
}

// The stored positions of the citizens the store selects, with their names: only columns
// that lie before the photo are read, so that a row's photo is never fetched.
std::string CandidatesSql(const Selection& selection) {
    QStringList conditions{QStringLiteral("crdate BETWEEN ?1 AND ?2")};
    if (selection.byBirthDate)
        conditions << QStringLiteral("sBirthday = ?3");
    if (selection.citizenship != -1)
        conditions << QStringLiteral("iGrazdanstvo = ?4");
    return QStringLiteral("SELECT rowid, sSurname, sName FROM ig WHERE %1 ORDER BY rowid")
        .arg(conditions.join(QStringLiteral(" AND ")))
        .toStdString();
}

void BindCandidates(storage::Statement& query, const Selection& selection) {
    query.bind(1, selection.lowestHourStamp).bind(2, selection.highestHourStamp);
    if (selection.byBirthDate)
        query.bind(3, selection.birthDate);
    if (selection.citizenship != -1)
        query.bind(4, selection.citizenship);
}

// Whether a stored name contains a part in upper case, as QString::toUpper() compares: the
// part's upper-case form occurs in the name's. A search compares every row, so the common
// names (ASCII and Cyrillic, whose letters each have one upper-case letter) are decoded and
// upper-cased in a buffer that is reused; any other name takes the general path.
class NameMatcher {
public:
    explicit NameMatcher(const QString& part) : part_(part.toUpper()) {}

    bool matches(QByteArrayView utf8) {
        if (part_.isEmpty())
            return true;
        buffer_.resize(utf8.size());  // never more UTF-16 units than UTF-8 bytes
        QChar* const begin = buffer_.data();
        QChar* const end = decoder_.appendToBuffer(begin, utf8);
        for (QChar* c = begin; c != end; ++c) {
            const char16_t u = c->unicode();
            if (u < 0x80) {
                if (u >= u'a' && u <= u'z')
                    *c = QChar(static_cast<char16_t>(u - (u'a' - u'A')));
            } else if (u >= 0x0400 && u < 0x0500) {
                *c = c->toUpper();
            } else {
                return QString::fromUtf8(utf8).toUpper().contains(part_);
            }
        }
        return QStringView(begin, end).contains(part_);
    }

private:
    QString part_;
    QString buffer_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
};

}  // namespace

SearchFilterError::SearchFilterError(FilterField field)
    : std::runtime_error("search filter text cannot be converted"), field_(field) {}

QList<citizens::IGFormData> SearchCitizens(storage::Database& db, const SearchFilter& filter) {
    const Selection selection = Convert(filter);
    // One read transaction: the store's lock is taken once, not by every row loaded below.
    storage::Transaction reading(db);
    NameMatcher surname(filter.surname);
    NameMatcher givenName(filter.givenName);

    QList<qint64> rows;
    storage::Statement candidates = db.prepare(CandidatesSql(selection));
    BindCandidates(candidates, selection);
    while (rows.size() < kSearchLimit && candidates.step()) {
        if (surname.matches(candidates.columnUtf8(1)) &&
            givenName.matches(candidates.columnUtf8(2)))
            rows << candidates.columnInt64(0);
    }

    storage::Statement load = db.prepare(QStringLiteral("SELECT %1 FROM ig WHERE rowid = ?1")
                                             .arg(citizens::CitizenColumns(false))
                                             .toStdString());
    QList<citizens::IGFormData> found;
    found.reserve(rows.size());
    for (qint64 row : rows) {
        load.bind(1, row);
        if (load.step())
            citizens::ReadCitizen(load, found.emplace_back(), false);
        load.reset();
    }
    reading.commit();
    return found;
}

}  // namespace output
