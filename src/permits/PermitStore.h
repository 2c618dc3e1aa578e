#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace storage {
class Database;
}

namespace permits {

// How many citizens of a country a permit allows.
struct CountryQuota {
    qint32 country = -1;
    qint32 quota = 0;

    bool operator==(const CountryQuota&) const = default;
};

// How many citizens of a profession with a prefix (-1: none) a permit allows.
struct ProfessionQuota {
    qint32 profession = -1;
    qint32 quota = 0;
    qint32 prefix = -1;

    bool operator==(const ProfessionQuota&) const = default;
};

// A prefix of a profession with the places it has left.
struct PrefixQuots {
    qint32 prefix = -1;
    qint32 quota = 0;

    bool operator==(const PrefixQuots&) const = default;
};

// The profession-to-prefix index: for each profession of a permit, its prefixes with their
// remaining quotas, in the order of the profession list.
using ProfessionPrefixIndex = QMap<qint32, QList<PrefixQuots>>;

ProfessionPrefixIndex BuildProfessionPrefixIndex(const QList<ProfessionQuota>& professions);

// A permit as stored: its period and issue date as date numbers (-1: none) and its quotas in
// stored order.
struct Permit {
    qint32 dateFrom = -1;
    qint32 dateTo = -1;
    qint32 issueDate = -1;
    QList<CountryQuota> countries;
    QList<ProfessionQuota> professions;

    bool operator==(const Permit&) const = default;
};

// Whether a permit has this number (letter case of A-Z ignored).
bool PermitExists(storage::Database& db, const QString& number);

// Adds the permit with its quotas at the end of their views. The caller makes sure the
// number is new.
void InsertPermit(storage::Database& db, const QString& number, int dateFrom, int dateTo,
                  const QList<CountryQuota>& countries, const QList<ProfessionQuota>& professions,
                  int issueDate);

// The permit numbers in stored order that match the pattern: every number for an empty
// pattern; for "%" and a rest, the numbers that contain the rest (letter case counts; "%"
// alone matches none); otherwise the number equal to the pattern.
QStringList FindPermitNumbers(storage::Database& db, const QString& pattern);

// Fills the permit from its stored rows. False, with the permit left as it was, when no
// permit has the number.
bool LoadPermit(storage::Database& db, const QString& number, Permit& permit);

// The same for the dates alone; the quota lists are not touched.
bool LoadPermitDates(storage::Database& db, const QString& number, Permit& permit);

// The period alone.
bool LoadPermitPeriod(storage::Database& db, const QString& number, int& dateFrom, int& dateTo);

// Removes the permit and its quotas; with `withCitizens`, also the citizens hired under it
// (only their ig rows). The permit's territories stay: saving a permit replaces them.
void DeletePermit(storage::Database& db, const QString& number, bool withCitizens);

// Lowers the quotas by the places the permit's citizens already take: each citizen takes one
// place of the first entry with its country, and one of the first entry with its profession
// and prefix. A quota never goes below 0. Nothing is written.
void SubtractUsedQuotas(storage::Database& db, const QString& number,
                        QList<CountryQuota>& countries, QList<ProfessionQuota>& professions);

// Gives an edited citizen's own place back: 1 is added to every entry with the citizen's
// country and to every entry with its profession, whatever the prefix.
void GiveBackCitizenPlace(QList<CountryQuota>& countries, QList<ProfessionQuota>& professions,
                          int country, int profession);

// What a citizen may still take: the countries with quota left, in list order, and the
// professions with quota left under any prefix, each once, in list order.
QList<qint32> OfferedCountries(const QList<CountryQuota>& countries);
QList<qint32> OfferedProfessions(const QList<ProfessionQuota>& professions);

// The full names ("surname name patronymic") of the citizens hired under the permit, in
// stored order.
QStringList ListPermitCitizens(storage::Database& db, const QString& number);

// Replaces the permit's territories of work by the list, in list order.
void SavePermitTerritories(storage::Database& db, const QString& number,
                           const QList<int>& territories);

// The permit's territory identifiers in stored order.
QList<int> LoadPermitTerritories(storage::Database& db, const QString& number);

}  // namespace permits
