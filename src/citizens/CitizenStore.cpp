#include "citizens/CitizenStore.h"

#include <QStringList>
#include <optional>
#include <set>

#include "dates/DateConventions.h"
#include "storage/Database.h"

namespace citizens {

namespace {

// How a field of the record is kept in its ig property.
enum class Kind {
    Number,  // integer as it is
    Text,    // text as it is
    Date,    // date text kept as a date number
};

struct Field {
    const char* property;
    Kind kind;
    QString IGFormData::*text = nullptr;
    qint32 IGFormData::*number = nullptr;
};

constexpr Field Number(const char* property, qint32 IGFormData::*member) {
    return {property, Kind::Number, nullptr, member};
}
constexpr Field Text(const char* property, QString IGFormData::*member) {
    return {property, Kind::Text, member, nullptr};
}
constexpr Field Date(const char* property, QString IGFormData::*member) {
    return {property, Kind::Date, member, nullptr};
}

// Every field but the key, in the order of the ig layout. crdate and scrhour have no field.
const Field kFields[] = {
    Number("iProfess", &IGFormData::profession),
    Text("sSurname", &IGFormData::surname),
    Text("sName", &IGFormData::givenName),
    Text("sSecondName", &IGFormData::patronymic),
    Text("sPassSerr", &IGFormData::passportSeries),
    Text("sPassNum", &IGFormData::passportNumber),
    Date("sDateReceive", &IGFormData::passportIssueDate),
    Text("sKemVidan", &IGFormData::passportIssuedBy),
    Date("sBirthday", &IGFormData::birthDate),
    Number("iGrazdanstvo", &IGFormData::citizenship),
    Text("sOsobiOtmetki", &IGFormData::specialMarks),
    Number("iMedSpravki", &IGFormData::medicalCertificatesAccepted),
    Number("iVremennoe", &IGFormData::temporaryResidence),
    Text("Photo", &IGFormData::photo),
    Number("iSex", &IGFormData::sex),
    Text("iRNP_ig_num", &IGFormData::permitNumber),
    Number("iVisa_ig_type", &IGFormData::visaRegime),
    Date("sRNRDateFrom", &IGFormData::workFrom),
    Date("sRNRDateTo", &IGFormData::workTo),
    Text("sOrgName", &IGFormData::orgName),
    Text("sOrgINN", &IGFormData::orgInn),
    Text("sReqDate", &IGFormData::medicalAcceptanceDate),
    Text("sIssueDate", &IGFormData::medicalIssueDate),
    Text("sMedNumber", &IGFormData::medicalNumber),
    Number("iIGPkgNumber", &IGFormData::package),
    Date("iFillDate", &IGFormData::fillingDate),
    Text("sPhisicalAddr", &IGFormData::permanentAddress),
    Text("sOrgFF", &IGFormData::trustedSurname),
    Text("sOrgSeriya", &IGFormData::trustedPassportSeries),
    Text("sOrgNumber", &IGFormData::trustedPassportNumber),
    Number("iOrgType", &IGFormData::orgType),
    Text("sOrgII", &IGFormData::trustedGivenName),
    Text("sOrgOO", &IGFormData::trustedPatronymic),
    Number("iProfessPrefix", &IGFormData::professionPrefix),
    Text("sOrgUrAddr", &IGFormData::orgLegalAddress),
    Text("sOrgOGRN", &IGFormData::orgOgrn),
    Text("sOrgRegDate", &IGFormData::orgRegistrationDate),
};

bool IsPhoto(const Field& field) {
    return field.text == &IGFormData::photo;
}

QStringList FieldProperties(bool withPhoto) {
    QStringList names;
    for (const Field& field : kFields) {
        if (withPhoto || !IsPhoto(field))
            names << QLatin1String(field.property);
    }
    return names;
}

QString Parameters(int first, qsizetype count) {
    QStringList parameters;
    for (qsizetype i = 0; i < count; ++i)
        parameters << QStringLiteral("?%1").arg(first + i);
    return parameters.join(QStringLiteral(", "));
}

// Binds every field of the record to the parameters from `first` on, in field order. The
// dates are converted first, so that a bad date throws before anything is written.
void BindFields(storage::Statement& statement, int first, const IGFormData& record) {
    int parameter = first;
    for (const Field& field : kFields) {
        switch (field.kind) {
            case Kind::Number:
                statement.bind(parameter, record.*field.number);
                break;
            case Kind::Text:
                statement.bind(parameter, record.*field.text);
                break;
            case Kind::Date:
                statement.bind(parameter, dates::DateTextToNumber(record.*field.text));
                break;
        }
        ++parameter;
    }
}

const std::string& InsertSql() {
    static const std::string sql = [] {
        const QStringList fields = FieldProperties(true);
        return QStringLiteral("INSERT INTO ig (crdate, igid, scrhour, %1) VALUES (?1, ?2, ?3, %2)")
            .arg(fields.join(QStringLiteral(", ")), Parameters(4, fields.size()))
            .toStdString();
    }();
    return sql;
}

const std::string& UpdateSql() {
    static const std::string sql = [] {
        QStringList assignments;
        int parameter = 2;
        for (const QString& property : FieldProperties(true))
            assignments << QStringLiteral("%1 = ?%2").arg(property).arg(parameter++);
        return QStringLiteral("UPDATE ig SET %1 WHERE rowid = ?1")
            .arg(assignments.join(QStringLiteral(", ")))
            .toStdString();
    }();
    return sql;
}

// The stored position (rowid) of the first row of the citizen, or nothing.
std::optional<qint64> RowOf(storage::Database& db, int key) {
    storage::Statement query =
        db.prepare("SELECT rowid FROM ig WHERE igid = ?1 ORDER BY rowid LIMIT 1");
    query.bind(1, key);
    if (!query.step())
        return std::nullopt;
    return query.columnInt64(0);
}

}  // namespace

int HourStamp(const QDateTime& moment) {
    return dates::DateToNumber(moment.date()) * 24 + moment.time().hour();
}

int InsertCitizen(storage::Database& db, const IGFormData& record, int key) {
    return InsertCitizen(db, record, key, QDateTime::currentDateTime());
}

int InsertCitizen(storage::Database& db, const IGFormData& record, int key,
                  const QDateTime& created) {
    storage::Transaction transaction(db);
    storage::Statement insert = db.prepare(InsertSql());
    insert.bind(1, HourStamp(created)).bind(2, key).bind(3, created.time().hour());
    BindFields(insert, 4, record);
    insert.run();
    transaction.commit();
    return key;
}

bool UpdateCitizen(storage::Database& db, const IGFormData& record, int key) {
    storage::Transaction transaction(db);
    const std::optional<qint64> row = RowOf(db, key);
    if (!row)
        return false;
    storage::Statement update = db.prepare(UpdateSql());
    update.bind(1, *row);
    BindFields(update, 2, record);
    update.run();
    transaction.commit();
    return true;
}

bool LoadCitizen(storage::Database& db, IGFormData& record, int key) {
    storage::Statement query =
        db.prepare(QStringLiteral("SELECT %1 FROM ig WHERE igid = ?1 ORDER BY rowid LIMIT 1")
                       .arg(CitizenColumns(true))
                       .toStdString());
    query.bind(1, key);
    if (!query.step())
        return false;
    ReadCitizen(query, record, true);
    return true;
}

void DeleteCitizens(storage::Database& db, const QList<int>& keys) {
    storage::Transaction transaction(db);
    // Positions are collected first, once each, so that a key named twice removes no other row.
    std::set<qint64> rows;
    for (int key : keys) {
        if (const std::optional<qint64> row = RowOf(db, key))
            rows.insert(*row);
    }
    storage::Statement remove = db.prepare("DELETE FROM ig WHERE rowid = ?1");
    for (qint64 row : rows) {
        remove.bind(1, row).run();
        remove.reset();
    }
    transaction.commit();
}

QString CitizenColumns(bool withPhoto) {
    return QStringLiteral("igid, ") + FieldProperties(withPhoto).join(QStringLiteral(", "));
}

void ReadCitizen(const storage::Statement& row, IGFormData& record, bool withPhoto) {
    record.key = row.columnInt(0);
    if (!withPhoto)
        record.photo.clear();
    int column = 1;
    for (const Field& field : kFields) {
        if (!withPhoto && IsPhoto(field))
            continue;
        switch (field.kind) {
            case Kind::Number:
                record.*field.number = row.columnInt(column);
                break;
            case Kind::Text:
                record.*field.text = row.columnText(column);
                break;
            case Kind::Date:
                record.*field.text = dates::DateNumberToText(row.columnInt(column));
                break;
        }
        ++column;
    }
}

}  // namespace citizens
