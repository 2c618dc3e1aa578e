#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <sys/resource.h>

#include <QDir>
#include <QStringEncoder>
#include <csignal>
#include <memory>

#include "citizens/CitizenStore.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "output/CitizenSelection.h"
#include "output/ExportFile.h"
#include "output/FileReplacement.h"
#include "settings/RegionSetting.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::IGFormData;

namespace {

const QDateTime kCreated(QDate(2010, 2, 1), QTime(10, 0));

IGFormData Citizen(const QString& surname) {
    IGFormData r;
    r.profession = 11;
    r.professionPrefix = 44;
    r.surname = surname;
    r.givenName = QStringLiteral("Иван");
    r.patronymic = QStringLiteral("Иванович");
    r.passportSeries = QStringLiteral("AB");
    r.passportNumber = QStringLiteral("123456");
    r.passportIssueDate = QStringLiteral("05/03/2008");
    r.passportIssuedBy = QStringLiteral("ОВД");
    r.birthDate = QStringLiteral("01/01/1980");
    r.citizenship = 22;
    r.sex = 1;
    r.specialMarks = QStringLiteral("отметки");
    r.medicalCertificatesAccepted = 1;
    r.temporaryResidence = 0;
    r.visaRegime = 0;
    r.permitNumber = QStringLiteral("П-12");
    r.workFrom = QStringLiteral("01/02/2010");
    r.workTo = QStringLiteral("31/01/2011");
    r.orgName = QStringLiteral("ООО \"Ромашка\"");
    r.orgInn = QStringLiteral("7701");
    r.orgLegalAddress = QStringLiteral("Москва");
    r.orgOgrn = QStringLiteral("1027");
    r.orgRegistrationDate = QStringLiteral("12/12/2001");
    r.orgType = 1;
    r.medicalAcceptanceDate = QStringLiteral("01/02/2010");
    r.medicalIssueDate = QStringLiteral("02/02/2010");
    r.medicalNumber = QStringLiteral("M-7");
    return r;
}

IGFormData TrustedPersonCitizen(const QString& surname, const QString& trustedSurname) {
    IGFormData r = Citizen(surname);
    r.orgType = 2;
    r.trustedSurname = trustedSurname;
    r.trustedGivenName = QStringLiteral("Пётр");
    r.trustedPatronymic = QStringLiteral("Петрович");
    r.trustedPassportSeries = QStringLiteral("45");
    r.trustedPassportNumber = QStringLiteral("678");
    return r;
}

citizens::PPFormData Payment(const QString& number = QStringLiteral("123")) {
    citizens::PPFormData r;
    r.payer = QStringLiteral("Плательщик");
    r.number = number;
    r.date = QStringLiteral("05/03/2008");
    r.bank = QStringLiteral("Банк");
    r.sum = QStringLiteral("1500");
    r.documentKind = 2;
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

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// The written file read back by libxml2, with the lookups the tests need.
class ReadBack {
public:
    explicit ReadBack(const QByteArray& bytes)
        : doc_(xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                             XML_PARSE_NONET)) {}

    bool wellFormed() const { return doc_ != nullptr; }

    QList<xmlNode*> nodes(const char* path) const {
        QList<xmlNode*> found;
        if (!doc_)
            return found;
        xmlXPathContext* context = xmlXPathNewContext(doc_.get());
        xmlXPathObject* result =
            xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path), context);
        if (result && result->nodesetval) {
            for (int i = 0; i < result->nodesetval->nodeNr; ++i)
                found << result->nodesetval->nodeTab[i];
        }
        xmlXPathFreeObject(result);
        xmlXPathFreeContext(context);
        return found;
    }

    // The attribute of every node at `path`, in document order; "(none)" where it is missing.
    QStringList attribute(const char* path, const char* name) const {
        QStringList values;
        for (xmlNode* node : nodes(path)) {
            xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
            values << (value ? QString::fromUtf8(reinterpret_cast<const char*>(value))
                             : QStringLiteral("(none)"));
            xmlFree(value);
        }
        return values;
    }

    QString text(xmlNode* node) const {
        xmlChar* content = xmlNodeGetContent(node);
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(content));
        xmlFree(content);
        return text;
    }

private:
    std::unique_ptr<xmlDoc, DocFree> doc_;
};

class ExportFileTest : public ::testing::Test {
protected:
    ExportFileTest() { settings::SaveRegionSetting(data.db(), settings::kMoscowIssuingCentre, -1); }

    int add(const IGFormData& record) {
        return citizens::InsertCitizen(data.db(), record, ++lastKey, kCreated);
    }

    // Exports the citizens in the order of the keys and returns the file's bytes.
    QByteArray exportKeys(const QList<int>& keys) {
        output::WriteExportFile(data.db(), path(),
                                output::LoadCitizensByKeys(data.db(), keys, false));
        return folder.read(QStringLiteral("export.xml"));
    }

    QList<int> allKeys() const {
        QList<int> keys;
        for (int key = 1; key <= lastKey; ++key)
            keys << key;
        return keys;
    }

    QString path() const { return folder.file(QStringLiteral("export.xml")); }

    TestFolder folder;
    TestDatabase data{folder.path()};
    int lastKey = 0;
};

QByteArray Cp1251(const char* utf8) {
    QStringEncoder encode("windows-1251");
    return encode(QString::fromUtf8(utf8));
}

}  // namespace

TEST_F(ExportFileTest, OneCitizenWithEverythingGivesExactlyTheseBytes) {
    IGFormData citizen = Citizen(QStringLiteral("Иванов"));
    citizen.photo = QStringLiteral("QUJD");
    const int key = add(citizen);
    citizens::InsertPaymentDocument(data.db(), Payment(), 1, key);
    citizens::InsertRegistrationAddress(data.db(), Address(), key);
    citizens::ReplaceCitizenTerritories(data.db(), key, {5, 12});

    EXPECT_EQ(
        exportKeys({key}),
        Cp1251("<?xml version='1.0' encoding='windows-1251'?>\n"
               "<exportings><organization name=\"ООО &quot;Ромашка&quot;\" inn=\"7701\" "
               "org_real_address=\"Москва\" org_ogrn=\"1027\" org_reg_date=\"12/12/2001\" f=\"\" "
               "i=\"\" o=\"\" passport_series=\"\" passport_number=\"\" type=\"0\">"
               "<ig pref_profession_id=\"44\" profession_id=\"11\" last_name=\"Иванов\" "
               "first_name=\"Иван\" patronymic=\"Иванович\" passport_series=\"AB\" "
               "passport_number=\"123456\" passport_issue_date=\"05/03/2008\" "
               "passport_granted_by=\"ОВД\" passport_birth_date=\"01/01/1980\" passport_sex=\"1\" "
               "country_id=\"22\" special_conditions=\"отметки\" all_medical_information=\"1\" "
               "permit_address=\"0\" rnp=\"П-12\" rnr_begin_date=\"01/02/2010\" "
               "rnr_end_date=\"31/01/2011\" requested_date=\"01/02/2010\" "
               "issued_date=\"02/02/2010\" med_number=\"M-7\" territories=\"5,12\">"
               "<photo><![CDATA[QUJD]]></photo>"
               "<pos><po fio=\"Плательщик\" inn=\"\" kpp=\"\" number_po=\"123\" bik=\"\" "
               "date=\"05/03/2008\" bank=\"Банк\" summ=\"1500\" correspondent_account_number=\"\" "
               "remainder=\"\" number_account=\"\" okato=\"\" po_kind=\"\" base=\"\" "
               "document_kind=\"2\"/></pos>"
               "<addresses><address zip=\"101000\" region_id=\"77\" district_id=\"\" "
               "city_name=\"Москва\" street_name=\"Тверская\" district_of_city_name=\"\" "
               "house=\"1\" build=\"\" flat=\"\" date_from=\"01/02/2010\" "
               "date_till=\"31/01/2011\"/></addresses></ig></organization></exportings>\n"));
}

TEST_F(ExportFileTest, AnEmptySelectionAndACitizenWithNothingAttachedAreEmptyElements) {
    EXPECT_EQ(exportKeys({}), "<?xml version='1.0' encoding='windows-1251'?>\n<exportings/>\n");
    IGFormData citizen = Citizen(QStringLiteral("Smith"));
    citizen.visaRegime = 1;
    const QByteArray bytes = exportKeys({add(citizen)});
    EXPECT_TRUE(bytes.contains("territories=\"\"/></organization></exportings>\n"))
        << bytes.toStdString();
}

TEST_F(ExportFileTest, GroupsFollowTheWindows1251BytesOfTheirKeys) {
    // Grid order: the file's order comes from the keys alone.
    add(Citizen(QStringLiteral("Первый")));  // Ромашка, 7701
    add(TrustedPersonCitizen(QStringLiteral("Второй"), QStringLiteral("Абрамов")));
    IGFormData other = Citizen(QStringLiteral("Третий"));
    other.orgInn = QStringLiteral("7702");  // same name, another INN: another group
    add(other);
    add(Citizen(QStringLiteral("Четвёртый")));
    for (const char* name : {"Zeta", "1С", "Ёлка", "Яблоко"}) {
        IGFormData c = Citizen(QStringLiteral("из ") + QString::fromUtf8(name));
        c.orgName = QString::fromUtf8(name);
        add(c);
    }
    add(Citizen(QStringLiteral("Пятый")));

    const ReadBack file(exportKeys(allKeys()));
    ASSERT_TRUE(file.wellFormed());
    EXPECT_EQ(
        file.attribute("/exportings/organization", "name"),
        (QStringList{"1С", "Zeta", "Ёлка", "", "ООО \"Ромашка\"", "ООО \"Ромашка\"", "Яблоко"}));
    EXPECT_EQ(file.attribute("/exportings/organization", "f"),
              (QStringList{"", "", "", "Абрамов", "", "", ""}));
    EXPECT_EQ(file.attribute("/exportings/organization", "type"),
              (QStringList{"0", "0", "0", "1", "0", "0", "0"}));
    EXPECT_EQ(file.attribute("/exportings/organization[5]/ig", "last_name"),
              (QStringList{"Первый", "Четвёртый", "Пятый"}));
    EXPECT_EQ(file.attribute("/exportings/organization[6]/ig", "last_name"), QStringList{"Третий"});
    EXPECT_EQ(file.attribute("/exportings/organization[4]", "passport_number"), QStringList{"678"});

    const IGFormData trusted = TrustedPersonCitizen(QString(), QStringLiteral("Абрамов"));
    EXPECT_EQ(output::CitizenGroupKey(trusted).text, "Абрамов Пётр Петрович _45_678_2");
    EXPECT_EQ(output::CitizenGroupKey(Citizen({})).text, "ООО \"Ромашка\"_7701_1");
}

TEST_F(ExportFileTest, CitizenAttributesFollowTheirRules) {
    const struct {
        const char* what;
        void (*change)(IGFormData&);
        const char* attribute;
        const char* expected;
    } cases[] = {
        {"profession -1", [](IGFormData& c) { c.profession = -1; }, "profession_id", ""},
        {"prefix 0", [](IGFormData& c) { c.professionPrefix = 0; }, "pref_profession_id", ""},
        {"no country", [](IGFormData& c) { c.citizenship = -1; }, "country_id", ""},
        {"permit empty", [](IGFormData& c) { c.permitNumber.clear(); }, "rnp", ""},
        {"permit 0", [](IGFormData& c) { c.permitNumber = "0"; }, "rnp", ""},
        {"permit -1", [](IGFormData& c) { c.permitNumber = "-1"; }, "rnp", ""},
        {"permit after a blank", [](IGFormData& c) { c.permitNumber = " 7"; }, "rnp", ""},
        {"permit 00", [](IGFormData& c) { c.permitNumber = "00"; }, "rnp", "00"},
        {"permit 5 trimmed", [](IGFormData& c) { c.permitNumber = "5 "; }, "rnp", "5"},
        {"surname trimmed", [](IGFormData& c) { c.surname = " \tПетров\x01 "; }, "last_name",
         "Петров"},
        {"no-break space kept", [](IGFormData& c) { c.surname = "\u00A0Петров"; }, "last_name",
         "\u00A0Петров"},
        {"female", [](IGFormData& c) { c.sex = 0; }, "passport_sex", "0"},
        {"no birth date", [](IGFormData& c) { c.birthDate.clear(); }, "passport_birth_date", ""},
        {"medical date as typed", [](IGFormData& c) { c.medicalIssueDate = "31/02/2010"; },
         "issued_date", "31/02/2010"},
    };
    for (const auto& c : cases) {
        IGFormData citizen = Citizen(QStringLiteral("Иванов"));
        c.change(citizen);
        add(citizen);
    }
    const ReadBack file(exportKeys(allKeys()));
    ASSERT_TRUE(file.wellFormed());
    int index = 0;
    for (const auto& c : cases) {
        const QByteArray path =
            QByteArrayLiteral("/exportings/organization/ig[") + QByteArray::number(++index) + ']';
        EXPECT_EQ(file.attribute(path.constData(), c.attribute),
                  QStringList{QString::fromUtf8(c.expected)})
            << c.what;
    }
}

TEST_F(ExportFileTest, AddressesOnlyForVisaFreeCitizensWithAnAddressCutToTheirLengths) {
    const int visa = [&] {
        IGFormData c = Citizen(QStringLiteral("Визовый"));
        c.visaRegime = 1;
        return add(c);
    }();
    citizens::InsertRegistrationAddress(data.db(), Address(), visa);
    const int empty = add(Citizen(QStringLiteral("Пустой адрес")));
    citizens::InsertRegistrationAddress(data.db(), citizens::RegAddrFormData{}, empty);
    add(Citizen(QStringLiteral("Без адреса")));
    const int longTexts = add(Citizen(QStringLiteral("Длинный адрес")));
    citizens::RegAddrFormData address;
    address.postalIndex = QStringLiteral(" 1234567 ");
    address.district = 5;
    address.city = QString(60, QChar(u'г'));
    address.street = QString(55, QChar(u'у'));
    address.cityDistrict = QString(120, QChar(u'р'));
    address.house = QStringLiteral("123456789012345");
    address.building = QStringLiteral("корпус 1234");
    address.flat = QStringLiteral("😀😀😀😀😀😀😀😀😀😀😀");
    citizens::InsertRegistrationAddress(data.db(), address, longTexts);

    const ReadBack file(exportKeys(allKeys()));
    ASSERT_TRUE(file.wellFormed());
    EXPECT_EQ(file.attribute("//ig[addresses]", "last_name"), QStringList{"Длинный адрес"});
    const auto one = [&](const char* name) { return file.attribute("//address", name).value(0); };
    EXPECT_EQ(one("zip"), "123456");
    EXPECT_EQ(one("region_id"), "");
    EXPECT_EQ(one("district_id"), "5");
    EXPECT_EQ(one("city_name"), QString(50, QChar(u'г')));
    EXPECT_EQ(one("street_name"), QString(50, QChar(u'у')));
    EXPECT_EQ(one("district_of_city_name"), QString(100, QChar(u'р')));
    EXPECT_EQ(one("house"), "123456789012");
    EXPECT_EQ(one("build"), "корпус 123");
    EXPECT_EQ(one("flat"), "😀😀😀😀😀😀😀😀😀😀");
    EXPECT_EQ(one("date_from"), "");
}

TEST_F(ExportFileTest, TerritoriesAreTheOwnRegionOrTheCitizensOwnList) {
    citizens::ReplaceCitizenTerritories(data.db(), add(Citizen(QStringLiteral("A"))), {5, 12});
    add(Citizen(QStringLiteral("B")));
    EXPECT_EQ(ReadBack(exportKeys(allKeys())).attribute("//ig", "territories"),
              (QStringList{"5,12", ""}));
    settings::SaveRegionSetting(data.db(), settings::kOwnRegion, 77);
    EXPECT_EQ(ReadBack(exportKeys(allKeys())).attribute("//ig", "territories"),
              (QStringList{"77", "77"}));
}

TEST_F(ExportFileTest, EveryPaymentDocumentOfACitizenIsWrittenInStoredOrder) {
    const int many = add(Citizen(QStringLiteral("Много")));
    const int other = add(Citizen(QStringLiteral("Другой")));
    add(Citizen(QStringLiteral("Без документа")));
    for (int i = 1; i <= 12; ++i) {
        citizens::InsertPaymentDocument(data.db(), Payment(QString::number(i)), 2 * i, many);
        citizens::InsertPaymentDocument(data.db(), Payment(QStringLiteral("x")), 2 * i + 1, other);
    }
    const QList<citizens::PPFormData> documents =
        output::ListCitizenPaymentDocuments(data.db(), many);
    ASSERT_EQ(documents.size(), 12);
    EXPECT_EQ(documents[11].number, "12");
    EXPECT_EQ(documents[11].documentKey, 24);
    EXPECT_EQ(documents[11].citizenKey, many);
    EXPECT_EQ(documents[11].payer, "Плательщик");

    const ReadBack file(exportKeys(allKeys()));
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected << QString::number(i);
    EXPECT_EQ(file.attribute("//ig[1]/pos/po", "number_po"), expected);
    EXPECT_EQ(file.attribute("//ig[2]/pos/po", "number_po").size(), 12);
    EXPECT_EQ(file.nodes("//ig[3]/pos").size(), 0);
    EXPECT_EQ(file.attribute("//ig[1]/pos/po[1]", "kpp"), QStringList{""});
}

TEST_F(ExportFileTest, HostileTextsReadBackAsStoredLessWhatTheRulesRemove) {
    const QString hostile = QStringLiteral(
        "O'Brien \"<&>\" ]]> a\tb\x01"
        "c\x1F d\r\ne é Ł ё Ё 😀 \x7F end");
    const QString expected = QStringLiteral("O'Brien \"<&>\" ]]> a\tbc d\r\ne é Ł ё Ё 😀 \x7F end");
    IGFormData citizen = Citizen(hostile);
    citizen.givenName = QStringLiteral("\t") + hostile + QStringLiteral("\x02 ");
    citizen.orgName = hostile;
    citizen.photo = QStringLiteral("QU]]>JD\x01é==");
    const int key = add(citizen);
    citizens::PPFormData payment = Payment();
    payment.bank = hostile;
    citizens::InsertPaymentDocument(data.db(), payment, 1, key);
    citizens::RegAddrFormData address = Address();
    address.street = hostile;
    citizens::InsertRegistrationAddress(data.db(), address, key);

    const QByteArray bytes = exportKeys({key});
    const ReadBack file(bytes);
    ASSERT_TRUE(file.wellFormed()) << bytes.toStdString();
    EXPECT_EQ(file.attribute("//ig", "last_name"), QStringList{expected});
    EXPECT_EQ(file.attribute("//ig", "first_name"), QStringList{expected});
    EXPECT_EQ(file.attribute("//organization", "name"), QStringList{expected});
    EXPECT_EQ(file.attribute("//po", "bank"), QStringList{expected});
    EXPECT_EQ(file.attribute("//address", "street_name"), QStringList{expected.left(50)});
    ASSERT_EQ(file.nodes("//photo").size(), 1);
    EXPECT_EQ(file.text(file.nodes("//photo")[0]), "QU]]>JD==");
    // The characters windows-1251 lacks are character references, never raw bytes.
    EXPECT_TRUE(bytes.contains("&#233;")) << "é";
    EXPECT_TRUE(bytes.contains("&#128512;")) << "emoji";
}

TEST_F(ExportFileTest, AFailedWriteLeavesNoFileAndKeepsTheOldOne) {
    IGFormData citizen = Citizen(QStringLiteral("Иванов"));
    citizen.photo = QString(60000, QChar(u'A'));
    const int key = add(citizen);
    const QList<IGFormData> citizens = output::LoadCitizensByKeys(data.db(), {key}, false);

    try {
        output::WriteExportFile(data.db(), folder.file("missing/export.xml"), citizens);
        ADD_FAILURE() << "written into a missing folder";
    } catch (const output::FileWriteError& error) {
        EXPECT_EQ(error.path(), folder.file("missing/export.xml"));
        EXPECT_EQ(error.reason(), "папка не найдена");
    }

    // A file that may not grow beyond 20,000 bytes stands for a full disk.
    folder.write(QStringLiteral("export.xml"), "the previous export");
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    try {
        output::WriteExportFile(data.db(), path(), citizens);
        ADD_FAILURE() << "written beyond the limit";
    } catch (const output::FileWriteError& error) {
        EXPECT_EQ(error.reason(), "файл слишком велик для этого диска");
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(folder.read(QStringLiteral("export.xml")), "the previous export");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"export.xml", "igdb.dat"}));
}
