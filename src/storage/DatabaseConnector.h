#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

#include "storage/Database.h"
#include "storage/FileLock.h"
#include "storage/Schema.h"

namespace storage {

class LegacyFile;
class UpgradeSource;

inline constexpr char kDatabaseFileName[] = "igdb.dat";
inline constexpr char kTemporaryFileName[] = "igdb_temp.dat";
// The earlier program's file is kept beside the converted one under this name, numbered
// ("igdb_legacy_backup_2.dat", ...) when an earlier backup has it.
inline constexpr char kLegacyBackupBaseName[] = "igdb_legacy_backup";

// Marks an SQLite file as a database of this program (the file header's application id).
inline constexpr int kApplicationId = 0x56454C54;

// What a file named igdb.dat holds, judged by its first bytes.
enum class FileKind {
    Missing,
    Empty,       // no bytes: a new database
    Sqlite,      // an SQLite file, ours or not
    Legacy,      // a file of the earlier program's database engine
    Unreadable,  // cannot be opened for reading
    Unknown,
};
FileKind DetectFileKind(const QString& path);

// Something the user must be told about the database although the program goes on.
struct Notice {
    enum class Kind { Information, Warning };
    Kind kind = Kind::Warning;
    QString title;
    QString text;
};

// What OpenDatabase did.
struct OpenOutcome {
    bool opened = false;
    // Why the file was refused, in Russian, naming it; the file was left as it was.
    QString error;
    QList<Notice> notices;
};

// The upgrade's conversion table: values for properties that an older file lacks, keyed by
// view name, ":" and property name.
const QHash<QString, QString>& ConversionTable();

// Copies every view of the schema from `source` into `target`, in the upgrade's order,
// properties matched by name without regard to ASCII case; a property the source lacks
// takes its conversion table value, else -1 or the empty text. Views the schema does not
// list are dropped. One transaction; throws ConversionError or DatabaseError.
void CopySchemaViews(const UpgradeSource& source, Database& target);

// Owns the program's database file igdb.dat in the start folder for the whole run: the
// exclusive use of it, the open connection, and the upgrade of an older file.
class DatabaseConnector {
public:
    explicit DatabaseConnector(const QString& folder);
    virtual ~DatabaseConnector();
    DatabaseConnector(const DatabaseConnector&) = delete;
    DatabaseConnector& operator=(const DatabaseConnector&) = delete;

    const QString& databasePath() const { return databasePath_; }
    const QString& temporaryPath() const { return temporaryPath_; }

    // The exclusive-use test: takes the lock that keeps a second copy of the program away
    // from the file for the whole run. False when another process holds it.
    bool AcquireExclusiveUse();

    // Opens the database, creating an empty one; converts an older file, or a file of the
    // earlier program, through igdb_temp.dat and puts the copy in place; records
    // "DATABASE_VERSION" "2". Never throws: a file it cannot use (held by another program, on
    // a full disk, in a folder without write permission, damaged) is refused with the reason,
    // left as it was, and a file this start created is removed again.
    OpenOutcome OpenDatabase();

    // 1: the file is current; 0: a converted copy was committed to igdb_temp.dat;
    // -1: a stored version or value could not be converted and the copy was abandoned.
    // A failure of the engine while copying throws DatabaseError. Nothing of an abandoned
    // copy is left.
    int UpgradeDatabase();

    // How long the connections wait for another program's lock; tests shorten it.
    void setBusyTimeout(std::chrono::milliseconds timeout) { busyTimeout_ = timeout; }

    Database& db() { return *db_; }
    bool isOpen() const { return db_ != nullptr; }

    // The layouts the opened file had before the upgrade, by its structure description.
    const QList<Layout>& storedLayouts() const { return storedLayouts_; }

protected:
    // Gives igdb_temp.dat the name igdb.dat, replacing the old file. Overridden by tests to
    // fail.
    virtual bool replaceDatabaseFile(QString* error);

private:
    OpenOutcome openByKind();
    OpenOutcome openSqliteFile();
    QString failureReason(const DatabaseError& e) const;
    QString failedStartMessage(const DatabaseError& e) const;
    void abandonStart();
    OpenOutcome migrateLegacyFile();
    std::unique_ptr<LegacyFile> convertLegacyFile(QString* refusal);
    std::optional<QString> refusalOfOpenedFile();
    void writeConvertedCopy(const UpgradeSource& source);
    std::optional<QString> keepLegacyOriginal(QByteArrayView bytes, QString* error);
    bool putConvertedCopyInPlace(QString* error);
    void discardTemporaryFile();
    void openConnection();
    void finishOpening();

    QString folder_;
    QString databasePath_;
    QString temporaryPath_;
    std::optional<FileLock> lock_;
    std::unique_ptr<Database> db_;
    QList<Layout> storedLayouts_;
    std::chrono::milliseconds busyTimeout_ = kBusyTimeout;
    // This start created igdb.dat (there was none).
    bool newFile_ = false;
    // igdb.dat was replaced by its converted copy in this start.
    bool replacedFile_ = false;
};

}  // namespace storage
