// Times the citizen entry window over the large database (100,000 citizens, 1,000 under
// each permit): choosing a permit (load, used quotas subtracted, offered lists filled), the
// whole press of "Сохранить" for a new citizen (checks, one-transaction save, the window
// cleared and, under a permit, the permit chosen again), and opening a citizen with its
// photo for editing.
//
// Usage: bench_citizen_form [folder]   (default: ./bench_citizen_form_data)
// The database is built on the first run (about 1.7 GB, with real JPEG photos) and reused.

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QRandomGenerator>
#include <cstdio>

#include "LargeDatabase.h"
#include "Timing.h"
#include "citizens/CitizenSave.h"
#include "citizens/TIGEditForm.h"
#include "citizens/TPPEditForm.h"
#include "citizens/TPhotoArea.h"
#include "citizens/TRegistrationAddr.h"
#include "citizens/TTerritoryEditForm.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PermitStore.h"
#include "settings/OrganisationStore.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"

namespace {

using namespace large_database;

// A photo as a scanner gives it: a real JPEG of about 60 KB.
QString PhotoText() {
    QImage image(378, 506, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int noise = static_cast<int>(random.bounded(48));
            image.setPixel(x, y, qRgb((x + noise) % 256, (y + noise) % 256, (x + y) / 4 % 256));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 55);
    return QString::fromLatin1(jpeg.toBase64());
}

dictionaries::ReferenceList Numbered(const char* name, int first, int count) {
    dictionaries::ReferenceList list;
    for (int id = first; id < first + count; ++id)
        list.append({QStringLiteral("%1 %2").arg(QString::fromUtf8(name)).arg(id),
                     dictionaries::ComboItem(id)});
    return list;
}

// Countries 0 to 14 need no visa, 15 to 29 do.
dictionaries::ReferenceLists Lists() {
    dictionaries::ReferenceLists lists;
    lists.visaFreeCountries = Numbered("Страна", 0, kCountries / 2);
    lists.allCountries = Numbered("Страна", 0, kCountries);
    lists.professions = Numbered("Профессия", 0, kProfessions);
    lists.professionPrefixes = Numbered("Префикс", 0, kPrefixes);
    lists.territories = Numbered("Территория", 0, 92);
    return lists;
}

// Fills what a new citizen needs once the permit is chosen (not timed).
void FillCitizen(citizens::TIGEditForm& form, const QString& photo, int serial) {
    form.ComboProfess->setCurrentIndex(1);
    form.Edit14->setText(QStringLiteral("Фамилия %1").arg(serial));
    form.Edit15->setText(QStringLiteral("Имя"));
    form.EditPassNum->setText(QString::number(5000000 + serial));
    form.CustomPanel12->SetText(QStringLiteral("01/01/1980"));
    form.ComboBox12->setCurrentIndex(1);
    form.RNPDateFrom->SetText(dates::DateNumberToText(dates::Today()));
    form.RNPDateTo->SetText(dates::DateNumberToText(dates::Today() + 30));
    form.PhotoArea()->ShowStoredPhoto(photo);
    if (!form.VisaMode())
        form.setTerritories({3}, QStringLiteral("Территория 3"));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    gui::MessageBoxes::setScripted(true);  // a box would stop the run; none is expected
    gui::MessageBoxes::setUnexpectedHandler(
        [](const QString& box) { std::printf("unexpected message box: %s\n", qPrintable(box)); });
    const QString folder = DataFolder(argc, argv, "bench_citizen_form_data");
    storage::DatabaseConnector connector(folder);
    const QString photo = PhotoText();
    if (!Open(connector, photo))
        return 1;
    storage::Database& db = connector.db();
    std::printf("Photos of %lld bytes of JPEG data.\n\n",
                static_cast<long long>(QByteArray::fromBase64(photo.toLatin1()).size()));
    // The permits must outlast the test day for the period checks to pass.
    db.exec("UPDATE rnpirs SET rnpDateFrom = 40000, rnpDateTo = 99999");
    settings::OrgFormData org;
    org.name = QStringLiteral("Ромашка");
    org.inn = QStringLiteral("7701");
    settings::SaveOrganisation(db, org);

    gui::Context context{folder, db, Lists()};
    citizens::TPPEditForm payment(context);
    citizens::TRegistrationAddr address(context);
    citizens::TTerritoryEditForm territories(context);
    citizens::TIGEditForm form(context);
    form.UseDialogs(&payment, &address, &territories);
    form.TakeReferenceLists();

    const int runs = 40;
    form.OpenNewCitizen(1);
    int permit = 0;
    MeasureMedianMs("choose a permit of 1,000 citizens (visa)", runs, [&] {
        form.ComboBox1->setCurrentIndex(permit++ % (form.ComboBox1->count() - 1) + 1);
    });

    const qint64 before = db.queryInt("SELECT max(igid) FROM ig");
    int serial = 0;
    const auto saves = [&](const char* what, int visa) {
        form.OpenNewCitizen(visa);
        if (visa)
            form.ComboBox1->setCurrentIndex(1);
        MeasureMedianMs(
            what, runs, [&] { form.Button2->click(); },
            [&] { FillCitizen(form, photo, ++serial); });
    };
    form.hide();
    saves("whole save of a new citizen with photo (visa)", 1);
    saves("whole save of a new citizen with photo (visa-free)", 0);

    citizens::CitizenSave save;
    save.record = Citizen(kCitizens + 1, photo);
    save.paymentDocument = Payment();
    save.address = Address();
    save.territories = {3, 5};
    MeasureMedianMs("SaveCitizen alone (one transaction)", runs,
                    [&] { citizens::SaveCitizen(db, save); });

    QRandomGenerator random(7);
    MeasureMedianMs("open a citizen with photo for editing (visa)", runs, [&] {
        form.hide();
        form.OpenCitizenForEditing((random.bounded(kCitizens / kPhotoEvery) + 1) * kPhotoEvery);
    });

    // The citizens saved here go again, so that the next run finds the database as built.
    db.exec(QStringLiteral("DELETE FROM ig WHERE igid > %1; DELETE FROM pp WHERE pppid > %1; "
                           "DELETE FROM igphaddr WHERE phaddr_pid > %1; "
                           "DELETE FROM igterritory WHERE terr_pid > %1")
                .arg(before)
                .toStdString());
    return 0;
}
