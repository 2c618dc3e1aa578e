#include "storage/Backups.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "storage/Database.h"
#include "storage/FileLock.h"

namespace storage {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kBusyRetry{2};
// How much of the copy is handed to the disk at a time.
constexpr int kWritebackBytes = 4 * 1024 * 1024;
constexpr std::chrono::milliseconds kDayCheckInterval{std::chrono::minutes(1)};
const QString kTemporarySuffix = QStringLiteral(".tmp");

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

const QRegularExpression& CopyName() {
    static const QRegularExpression name(QStringLiteral("^igdb_(\\d{4})-(\\d{2})-(\\d{2})\\.dat$"));
    return name;
}

const QRegularExpression& UnfinishedCopyName() {
    static const QRegularExpression name(
        QStringLiteral("^igdb_\\d{4}-\\d{2}-\\d{2}\\.dat\\.tmp(-journal)?$"));
    return name;
}

int MonthNumber(const QDate& day) {
    return day.year() * 12 + day.month() - 1;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A copy that is not kept: the reason in Russian; the caller removes what was written.
struct CopyFailure {
    QString reason;
};
struct CopyCancelled {};

// A file or folder that could not be made, and a write that failed, by the system's error.
[[noreturn]] void FailToCreate(int error) {
    throw CopyFailure{DatabaseErrorReason(SQLITE_CANTOPEN, error)};
}

[[noreturn]] void FailToWrite(int error) {
    throw CopyFailure{DatabaseErrorReason(SQLITE_IOERR, error)};
}

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

void MakeFolder(const QString& folder) {
    if (::mkdir(QFile::encodeName(folder).constData(), 0755) == 0)
        return;
    if (errno != EEXIST)
        FailToCreate(errno);
    if (!QFileInfo(folder).isDir())
        throw CopyFailure{QStringLiteral("на месте папки находится файл с тем же именем")};
}

// Refuses a copy that would leave less than the spare space free on the folder's disk.
void EnsureRoom(const QString& folder, qint64 bytes, qint64 spare) {
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0)
        return;
    const qint64 free = qint64(disk.f_bavail) * qint64(disk.f_frsize);
    if (free < bytes + spare)
        throw CopyFailure{DatabaseErrorReason(SQLITE_FULL)};
}

void RemoveCopyFiles(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// The copy's file, held open beside the copy's connection so that its pages go to the disk
// while the copy runs: a sync of the whole file at its end would hold up every save of the
// program (whose sync waits for the file system's journal) for as long as it lasts. The
// descriptor is closed only after the connection, so that closing it drops none of the
// engine's locks on the file.
class Writeback {
public:
    explicit Writeback(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                     0644)) {
        if (fd_ < 0)
            FailToCreate(errno);
    }
    ~Writeback() { ::close(fd_); }
    Writeback(const Writeback&) = delete;
    Writeback& operator=(const Writeback&) = delete;

    // Waits for the pages handed to the disk last time, and hands over those written since.
    void push() {
        ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE);
    }

private:
    int fd_;
};

struct BackupFinisher {
    void operator()(sqlite3_backup* backup) const { sqlite3_backup_finish(backup); }
};
using BackupHandle = std::unique_ptr<sqlite3_backup, BackupFinisher>;

// Steps the online backup from `source` into `target` to its end.
void CopyPages(Database& source, const QString& target, const BackupPace& pace,
               const std::atomic<bool>* cancel, BackupResult& result) {
    // The program's connection is used from this thread too: only a connection that
    // serialises its users itself allows that.
    if (!sqlite3_db_mutex(source.handle()))
        throw CopyFailure{DatabaseErrorReason(SQLITE_MISUSE)};
    Writeback file(target);
    const QString folder = QFileInfo(target).absolutePath();
    EnsureRoom(folder, QFileInfo(source.path()).size(), pace.spareBytes);
    const std::unique_ptr<Database> copy = Database::open(target);
    // Handed to the disk a little at a time as it goes, and synced once at the end.
    copy->exec("PRAGMA synchronous = OFF; PRAGMA cache_size = -256");
    const int pagesPerPush =
        std::max<int>(1, kWritebackBytes / copy->queryInt("PRAGMA page_size", 4096));
    BackupHandle backup(sqlite3_backup_init(copy->handle(), "main", source.handle(), "main"));
    if (!backup)
        throw CopyFailure{DatabaseErrorReason(sqlite3_extended_errcode(copy->handle()))};

    // A lock held elsewhere makes a step return at once: it is waited for here, between the
    // steps, with the program's connection free for the windows.
    const NoBusyWaitOnThisThread noWaitInSteps;
    int copied = 0, pushed = 0;
    Clock::duration busy{};
    for (;;) {
        if (Cancelled(cancel))
            throw CopyCancelled{};
        const auto stepStart = Clock::now();
        errno = 0;
        const int rc = sqlite3_backup_step(backup.get(), pace.pagesPerStep);
        const int error = errno;
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // A save of the program is in progress, or another program holds the file.
            busy += Clock::now() - stepStart + kBusyRetry;
            if (busy > pace.busyLimit)
                throw CopyFailure{DatabaseErrorReason(rc)};
            std::this_thread::sleep_for(kBusyRetry);
            continue;
        }
        if (rc != SQLITE_OK)
            throw CopyFailure{DatabaseErrorReason(rc, error)};
        busy = {};
        const int now =
            sqlite3_backup_pagecount(backup.get()) - sqlite3_backup_remaining(backup.get());
        if (now < copied) {
            ++result.restarts;
            pushed = 0;
        }
        copied = now;
        if (copied - pushed >= pagesPerPush) {
            file.push();
            pushed = copied;
            EnsureRoom(folder, 0, pace.spareBytes);
        }
        std::this_thread::sleep_for(pace.pause);
    }
    const int rc = sqlite3_backup_finish(backup.release());
    if (rc != SQLITE_OK)
        throw CopyFailure{DatabaseErrorReason(rc, errno)};
}

void SyncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        FailToWrite(errno);
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        FailToWrite(error);
}

int StopWhenCancelled(void* cancel) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

// Reads the whole copy back as the engine checks a file.
void CheckCopy(const QString& path, const std::atomic<bool>* cancel) {
    const std::unique_ptr<Database> copy = Database::open(path);
    if (cancel) {
        sqlite3_progress_handler(copy->handle(), 10000, &StopWhenCancelled,
                                 const_cast<std::atomic<bool>*>(cancel));
    }
    try {
        Statement check = copy->prepare("PRAGMA integrity_check");
        if (check.step() && check.columnText(0) == QLatin1String("ok"))
            return;
    } catch (const DatabaseError& e) {
        if (Cancelled(cancel))
            throw CopyCancelled{};
        throw CopyFailure{DatabaseErrorReason(e.code(), e.systemError())};
    }
    throw CopyFailure{QStringLiteral(
        "копия не прошла проверку целостности (возможно, повреждён файл базы данных)")};
}

void GiveCopyItsName(const QString& temporary, const QString& path, const QString& folder) {
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0)
        FailToWrite(errno);
    SyncFolder(folder);
}

}  // namespace

QString BackupFolderOf(const QString& databasePath) {
    return QFileInfo(databasePath).absolutePath() + QLatin1Char('/') +
           QLatin1String(kBackupFolderName);
}

QString BackupFileName(const QDate& day) {
    return QStringLiteral("igdb_%1.dat").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

std::optional<QDate> BackupDay(const QString& fileName) {
    const QRegularExpressionMatch match = CopyName().match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day(match.captured(1).toInt(), match.captured(2).toInt(),
                    match.captured(3).toInt());
    if (!day.isValid())
        return std::nullopt;
    return day;
}

QList<QDate> CopiesToKeep(QList<QDate> copies, const QDate& today) {
    std::sort(copies.begin(), copies.end(), std::greater<>());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    QList<QDate> keep = copies.mid(0, kDailyCopiesKept);
    // Newest first, so the first copy met in a month is that month's latest.
    const int thisMonth = MonthNumber(today);
    std::optional<int> previousMonth;
    for (const QDate& day : copies) {
        const int month = MonthNumber(day);
        if (month == previousMonth)
            continue;
        previousMonth = month;
        const int age = thisMonth - month;
        if (age >= 0 && age < kMonthlyCopiesKept && !keep.contains(day))
            keep << day;
    }
    std::sort(keep.begin(), keep.end());
    return keep;
}

QStringList RemoveExpiredCopies(const QString& folder, const QDate& today) {
    QList<QDate> days;
    for (const QString& name : FilesIn(folder)) {
        if (const auto day = BackupDay(name))
            days << *day;
    }
    const QList<QDate> keep = CopiesToKeep(days, today);
    QStringList removed;
    for (const QDate& day : days) {
        if (keep.contains(day))
            continue;
        const QString name = BackupFileName(day);
        if (QFile::remove(folder + QLatin1Char('/') + name))
            removed << name;
    }
    return removed;
}

void RemoveUnfinishedCopies(const QString& folder) {
    for (const QString& name : FilesIn(folder)) {
        if (UnfinishedCopyName().match(name).hasMatch())
            QFile::remove(folder + QLatin1Char('/') + name);
    }
}

BackupResult MakeBackup(Database& db, const QString& folder, const QDate& day,
                        const BackupPace& pace, const std::atomic<bool>* cancel) {
    BackupResult result;
    result.folder = folder;
    result.path = folder + QLatin1Char('/') + BackupFileName(day);
    const QString temporary = result.path + kTemporarySuffix;
    try {
        MakeFolder(folder);
        RemoveUnfinishedCopies(folder);
        if (QFileInfo::exists(result.path)) {
            result.status = BackupResult::Status::AlreadyThere;
            return result;
        }
        auto start = Clock::now();
        CopyPages(db, temporary, pace, cancel, result);
        result.copying = Since(start);
        start = Clock::now();
        SyncFile(temporary);
        result.syncing = Since(start);
        start = Clock::now();
        CheckCopy(temporary, cancel);
        result.checking = Since(start);
        GiveCopyItsName(temporary, result.path, folder);
    } catch (const CopyFailure& failure) {
        RemoveCopyFiles(temporary);
        result.status = BackupResult::Status::Failed;
        result.reason = failure.reason;
        return result;
    } catch (const CopyCancelled&) {
        RemoveCopyFiles(temporary);
        result.status = BackupResult::Status::Cancelled;
        return result;
    } catch (const DatabaseError& e) {
        // The copy's file could not be created or opened.
        RemoveCopyFiles(temporary);
        result.status = BackupResult::Status::Failed;
        result.reason = DatabaseErrorReason(e.code(), e.systemError());
        return result;
    }
    result.status = BackupResult::Status::Made;
    RemoveExpiredCopies(folder, day);
    return result;
}

QString BackupFailureMessage(const BackupResult& result) {
    return QStringLiteral(
               "Не удалось записать резервную копию базы данных в папку «%1»: %2.\n"
               "Данные в файле базы данных не затронуты, работу можно продолжать. Копия будет "
               "сделана снова при следующем запуске программы.")
        .arg(QDir::toNativeSeparators(result.folder), result.reason);
}

// ---------------------------------------------------------------------------------------
// DailyBackup

DailyBackup::DailyBackup(Database& db, Clock today, QObject* parent)
    : QObject(parent), db_(db), today_(std::move(today)), folder_(BackupFolderOf(db.path())) {
    dayTimer_.setInterval(kDayCheckInterval);
    connect(&dayTimer_, &QTimer::timeout, this, &DailyBackup::checkDay);
}

DailyBackup::~DailyBackup() {
    cancel_ = true;
    joinWorker();
}

void DailyBackup::start() {
    checkDay();
    dayTimer_.start();
}

bool DailyBackup::checkDay() {
    const QDate today = today_();
    if (copying_ || lastDay_ == today)
        return false;
    lastDay_ = today;
    copying_ = true;
    cancel_ = false;
    worker_ = std::thread([this, today, pace = pace_] {
        const BackupResult result = MakeBackup(db_, folder_, today, pace, &cancel_);
        // Delivered on this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(
            this, [this, result] { onFinished(result); }, Qt::QueuedConnection);
    });
    return true;
}

void DailyBackup::onFinished(const BackupResult& result) {
    joinWorker();
    copying_ = false;
    if (result.status == BackupResult::Status::Failed && !failureTold_) {
        failureTold_ = true;
        emit failed(BackupFailureMessage(result));
    }
    emit finished(result);
}

// The worker has finished or, once cancelled, stops within one step.
void DailyBackup::joinWorker() {
    if (worker_.joinable())
        worker_.join();
}

}  // namespace storage
