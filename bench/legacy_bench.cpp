// Figures of the conversion of a data file of the earlier program with 5,000 citizens
// (many_rows.dat): the whole of OpenDatabase at start-up (read, copy into igdb_temp.dat,
// backup, replacement, version), and the reader alone.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "Timing.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"
#include "storage/LegacyFile.h"

using namespace storage;

namespace {

const QString kFixture = QStringLiteral(VELTAR_TEST_DATA_DIR "/legacy/many_rows.dat");
constexpr int kRuns = 9;

void ReadEveryValue(const LegacyFile& file) {
    qint64 sum = 0;
    for (const LegacyView& view : file.views()) {
        for (int p = 0; p < view.properties().size(); ++p) {
            for (int row = 0; row < view.rowCount(); ++row) {
                sum += view.properties()[p].type == 'I' ? view.integer(p, row)
                                                        : view.text(p, row).size();
            }
        }
    }
    if (sum == 0)
        std::printf("nothing was read\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (!QFile::exists(kFixture)) {
        std::fprintf(stderr, "missing %s\n", qPrintable(kFixture));
        return 1;
    }
    MeasureMedianMs("read many_rows.dat, every value", kRuns,
                    [] { ReadEveryValue(*LegacyFile::open(kFixture)); });

    // Each run converts its own copy, made beforehand.
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    for (int i = 0; i < kRuns; ++i) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        QFile::copy(kFixture, folders.back()->filePath(QStringLiteral("igdb.dat")));
    }
    std::size_t next = 0;
    MeasureMedianMs("convert many_rows.dat (OpenDatabase)", kRuns, [&] {
        DatabaseConnector connector(folders[next++]->path());
        const OpenOutcome outcome = connector.OpenDatabase();
        if (!outcome.opened || connector.db().queryInt("SELECT count(*) FROM ig") != 5000)
            std::printf("conversion failed: %s\n", qPrintable(outcome.error));
    });
    return 0;
}
