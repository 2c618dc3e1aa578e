// Figures of the daily copy of the database, over 100,000 citizens of whom 20,000 have a
// photo (about 1.3 GB):
//  - the time from the start of the program to the ready main window (start-up loading done),
//    with the day's copy already made and with the copy to make, and how long closing the
//    program takes in the middle of a copy;
//  - the copy made in the background of normal work (a whole citizen with a photo saved and
//    another citizen loaded every 250 ms; a timer of the user interface every 5 ms): its
//    duration and phases, how often it started over, and how long saves and the timer waited,
//    against the same work without a copy;
//  - for comparison, the same copy read through a connection of its own on the worker thread,
//    which starts over whenever the program saves.
//
// Usage: backup_bench [folder [start|copy|own]]   (default: ./backup_bench_data, all three)
// The database is built on the first run (a minute or two) and reused by later runs.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "SampleRecords.h"
#include "app/Application.h"
#include "app/Forms.h"
#include "app/Program.h"
#include "app/TMainForm.h"
#include "storage/Backups.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace {

constexpr int kCitizens = 100000;
constexpr int kPhotoEvery = 5;      // 20,000 photos
constexpr int kPhotoBytes = 47000;  // Base64 text of about 62,700 characters
constexpr int kWorkEveryMs = 250;   // a save and a load
constexpr int kTickMs = 5;          // the user interface's timer
constexpr int kRuns = 5;
constexpr auto kOwnConnectionLimit = std::chrono::seconds(120);
const QDate kBenchDay(2000, 1, 3);

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Max(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

citizens::IGFormData Citizen(int key, const QString& photo) {
    citizens::IGFormData r = SampleCitizen(key);
    r.photo = key % kPhotoEvery == 0 ? photo : QString();
    return r;
}

void Build(storage::Database& db, const QString& photo) {
    std::printf("Building the database (once)...\n");
    const auto start = Clock::now();
    storage::Transaction transaction(db);
    for (const char* table : {"ig", "pp", "igphaddr", "igterritory", "IGGEN", "PPGEN"})
        db.exec(std::string("DELETE FROM ") + table);
    for (int key = 1; key <= kCitizens; ++key) {
        citizens::InsertCitizen(db, Citizen(key, photo), key);
        citizens::InsertPaymentDocument(db, SamplePayment(), key, key);
        citizens::InsertRegistrationAddress(db, SampleAddress(), key);
    }
    db.exec("INSERT INTO IGGEN VALUES (100000)");
    db.exec("INSERT INTO PPGEN VALUES (100000)");
    transaction.commit();
    std::printf("Built in %.1f s.\n", Ms(Clock::now() - start) / 1000);
}

// The reference files and templates the start-up loading needs.
void LayOutStartFolder(const QString& folder) {
    const QDir data(QStringLiteral(VELTAR_SOURCE_DIR "/data"));
    QDir().mkpath(folder + QStringLiteral("/template"));
    for (const QString& name : data.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QFile::copy(data.filePath(name), folder + QLatin1Char('/') + name);
    const QDir templates(data.filePath(QStringLiteral("template")));
    for (const QString& name : templates.entryList(QDir::Files))
        QFile::copy(templates.filePath(name), folder + QStringLiteral("/template/") + name);
}

void ClearBackupFolder(const QString& folder) {
    QDir backup(storage::BackupFolderOf(folder + QStringLiteral("/igdb.dat")));
    for (const QString& name : backup.entryList(QDir::Files))
        backup.remove(name);
}

// One start of the program: the time to the ready window, whether the copy was running then,
// and the time to close it after `keepOpen`.
struct StartFigures {
    double readyMs = 0;
    bool copying = false;
    double closeMs = 0;
};

StartFigures StartProgram(const QString& folder, std::chrono::milliseconds keepOpen) {
    StartFigures figures;
    const auto start = Clock::now();
    std::optional<app::Program> program(std::in_place, folder);
    if (program->start())
        return figures;
    app::TMainForm& main = *program->forms().MainForm;
    QObject::connect(&main, &app::TMainForm::firstShown, &main, [&] {
        figures.readyMs = Ms(Clock::now() - start);
        figures.copying = program->dailyBackup() && program->dailyBackup()->copying();
        QTimer::singleShot(keepOpen, [] { QCoreApplication::quit(); });
    });
    QApplication::exec();
    const auto closing = Clock::now();
    program.reset();
    figures.closeMs = Ms(Clock::now() - closing);
    return figures;
}

void MeasureStartUp(const QString& folder) {
    const QString todays = storage::BackupFolderOf(folder + QStringLiteral("/igdb.dat")) +
                           QLatin1Char('/') + storage::BackupFileName(QDate::currentDate());
    for (const bool copyToMake : {false, true}) {
        std::vector<double> ready, close;
        int copying = 0;
        for (int run = 0; run < kRuns; ++run) {
            ClearBackupFolder(folder);
            if (!copyToMake) {
                QDir().mkpath(QFileInfo(todays).absolutePath());
                QFile stub(todays);
                stub.open(QIODevice::WriteOnly);
            }
            const StartFigures figures = StartProgram(folder, std::chrono::milliseconds(1000));
            ready.push_back(figures.readyMs);
            close.push_back(figures.closeMs);
            copying += figures.copying ? 1 : 0;
        }
        std::printf(
            "%s\n  start to ready window: median %6.1f ms  max %6.1f ms  (%d runs; "
            "copy started by then: %d)\n  closing 1 s later:     median %6.1f ms  max "
            "%6.1f ms\n",
            copyToMake ? "no copy of today yet:" : "today's copy already made:", Median(ready),
            Max(ready), kRuns, copying, Median(close), Max(close));
    }
    ClearBackupFolder(folder);
}

// Normal work on the user interface's thread while something runs: a save and a load every
// 250 ms, and a 5 ms timer whose lateness tells how long the thread was held.
class Work {
public:
    Work(storage::Database& db, const QString& photo) : db_(db), photo_(photo) {
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(kTickMs);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            lateness_.push_back(Ms(now - lastTick_) - kTickMs);
            noteStall("ui timer late", lateness_.back());
            lastTick_ = now;
        });
        work_.setInterval(kWorkEveryMs);
        QObject::connect(&work_, &QTimer::timeout, [this] { saveAndLoad(); });
    }

    void start() {
        origin_ = lastTick_ = Clock::now();
        tick_.start();
        work_.start();
    }
    void stop() {
        tick_.stop();
        work_.stop();
    }

    void print(const char* what) const {
        std::printf(
            "  %-34s saves %4zu: median %6.1f ms  max %6.1f ms;  ui timer late: median "
            "%5.1f ms  max %6.1f ms\n",
            what, saveMs_.size(), Median(saveMs_), Max(saveMs_), Median(lateness_), Max(lateness_));
        for (const QString& stall : stalls_)
            std::printf("    %s\n", qPrintable(stall));
    }

    // The citizens saved are removed again, so that the database stays as built.
    void removeSaved() { citizens::DeleteCitizens(db_, added_); }

private:
    void saveAndLoad() {
        const auto start = Clock::now();
        storage::Transaction transaction(db_);
        added_ << SaveCitizen(db_, Citizen(kPhotoEvery * (added_.size() + 1), photo_));
        transaction.commit();
        saveMs_.push_back(Ms(Clock::now() - start));
        noteStall("save", saveMs_.back());
        citizens::IGFormData loaded;
        citizens::LoadCitizen(db_, loaded, 1 + random_.bounded(kCitizens));
    }

    // Waits of more than 50 ms, with the moment they ended, to tell the phase of the copy.
    void noteStall(const char* what, double ms) {
        if (ms > 50 && stalls_.size() < 12) {
            stalls_ << QStringLiteral("%1 %2 ms at %3 s")
                           .arg(QLatin1String(what))
                           .arg(ms, 0, 'f', 1)
                           .arg(Ms(Clock::now() - origin_) / 1000, 0, 'f', 2);
        }
    }

    storage::Database& db_;
    QString photo_;
    QTimer tick_, work_;
    Clock::time_point origin_, lastTick_;
    QStringList stalls_;
    std::vector<double> lateness_, saveMs_;
    QList<int> added_;
    QRandomGenerator random_{7};
};

void PrintResult(const storage::BackupResult& result, double totalMs) {
    static const char* const kStatus[] = {"made", "already there", "failed", "cancelled"};
    std::printf(
        "  copy %s in %.1f s: pages %.1f s, sync %.1f s, integrity check %.1f s; "
        "restarts %d %s\n",
        kStatus[static_cast<int>(result.status)], totalMs / 1000, result.copying.count() / 1000.0,
        result.syncing.count() / 1000.0, result.checking.count() / 1000.0, result.restarts,
        qPrintable(result.reason));
}

void RunWork(Work& work, std::chrono::milliseconds duration) {
    work.start();
    QTimer::singleShot(duration, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    work.stop();
}

void MeasureBackgroundCopy(storage::Database& db, const QString& photo) {
    std::printf("\nthe copy in the background of normal work:\n");
    {
        Work work(db, photo);
        RunWork(work, std::chrono::seconds(10));
        work.print("without a copy (10 s):");
        work.removeSaved();
    }
    {
        Work work(db, photo);
        storage::DailyBackup backup(db, [] { return kBenchDay; });
        storage::BackupResult result;
        const auto start = Clock::now();
        double totalMs = 0;
        QObject::connect(&backup, &storage::DailyBackup::finished,
                         [&](const storage::BackupResult& r) {
                             result = r;
                             totalMs = Ms(Clock::now() - start);
                             QCoreApplication::quit();
                         });
        work.start();
        backup.start();
        QCoreApplication::exec();
        work.stop();
        PrintResult(result, totalMs);
        work.print("during the copy:");
        work.removeSaved();
    }
    ClearBackupFolder(QFileInfo(db.path()).absolutePath());
}

// The worker reads through a connection of its own: each save of the program makes the copy
// start over.
void MeasureOwnConnection(storage::Database& db, const QString& photo) {
    std::printf(
        "\nfor comparison, the worker reading through a connection of its own "
        "(given up after %lld s):\n",
        static_cast<long long>(kOwnConnectionLimit.count()));
    Work work(db, photo);
    const auto own = storage::Database::open(db.path());
    const QString folder = storage::BackupFolderOf(db.path());
    std::atomic<bool> cancel{false}, done{false};
    storage::BackupResult result;
    const auto start = Clock::now();
    double totalMs = 0;
    std::thread worker([&] {
        result = storage::MakeBackup(*own, folder, kBenchDay, {}, &cancel);
        totalMs = Ms(Clock::now() - start);
        done = true;
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done)
            QCoreApplication::quit();
        else if (Clock::now() - start > kOwnConnectionLimit)
            cancel = true;
    });
    poll.start(50);
    work.start();
    QCoreApplication::exec();
    work.stop();
    worker.join();
    PrintResult(result, totalMs);
    work.print("during the copy:");
    work.removeSaved();
    ClearBackupFolder(QFileInfo(db.path()).absolutePath());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir::currentPath() + QStringLiteral("/backup_bench_data");
    QDir().mkpath(folder);
    LayOutStartFolder(folder);
    const QString photo = PhotoText(kPhotoBytes);
    {
        storage::DatabaseConnector connector(folder);
        if (!connector.OpenDatabase().opened)
            return 1;
        storage::Database& db = connector.db();
        if (db.queryInt("SELECT count(*) FROM ig") != kCitizens)
            Build(db, photo);
        std::printf(
            "database %s: %.0f MB, %lld citizens, %lld with a photo (%lld characters), "
            "page %lld bytes\n\n",
            qPrintable(connector.databasePath()), QFileInfo(connector.databasePath()).size() / 1e6,
            db.queryInt("SELECT count(*) FROM ig"),
            db.queryInt("SELECT count(*) FROM ig WHERE Photo <> ''"),
            static_cast<long long>(photo.size()), db.queryInt("PRAGMA page_size"));
    }
    const QString only = argc > 2 ? QString::fromLatin1(argv[2]) : QString();
    const auto wanted = [&](const char* part) { return only.isEmpty() || only == part; };
    if (wanted("start"))
        MeasureStartUp(folder);

    storage::DatabaseConnector connector(folder);
    if (!connector.OpenDatabase().opened)
        return 1;
    if (wanted("copy"))
        MeasureBackgroundCopy(connector.db(), photo);
    if (wanted("own"))
        MeasureOwnConnection(connector.db(), photo);
    return 0;
}
