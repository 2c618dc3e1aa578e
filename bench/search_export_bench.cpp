// Times the citizen search and the export file over the shared database of 100,000 citizens,
// 20,000 of them with a photo of 60 KB: the search with an empty filter (the store's query,
// and the whole search to a filled and painted grid of 2,000 rows), a surname search, and the
// export of 1,000 marked citizens with photos against a plain write of the same bytes, with
// the memory the export takes. Runs offscreen unless a display is set.
//
// Usage: search_export_bench [folder]   (default: ./search_export_data)
//   cmake --build build --target search_export_bench && ./build/bench/search_export_bench

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "LargeDatabase.h"
#include "SampleRecords.h"
#include "Timing.h"
#include "gui/Context.h"
#include "output/CitizenSearch.h"
#include "output/CitizenSelection.h"
#include "output/ExportFile.h"
#include "output/TSearchForm.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

using namespace large_database;

namespace {

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

// Starts a new measurement of the peak resident memory.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void PlainWrite(const QString& path, const QByteArray& bytes, bool durable) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (durable)
        ::fsync(fd);
    ::close(fd);
}

dictionaries::ReferenceList Countries() {
    dictionaries::ReferenceList countries;
    for (int id = 0; id < 30; ++id)
        countries.append({QStringLiteral("Страна %1").arg(id), dictionaries::ComboItem(id)});
    return countries;
}

void MeasureSearch(storage::Database& db, output::TSearchForm& form) {
    const int runs = 15;
    MeasureMedianMs("SearchCitizens, empty filter (2,000 listed)", runs,
                    [&] { output::SearchCitizens(db, {}); });
    output::SearchFilter surname;
    surname.surname = QStringLiteral("милия777");
    std::printf("  (a surname part lists %lld citizens)\n",
                static_cast<long long>(output::SearchCitizens(db, surname).size()));
    MeasureMedianMs("SearchCitizens, surname part in the middle", runs,
                    [&] { output::SearchCitizens(db, surname); });
    output::SearchFilter absent;
    absent.surname = QStringLiteral("нет такой");
    MeasureMedianMs("SearchCitizens, surname part nobody has", runs,
                    [&] { output::SearchCitizens(db, absent); });
    MeasureMedianMs("search window: Поиск to a painted grid of 2,000", runs, [&] {
        form.RunSearch();
        form.StringGrid1->viewport()->repaint();
    });
    MeasureMedianMs("search window: \"Отметить все\" on 2,000 rows", runs,
                    [&] { form.CheckBox1->toggle(); });
}

// The memory is not reported with the store memory-mapped: its pages then count as resident.
void MeasureExport(storage::Database& db, const QString& folder, bool withMemory) {
    QList<int> keys;
    for (int key = kPhotoEvery; keys.size() < 1000; key += kPhotoEvery)
        keys << key;
    const QString exported = folder + QStringLiteral("/export.xml");
    const long rssBefore = StatusKb("VmRSS");
    ResetPeakMemory();
    const double exportMs = MeasureMedianMs("LoadCitizensByKeys + WriteExportFile", 5, [&] {
        output::WriteExportFile(db, exported, output::LoadCitizensByKeys(db, keys, false));
    });
    const long peak = StatusKb("VmHWM");
    QFile file(exported);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    file.close();
    const QString copy = folder + QStringLiteral("/plain.xml");
    const double plainMs = MeasureMedianMs("plain write of the same bytes", 5,
                                           [&] { PlainWrite(copy, bytes, false); });
    const double durableMs = MeasureMedianMs("plain write of the same bytes, with fsync", 5,
                                             [&] { PlainWrite(copy, bytes, true); });
    QFile::remove(copy);
    std::printf("  file %.1f MB; export / plain write %.2f, / plain write with fsync %.2f\n",
                bytes.size() / 1e6, exportMs / plainMs, exportMs / durableMs);
    if (!withMemory)
        return;
    std::printf(
        "  memory: resident before %.1f MB, peak during the exports %.1f MB: "
        "%.1f MB more, %.2f of the file's size\n",
        rssBefore / 1024.0, peak / 1024.0, (peak - rssBefore) / 1024.0,
        (peak - rssBefore) * 1024.0 / bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString photo = PhotoText(60 * 1024);
    const auto connector =
        std::make_unique<storage::DatabaseConnector>(DataFolder(argc, argv, "search_export_data"));
    if (!Open(*connector, photo))
        return 1;
    storage::Database& db = connector->db();
    const QString folder = QFileInfo(connector->databasePath()).absolutePath();

    gui::Context context{folder, db};
    context.lists.allCountries = Countries();
    output::TSearchForm form(context);
    form.Reset();
    form.show();
    QApplication::processEvents();

    std::printf("Search\n");
    MeasureSearch(db, form);
    std::printf("\nExport of 1,000 citizens with photos\n");
    MeasureExport(db, folder, true);

    // What reading the store through memory-mapped I/O would give: a photo's pages are then
    // not copied on every read, and the columns behind it are reached without reading them.
    db.exec("PRAGMA mmap_size = 4000000000");
    std::printf("\nThe same with the store memory-mapped (PRAGMA mmap_size)\n");
    MeasureSearch(db, form);
    MeasureExport(db, folder, false);
    return 0;
}
