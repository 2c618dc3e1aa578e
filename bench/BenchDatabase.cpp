#include "BenchDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

#include "citizens/Base64.h"
#include "citizens/CitizenTerritoryStore.h"
#include "permits/PackageStore.h"
#include "permits/PermitStore.h"
#include "storage/Database.h"

namespace bench {

QString PhotoText() {
    QByteArray jpeg(kPhotoBytes, '\0');
    QRandomGenerator random(42);
    for (char& byte : jpeg)
        byte = static_cast<char>(random.bounded(256));
    jpeg[0] = '\xff';
    jpeg[1] = '\xd8';
    QString text;
    citizens::EncodeBase64(jpeg, text, citizens::kPhotoTextCapacity);
    return text;
}

QString PermitOf(int key) {
    return QStringLiteral("P-%1").arg((key - 1) / kCitizensPerPermit + 1, 4, 10, QLatin1Char('0'));
}

citizens::IGFormData Citizen(int key, const QString& photo) {
    citizens::IGFormData r;
    r.profession = key % 50;
    r.surname = QStringLiteral("Фамилия%1").arg(key);
    r.givenName = QStringLiteral("Имя%1").arg(key % 300);
    r.patronymic = QStringLiteral("Отчество%1").arg(key % 200);
    r.passportSeries = QStringLiteral("AB");
    r.passportNumber = QString::number(1000000 + key);
    r.passportIssueDate = QStringLiteral("05/03/2008");
    r.passportIssuedBy = QStringLiteral("Отдел внутренних дел");
    r.birthDate = QStringLiteral("01/01/1980");
    r.citizenship = key % 30;
    r.sex = key % 2;
    r.photo = key % kPhotoEvery == 0 ? photo : QString();
    r.visaRegime = 1;
    r.permitNumber = PermitOf(key);
    r.workFrom = QStringLiteral("01/02/2010");
    r.workTo = QStringLiteral("31/01/2011");
    r.orgName = QStringLiteral("ООО \"Ромашка\"");
    r.orgInn = QStringLiteral("770100000000");
    r.package = key % kPackages + 1;
    r.fillingDate = QStringLiteral("03/02/2010");
    r.permanentAddress = QStringLiteral("Ташкент, улица, дом");
    r.professionPrefix = key % 3;
    return r;
}

citizens::PPFormData Payment() {
    citizens::PPFormData r;
    r.payer = QStringLiteral("Плательщик");
    r.number = QStringLiteral("123");
    r.date = QStringLiteral("05/03/2008");
    r.bank = QStringLiteral("Банк");
    r.sum = QStringLiteral("1500");
    return r;
}

citizens::RegAddrFormData Address() {
    citizens::RegAddrFormData r;
    r.postalIndex = QStringLiteral("101000");
    r.region = 77;
    r.city = QStringLiteral("Москва");
    r.street = QStringLiteral("Тверская");
    r.house = QStringLiteral("1");
    r.registeredFrom = QStringLiteral("01/02/2010");
    r.registeredTo = QStringLiteral("31/01/2011");
    return r;
}

namespace {

// Writes every citizen with a payment document, an address and two territories, the
// permits with their quotas and the packages, in one transaction.
void Build(storage::Database& db, const QString& photo) {
    std::printf("Building the database (once)...\n");
    const auto start = Clock::now();
    storage::Transaction transaction(db);
    for (const char* table :
         {"ig", "pp", "igphaddr", "igterritory", "rnpirs", "rnpirsCOUNTRY", "rnpirsPROFESS",
          "rnpterritory", "igpackage", "pkgterritory", "IGGEN", "PPGEN", "IG_PKG_GEN"})
        db.exec(std::string("DELETE FROM ") + table);
    for (int key = 1; key <= kCitizens; ++key) {
        citizens::InsertCitizen(db, Citizen(key, photo), key);
        citizens::InsertPaymentDocument(db, Payment(), key, key);
        citizens::InsertRegistrationAddress(db, Address(), key);
        citizens::ReplaceCitizenTerritories(db, key, {key % 90, key % 90 + 1});
    }
    QList<permits::CountryQuota> countries;
    for (int country = 0; country < 30; ++country)
        countries.append({country, 40});
    QList<permits::ProfessionQuota> professions;
    for (int profession = 0; profession < 50; ++profession) {
        for (int prefix = 0; prefix < 3; ++prefix)
            professions.append({profession, 8, prefix});
    }
    for (int permit = 1; permit <= kCitizens / kCitizensPerPermit; ++permit) {
        const QString number = PermitOf((permit - 1) * kCitizensPerPermit + 1);
        permits::InsertPermit(db, number, 40000, 40364, countries, professions, -1);
        permits::SavePermitTerritories(db, number, {1, 2, 3});
    }
    for (int id = 1; id <= kPackages; ++id) {
        permits::IGPackageFormData package;
        package.number = QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'));
        package.activeFrom = QStringLiteral("01/06/2010");
        package.activeTo = QStringLiteral("31/05/2011");
        package.territories = {id % 90};
        permits::InsertPackage(db, package, id, 40000 + id);
    }
    db.exec("INSERT INTO IGGEN VALUES (100000)");
    db.exec("INSERT INTO PPGEN VALUES (100000)");
    db.exec("INSERT INTO IG_PKG_GEN VALUES (1000)");
    transaction.commit();
    std::printf("Built in %.1f s.\n\n", Milliseconds(Clock::now() - start) / 1000);
}

}  // namespace

std::unique_ptr<storage::DatabaseConnector> OpenBenchDatabase(int argc, char** argv,
                                                              const QString& photo) {
    const QString folder = argc > 1
                               ? QString::fromLocal8Bit(argv[1])
                               : QDir::currentPath() + QStringLiteral("/bench_record_stores_data");
    QDir().mkpath(folder);
    auto connector = std::make_unique<storage::DatabaseConnector>(folder);
    const auto opening = Clock::now();
    const storage::OpenOutcome outcome = connector->OpenDatabase();
    if (!outcome.opened) {
        std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
        return nullptr;
    }
    std::printf("Opened in %.1f s.\n", Milliseconds(Clock::now() - opening) / 1000);
    storage::Database& db = connector->db();
    if (db.queryInt("SELECT count(*) FROM ig") != kCitizens ||
        db.queryInt("SELECT count(*) FROM igpackage") != kPackages)
        Build(db, photo);
    std::printf(
        "Database %s: %.0f MB, %lld citizens, %lld with a photo of %d bytes "
        "(%lld characters)\n\n",
        qPrintable(connector->databasePath()), QFileInfo(connector->databasePath()).size() / 1e6,
        db.queryInt("SELECT count(*) FROM ig"),
        db.queryInt("SELECT count(*) FROM ig WHERE Photo <> ''"), kPhotoBytes,
        static_cast<long long>(photo.size()));
    return connector;
}

}  // namespace bench
