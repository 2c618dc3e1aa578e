#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace storage {

class Database;

// Dated copies of the database, made by the program itself: one a day, in the folder
// "backup" beside igdb.dat, named by the day ("igdb_2026-12-10.dat"). A copy is written
// under a temporary name, synced, checked, and only then given its name, so that a file
// under a copy's name is always whole.
inline constexpr char kBackupFolderName[] = "backup";

// The copies kept: those of the latest ten days on which a copy was made, and the latest
// copy of each of the last twelve months (this month included).
inline constexpr int kDailyCopiesKept = 10;
inline constexpr int kMonthlyCopiesKept = 12;

// The folder of the copies of the database file at `databasePath`.
QString BackupFolderOf(const QString& databasePath);
// "igdb_2026-12-10.dat".
QString BackupFileName(const QDate& day);
// The day of a copy's file name; nothing for any other name.
std::optional<QDate> BackupDay(const QString& fileName);

// Which of the copies of these days the retention rule keeps on `today`. The newest copy is
// always kept.
QList<QDate> CopiesToKeep(QList<QDate> copies, const QDate& today);
// Removes the copies in `folder` that the rule does not keep; files of any other name are
// never touched. Returns the names removed.
QStringList RemoveExpiredCopies(const QString& folder, const QDate& today);
// Removes what an interrupted copy left in `folder` (its temporary file and journal).
void RemoveUnfinishedCopies(const QString& folder);

// How the copy shares the database and the disk with the program's own work: it copies a
// few pages at a time and then gives the connection back for a moment, so that a save waits
// at most for one step; and it never takes the last free space of the disk from the saves.
struct BackupPace {
    int pagesPerStep = 256;
    std::chrono::milliseconds pause{2};
    // How long the copy waits for another program's lock on the file before it gives up.
    std::chrono::milliseconds busyLimit{std::chrono::minutes(2)};
    // The free space the copy leaves on the disk of its folder: it does not start without
    // room for itself and this much, and it stops when less than this much is left.
    qint64 spareBytes = 64 * 1024 * 1024;
};

struct BackupResult {
    enum class Status {
        Made,          // the copy was written, checked and named
        AlreadyThere,  // the day's copy existed already
        Failed,        // nothing was kept; `reason` tells why
        Cancelled,     // stopped by the caller; nothing was kept
    };
    Status status = Status::Failed;
    // The copy's file (Made, AlreadyThere).
    QString path;
    // The folder of the copies.
    QString folder;
    // Why the copy could not be written, in Russian ("нет места на диске").
    QString reason;
    // How often the copy had to start over because another program changed the file.
    int restarts = 0;
    // The phases: copying the pages, syncing the file, checking it.
    std::chrono::milliseconds copying{0}, syncing{0}, checking{0};
};

// Writes the copy of `day` of the database open on `db` into `folder`, unless it is there
// already, and then applies the retention rule. The pages are read through `db`'s own
// connection, so the program's saves during the copy go into the copy as well instead of
// making it start over, and no second descriptor of the database file is ever opened or
// closed. May run on a thread of its own while the program goes on using `db`: each step
// takes the connection for a moment only, and a step that finds a save in progress waits
// for it. `cancel`, when set, stops the copy between steps.
BackupResult MakeBackup(Database& db, const QString& folder, const QDate& day,
                        const BackupPace& pace = {}, const std::atomic<bool>* cancel = nullptr);

// The message for a copy that could not be written: the folder and the reason.
QString BackupFailureMessage(const BackupResult& result);

// The daily copy of the program's database: made in the background on the first start of a
// day, and again whenever the date changes while the program runs. A failure is told once
// per run, through failed(); the program goes on either way.
class DailyBackup : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDate()>;

    explicit DailyBackup(Database& db, Clock today = &QDate::currentDate,
                         QObject* parent = nullptr);
    // Stops a copy in progress; what it wrote is removed.
    ~DailyBackup() override;
    DailyBackup(const DailyBackup&) = delete;
    DailyBackup& operator=(const DailyBackup&) = delete;

    // Makes today's copy if there is none, then looks at the date once a minute.
    void start();
    // Starts the day's copy when the date differs from the last copy's start (always at the
    // first call), unless a copy is still running. True when it started one.
    bool checkDay();
    bool copying() const { return copying_; }

    const QString& folder() const { return folder_; }
    void setPace(const BackupPace& pace) { pace_ = pace; }

signals:
    // A copy ended (made, already there, failed or cancelled).
    void finished(const storage::BackupResult& result);
    // The first copy of this run that could not be written: the message for the user.
    void failed(const QString& message);

private:
    void onFinished(const BackupResult& result);
    void joinWorker();

    Database& db_;
    Clock today_;
    QString folder_;
    BackupPace pace_;
    QTimer dayTimer_;
    std::optional<QDate> lastDay_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool copying_ = false;
    bool failureTold_ = false;
};

}  // namespace storage
