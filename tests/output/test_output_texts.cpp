// The texts of the office outputs, made without the office: file names, the citizen list's
// cells, the values of the application forms and the lines of the payment register.

#include <gtest/gtest.h>

#include <QMap>

#include "OutputFixtures.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "dates/DateConventions.h"
#include "output/ApplicationForm.h"
#include "output/CitizenList.h"
#include "output/CitizenSelection.h"
#include "output/FileNames.h"
#include "output/PaymentRegister.h"
#include "permits/PermitStore.h"
#include "settings/RegionSetting.h"
#include "storage/Options.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace output;

namespace {

// The grid of a form after its values are written in order: row -> its characters from
// column 1 ("·" for a box nothing was written to), trailing blanks dropped.
QMap<int, QString> Grid(const QList<FormSlot>& formSlots) {
    QMap<int, QString> grid;
    for (const FormSlot& slot : formSlots) {
        QString& row = grid[slot.row];
        const qsizetype end = slot.column - 1 + slot.text.size();
        while (row.size() < end)
            row.append(u'·');
        row.replace(slot.column - 1, slot.text.size(), slot.text);
    }
    for (QString& row : grid) {
        while (row.endsWith(QLatin1Char(' ')))
            row.chop(1);
    }
    return grid;
}

QList<int> RowsInOrder(const QList<FormSlot>& formSlots) {
    QList<int> rows;
    for (const FormSlot& slot : formSlots)
        rows.append(slot.row);
    return rows;
}

}  // namespace

namespace output {
void PrintTo(const PPReportUnit& unit, std::ostream* out) {
    *out << QStringList({unit.number, unit.date, unit.payer, unit.address, unit.kind, unit.sum})
                .join('|')
                .toStdString();
}
}  // namespace output

TEST(FileNames, NamesFromStoredTextsStayInsideTheirFolder) {
    const struct {
        QString name;
        QString suffix;
        QString expected;
    } cases[] = {
        {"../x 05.03.2009-14.07", "", "___x 05.03.2009-14.07"},
        {"a/b", ".xls", "a_b.xls"},
        {".", "", "_"},
        {"..", "", "__"},
        {"", ".doc", "_.doc"},
        {"...", "", "___"},
        {".Ромашка. 05.03.2009", "", "_Ромашка. 05.03.2009"},
        {QString("a") + QChar(0) + "b\tc\nd\x7f", "", "a_b_c_d_"},
        {R"(ООО "Ромашка" \ : * ? < > |)", ".xls", "ООО _Ромашка_ _ _ _ _ _ _ _.xls"},
        {"Иванов Иван(AB 123)", ".xls", "Иванов Иван(AB 123).xls"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFileName(c.name, c.suffix), c.expected) << c.name.toStdString();
}

TEST(FileNames, LongNamesAreCutToWholeCharactersWithinTheLimit) {
    // Two bytes a letter: 200 letters are 400 bytes.
    const QString cyrillic(200, u'Ж');
    const QString cut = SafeFileName(cyrillic, ".xls");
    EXPECT_EQ(cut.toUtf8().size(), 250 + 4);
    EXPECT_EQ(cut, QString(125, u'Ж') + ".xls");
    // Four bytes a character (a surrogate pair): never split.
    QString wide;
    for (int i = 0; i < 70; ++i)
        wide += QString::fromUcs4(U"😀", 1);
    const QString wideCut = SafeFileName(wide);
    EXPECT_EQ(wideCut.toUtf8().size(), 252);
    EXPECT_TRUE(wideCut.back().isLowSurrogate());
    EXPECT_EQ(SafeFileName(QString(300, 'a')).size(), 255);
    // A half pair is no character: replaced.
    EXPECT_EQ(SafeFileName(QString(QChar(0xD83D)) + "x"), "_x");
}

TEST(FileNames, DefaultSuffixOnlyForANameWithoutExtension) {
    EXPECT_EQ(WithDefaultSuffix("/home/user/list", ".xls"), "/home/user/list.xls");
    EXPECT_EQ(WithDefaultSuffix("/home/user/list.xls", ".xls"), "/home/user/list.xls");
    EXPECT_EQ(FileNameWithCount(WithDefaultSuffix("/home/user/list.xls", ".xls"), 2),
              "/home/user/list - 2.xls");
}

TEST(CitizenList, ProfessionTitleFollowsThePrefixCase) {
    const dictionaries::ReferenceLists lists = SampleLists();
    const struct {
        int profession;
        int prefix;
        const char* title;
    } cases[] = {
        {10, 1, "Помощник каменщика"},  // case 1: the genitive form
        {10, 2, "Старший Каменщик"},    // case 0: the ordinary name
        {10, -1, " Каменщик"},          // no prefix: the blank stays
        {-1, 2, "Старший "},            // no profession
        {10, 3, "Стажер "},             // another case: no profession text
        {11, 1, "Помощник "},           // no genitive form in the list
        {10, 99, " Каменщик"},          // a prefix not in the list counts as case 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfessionTitle(lists, c.profession, c.prefix), QString::fromUtf8(c.title))
            << c.profession << " " << c.prefix;
    }
}

TEST(CitizenList, HeaderThenOneRowPerCitizenInTheirOrder) {
    citizens::IGFormData first = SampleCitizen();
    citizens::IGFormData second = SampleVisaCitizen();
    second.passportSeries = "";
    second.professionPrefix = 1;
    second.citizenship = 4;  // not in the list
    const QList<QStringList> rows = CitizenListRows({first, second}, SampleLists());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0],
              QStringList({"ФИО", "Дата рождения", "Серия №Паспорта", "Профессия", "Страна"}));
    EXPECT_EQ(rows[1], QStringList({"Рахимов Алишер Бахтиярович", "05/03/1980", "AA 0123456",
                                    " Каменщик", "Узбекистан"}));
    EXPECT_EQ(rows[2],
              QStringList({"Ли Мин ", "05/03/1980", " 0123456", "Помощник каменщика", ""}));
}

TEST(ApplicationForm, AddressTextSeparatesEveryPresentPartButTheLast) {
    const dictionaries::ReferenceLists lists = SampleLists();
    citizens::RegAddrFormData address;
    address.postalIndex = "125009";
    address.city = "Москва";
    address.house = "1";
    EXPECT_EQ(FormatAddressText(address, lists, AddressSeparator::Underscore),
              "125009,_Москва,_1,_");

    address.region = 77;
    address.district = 5;
    address.street = "Тверская";
    address.cityDistrict = "Тверской";
    address.building = "2";
    address.flat = "15";
    address.registeredFrom = "01/02/2009";
    address.registeredTo = "31/12/2009";
    EXPECT_EQ(FormatAddressText(address, lists, AddressSeparator::Blank),
              "125009, Москва, Центральный, Москва, Тверская, Тверской, 1, 15, 2, 01/02/2009, "
              "31/12/2009");
    // A chosen region that the list lacks is an empty part, still followed by the separator.
    citizens::RegAddrFormData unknown;
    unknown.region = 99;
    unknown.registeredTo = "31/12/2009";
    EXPECT_EQ(FormatAddressText(unknown, lists, AddressSeparator::Blank), ", 31/12/2009");
    EXPECT_EQ(FormatAddressText({}, lists, AddressSeparator::Blank), "");
}

TEST(ApplicationForm, CompactAndDottedDates) {
    EXPECT_EQ(CompactDate("05/03/2009"), "05032009");
    EXPECT_EQ(DottedDate("05/03/2009"), "05.03.2009");
    EXPECT_EQ(CompactDate(""), "");
    EXPECT_EQ(DottedDate(""), "");
}

TEST(ApplicationForm, VisaFreeValuesInTheirBoxesAndOrder) {
    citizens::IGFormData citizen = SampleCitizen();
    citizen.surname = "Рахим";
    ApplicationFormTexts texts{"Узбекистан", "Каменщик", "Москва,Московская область", ""};
    const QList<FormSlot> formSlots = ApplicationFormSlots(citizen, texts);
    EXPECT_EQ(RowsInOrder(formSlots),
              QList<int>({3, 3, 4, 7, 8, 9, 12, 13, 12, 10, 11, 18, 19, 32, 5, 17, 6, 33, 31}));
    // The surname's padding reaches column 26, where the given name begins.
    EXPECT_EQ(formSlots[0].text, "Рахим" + QString(21, ' '));
    EXPECT_EQ(formSlots[1], (FormSlot{3, 26, "Алишер" + QString(41, ' ')}));
    EXPECT_EQ(formSlots[16].text.size(), 27 + 81);
    EXPECT_EQ(formSlots[17], (FormSlot{33, 1, QString(41, ' ')}));
    const QMap<int, QString> grid = Grid(formSlots);
    const std::pair<int, QString> rows[] = {
        {3, "Рахим" + QString(20, ' ') + "Алишер"},
        {4, "Бахтиярович"},
        {5, "Узбекистан"},
        {6, "г. Ташкент, ул. Навои, д. 1"},
        {7, "паспорт"},
        {8, "AA"},
        {9, "0123456"},
        {10, "05032005"},
        {11, "05031980"},
        {12, "x"},
        {13, ""},
        {17, "15012009"},
        {18, "01022009"},
        {19, "31122009"},
        {31, "Москва,Московская область"},
        {32, "Каменщик"},
        {33, ""},
    };
    for (const auto& [row, text] : rows)
        EXPECT_EQ(grid[row], text) << "row " << row;

    citizen.sex = 0;
    const QMap<int, QString> female = Grid(ApplicationFormSlots(citizen, texts));
    EXPECT_EQ(female[12], "");
    EXPECT_EQ(female[13], "x");
}

TEST(ApplicationForm, VisaRowsLongProfessionAndResidencePermit) {
    citizens::IGFormData citizen = SampleVisaCitizen();
    citizen.temporaryResidence = 1;
    const QString profession = "Машинист крана автомобильного и гусеничного х";
    ASSERT_EQ(profession.size(), 45);
    const QList<FormSlot> formSlots =
        ApplicationFormSlots(citizen, {"Китай", profession, "Москва", "20/12/2008"});
    EXPECT_EQ(RowsInOrder(formSlots), QList<int>({3,  3,  4, 7,  8,  9,  12, 13, 13, 10, 11, 18,
                                                  19, 32, 5, 17, 33, 31, 14, 15, 20, 21, 22, 23}));
    const QMap<int, QString> grid = Grid(formSlots);
    EXPECT_EQ(formSlots[13], (FormSlot{32, 1, profession.left(30) + QString(41, ' ')}));
    EXPECT_EQ(grid[33], profession.mid(30) + " Разрешение на временное проживание");
    EXPECT_FALSE(grid.contains(6));
    EXPECT_EQ(grid[14], "77001234");
    EXPECT_EQ(grid[15], "20122008");
    EXPECT_EQ(grid[20], "ООО \"Восток\"");
    EXPECT_EQ(grid[21], "125009, г. Москва, ул. Тверская, д. 1");
    EXPECT_EQ(grid[22], "1027700132195");
    EXPECT_EQ(grid[23], "12031999");
}

TEST(ApplicationForm, FmsOfficeCentredOnTheLine) {
    const struct {
        int length;
        int blanks;
    } cases[] = {{30, 21}, {0, 36}, {69, 1}, {70, 1}, {71, 1}, {72, 0}, {100, 0}};
    for (const auto& c : cases) {
        const QString office(c.length, u'Ф');
        EXPECT_EQ(FmsOfficeLine(office), QString(c.blanks, ' ') + office + QString(c.blanks, ' '))
            << c.length;
    }
}

TEST(ApplicationForm, FileNamesOfACitizen) {
    citizens::IGFormData citizen = SampleCitizen();
    EXPECT_EQ(ApplicationFileName(citizen, ".xls"), "Рахимов Алишер Бахтиярович(AA 0123456).xls");
    citizen.surname = "../..";
    citizen.passportNumber = "12/34";
    EXPECT_EQ(ApplicationFileName(citizen, ".doc"), "___.. Алишер Бахтиярович(AA 12_34).doc");
}

TEST(ApplicationForm, CitizenFormsReadFromTheStores) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const dictionaries::ReferenceLists lists = SampleLists();
    citizens::IGFormData visa = SampleVisaCitizen();
    citizens::InsertCitizen(data.db(), visa, 1);
    visa.key = 1;
    citizens::ReplaceCitizenTerritories(data.db(), 1, {50, 999, 77});
    citizens::RegAddrFormData address;
    address.postalIndex = "125009";
    address.city = "Москва";
    address.house = "1";
    citizens::InsertRegistrationAddress(data.db(), address, 1);
    permits::InsertPermit(data.db(), "77001234", 39814, 40178, {}, {},
                          dates::DateTextToNumber("20/12/2008"));
    storage::SetOption(data.db(), "FMSMEMBER", "ОУФМС");

    FormsRunSettings settings = LoadFormsRunSettings(data.db(), lists);
    EXPECT_EQ(settings.regionId, -1);
    EXPECT_EQ(settings.fmsOffice, "ОУФМС");
    CitizenForms forms = LoadCitizenForms(data.db(), lists, settings, visa);
    QMap<int, QString> grid = Grid(forms.formSlots);
    // A territory the list lacks keeps its place as an empty name.
    EXPECT_EQ(grid[31], "Московская область,,Москва");
    EXPECT_EQ(grid[15], "20122008");
    EXPECT_EQ(grid[5], "Китай");
    EXPECT_EQ(forms.reverseSide,
              (ReverseSideTexts{"Каменщик", "125009,_Москва,_1,_", "01.02.2009 - 31.12.2009"}));
    EXPECT_EQ(forms.workbookName, "Ли Мин (AA 0123456).xls");
    EXPECT_EQ(forms.documentName, "Ли Мин (AA 0123456).doc");

    // The own region instead of the territories; a permit that does not exist writes blanks;
    // no address row gives an empty place.
    settings::SaveRegionSetting(data.db(), settings::kOwnRegion, 77);
    settings = LoadFormsRunSettings(data.db(), lists);
    EXPECT_EQ(settings.regionName, "Москва");
    visa.permitNumber = "нет такого";
    visa.key = 2;
    forms = LoadCitizenForms(data.db(), lists, settings, visa);
    grid = Grid(forms.formSlots);
    EXPECT_EQ(grid[31], "Москва");
    EXPECT_EQ(grid[15], "");
    EXPECT_EQ(forms.reverseSide.place, "");
}

TEST(PaymentRegister, DocumentsOfThePeriodInStoredOrder) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const struct {
        int citizen;
        const char* date;
        int kind;
    } documents[] = {
        {1, "01/02/2009", 2},  // first day
        {2, "31/01/2009", 1},  // the day before
        {1, "", 1},            // no date
        {2, "28/02/2009", 0},  // last day; its citizen is deleted below
        {3, "32/13/2009", 1},  // not a date
        {3, "01/03/2009", 1},  // the day after
        {3, "15/02/2009", 3},  // a citizen without an address
    };
    int key = 0;
    for (const auto& d : documents) {
        citizens::PPFormData document;
        document.number = QString::number(++key);
        document.date = QString::fromUtf8(d.date);
        document.payer = QStringLiteral("Плательщик %1").arg(d.citizen);
        document.sum = "1500";
        document.documentKind = d.kind;
        citizens::InsertPaymentDocument(data.db(), document, key, d.citizen);
    }
    citizens::RegAddrFormData address;
    address.postalIndex = "125009";
    address.city = "Москва";
    citizens::InsertRegistrationAddress(data.db(), address, 1);
    address.city = "Тула";
    citizens::InsertRegistrationAddress(data.db(), address, 2);
    citizens::InsertCitizen(data.db(), SampleCitizen(), 2);
    citizens::DeleteCitizens(data.db(), {2});

    const QList<PPReportUnit> units = ListPaymentDocumentsInPeriod(
        data.db(), SampleLists(), dates::DateTextToNumber("01/02/2009"),
        dates::DateTextToNumber("28/02/2009"));
    ASSERT_EQ(units.size(), 3);
    EXPECT_EQ(units[0],
              (PPReportUnit{"1", "01/02/2009", "Плательщик 1", "125009, Москва, ", "кв.", "1500"}));
    EXPECT_EQ(units[1],
              (PPReportUnit{"4", "28/02/2009", "Плательщик 2", "125009, Тула, ", "пр.", "1500"}));
    EXPECT_EQ(units[2], (PPReportUnit{"7", "15/02/2009", "Плательщик 3", "", "пр.", "1500"}));

    const QList<QStringList> rows = PaymentRegisterRows(units);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QStringList({"№", "Номер платежного документа", "Дата операции", "ФИО",
                                    "Адрес регистрации", "Вид ПД", "Сумма"}));
    EXPECT_EQ(rows[3], QStringList({"3", "7", "15/02/2009", "Плательщик 3", "", "пр.", "1500"}));
    EXPECT_EQ(PaymentDocumentKindText(1), "п/п");
}

TEST(PaymentRegister, ProposedFileNameAndTitle) {
    EXPECT_EQ(PaymentRegisterFileName("01/02/2009", "28/02/2009"),
              "Реестр_ПД_01022009-28022009.xls");
    EXPECT_EQ(PaymentRegisterTitle("01/02/2009", "28/02/2009"),
              "Реестр платежных документов от ИГ на период с 01/02/2009 по 28/02/2009");
}
