// Saves whole citizens over and over while another process reads the database file every
// 50 ms, as a backup tool or a file indexer would, and then checks through a connection of
// its own that every save reported done is in the file.
//
// Usage: soak_bench [folder] [saves] [busy timeout in ms]
//        (default: ./soak_bench_data, 10000, the program's own timeout)
// The folder's igdb.dat is made anew for each run. A timeout of 0 shows what the reader does
// to a connection that does not wait for it.

#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "SampleRecords.h"
#include "citizens/CitizenTerritoryStore.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"
#include "storage/Sequences.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReadEveryMs = 50;

struct ReaderFigures {
    long long reads = 0;
    long long failures = 0;
};

// The other process: reads every citizen's surname and counts the payment documents, in one
// read transaction, every 50 ms until its pipe closes. It waits up to a second for the
// writer's lock, as a backup tool does; a read that waits longer fails and counts.
[[noreturn]] void ReadUntilClosed(const QByteArray& path, int stop, int report) {
    sqlite3* db = nullptr;
    ReaderFigures figures;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 1000);
        pollfd wait{stop, POLLIN, 0};
        while (::poll(&wait, 1, kReadEveryMs) == 0) {
            const int rc = sqlite3_exec(db,
                                        "BEGIN; SELECT sum(length(sSurname)) FROM ig; "
                                        "SELECT count(*) FROM pp; COMMIT",
                                        nullptr, nullptr, nullptr);
            ++figures.reads;
            if (rc != SQLITE_OK) {
                ++figures.failures;
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        }
    }
    sqlite3_close(db);
    (void)::write(report, &figures, sizeof figures);
    ::_exit(0);
}

class OtherReader {
public:
    // Forked before this process opens the database, so that the child shares none of the
    // engine's state.
    explicit OtherReader(const QString& path) {
        int stop[2], report[2];
        if (::pipe(stop) != 0 || ::pipe(report) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(stop[1]);
            ::close(report[0]);
            ReadUntilClosed(QFile::encodeName(path), stop[0], report[1]);
        }
        ::close(stop[0]);
        ::close(report[1]);
        stop_ = stop[1];
        report_ = report[0];
    }

    ReaderFigures stop() {
        ReaderFigures figures;
        if (pid_ <= 0)
            return figures;
        ::close(stop_);
        if (::read(report_, &figures, sizeof figures) != sizeof figures)
            figures = {};
        ::close(report_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return figures;
    }

private:
    pid_t pid_ = -1;
    int stop_ = -1;
    int report_ = -1;
};

struct Saved {
    int citizen;
    int document;
};

// A new citizen saved whole, as the citizen dialog saves one: both keys drawn, the citizen,
// its payment document, its address and its territories, in one transaction.
Saved SaveCitizen(storage::Database& db, int number) {
    storage::Transaction transaction(db);
    const int key = storage::NextSequenceValue(db, QString::fromLatin1(storage::kCitizenGenerator));
    citizens::InsertCitizen(db, SampleCitizen(number), key);
    const int document =
        storage::NextSequenceValue(db, QString::fromLatin1(storage::kPaymentDocumentGenerator));
    citizens::InsertPaymentDocument(db, SamplePayment(), document, key);
    citizens::InsertRegistrationAddress(db, SampleAddress(), key);
    citizens::ReplaceCitizenTerritories(db, key, {3, 5});
    transaction.commit();
    return {key, document};
}

// The saves reported done that a fresh connection does not find whole, and keys given twice.
int CountLost(const QString& path, const std::vector<Saved>& saved) {
    const auto db = storage::Database::open(path);
    storage::Statement citizen = db->prepare("SELECT count(*) FROM ig WHERE igid = ?1");
    storage::Statement document = db->prepare("SELECT count(*) FROM pp WHERE ppid = ?1");
    storage::Statement address = db->prepare("SELECT count(*) FROM igphaddr WHERE phaddr_pid = ?1");
    const auto countOf = [](storage::Statement& query, int key) {
        query.reset();
        query.bind(1, key);
        return query.step() ? query.columnInt(0) : 0;
    };
    QSet<int> keys;
    int lost = 0;
    for (const Saved& s : saved) {
        const bool whole = countOf(citizen, s.citizen) == 1 && countOf(document, s.document) == 1 &&
                           countOf(address, s.citizen) == 1;
        if (!whole || keys.contains(s.citizen))
            ++lost;
        keys.insert(s.citizen);
    }
    return lost;
}

double Percentile(std::vector<double> ms, double fraction) {
    if (ms.empty())
        return 0;
    std::sort(ms.begin(), ms.end());
    return ms[std::min(ms.size() - 1, static_cast<std::size_t>(fraction * ms.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir::currentPath() + QStringLiteral("/soak_bench_data");
    const int saves = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    const std::chrono::milliseconds busyTimeout =
        argc > 3 ? std::chrono::milliseconds(std::atoi(argv[3])) : storage::kBusyTimeout;
    QDir().mkpath(folder);
    for (const char* name : {"igdb.dat", "igdb.dat-journal", "igdb_temp.dat"})
        QFile::remove(folder + QLatin1Char('/') + QLatin1String(name));
    {
        // The file exists before the reader opens it.
        storage::DatabaseConnector create(folder);
        if (const storage::OpenOutcome outcome = create.OpenDatabase(); !outcome.opened) {
            std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
            return 1;
        }
    }
    auto connector = std::make_unique<storage::DatabaseConnector>(folder);
    connector->setBusyTimeout(busyTimeout);
    const QString path = connector->databasePath();
    OtherReader reader(path);
    if (const storage::OpenOutcome outcome = connector->OpenDatabase(); !outcome.opened) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
        return 1;
    }

    std::printf("%d saves of a whole citizen into %s, another process reading every %d ms\n", saves,
                qPrintable(path), kReadEveryMs);
    std::vector<Saved> saved;
    std::vector<double> ms;
    int failures = 0;
    const auto start = Clock::now();
    for (int i = 1; i <= saves; ++i) {
        const auto before = Clock::now();
        try {
            saved.push_back(SaveCitizen(connector->db(), i));
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
        } catch (const storage::DatabaseError& e) {
            if (++failures <= 5)
                std::printf("  save %d failed: %s\n", i, e.what());
        }
        if (i % 1000 == 0)
            std::printf("  %d saves\n", i);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const ReaderFigures read = reader.stop();
    connector.reset();

    const int lost = CountLost(path, saved);
    std::printf("saves done %zu, failures %d, lost %d (must be 0), in %.1f s\n", saved.size(),
                failures, lost, seconds);
    std::printf("time per save: median %.2f ms, 99th percentile %.2f ms, slowest %.2f ms\n",
                Percentile(ms, 0.5), Percentile(ms, 0.99), Percentile(ms, 1.0));
    std::printf("reader: %lld reads, %lld failed on the writer's lock\n", read.reads,
                read.failures);
    return lost == 0 ? 0 : 2;
}
