#include "output/CitizenSelection.h"

#include <QFileInfo>

#include "settings/OrganisationStore.h"
#include "storage/Database.h"

namespace output {

QList<citizens::IGFormData> LoadCitizensByKeys(storage::Database& db, const QList<int>& keys,
                                               bool withPhoto) {
    // One read transaction: the store's lock is taken once, not for every citizen.
    storage::Transaction reading(db);
    storage::Statement query =
        db.prepare(QStringLiteral("SELECT %1 FROM ig WHERE igid = ?1 ORDER BY rowid LIMIT 1")
                       .arg(citizens::CitizenColumns(withPhoto))
                       .toStdString());
    QList<citizens::IGFormData> records;
    records.reserve(keys.size());
    for (int key : keys) {
        query.bind(1, key);
        if (query.step()) {
            citizens::IGFormData& record = records.emplace_back();
            citizens::ReadCitizen(query, record, withPhoto);
        }
        query.reset();
    }
    reading.commit();
    return records;
}

QString DefaultOutputName(storage::Database& db, const QDateTime& now) {
    QString name = settings::LoadOrganisation(db).name;
    name.replace(QLatin1Char('"'), QLatin1String("''"));
    return name + QLatin1Char(' ') + now.toString(QStringLiteral("dd.MM.yyyy-HH.mm"));
}

QString FileNameWithCount(const QString& chosen, int count) {
    const qsizetype nameStart = chosen.lastIndexOf(QLatin1Char('/')) + 1;
    const QString suffix = QStringLiteral(" - %1").arg(count);
    qsizetype cut = chosen.size();
    if (chosen.size() - nameStart > 4 && chosen.at(chosen.size() - 4) == QLatin1Char('.'))
        cut = chosen.size() - 4;
    else if (const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.')); dot > nameStart)
        cut = dot;
    return chosen.left(cut) + suffix + chosen.mid(cut);
}

}  // namespace output
