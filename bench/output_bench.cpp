// The office outputs as the user makes them, after the office has started (its start is
// timed on its own): the application forms for a run of citizens (both templates opened,
// then for each citizen the workbook and the reverse side filled and saved), the citizen list
// of 1,000 citizens and the payment documents register of 1,000 documents.
//
//   output_bench [citizens]     (20 when not given)

#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "citizens/CitizenStore.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "dates/DateConventions.h"
#include "dictionaries/ReferenceLoader.h"
#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/ApplicationFormsFlow.h"
#include "output/CitizenListFlow.h"
#include "output/OfficeOutputs.h"
#include "output/OfficeRun.h"
#include "output/PaymentRegister.h"
#include "output/TDocumentsFillStatusForm.h"
#include "permits/PermitStore.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"
#include "storage/Options.h"

namespace {

constexpr int kListCitizens = 1000;
constexpr int kRegisterDocuments = 1000;
const QString kSource = QStringLiteral(VELTAR_SOURCE_DIR);

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// A citizen whose every box of the form gets a value; the visa citizens are under a permit.
citizens::IGFormData Citizen(int key, const dictionaries::ReferenceLists& lists) {
    citizens::IGFormData c;
    c.profession = lists.professions.value(key % lists.professions.size()).item.id;
    c.professionPrefix = lists.professionPrefixes.value(key % 4).item.id;
    c.surname = QStringLiteral("Рахимов%1").arg(key);
    c.givenName = QStringLiteral("Алишер");
    c.patronymic = QStringLiteral("Бахтиярович");
    c.passportSeries = QStringLiteral("AA");
    c.passportNumber = QString::number(1234567 + key);
    c.passportIssueDate = QStringLiteral("05/03/2005");
    c.birthDate = QStringLiteral("17/08/1980");
    c.citizenship = lists.allCountries.value(key % lists.allCountries.size()).item.id;
    c.sex = key % 2;
    c.temporaryResidence = key % 3 == 0;
    c.visaRegime = key % 2;
    c.permitNumber = c.visaRegime == 1 ? QStringLiteral("77001234") : QString();
    c.workFrom = QStringLiteral("01/02/2009");
    c.workTo = QStringLiteral("31/12/2009");
    c.orgName = QStringLiteral("ООО \"Строительная компания Восток\"");
    c.orgLegalAddress = QStringLiteral("125009, г. Москва, ул. Тверская, д. 1");
    c.orgOgrn = QStringLiteral("1027700132195");
    c.orgRegistrationDate = QStringLiteral("12/03/1999");
    c.fillingDate = QStringLiteral("15/01/2009");
    c.permanentAddress = QStringLiteral("Республика Узбекистан, г. Ташкент, ул. Навои, д. 1");
    return c;
}

void AddCitizen(storage::Database& db, int key, const dictionaries::ReferenceLists& lists) {
    citizens::InsertCitizen(db, Citizen(key, lists), key);
    citizens::RegAddrFormData address;
    address.postalIndex = QStringLiteral("125009");
    address.region = lists.regions.value(0).item.id;
    address.city = QStringLiteral("Москва");
    address.street = QStringLiteral("Тверская");
    address.house = QString::number(key);
    address.flat = QStringLiteral("15");
    address.registeredFrom = QStringLiteral("01/02/2009");
    address.registeredTo = QStringLiteral("31/12/2009");
    citizens::InsertRegistrationAddress(db, address, key);
    citizens::ReplaceCitizenTerritories(
        db, key, {lists.territories.value(0).item.id, lists.territories.value(1).item.id});
    citizens::PPFormData document;
    document.payer = QStringLiteral("Рахимов%1 Алишер Бахтиярович").arg(key);
    document.number = QString::number(1000 + key);
    document.date = dates::DateNumberToText(dates::DateTextToNumber("01/02/2009") + key % 28);
    document.sum = QStringLiteral("1500");
    document.documentKind = 1 + key % 3;
    citizens::InsertPaymentDocument(db, document, key, key);
}

void Report(const char* what, double seconds, const char* unit = "s") {
    std::printf("%-58s %8.3f %s\n", what, seconds, unit);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    const int formCitizens = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    gui::MessageBoxes::setScripted(true);
    gui::FileDialogs::setScripted(true);

    QTemporaryDir start;
    QDir(start.path()).mkpath(QStringLiteral("template"));
    for (const char* name : {"visaapplication.xls", "nonvisaapplication.xls", "revert.doc"}) {
        const QString file = QString::fromLatin1(name);
        QFile::copy(kSource + "/data/template/" + file, start.filePath("template/" + file));
    }
    storage::DatabaseConnector connector(start.path());
    if (!connector.OpenDatabase().opened)
        return 1;
    storage::Database& db = connector.db();
    gui::Context context{start.path(), db};
    if (!dictionaries::LoadReferenceLists(kSource + "/data", context.lists, {}))
        return 1;
    const int citizens = std::max(kListCitizens, kRegisterDocuments);
    {
        storage::Transaction filling(db);
        for (int key = 1; key <= citizens; ++key)
            AddCitizen(db, key, context.lists);
        permits::InsertPermit(db, QStringLiteral("77001234"), 39814, 40178, {}, {}, 39802);
        filling.commit();
    }
    storage::SetOption(db, QStringLiteral("FMSMEMBER"),
                       QStringLiteral("ОУФМС России по г. Москве"));
    QList<int> keys;
    for (int key = 1; key <= citizens; ++key)
        keys.append(key);

    output::OfficeRun office;
    QElapsedTimer timer;
    timer.start();
    QString detail;
    if (!office.office(&detail)) {
        std::printf("LibreOffice did not start: %s\n", qUtf8Printable(detail));
        return 1;
    }
    Report("office start", Seconds(timer));

    // The forms, through the flow the search window calls.
    output::TDocumentsFillStatusForm progress;
    gui::FileDialogs::setNextFileName(start.filePath(QStringLiteral("forms")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QDir(start.path()).mkpath(QStringLiteral("forms"));
    timer.restart();
    output::FillApplicationForms(nullptr, context, progress, formCitizens,
                                 keys.mid(0, formCitizens), &office);
    const double forms = Seconds(timer);
    const auto shown = gui::MessageBoxes::takeShown();
    if (shown.size() != 1 || shown[0].title != QStringLiteral("Операция завершена")) {
        std::printf("the forms failed: %s\n", qUtf8Printable(shown.value(0).text));
        return 1;
    }
    std::printf("forms for %d citizens (.xls and .doc each), both templates opened once:\n",
                formCitizens);
    Report("  whole run", forms);
    Report("  per citizen (goal: at most 0.5 s)", forms / formCitizens);

    // The list of 1,000 citizens, through its flow.
    gui::FileDialogs::setNextFileName(start.filePath(QStringLiteral("list.xls")));
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    timer.restart();
    output::ExportCitizenList(nullptr, context, kListCitizens, keys.mid(0, kListCitizens), &office);
    Report("citizen list of 1,000 citizens (goal: at most 3 s)", Seconds(timer));
    if (gui::MessageBoxes::takeShown().value(0).title != QStringLiteral("Операция завершена"))
        return 1;

    // The register of 1,000 documents: the dialog's two steps, on the office already started.
    timer.restart();
    const QList<output::PPReportUnit> units = output::ListPaymentDocumentsInPeriod(
        db, context.lists, dates::DateTextToNumber("01/02/2009"),
        dates::DateTextToNumber("28/02/2009"));
    const double listing = Seconds(timer);
    const output::OfficeError error = output::WritePaymentRegisterWorkbook(
        office, start.filePath(QStringLiteral("register.xls")), QStringLiteral("01/02/2009"),
        QStringLiteral("28/02/2009"), units);
    const double register_ = Seconds(timer);
    if (error.isError() || units.size() != kRegisterDocuments)
        return 1;
    Report("register of 1,000 documents (goal: at most 3 s)", register_);
    Report("  of which reading the documents and addresses", listing);

    timer.restart();
    office.stop();
    Report("office stop", Seconds(timer));
    return 0;
}
