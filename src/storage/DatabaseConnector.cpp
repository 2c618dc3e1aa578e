#include "storage/DatabaseConnector.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/Database.h"
#include "storage/Indexes.h"
#include "storage/LegacyFile.h"
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

QString SystemError(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("нет места на диске");
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("нет прав на запись");
        default:
            break;
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

QString LegacyRefusalReason(const LegacyFileError& e) {
    switch (e.kind()) {
        case LegacyFileError::Kind::Damaged:
            return QStringLiteral("это файл прежней версии программы, и он повреждён (%1)")
                .arg(e.reason());
        case LegacyFileError::Kind::Unsupported:
            return QStringLiteral(
                       "это файл прежней версии программы, который не удаётся преобразовать (%1)")
                .arg(e.reason());
        case LegacyFileError::Kind::Unreadable:
            break;
    }
    return QStringLiteral("это файл прежней версии программы, но его не удалось прочитать (%1)")
        .arg(e.reason());
}

QString ConversionNotice(const QString& database, const QString& backup, bool recovered) {
    QString text = QStringLiteral(
                       "Файл базы данных «%1» был создан прежней версией программы. Данные из "
                       "него преобразованы в новый формат.\n\n"
                       "Исходный файл сохранён без изменений под именем «%2».")
                       .arg(QDir::toNativeSeparators(database), QDir::toNativeSeparators(backup));
    if (recovered) {
        text += QStringLiteral(
            "\n\nПоследнее изменение, сделанное в прежней версии программы, не было завершено "
            "(работа прервалась во время записи), и восстановить его не удалось: данные "
            "преобразованы в том виде, в каком они были до этого изменения.");
    }
    return text;
}

QString BackupPath(const QString& folder, int number) {
    QString name = QString::fromLatin1(kLegacyBackupBaseName);
    if (number > 1)
        name += QStringLiteral("_%1").arg(number);
    return folder + QLatin1Char('/') + name + QStringLiteral(".dat");
}

bool WriteAll(int fd, QByteArrayView bytes) {
    const char* p = bytes.data();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

enum class CopyResult { Made, Exists, Failed };

// Writes `bytes` into a new file; an existing file is never replaced.
CopyResult WriteNewFile(const QString& path, QByteArrayView bytes, int* error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = errno;
        return errno == EEXIST ? CopyResult::Exists : CopyResult::Failed;
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    *error = errno;
    ::close(fd);
    if (written)
        return CopyResult::Made;
    ::unlink(name.constData());
    return CopyResult::Failed;
}

// Gives the file a second name; where the file system has no hard links, its bytes are
// copied instead. An existing file is never replaced.
CopyResult LinkOrCopy(const QString& source, const QString& target, QByteArrayView bytes,
                      int* error) {
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0)
        return CopyResult::Made;
    if (errno == EEXIST)
        return CopyResult::Exists;
    return WriteNewFile(target, bytes, error);
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
        return FileKind::Unreadable;
    const QByteArray head = file.read(16);
    if (head.isEmpty())
        return file.size() == 0 ? FileKind::Empty : FileKind::Unknown;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")) && head.size() == 16)
        return FileKind::Sqlite;
    return LooksLikeLegacyFile(path) ? FileKind::Legacy : FileKind::Unknown;
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
        newFile_ = true;
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
    try {
        return openByKind();
    } catch (const DatabaseError& e) {
        // The reason is told before the file goes: it names what happened to the file.
        OpenOutcome outcome{false, failedStartMessage(e), {}};
        abandonStart();
        return outcome;
    }
}

OpenOutcome DatabaseConnector::openByKind() {
    switch (DetectFileKind(databasePath_)) {
        case FileKind::Missing:
        case FileKind::Empty:
        case FileKind::Sqlite:
            return openSqliteFile();
        case FileKind::Legacy:
            return migrateLegacyFile();
        case FileKind::Unreadable:
            return {false, Refusal(databasePath_, QStringLiteral("файл не удаётся прочитать")), {}};
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
    openConnection();
    if (auto refusal = refusalOfOpenedFile()) {
        db_.reset();
        outcome.error = *refusal;
        return outcome;
    }
    storedLayouts_ = SplitStructureDescription(StructureDescription(*db_));
    if (UpgradeDatabase() == 0) {
        QString error;
        if (!putConvertedCopyInPlace(&error)) {
            outcome.notices << Notice{
                Notice::Kind::Warning, QStringLiteral("Ошибка базы данных"),
                QStringLiteral("Не удалось заменить файл базы данных «%1» его преобразованной "
                               "копией «%2»: %3.\nПрограмма продолжит работу со старым файлом; "
                               "преобразованная копия сохранена в «%2».")
                    .arg(QDir::toNativeSeparators(databasePath_),
                         QDir::toNativeSeparators(temporaryPath_), error)};
        }
        openConnection();
    }
    finishOpening();
    outcome.opened = true;
    return outcome;
}

// Why the engine's failure stopped the start, naming the converted copy when it was the
// file being written.
QString DatabaseConnector::failureReason(const DatabaseError& e) const {
    const QString reason = DatabaseErrorReason(e.code(), e.systemError());
    if (e.path() != temporaryPath_)
        return reason;
    return QStringLiteral("не удалось записать его преобразованную копию «%1» (%2)")
        .arg(QDir::toNativeSeparators(temporaryPath_), reason);
}

QString DatabaseConnector::failedStartMessage(const DatabaseError& e) const {
    const QString file = QDir::toNativeSeparators(databasePath_);
    if (newFile_) {
        // The copy made on the way is no business of a user who has no file yet.
        return QStringLiteral("Файл базы данных «%1» не может быть создан: %2.")
            .arg(file, DatabaseErrorReason(e.code(), e.systemError()));
    }
    if (!replacedFile_)
        return Refusal(databasePath_, failureReason(e));
    return QStringLiteral(
               "Файл базы данных «%1» не может быть открыт: %2.\n"
               "Его данные уже преобразованы в новый формат и сохранены в нём; подготовка "
               "файла будет завершена при следующем запуске.")
        .arg(file, failureReason(e));
}

// After a failed start: the connection closes, and a file that this start created goes
// again, since nothing of the user's is in it.
void DatabaseConnector::abandonStart() {
    db_.reset();
    if (!newFile_)
        return;
    QFile::remove(databasePath_);
    QFile::remove(databasePath_ + QStringLiteral("-journal"));
    lock_.reset();
}

// A file of the earlier program cannot stay in use, so it is converted whatever version it
// records. The copy takes the file's name only after the original has a name of its own;
// until then igdb.dat is exactly as it was, and any failure leaves it so.
OpenOutcome DatabaseConnector::migrateLegacyFile() {
    const auto refuse = [this](const QString& reason) {
        discardTemporaryFile();
        return OpenOutcome{false, Refusal(databasePath_, reason), {}};
    };
    QString error;
    std::unique_ptr<LegacyFile> legacy = convertLegacyFile(&error);
    if (!legacy)
        return refuse(error);
    const std::optional<QString> backup = keepLegacyOriginal(legacy->bytes(), &error);
    const bool recovered = legacy->recoveredPreviousCommit();
    legacy.reset();
    if (!backup)
        return refuse(QStringLiteral("не удалось сохранить копию исходного файла (%1)").arg(error));
    if (!putConvertedCopyInPlace(&error)) {
        QFile::remove(*backup);
        return refuse(
            QStringLiteral("не удалось заменить его преобразованной копией (%1)").arg(error));
    }
    openConnection();
    finishOpening();
    return {true,
            {},
            {Notice{Notice::Kind::Information, QStringLiteral("Преобразование базы данных"),
                    ConversionNotice(databasePath_, *backup, recovered)}}};
}

// Reads the legacy file and writes its converted copy into igdb_temp.dat. On failure returns
// nothing, with the reason for refusing the file.
std::unique_ptr<LegacyFile> DatabaseConnector::convertLegacyFile(QString* refusal) {
    try {
        std::unique_ptr<LegacyFile> legacy = LegacyFile::open(databasePath_);
        const LegacyUpgradeSource source(*legacy);
        storedLayouts_ = SplitStructureDescription(source.structureDescription());
        writeConvertedCopy(source);
        return legacy;
    } catch (const LegacyFileError& e) {
        *refusal = LegacyRefusalReason(e);
    } catch (const ConversionError& e) {
        *refusal = QStringLiteral(
                       "это файл прежней версии программы, который не удаётся преобразовать (%1)")
                       .arg(QString::fromUtf8(e.what()));
    } catch (const DatabaseError& e) {
        *refusal = failureReason(e);
    }
    return nullptr;
}

// The backup is made while this process still holds the lock on igdb.dat, so nobody changes
// the file meanwhile, and before any database connection exists on the name: opening and
// closing the database file by another descriptor would drop the engine's POSIX locks.
std::optional<QString> DatabaseConnector::keepLegacyOriginal(QByteArrayView bytes, QString* error) {
    for (int number = 1; number < 1000; ++number) {
        const QString path = BackupPath(folder_, number);
        int code = 0;
        switch (LinkOrCopy(databasePath_, path, bytes, &code)) {
            case CopyResult::Made:
                SyncFolder(folder_);
                return path;
            case CopyResult::Exists:
                continue;
            case CopyResult::Failed:
                *error = SystemError(code);
                return std::nullopt;
        }
    }
    *error = QStringLiteral("все имена резервных копий заняты");
    return std::nullopt;
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
    try {
        QString versionText;
        if (!StoredLayout(*db_, QStringLiteral("app_options")).view.isEmpty())
            versionText = GetOption(*db_, QString::fromLatin1(kDatabaseVersionKey));
        const int version = versionText.isEmpty() ? -1 : TextToInteger(versionText);
        if (version == schema::kDatabaseVersion)
            return 1;
        writeConvertedCopy(SqliteUpgradeSource(*db_));
        return 0;
    } catch (const ConversionError&) {
        // A version or a value the copy cannot take: the old file stays in use as it is.
        discardTemporaryFile();
        return -1;
    } catch (...) {
        // The engine failed (a full disk, no write permission, an I/O error): nothing of the
        // copy stays, and the start ends with the reason.
        discardTemporaryFile();
        throw;
    }
}

// The copy is written into an empty file: whatever an interrupted run left goes. The copy is
// closed when this returns, also on failure.
void DatabaseConnector::writeConvertedCopy(const UpgradeSource& source) {
    discardTemporaryFile();
    const std::unique_ptr<Database> temporary = Database::open(temporaryPath_, busyTimeout_);
    MarkAsOurs(*temporary);
    CopySchemaViews(source, *temporary);
}

bool DatabaseConnector::replaceDatabaseFile(QString* error) {
    if (std::rename(QFile::encodeName(temporaryPath_).constData(),
                    QFile::encodeName(databasePath_).constData()) == 0)
        return true;
    *error = SystemError(errno);
    return false;
}

// Puts igdb_temp.dat in place of igdb.dat in one atomic rename, with the connection closed.
// The copy is locked before it takes the name, so that the file under that name is never
// unguarded. The caller opens the connection again.
bool DatabaseConnector::putConvertedCopyInPlace(QString* error) {
    auto newLock = FileLock::tryLock(temporaryPath_, /*create=*/false);
    db_.reset();
    if (!newLock) {
        *error = QStringLiteral("файл занят");
        return false;
    }
    if (!replaceDatabaseFile(error))
        return false;
    SyncFolder(folder_);
    lock_ = std::move(newLock);
    replacedFile_ = true;
    return true;
}

void DatabaseConnector::discardTemporaryFile() {
    QFile::remove(temporaryPath_);
    QFile::remove(temporaryPath_ + QStringLiteral("-journal"));
}

void DatabaseConnector::openConnection() {
    db_ = Database::open(databasePath_, busyTimeout_);
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
