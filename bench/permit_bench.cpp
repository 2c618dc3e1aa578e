// The permit windows at full size: a permit with 100 country and 100 profession rows opened
// for editing, and the permit search over 10,000 permits, each timed until the window has
// painted. Reference lists: those shipped in data/, and full-size ones (250 countries,
// 7,000 professions). Runs offscreen unless a display is set.
//
//   cmake --build build --target permit_bench && ./build/bench/permit_bench

#include <QApplication>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "Timing.h"
#include "citizens/TTerritoryEditForm.h"
#include "controls/TEditSD.h"
#include "dictionaries/ReferenceLoader.h"
#include "gui/Context.h"
#include "gui/TerritoryOwner.h"
#include "permits/PermitEntrySave.h"
#include "permits/PermitStore.h"
#include "permits/TRNPIRSEditForm.h"
#include "permits/TRNPSearchForm.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace {

double MeasureMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

constexpr int kPermits = 10000;
constexpr int kQuotaRows = 100;
constexpr int kRuns = 21;

const QString kLargePermit = QStringLiteral("РНП 100");

dictionaries::ReferenceLists FullSizeLists() {
    dictionaries::ReferenceLists lists;
    for (int i = 0; i < 250; ++i)
        lists.allCountries.append(
            {QStringLiteral("Страна номер %1").arg(i), dictionaries::ComboItem(i)});
    for (int i = 0; i < 7000; ++i) {
        lists.professions.append(
            {QStringLiteral("Профессия %1 (рабочий %2 разряда)").arg(i).arg(i % 6 + 1),
             dictionaries::ComboItem(i)});
    }
    for (int i = 0; i < 12; ++i)
        lists.professionPrefixes.append(
            {QStringLiteral("Префикс %1").arg(i), dictionaries::ComboItem(i)});
    for (int i = 0; i < 250; ++i)
        lists.territories.append(
            {QStringLiteral("Территория %1").arg(i), dictionaries::ComboItem(i)});
    return lists;
}

// 10,000 permits of one quota row each, and one permit with 100 rows in each quota list
// whose identifiers are spread over the lists.
void FillDatabase(storage::Database& db, const dictionaries::ReferenceLists& lists) {
    storage::Transaction transaction(db);
    for (int i = 0; i < kPermits; ++i) {
        permits::InsertPermit(db, QStringLiteral("%1").arg(100000 + i), 40000, 40364,
                              {{lists.allCountries.at(i % lists.allCountries.size()).item.id, 1}},
                              {{lists.professions.at(i % lists.professions.size()).item.id, 1, -1}},
                              -1);
    }
    permits::PermitEntry large{kLargePermit, {40000, 50000, -1, {}, {}}, {}};
    for (int i = 0; i < kQuotaRows; ++i) {
        large.permit.countries.append(
            {lists.allCountries.at(i * 2 % lists.allCountries.size()).item.id, 1});
        large.permit.professions.append(
            {lists.professions.at(i * 3 % lists.professions.size()).item.id, 1,
             i % 2 ? -1
                   : lists.professionPrefixes.at(i % lists.professionPrefixes.size()).item.id});
    }
    for (int i = 0; i < 20; ++i)
        large.territories.append(lists.territories.at(i % lists.territories.size()).item.id);
    permits::SavePermitEntry(db, large, false);
    transaction.commit();
}

// A record with 200 territories for the territory dialog.
class Owner : public gui::TerritoryOwner {
public:
    explicit Owner(const dictionaries::ReferenceList& territories) {
        for (int i = 0; i < 200; ++i)
            ids_ << territories.at(i % territories.size()).item.id;
    }
    Kind territoryOwnerKind() const override { return Kind::Citizen; }
    QList<int> territoryIds() const override { return ids_; }
    int territoryLimit() const override { return 200; }
    void setTerritories(const QList<int>&, const QString&) override {}

private:
    QList<int> ids_;
};

// Times `work` after `prepare` (not timed); the median, the fastest and the slowest run.
void MeasureAfter(const char* what, int runs, const std::function<void()>& prepare,
                  const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        ms.push_back(MeasureMs(work));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s median %9.3f ms   min %9.3f   max %9.3f   (%d runs)\n", what,
                ms[ms.size() / 2], ms.front(), ms.back(), runs);
}

void Measure(const char* title, gui::Context& context) {
    std::printf("\n%s\n", title);
    permits::TRNPIRSEditForm entry(context);
    permits::TRNPSearchForm search(context);

    // Coming from a new permit, the rows in view get new editors; opened again, they keep
    // theirs.
    MeasureAfter(
        "permit of 100 + 100 quota rows opened, painted", kRuns,
        [&] {
            entry.OpenNewPermit();
            QApplication::processEvents();
        },
        [&] {
            entry.OpenPermitForEditing(kLargePermit);
            QApplication::processEvents();
        });
    MeasureMedianMs("  the same, opened again", kRuns, [&] {
        entry.OpenPermitForEditing(kLargePermit);
        QApplication::processEvents();
    });
    MeasureAfter(
        "  both grids scrolled to their last rows, painted", 5,
        [&] {
            entry.OpenNewPermit();
            entry.OpenPermitForEditing(kLargePermit);
            QApplication::processEvents();
        },
        [&] {
            for (QTableWidget* grid : {entry.StringGrid1, entry.StringGrid2}) {
                for (int row = 0; row <= grid->verticalScrollBar()->maximum(); ++row)
                    grid->verticalScrollBar()->setValue(row);
            }
            QApplication::processEvents();
        });
    entry.hide();

    search.show();
    QApplication::processEvents();
    for (const char* pattern : {"", "%12"}) {
        search.Edit1->setText(QString::fromUtf8(pattern));
        const QString what =
            QStringLiteral("search over 10,000 permits, \"%1\" (%2 listed), painted");
        search.Search();
        const auto listed = search.ListedNumbers().size();
        MeasureMedianMs(qPrintable(what.arg(QString::fromUtf8(pattern)).arg(listed)), kRuns, [&] {
            search.Search();
            QApplication::processEvents();
        });
    }
    search.hide();

    citizens::TTerritoryEditForm territories(context);
    Owner owner(context.lists.territories);
    MeasureMedianMs("territory dialog with 200 rows opened and closed", 5, [&] {
        QTimer::singleShot(0, &territories, [&] { territories.reject(); });
        territories.EditTerritories(owner);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    dictionaries::ReferenceLists shipped;
    QString error;
    if (!dictionaries::LoadReferenceLists(QStringLiteral(VELTAR_SOURCE_DIR "/data"), shipped, {},
                                          &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const struct {
        const char* title;
        dictionaries::ReferenceLists lists;
    } cases[] = {
        {"reference lists as shipped in data/", shipped},
        {"full-size reference lists (250 countries, 7,000 professions)", FullSizeLists()},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        storage::DatabaseConnector connector(folder.path());
        if (!connector.OpenDatabase().opened)
            return 1;
        FillDatabase(connector.db(), c.lists);
        gui::Context context{folder.path(), connector.db(), c.lists};
        Measure(c.title, context);
    }
    return 0;
}
