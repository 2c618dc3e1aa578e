// The package search over 2,000 packages and 100,000 citizens: the time from "Поиск" to a
// painted grid that lists every package with its count of citizens, check box and number
// link; and the store steps alone. Runs offscreen unless a display is set.
//
//   cmake --build build --target package_search_bench && ./build/bench/package_search_bench
//   [folder]
//
// The database is built in the folder (default ./package_search_bench_data) on the first run
// and reused later.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <cstdio>

#include "Timing.h"
#include "citizens/CitizenStore.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "permits/PackageStore.h"
#include "permits/TIGPkgSearchForm.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace {

constexpr int kPackages = 2000;
constexpr int kCitizens = 100000;

void Build(storage::Database& db) {
    std::printf("Building the database...\n");
    storage::Transaction transaction(db);
    db.exec("DELETE FROM igpackage");
    db.exec("DELETE FROM ig");
    for (int n = 1; n <= kPackages; ++n) {
        permits::IGPackageFormData package;
        package.number = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        package.notes = QStringLiteral("Пакет %1").arg(n);
        package.activeFrom = QStringLiteral("01/06/2010");
        package.activeTo = QStringLiteral("31/05/2011");
        package.territories = {n % 80 + 1};
        permits::InsertPackage(db, package, n, 40000 + n / 4);
    }
    for (int key = 1; key <= kCitizens; ++key) {
        citizens::IGFormData citizen;
        citizen.surname = QStringLiteral("Фамилия%1").arg(key);
        citizen.givenName = QStringLiteral("Имя%1").arg(key % 300);
        citizen.passportNumber = QString::number(1000000 + key);
        citizen.birthDate = QStringLiteral("01/01/1980");
        citizen.workFrom = QStringLiteral("01/06/2010");
        citizen.workTo = QStringLiteral("31/05/2011");
        // Most citizens in a package, unevenly; every tenth in none.
        citizen.package = key % 10 == 0 ? -1 : (key * 7919) % kPackages + 1;
        citizens::InsertCitizen(db, citizen, key);
    }
    transaction.commit();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString folder = argc > 1
                               ? QString::fromLocal8Bit(argv[1])
                               : QDir::currentPath() + QStringLiteral("/package_search_bench_data");
    QDir().mkpath(folder);
    storage::DatabaseConnector connector(folder);
    const storage::OpenOutcome outcome = connector.OpenDatabase();
    if (!outcome.opened) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
        return 1;
    }
    storage::Database& db = connector.db();
    if (db.queryInt("SELECT count(*) FROM igpackage") != kPackages ||
        db.queryInt("SELECT count(*) FROM ig") != kCitizens)
        Build(db);
    std::printf("%lld packages, %lld citizens (%lld in a package)\n\n",
                db.queryInt("SELECT count(*) FROM igpackage"),
                db.queryInt("SELECT count(*) FROM ig"),
                db.queryInt("SELECT count(*) FROM ig WHERE iIGPkgNumber <> -1"));

    MeasureMedianMs("FindPackages, every package", 21,
                    [&] { permits::FindPackages(db, -1, -1, -1); });
    MeasureMedianMs("CountPackageCitizens for every package", 21, [&] {
        for (int id = 1; id <= kPackages; ++id)
            permits::CountPackageCitizens(db, id);
    });

    QList<int> ids;
    for (int id = 1; id <= kPackages; ++id)
        ids << id;
    MeasureMedianMs("CountPackageCitizens, one statement for all", 21,
                    [&] { permits::CountPackageCitizens(db, ids); });

    gui::Context context{folder, db};
    permits::TIGPkgSearchForm search(context);
    search.show();
    QApplication::processEvents();
    long long listed = 0;
    MeasureMedianMs("search to the painted grid, every package", 11, [&] {
        search.Button1->click();
        QApplication::processEvents();
        search.StringGrid1->viewport()->repaint();
        // What the event loop does next: the editors of the results cleared go.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        listed = search.FoundCount();
    });
    std::printf("  listed %lld rows\n", listed);
    MeasureMedianMs("mark all (CheckBox1) over every row, painted", 11, [&] {
        search.CheckBox1->click();
        search.StringGrid1->viewport()->repaint();
    });
    int page = 0;
    MeasureMedianMs("a page down in the grid, painted", 21, [&] {
        QScrollBar* bar = search.StringGrid1->verticalScrollBar();
        bar->setValue((++page * 20) % bar->maximum());
        search.StringGrid1->viewport()->repaint();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    MeasureMedianMs("search to the painted grid, one package", 11, [&] {
        search.ComboBox1->SelectComboItemById(kPackages / 2);
        search.Button1->click();
        QApplication::processEvents();
        search.StringGrid1->viewport()->repaint();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    return 0;
}
