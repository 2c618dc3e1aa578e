#include "permits/PermitStore.h"

#include <algorithm>

#include "storage/ChildRows.h"
#include "storage/Database.h"

namespace permits {

namespace {

constexpr storage::IntegerChildRows kPermitTerritories{"rnpterritory", "terr_pid", "terr_id"};

// Lowers a quota by a number of places taken, to 0 at the lowest.
void Take(qint32& quota, int places) {
    quota = std::max(0, quota - places);
}

}  // namespace

ProfessionPrefixIndex BuildProfessionPrefixIndex(const QList<ProfessionQuota>& professions) {
    ProfessionPrefixIndex index;
    for (const ProfessionQuota& entry : professions)
        index[entry.profession].append({entry.prefix, entry.quota});
    return index;
}

bool PermitExists(storage::Database& db, const QString& number) {
    storage::Statement query = db.prepare("SELECT 1 FROM rnpirs WHERE rnpnum = ?1 LIMIT 1");
    query.bind(1, number);
    return query.step();
}

void InsertPermit(storage::Database& db, const QString& number, int dateFrom, int dateTo,
                  const QList<CountryQuota>& countries, const QList<ProfessionQuota>& professions,
                  int issueDate) {
    storage::Transaction transaction(db);
    storage::Statement permit = db.prepare(
        "INSERT INTO rnpirs (rnpnum, rnpDateFrom, rnpDateTo, rnpRegDate) VALUES (?1, ?2, ?3, ?4)");
    permit.bind(1, number).bind(2, dateFrom).bind(3, dateTo).bind(4, issueDate).run();
    storage::Statement country =
        db.prepare("INSERT INTO rnpirsCOUNTRY (c_rnp_pid, c_cid, c_quot) VALUES (?1, ?2, ?3)");
    for (const CountryQuota& entry : countries) {
        country.bind(1, number).bind(2, entry.country).bind(3, entry.quota).run();
        country.reset();
    }
    storage::Statement profession = db.prepare(
        "INSERT INTO rnpirsPROFESS (p_rnp_pid, p_pid, p_quot, p_prefix) VALUES (?1, ?2, ?3, ?4)");
    for (const ProfessionQuota& entry : professions) {
        profession.bind(1, number).bind(2, entry.profession).bind(3, entry.quota);
        profession.bind(4, entry.prefix).run();
        profession.reset();
    }
    transaction.commit();
}

QStringList FindPermitNumbers(storage::Database& db, const QString& pattern) {
    storage::Statement query = db.prepare("SELECT rnpnum FROM rnpirs ORDER BY rowid");
    const bool contains = pattern.startsWith(QLatin1Char('%'));
    const QString rest = pattern.mid(1);
    QStringList numbers;
    while (query.step()) {
        const QString number = query.columnText(0);
        const bool match = pattern.isEmpty() ? true
                           : contains ? !rest.isEmpty() && number.contains(rest, Qt::CaseSensitive)
                                      : number == pattern;
        if (match)
            numbers << number;
    }
    return numbers;
}

bool LoadPermitDates(storage::Database& db, const QString& number, Permit& permit) {
    storage::Statement query = db.prepare(
        "SELECT rnpDateFrom, rnpDateTo, rnpRegDate FROM rnpirs WHERE rnpnum = ?1 "
        "ORDER BY rowid LIMIT 1");
    query.bind(1, number);
    if (!query.step())
        return false;
    permit.dateFrom = query.columnInt(0);
    permit.dateTo = query.columnInt(1);
    permit.issueDate = query.columnInt(2);
    return true;
}

bool LoadPermit(storage::Database& db, const QString& number, Permit& permit) {
    Permit loaded;
    if (!LoadPermitDates(db, number, loaded))
        return false;
    storage::Statement countries =
        db.prepare("SELECT c_cid, c_quot FROM rnpirsCOUNTRY WHERE c_rnp_pid = ?1 ORDER BY rowid");
    countries.bind(1, number);
    while (countries.step())
        loaded.countries.append({countries.columnInt(0), countries.columnInt(1)});
    storage::Statement professions = db.prepare(
        "SELECT p_pid, p_quot, p_prefix FROM rnpirsPROFESS WHERE p_rnp_pid = ?1 ORDER BY rowid");
    professions.bind(1, number);
    while (professions.step()) {
        loaded.professions.append(
            {professions.columnInt(0), professions.columnInt(1), professions.columnInt(2)});
    }
    permit = loaded;
    return true;
}

bool LoadPermitPeriod(storage::Database& db, const QString& number, int& dateFrom, int& dateTo) {
    Permit loaded;
    if (!LoadPermitDates(db, number, loaded))
        return false;
    dateFrom = loaded.dateFrom;
    dateTo = loaded.dateTo;
    return true;
}

void DeletePermit(storage::Database& db, const QString& number, bool withCitizens) {
    storage::Transaction transaction(db);
    db.prepare(
          "DELETE FROM rnpirs WHERE rowid = "
          "(SELECT rowid FROM rnpirs WHERE rnpnum = ?1 ORDER BY rowid LIMIT 1)")
        .bind(1, number)
        .run();
    db.prepare("DELETE FROM rnpirsCOUNTRY WHERE c_rnp_pid = ?1").bind(1, number).run();
    db.prepare("DELETE FROM rnpirsPROFESS WHERE p_rnp_pid = ?1").bind(1, number).run();
    if (withCitizens)
        db.prepare("DELETE FROM ig WHERE iRNP_ig_num = ?1").bind(1, number).run();
    transaction.commit();
}

void SubtractUsedQuotas(storage::Database& db, const QString& number,
                        QList<CountryQuota>& countries, QList<ProfessionQuota>& professions) {
    // Each citizen lowers the first matching entry by one, down to 0: the same as lowering
    // it once by the number of citizens that match it.
    storage::Statement byCountry = db.prepare(
        "SELECT iGrazdanstvo, count(*) FROM ig WHERE iRNP_ig_num = ?1 GROUP BY iGrazdanstvo");
    byCountry.bind(1, number);
    while (byCountry.step()) {
        const int country = byCountry.columnInt(0);
        auto entry = std::find_if(countries.begin(), countries.end(),
                                  [&](const CountryQuota& q) { return q.country == country; });
        if (entry != countries.end())
            Take(entry->quota, byCountry.columnInt(1));
    }
    storage::Statement byProfession = db.prepare(
        "SELECT iProfess, iProfessPrefix, count(*) FROM ig WHERE iRNP_ig_num = ?1 "
        "GROUP BY iProfess, iProfessPrefix");
    byProfession.bind(1, number);
    while (byProfession.step()) {
        const int profession = byProfession.columnInt(0);
        const int prefix = byProfession.columnInt(1);
        auto entry =
            std::find_if(professions.begin(), professions.end(), [&](const ProfessionQuota& q) {
                return q.profession == profession && q.prefix == prefix;
            });
        if (entry != professions.end())
            Take(entry->quota, byProfession.columnInt(2));
    }
}

void GiveBackCitizenPlace(QList<CountryQuota>& countries, QList<ProfessionQuota>& professions,
                          int country, int profession) {
    for (CountryQuota& entry : countries) {
        if (entry.country == country)
            ++entry.quota;
    }
    for (ProfessionQuota& entry : professions) {
        if (entry.profession == profession)
            ++entry.quota;
    }
}

QList<qint32> OfferedCountries(const QList<CountryQuota>& countries) {
    QList<qint32> offered;
    for (const CountryQuota& entry : countries) {
        if (entry.quota > 0)
            offered << entry.country;
    }
    return offered;
}

QList<qint32> OfferedProfessions(const QList<ProfessionQuota>& professions) {
    QList<qint32> offered;
    for (const ProfessionQuota& entry : professions) {
        if (entry.quota > 0 && !offered.contains(entry.profession))
            offered << entry.profession;
    }
    return offered;
}

QStringList ListPermitCitizens(storage::Database& db, const QString& number) {
    storage::Statement query = db.prepare(
        "SELECT sSurname, sName, sSecondName FROM ig WHERE iRNP_ig_num = ?1 ORDER BY rowid");
    query.bind(1, number);
    QStringList names;
    while (query.step()) {
        names << query.columnText(0) + QLatin1Char(' ') + query.columnText(1) + QLatin1Char(' ') +
                     query.columnText(2);
    }
    return names;
}

void SavePermitTerritories(storage::Database& db, const QString& number,
                           const QList<int>& territories) {
    storage::ReplaceChildIntegers(db, kPermitTerritories, number, territories);
}

QList<int> LoadPermitTerritories(storage::Database& db, const QString& number) {
    return storage::LoadChildIntegers(db, kPermitTerritories, number);
}

}  // namespace permits
