#include "storage/DatabaseConnector.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/Database.h"
#include "storage/Indexes.h"
#include "storage/Options.h"
#include "storage/UpgradeSource.h"
#include "storage/Views.h"

namespace storage {

namespace {

QString Refusal(const QString& path, const QString& reason) {
    return QStringLiteral(
               "Файл базы данных «%1» не может быть открыт: %2.\n"
               "Файл оставлен без изменений.")
        .arg(QDir::toNativeSeparators(path), reason);
}

// The value a property that the old file lacks takes in the copy.
QString MissingValue(const QString& view, const Property& property) {
    const auto converted = ConversionTable().constFind(view + QLatin1Char(':') + property.name);
    if (converted != ConversionTable().constEnd())
        return *converted;
    return property.type == PropertyType::Integer ? QStringLiteral("-1") : QString();
}

void CopyView(const UpgradeSource& source, const Layout& stored, const Layout& layout,
              Database& target) {
    OpenView(target, layout);
    const auto view = source.openView(stored);

    // For each new property: its position in the old view, or -1 and the value to store.
    QList<int> from;
    QStringList fallback;
    QStringList columns, parameters;
    for (const Property& property : layout.properties) {
        from << view->layout().indexOf(property.name);
        fallback << MissingValue(layout.view, property);
        columns << QuotedName(property.name);
        parameters << QStringLiteral("?%1").arg(parameters.size() + 1);
    }
    Statement insert =
        target.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(QuotedName(layout.view), columns.join(QLatin1Char(',')),
                                parameters.join(QLatin1Char(',')))
                           .toStdString());
    view->forEachRow([&](const SourceRow& row) {
        for (int i = 0; i < layout.properties.size(); ++i) {
            const bool integer = layout.properties[i].type == PropertyType::Integer;
            if (from[i] >= 0 && integer)
                insert.bind(i + 1, row.intValue(from[i]));
            else if (from[i] >= 0)
                insert.bind(i + 1, row.textValue(from[i]));
            else if (integer)
                insert.bind(i + 1, TextToInteger(fallback[i]));
            else
                insert.bind(i + 1, fallback[i]);
        }
        insert.run();
        insert.reset();
    });
}

void MarkAsOurs(Database& db) {
    db.exec("PRAGMA application_id = " + std::to_string(kApplicationId));
}

}  // namespace

FileKind DetectFileKind(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return FileKind::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Unknown;
    const QByteArray head = file.read(16);
    if (head.isEmpty())
        return file.size() == 0 ? FileKind::Empty : FileKind::Unknown;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")) && head.size() == 16)
        return FileKind::Sqlite;
    const bool legacyOrder = head.startsWith("JL") || head.startsWith("LJ");
    if (legacyOrder && head.size() >= 8 && head[2] == '\x1A')
        return FileKind::Legacy;
    return FileKind::Unknown;
}

const QHash<QString, QString>& ConversionTable() {
    static const QHash<QString, QString> table{
        {QStringLiteral("ig:iOrgType"), QStringLiteral("1")}};
    return table;
}

void CopySchemaViews(const UpgradeSource& source, Database& target) {
    const QList<Layout> stored = SplitStructureDescription(source.structureDescription());
    Transaction transaction(target);
    for (const QString& view : schema::ViewsInUpgradeOrder()) {
        Layout old;
        for (const Layout& candidate : stored) {
            if (SameName(candidate.view, view)) {
                old = candidate;
                break;
            }
        }
        CopyView(source, old, *schema::LayoutOf(view), target);
    }
    transaction.commit();
}

// ---------------------------------------------------------------------------------------

DatabaseConnector::DatabaseConnector(const QString& folder)
    : folder_(folder)
    , databasePath_(folder + QLatin1Char('/') + QLatin1String(kDatabaseFileName))
    , temporaryPath_(folder + QLatin1Char('/') + QLatin1String(kTemporaryFileName)) {}

DatabaseConnector::~DatabaseConnector() {
    // The connection closes before the lock goes.
    db_.reset();
}

bool DatabaseConnector::AcquireExclusiveUse() {
    if (lock_)
        return true;
    bool busy = false;
    lock_ = FileLock::tryLock(databasePath_, /*create=*/false, &busy);
    if (!lock_ && !busy && !QFile::exists(databasePath_)) {
        // No file: the new database is created here, and locked before anyone else sees it.
        lock_ = FileLock::tryLock(databasePath_, /*create=*/true, &busy);
    }
    return lock_.has_value() || !busy;
}

OpenOutcome DatabaseConnector::OpenDatabase() {
    if (!lock_ && !AcquireExclusiveUse()) {
        return {false,
                Refusal(databasePath_, QStringLiteral("он используется другим приложением")),
                {}};
    }
    switch (DetectFileKind(databasePath_)) {
        case FileKind::Missing:
        case FileKind::Empty:
        case FileKind::Sqlite:
            return openSqliteFile();
        case FileKind::Legacy:
            return migrateLegacyFile();
        case FileKind::Unknown:
            break;
    }
    return {false,
            Refusal(databasePath_,
                    QStringLiteral("он не является файлом базы данных программы или повреждён")),
            {}};
}

OpenOutcome DatabaseConnector::openSqliteFile() {
    OpenOutcome outcome;
    try {
        openConnection();
        if (auto refusal = refusalOfOpenedFile()) {
            db_.reset();
            outcome.error = *refusal;
            return outcome;
        }
    } catch (const DatabaseError& e) {
        db_.reset();
        outcome.error =
            Refusal(databasePath_,
                    QStringLiteral("файл повреждён (%1)").arg(QString::fromStdString(e.what())));
        return outcome;
    }
    storedLayouts_ = SplitStructureDescription(StructureDescription(*db_));
    if (UpgradeDatabase() == 0)
        putConvertedCopyInPlace(outcome);
    finishOpening();
    outcome.opened = true;
    return outcome;
}

OpenOutcome DatabaseConnector::migrateLegacyFile() {
    return {false,
            Refusal(databasePath_, QStringLiteral("файлы прежней версии программы пока не "
                                                  "поддерживаются")),
            {}};
}

// Reads the file's header and list of tables, which fails on a damaged file, and tells
// whether the file belongs to this program.
std::optional<QString> DatabaseConnector::refusalOfOpenedFile() {
    const qint64 applicationId = db_->queryInt("PRAGMA application_id");
    const qint64 tables = db_->queryInt("SELECT count(*) FROM sqlite_schema");
    if (applicationId != kApplicationId && tables > 0)
        return Refusal(databasePath_, QStringLiteral("это база данных другой программы"));
    return std::nullopt;
}

int DatabaseConnector::UpgradeDatabase() {
    std::unique_ptr<Database> temporary;
    try {
        QString versionText;
        if (!StoredLayout(*db_, QStringLiteral("app_options")).view.isEmpty())
            versionText = GetOption(*db_, QString::fromLatin1(kDatabaseVersionKey));
        const int version = versionText.isEmpty() ? -1 : TextToInteger(versionText);
        if (version == schema::kDatabaseVersion)
            return 1;
        // The copy is written into an empty file: whatever an interrupted run left goes.
        discardTemporaryFile();
        temporary = Database::open(temporaryPath_);
        MarkAsOurs(*temporary);
        CopySchemaViews(SqliteUpgradeSource(*db_), *temporary);
        return 0;
    } catch (const std::exception&) {
        temporary.reset();
        discardTemporaryFile();
        return -1;
    }
}

bool DatabaseConnector::replaceDatabaseFile(QString* error) {
    if (std::rename(QFile::encodeName(temporaryPath_).constData(),
                    QFile::encodeName(databasePath_).constData()) == 0)
        return true;
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// Puts igdb_temp.dat in place of igdb.dat in one atomic rename. The copy is locked before it
// takes the name, so that the file under that name is never unguarded.
void DatabaseConnector::putConvertedCopyInPlace(OpenOutcome& outcome) {
    auto newLock = FileLock::tryLock(temporaryPath_, /*create=*/false);
    db_.reset();
    QString error = QStringLiteral("файл занят");
    if (newLock && replaceDatabaseFile(&error)) {
        SyncFolder(folder_);
        lock_ = std::move(newLock);
    } else {
        outcome.notices << QStringLiteral(
                               "Не удалось заменить файл базы данных «%1» его преобразованной "
                               "копией «%2»: %3.\nПрограмма продолжит работу со старым файлом; "
                               "преобразованная копия сохранена в «%2».")
                               .arg(QDir::toNativeSeparators(databasePath_),
                                    QDir::toNativeSeparators(temporaryPath_), error);
    }
    openConnection();
}

void DatabaseConnector::discardTemporaryFile() {
    QFile::remove(temporaryPath_);
    QFile::remove(temporaryPath_ + QStringLiteral("-journal"));
}

void DatabaseConnector::openConnection() {
    db_ = Database::open(databasePath_);
}

// Brings every view to its current layout (a file whose conversion failed is restructured in
// place) and records the version.
void DatabaseConnector::finishOpening() {
    Transaction transaction(*db_);
    for (const Layout& layout : schema::Layouts())
        OpenView(*db_, layout);
    CreateIndexes(*db_);
    if (db_->queryInt("PRAGMA application_id") != kApplicationId)
        MarkAsOurs(*db_);
    SetOption(*db_, QString::fromLatin1(kDatabaseVersionKey),
              QString::number(schema::kDatabaseVersion));
    transaction.commit();
}

}  // namespace storage
