// Loading the seven reference files: first synthesised at full size (250 countries, 7,000
// professions with their genitive forms, 3,000 districts, the subjects of the federation as
// territories and regions, 20 prefixes, all in windows-1251), then the files shipped in data/.
// Prints the time of LoadReferenceLists with the progress going nowhere and with the real
// splash window (offscreen unless a display is set).
//
//   cmake --build build --target reference_bench && ./build/bench/reference_bench [data folder]
//
// The data folder defaults to data/ of the current directory (the source tree's root).

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "Timing.h"
#include "app/TSplashForm.h"
#include "dictionaries/ReferenceLoader.h"

namespace {

void WriteFile(const QString& folder, const char* name, const QString& body) {
    QStringEncoder encoder("windows-1251");
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", name);
    file.write(encoder.encode(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n") + body));
}

QString Entries(const char* element, int count, const QString& name, const char* extra = nullptr,
                int extraModulo = 1) {
    QString body;
    for (int i = 0; i < count; ++i) {
        body += QStringLiteral("  <%1 id=\"%2\" name=\"%3 %2\"")
                    .arg(QLatin1String(element))
                    .arg(i + 10000)
                    .arg(name);
        if (extra)
            body += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(extra)).arg(i % extraModulo);
        body += QStringLiteral("/>\n");
    }
    return body;
}

void WriteFullSizeFiles(const QString& folder) {
    WriteFile(folder, dictionaries::kCountriesFile,
              "<countries>\n<nonvisa>\n" + Entries("country", 9, "Безвизовая страна") +
                  "</nonvisa>\n<visa>\n" + Entries("country", 241, "Визовая страна") +
                  "</visa>\n</countries>\n");
    WriteFile(folder, dictionaries::kProfessionsFile,
              "<professions>\n" + Entries("profession", 7000, "Машинист крана (крановщик)") +
                  "</professions>\n");
    WriteFile(folder, dictionaries::kGenitiveProfessionsFile,
              "<professions>\n" + Entries("profession", 7000, "машиниста крана (крановщика)") +
                  "</professions>\n");
    WriteFile(
        folder, dictionaries::kTerritoriesFile,
        "<territories>\n" + Entries("territory", 85, "Субъект федерации") + "</territories>\n");
    WriteFile(folder, dictionaries::kRegionsFile,
              "<regions>\n" + Entries("region", 85, "Субъект федерации") + "</regions>\n");
    WriteFile(folder, dictionaries::kDistrictsFile,
              "<districts>\n" + Entries("district", 3000, "Муниципальный район", "region_id", 85) +
                  "</districts>\n");
    WriteFile(folder, dictionaries::kPrefixesFile,
              "<prefixes>\n" + Entries("prefix", 20, "Помощник", "case", 2) + "</prefixes>\n");
}

using SizeCheck = std::function<bool(const dictionaries::ReferenceLists&)>;

void Measure(const char* label, const QString& folder,
             const dictionaries::LoadingProgress& progress, const SizeCheck& sizesRight) {
    MeasureMedianMs(label, 15, [&] {
        dictionaries::ReferenceLists lists;
        QString error;
        if (!dictionaries::LoadReferenceLists(folder, lists, progress, &error))
            qFatal("loading failed: %s", qPrintable(error));
        if (!sizesRight(lists))
            qFatal("wrong list sizes");
    });
}

// Both ways of showing progress: into a string, and into the real splash window.
void MeasureBoth(const QString& folder, app::TSplashForm& splash, const SizeCheck& sizesRight) {
    QString last;
    Measure("loading, progress to a string", folder,
            {[&last](const QString& text) { last = text; }, [] {}}, sizesRight);
    Measure("loading, progress in the splash window", folder,
            {[&splash](const QString& text) { splash.Label3->setText(text); },
             [&splash] {
                 splash.repaint();
                 QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
             }},
            sizesRight);
}

void MeasureShippedFiles(const QString& folder, app::TSplashForm& splash) {
    dictionaries::ReferenceLists lists;
    QString error;
    if (!dictionaries::LoadReferenceLists(folder, lists, {}, &error)) {
        std::printf("\nshipped files not measured: %s\n", qPrintable(error));
        return;
    }
    std::printf(
        "\nseven reference files as shipped in %s (%lld countries, %lld + %lld professions, "
        "%lld regions, %lld districts, %lld prefixes)\n",
        qPrintable(QDir(folder).absolutePath()), static_cast<long long>(lists.allCountries.size()),
        static_cast<long long>(lists.professions.size()),
        static_cast<long long>(lists.genitiveProfessions.size()),
        static_cast<long long>(lists.regions.size()),
        static_cast<long long>(lists.districts.size()),
        static_cast<long long>(lists.professionPrefixes.size()));
    const auto districts = lists.districts.size();
    const auto professions = lists.professions.size();
    MeasureBoth(folder, splash, [districts, professions](const dictionaries::ReferenceLists& l) {
        return l.districts.size() == districts && l.professions.size() == professions;
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString shippedFolder = arguments.size() > 1 ? arguments[1] : QStringLiteral("data");

    QTemporaryDir dir;
    WriteFullSizeFiles(dir.path());
    std::printf(
        "seven reference files, full size (250 countries, 7,000 + 7,000 professions, "
        "3,000 districts), windows-1251\n");
    app::TSplashForm splash;
    splash.show();
    MeasureBoth(dir.path(), splash, [](const dictionaries::ReferenceLists& lists) {
        return lists.professions.size() == 7000 && lists.districts.size() == 3000 &&
               lists.allCountries.size() == 250;
    });

    MeasureShippedFiles(shippedFolder, splash);
    return 0;
}
