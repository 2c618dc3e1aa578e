#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "app/Forms.h"
#include "app/StartUpLoading.h"
#include "app/TMainForm.h"
#include "citizens/Base64.h"
#include "citizens/CitizenSave.h"
#include "citizens/CitizenTerritoryStore.h"
#include "citizens/TIGEditForm.h"
#include "citizens/TPPEditForm.h"
#include "citizens/TPhotoArea.h"
#include "citizens/TRegistrationAddr.h"
#include "citizens/TTerritoryEditForm.h"
#include "controls/ControlTesting.h"
#include "controls/TEditSD.h"
#include "controls/TExtDateEdit.h"
#include "controls/TExtEdit.h"
#include "controls/TExtSrchComboBox.h"
#include "controls/TExtSrchEdit.h"
#include "controls/TForm2.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/MessageBoxes.h"
#include "permits/PackageStore.h"
#include "permits/PermitStore.h"
#include "settings/OrganisationStore.h"
#include "settings/RegionSetting.h"
#include "settings/TOptionRegionForm.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using citizens::IGFormData;
using citizens::TIGEditForm;
using dictionaries::ComboItem;
using gui::MessageBoxes;

namespace {

// Visa-free: Узбекистан 860, Таджикистан 762; visa: Китай 156, Вьетнам 704.
dictionaries::ReferenceLists Lists() {
    dictionaries::ReferenceLists lists;
    lists.visaFreeCountries = {{"Узбекистан", ComboItem(860)}, {"Таджикистан", ComboItem(762)}};
    lists.allCountries = lists.visaFreeCountries;
    lists.allCountries << dictionaries::ReferenceEntry{"Китай", ComboItem(156)}
                       << dictionaries::ReferenceEntry{"Вьетнам", ComboItem(704)};
    lists.professions = {
        {"Каменщик", ComboItem(12680)}, {"Маляр", ComboItem(13450)}, {"Плотник", ComboItem(16671)}};
    lists.professionPrefixes = {{"Помощник", ComboItem(1, 1)}, {"Старший", ComboItem(2, 0)}};
    lists.territories = {{"Москва", ComboItem(77)}, {"Московская область", ComboItem(50)}};
    return lists;
}

const int kToday = dates::Today();

QString Day(int number) {
    return dates::DateNumberToText(number);
}

QString PhotoText() {
    QImage image(60, 80, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return QString::fromLatin1(jpeg.toBase64());
}

const QString kPermit = QStringLiteral("77-001");

// The permit 77-001 from 30 days ago for 300 days: 2 from China, 1 from Uzbekistan; one
// mason with the prefix 1 and one without, two painters with the prefix 2; territories 77
// and 50.
void StorePermit(storage::Database& db) {
    permits::InsertPermit(db, kPermit, kToday - 30, kToday + 270, {{156, 2}, {860, 1}},
                          {{12680, 1, 1}, {12680, 1, -1}, {13450, 2, 2}}, -1);
    permits::SavePermitTerritories(db, kPermit, {77, 50});
}

IGFormData StoredCitizen(const QString& permit, int country, int profession, int prefix) {
    IGFormData r;
    r.surname = QStringLiteral("Ли");
    r.givenName = QStringLiteral("Ван");
    r.passportNumber = QStringLiteral("1");
    r.birthDate = QStringLiteral("01/01/1980");
    r.visaRegime = permit.isEmpty() ? 0 : 1;
    r.permitNumber = permit;
    r.citizenship = country;
    r.profession = profession;
    r.professionPrefix = prefix;
    r.workFrom = Day(kToday);
    r.workTo = Day(kToday + 100);
    r.sex = 1;
    r.orgName = QStringLiteral("Ромашка");
    r.orgInn = QStringLiteral("7701");
    r.photo = PhotoText();
    return r;
}

QStringList Names(const controls::TExtSrchComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

class CitizenFormTest : public ::testing::Test {
protected:
    TestFolder folder;
    TestDatabase data{folder.path()};
    storage::Database& db = data.db();
    gui::Context context{folder.path(), db, Lists()};
    QWidget owner;
    citizens::TPPEditForm* payment = new citizens::TPPEditForm(context, &owner);
    citizens::TRegistrationAddr* address = new citizens::TRegistrationAddr(context, &owner);
    citizens::TTerritoryEditForm* territories = new citizens::TTerritoryEditForm(context, &owner);
    TIGEditForm* formPointer = new TIGEditForm(context, &owner);
    TIGEditForm& form = *formPointer;
    const QString photo = PhotoText();

    CitizenFormTest() {
        settings::OrgFormData org;
        org.name = QStringLiteral("Ромашка");
        org.inn = QStringLiteral("7701");
        org.legalAddress = QStringLiteral("Москва, Тверская 1");
        settings::SaveOrganisation(db, org);
        form.UseDialogs(payment, address, territories);
        form.TakeReferenceLists();
    }

    void setRegionType(int type) {
        settings::SaveRegionSetting(db, type, type == 1 ? 77 : -1);
        form.SetRegionType(type);
    }

    void choosePermit(const QString& number) {
        form.ComboBox1->setCurrentIndex(form.ComboBox1->findText(number));
    }

    // Everything a visa-free citizen needs at the Moscow issuing centre.
    void fillVisaFree() {
        form.ComboProfess->SelectComboItemById(13450);
        fillPerson();
        form.ComboBox12->SelectComboItemById(860);
        form.RNPDateFrom->SetText(Day(kToday));
        form.RNPDateTo->SetText(Day(kToday + 100));
        form.setTerritories({77}, QStringLiteral("Москва"));
    }

    // Everything a citizen under the permit 77-001 needs, the permit chosen.
    void fillVisa() {
        choosePermit(kPermit);
        form.ComboProfess->SelectComboItemById(12680);
        fillPerson();
        form.ComboBox12->SelectComboItemById(156);
        form.RNPDateFrom->SetText(Day(kToday));
        form.RNPDateTo->SetText(Day(kToday + 100));
    }

    void fillPerson() {
        form.Edit14->setText(QStringLiteral("Иванов"));
        form.Edit15->setText(QStringLiteral("Иван"));
        form.EditPassNum->setText(QStringLiteral("123456"));
        form.CustomPanel12->SetText(QStringLiteral("01/01/1980"));
        form.PhotoArea()->ShowStoredPhoto(photo);
    }

    void pressSave() { QTest::mouseClick(form.Button2, Qt::LeftButton); }

    qint64 count(const char* table) {
        return db.queryInt(std::string("SELECT count(*) FROM ") + table);
    }

    QString focusName() {
        QWidget* focus = form.focusWidget();
        // A date field's focus is its inner edit.
        while (focus && qobject_cast<controls::TExtDateEdit*>(focus->parentWidget()))
            focus = focus->parentWidget();
        return focus ? focus->objectName() : QString();
    }
};

}  // namespace

TEST_F(CitizenFormTest, ControlsHaveTheirNamesLimitsAndStyles) {
    form.OpenNewCitizen(0);
    EXPECT_EQ(form.objectName(), "IGEditForm");
    EXPECT_EQ(form.windowTitle(), "Ввод данных о иностранном гражданине.Безвизовый");
    EXPECT_FALSE(form.isModal());
    const std::pair<QLineEdit*, int> limits[] = {
        {form.Edit2, 10},  {form.Edit14, 250},     {form.Edit15, 250},   {form.Edit, 250},
        {form.Edit11, 10}, {form.EditPassNum, 15}, {form.IssuedBy, 250},
    };
    for (const auto& [edit, limit] : limits)
        EXPECT_EQ(edit->maxLength(), limit) << edit->objectName().toStdString();
    for (auto* edit : {form.Edit14, form.Edit15, form.Edit})
        EXPECT_EQ(edit->EditStyle(), 1);
    for (auto* edit : {form.Edit11, form.EditPassNum})
        EXPECT_EQ(edit->EditStyle(), 2);
    EXPECT_EQ(form.IssuedBy->width(), 245);
    // The organisation's fields are filled for the user, from the stored organisation.
    for (QWidget* skipped :
         std::initializer_list<QWidget*>{form.Edit1, form.Edit2, form.Edit5, form.Edit7, form.Edit8,
                                         form.Edit4, form.Edit6, form.CheckBox3})
        EXPECT_EQ(skipped->focusPolicy() & Qt::TabFocus, 0) << skipped->objectName().toStdString();
    EXPECT_EQ(form.Edit1->text(), "Ромашка");
    EXPECT_TRUE(form.OrganisationGroup->isVisible());
    EXPECT_FALSE(form.TrustedPersonGroup->isVisible());
    // Every field is named by its label.
    const auto labels = form.findChildren<QLabel*>();
    for (QWidget* field :
         std::initializer_list<QWidget*>{form.Edit14, form.ComboBox12, form.ComboProfess,
                                         form.Edit12, form.CustomPanel12, form.IssuedBy})
        EXPECT_TRUE(std::any_of(labels.cbegin(), labels.cend(), [field](QLabel* label) {
            return label->buddy() == field;
        })) << field->objectName().toStdString();
}

TEST_F(CitizenFormTest, RegimesAndRegionTypesShowTheirControls) {
    struct Case {
        int visa;
        int regionType;
        bool permit, keepPeriod, territoryButton, territoryLabel, memo, address, residence;
    };
    const Case cases[] = {
        {0, 2, false, true, true, false, true, true, true},
        {0, 1, false, true, false, false, false, true, true},
        {1, 2, true, false, false, true, true, false, false},
        {1, 1, true, false, false, false, false, false, false},
    };
    StorePermit(db);
    for (const Case& c : cases) {
        setRegionType(c.regionType);
        form.OpenNewCitizen(c.visa);
        if (c.visa)
            choosePermit(kPermit);
        const std::string what =
            "visa " + std::to_string(c.visa) + ", region type " + std::to_string(c.regionType);
        EXPECT_EQ(form.windowTitle(), c.visa ? "Ввод данных о иностранном гражданине.Визовый"
                                             : "Ввод данных о иностранном гражданине.Безвизовый")
            << what;
        EXPECT_EQ(form.ComboBox1->isVisible(), c.permit) << what;
        EXPECT_EQ(form.PermitLabel->isVisible(), c.permit) << what;
        EXPECT_EQ(form.Label40->isVisible(), c.permit) << what;
        EXPECT_EQ(form.CheckBox4->isVisible(), c.keepPeriod) << what;
        EXPECT_EQ(form.Button6->isVisible(), c.territoryButton) << what;
        EXPECT_EQ(form.TerritoriesAsterisk->isVisible(), c.territoryButton) << what;
        EXPECT_EQ(form.CheckBox5->isVisible(), c.territoryButton) << what;
        EXPECT_EQ(form.Label41->isVisible(), c.territoryLabel) << what;
        EXPECT_EQ(form.Memo1->isVisible(), c.memo) << what;
        EXPECT_EQ(form.Button9->isEnabled(), c.address) << what;
        EXPECT_EQ(form.CheckBox2->isEnabled(), c.residence) << what;
        EXPECT_FALSE(form.ComboBox2->isVisible()) << what;
        EXPECT_FALSE(form.PackageLabel->isVisible()) << what;
    }
}

TEST_F(CitizenFormTest, ThePermitComesFirstAndOffersWhatItsQuotasLeave) {
    StorePermit(db);
    citizens::InsertCitizen(db, StoredCitizen(kPermit, 860, 12680, 1), 1);
    form.OpenNewCitizen(1);
    EXPECT_EQ(form.ComboBox1->count(), 2);
    EXPECT_EQ(form.ComboBox1->itemText(0), "");
    for (QWidget* field : std::initializer_list<QWidget*>{form.ComboProfess, form.Edit14,
                                                          form.ComboBox12, form.RNPDateFrom})
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_TRUE(form.ComboBox1->isEnabled());
    EXPECT_TRUE(form.CustomPanel14->isEnabled());

    choosePermit(kPermit);
    EXPECT_TRUE(form.Edit14->isEnabled());
    EXPECT_EQ(form.Label40->text(),
              "Период действия: " + Day(kToday - 30) + "-" + Day(kToday + 270));
    EXPECT_EQ(form.Memo1->toPlainText(), "Москва,Московская область");
    EXPECT_EQ(form.territoryIds(), (QList<int>{77, 50}));
    // Uzbekistan's one place is taken; the mason keeps the place without a prefix.
    EXPECT_EQ(Names(form.ComboBox12), (QStringList{"", "Китай"}));
    EXPECT_EQ(Names(form.ComboProfess), (QStringList{"", "Каменщик", "Маляр"}));
    EXPECT_EQ(form.ComboBox11->count(), 0);

    form.ComboProfess->SelectComboItemById(12680);
    EXPECT_EQ(Names(form.ComboBox11), QStringList{""});  // the prefix -1 has no name
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), -1);
    EXPECT_EQ(form.ComboBox11->currentIndex(), 0);
    form.ComboProfess->SelectComboItemById(13450);
    EXPECT_EQ(Names(form.ComboBox11), QStringList{"Старший"});
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), 2);

    form.ComboBox1->setCurrentIndex(0);
    EXPECT_FALSE(form.Edit14->isEnabled());
}

TEST_F(CitizenFormTest, AnExhaustedPermitIsReportedAndOffersNothing) {
    permits::InsertPermit(db, "P-0", kToday - 30, kToday + 270, {{156, 1}}, {{12680, 1, -1}}, -1);
    citizens::InsertCitizen(db, StoredCitizen("P-0", 156, 12680, -1), 1);
    form.OpenNewCitizen(1);
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    choosePermit("P-0");
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка выбора РНП");
    EXPECT_EQ(shown[0].text, "Недостаточно квот для данного кода РНП");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(Names(form.ComboBox12), QStringList{""});
    EXPECT_EQ(Names(form.ComboProfess), QStringList{""});
}

TEST_F(CitizenFormTest, EditingTheLastCitizenOfAPermitStillOffersItsOwnPlaces) {
    permits::InsertPermit(db, "P-1", kToday - 30, kToday + 270, {{156, 1}}, {{12680, 1, 1}}, -1);
    IGFormData stored = StoredCitizen("P-1", 156, 12680, 1);
    stored.photo = photo;
    citizens::InsertCitizen(db, stored, 4);
    form.OpenCitizenForEditing(4);
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(form.windowTitle(), "Редактирование данных о иностранном гражданине.Визовый");
    EXPECT_EQ(form.ComboBox1->currentText(), "P-1");
    EXPECT_EQ(Names(form.ComboBox12), (QStringList{"", "Китай"}));
    EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), 156);
    EXPECT_EQ(form.ComboProfess->SelectedComboItemId(), 12680);
    EXPECT_EQ(Names(form.ComboBox11), QStringList{"Помощник"});
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), 1);
    EXPECT_TRUE(form.PhotoArea()->HasPhoto());
    EXPECT_EQ(form.PhotoArea()->Button5->text(), "Изменить фотографию");

    pressSave();  // the citizen takes its own places again
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CitizenFormTest, LeavingThePeriodStartProposesItsEnd) {
    permits::InsertPermit(db, "P-13", dates::DateToNumber(QDate(2012, 1, 1)),
                          dates::DateToNumber(QDate(2013, 1, 1)), {{156, 5}}, {{12680, 5, -1}}, -1);
    struct Case {
        int visa;
        const char* start;
        const char* proposed;
    };
    const Case cases[] = {
        {0, "29022012", "28/02/2013"},
        {0, "15032012", "14/03/2013"},
        {1, "15032012", "01/01/2013"},  // capped by the permit's last day
        {0, "1502", ""},                // no date, nothing proposed
    };
    for (const Case& c : cases) {
        form.OpenNewCitizen(c.visa);
        if (c.visa)
            choosePermit("P-13");
        controls_testing::ShowActive(form);
        form.RNPDateFrom->setFocus();
        controls_testing::Type(QString::fromLatin1(c.start));
        form.Edit14->setFocus();
        EXPECT_EQ(form.RNPDateTo->Text(), c.proposed) << c.start;
    }
    // Under a permit nothing is proposed before the permit is chosen.
    form.OpenNewCitizen(1);
    form.RNPDateFrom->setEnabled(true);
    form.RNPDateFrom->setFocus();
    controls_testing::Type(QStringLiteral("15032012"));
    form.Edit14->setFocus();
    EXPECT_EQ(form.RNPDateTo->Text(), "");
}

TEST_F(CitizenFormTest, KeepBoxesKeepThePeriodAndTerritoriesOnlyWhereTheyShow) {
    StorePermit(db);
    for (int visa : {0, 1}) {
        form.OpenNewCitizen(visa);
        visa ? fillVisa() : fillVisaFree();
        form.CheckBox4->setChecked(true);
        form.CheckBox5->setChecked(true);
        pressSave();
        ASSERT_TRUE(MessageBoxes::takeShown().isEmpty()) << visa;
        EXPECT_EQ(form.Edit14->text(), "") << visa;  // cleared for the next citizen
        EXPECT_EQ(form.RNPDateFrom->Text(), visa ? "" : Day(kToday)) << visa;
        EXPECT_EQ(form.RNPDateTo->Text(), visa ? "" : Day(kToday + 100)) << visa;
        // Under a permit the territories are the permit's again.
        EXPECT_EQ(form.Memo1->toPlainText(), visa ? "Москва,Московская область" : "Москва") << visa;
    }
    EXPECT_EQ(count("ig"), 2);
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.CheckBox4->isChecked());
    EXPECT_FALSE(form.CheckBox5->isChecked());
    form.OpenNewCitizen(0);
    EXPECT_EQ(form.RNPDateFrom->Text(), "");
    EXPECT_EQ(form.Memo1->toPlainText(), "");
}

TEST_F(CitizenFormTest, TemporaryResidenceTakesAwayTheCertificatesAndOpensEveryCountry) {
    form.OpenNewCitizen(0);
    form.CheckBox1->setChecked(true);
    EXPECT_TRUE(form.CustomPanel11->isVisible());
    EXPECT_EQ(form.CustomPanel11->Text(), Day(kToday));
    form.ComboBox12->SelectComboItemById(762);
    EXPECT_EQ(form.Edit12->text(), "Таджикистан");  // the permanent address follows the choice

    form.CheckBox2->setChecked(true);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.CheckBox1->isEnabled());
    EXPECT_FALSE(form.CustomPanel11->isVisible());
    EXPECT_FALSE(form.AcceptanceLabel->isVisible());
    EXPECT_EQ(Names(form.ComboBox12),
              (QStringList{"", "Узбекистан", "Таджикистан", "Китай", "Вьетнам"}));
    EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), 762);
    form.ComboBox12->SelectComboItemById(704);

    form.CheckBox2->setChecked(false);
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_EQ(Names(form.ComboBox12), (QStringList{"", "Узбекистан", "Таджикистан"}));
    EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), -1);
}

TEST_F(CitizenFormTest, EachFailedCheckShowsItsMessageAndMovesTheFocus) {
    struct Case {
        const char* what;
        int visa;
        std::function<void()> spoil;
        const char* text;
        const char* focus;  // empty: the focus stays on the button pressed
    };
    StorePermit(db);
    const Case cases[] = {
        {"permit", 1, [&] { form.ComboBox1->setCurrentIndex(0); },
         "Поле 'Номер РНП' является обязательным для заполнения.", "ComboBox1"},
        {"profession", 0, [&] { form.ComboProfess->SelectComboItemById(-1); },
         "Поле 'Профессия' является обязательным для заполнения.", "ComboProfess"},
        {"surname", 0, [&] { form.Edit14->clear(); },
         "Поле 'Фамилия' является обязательным для заполнения.", "Edit14"},
        {"given name", 0, [&] { form.Edit15->clear(); },
         "Поле 'Имя' является обязательным для заполнения.", "Edit15"},
        {"passport number", 0, [&] { form.EditPassNum->clear(); },
         "Поле 'Номер' паспорта является обязательным для заполнения.", "EditPassNum"},
        {"birth date", 0, [&] { form.CustomPanel12->SetText({}); },
         "Поле 'Дата' рождения является обязательным для заполнения.", "CustomPanel12"},
        {"acceptance date", 0,
         [&] {
             form.CheckBox1->setChecked(true);
             form.CustomPanel11->SetText({});
         },
         "Поле 'Дата принятия медицинских справок' является обязательным для заполнения.",
         "CustomPanel11"},
        {"sex", 0,
         [&] {
             for (QRadioButton* radio : {form.RadioButton1, form.RadioButton2}) {
                 radio->setAutoExclusive(false);
                 radio->setChecked(false);
                 radio->setAutoExclusive(true);
             }
         },
         "Поле 'Пол' является обязательным для заполнения.", "RadioButton1"},
        {"citizenship", 1, [&] { form.ComboBox12->SelectComboItemById(-1); },
         "Поле 'Гражданство' является обязательным для заполнения.", "ComboBox12"},
        {"period", 0, [&] { form.RNPDateTo->SetText({}); },
         "Поле 'Период действия' является обязательным для заполнения. ", "RNPDateFrom"},
        {"territories", 0, [&] { form.setTerritories({}, {}); },
         "Поле 'Территории действия' является обязательным для заполнения. ", "Button6"},
        {"organisation INN", 0, [&] { form.Edit2->clear(); },
         "Поле 'ИНН организации' является обязательным для заполнения. ", "Edit2"},
        {"certificate issue date", 0,
         [&] {
             form.CheckBox1->setChecked(true);
             form.CustomPanel13->SetText("31/04/2012");
         },
         "Ошибка заполнения даты", "CustomPanel13"},
        {"period to no date", 0, [&] { form.RNPDateTo->SetText("99/99/2099"); },
         "Ошибка заполнения даты", "RNPDateTo"},
        {"period before the permit", 1, [&] { form.RNPDateFrom->SetText(Day(kToday - 31)); },
         "Поле 'Период действия С' не может быть раньше 'Периода С' выбранного номера РНП", ""},
        {"photo", 0, [&] { form.PhotoArea()->Clear(); },
         "Поле 'Фотография' является обязательным для заполнения", ""},
        {"issue date", 0, [&] { form.DateREceive->SetText("31/02/2008"); },
         "Фомат поля 'Дата выдачи' должен быть ДД/ММ/ГГГГ'", "DateREceive"},
        {"issued by", 0, [&] { form.IssuedBy->setText("OVD"); },
         "Поле 'Кем выдан' должнло быть введено на русском языке", "IssuedBy"},
        {"special marks", 0, [&] { form.EdOsOtm->setText("x"); },
         "Поле 'Особые отметки' должнло быть введено на русском языке", "EdOsOtm"},
        {"age 6,569 days", 0, [&] { form.CustomPanel12->SetText(Day(kToday - 6569)); },
         "Внимание! Иностранному гражданину должно быть не менее 18 лет!", "CustomPanel12"},
    };
    for (const Case& c : cases) {
        form.OpenNewCitizen(c.visa);
        c.visa ? fillVisa() : fillVisaFree();
        controls_testing::ShowActive(form);
        form.CustomPanel14->setFocus();
        c.spoil();
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        pressSave();
        const auto shown = MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.what;
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.text)) << c.what;
        EXPECT_EQ(shown[0].icon, QMessageBox::NoIcon) << c.what;
        EXPECT_EQ(focusName(), *c.focus ? QString::fromUtf8(c.focus) : "Button2") << c.what;
        EXPECT_EQ(count("ig"), 0) << c.what;
        EXPECT_TRUE(form.isVisible()) << c.what;
    }
}

TEST_F(CitizenFormTest, TrustedPersonFieldsAreRequiredForATrustedPerson) {
    settings::OrgFormData trusted;
    trusted.type = settings::kTrustedPerson;
    trusted.surname = QStringLiteral("Петров");
    trusted.givenName = QStringLiteral("Пётр");
    settings::SaveOrganisation(db, trusted);
    form.OpenNewCitizen(0);
    EXPECT_TRUE(form.TrustedPersonGroup->isVisible());
    EXPECT_FALSE(form.OrganisationGroup->isVisible());
    EXPECT_EQ(form.Edit5->text(), "Петров");
    fillVisaFree();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    pressSave();
    EXPECT_EQ(MessageBoxes::takeShown().value(0).text,
              "Поле 'Номер паспорта доверенного лица' является обязательным для заполнения. ");
    form.Edit6->setText(QStringLiteral("4500"));
    pressSave();  // no patronymic or passport series needed
    EXPECT_EQ(Rows(db, "ig", "iOrgType, sOrgFF, sOrgNumber"), QStringList{"2|Петров|4500"});
}

TEST_F(CitizenFormTest, TwoSavesUseUpACountryQuotaOfTwo) {
    permits::InsertPermit(db, "Q2", kToday - 30, kToday + 270, {{156, 2}}, {{12680, 2, -1}}, -1);
    form.OpenNewCitizen(1);
    choosePermit("Q2");
    form.ComboProfess->SelectComboItemById(12680);
    fillPerson();
    form.ComboBox12->SelectComboItemById(156);
    form.RNPDateFrom->SetText(Day(kToday));
    form.RNPDateTo->SetText(Day(kToday + 100));
    pressSave();
    ASSERT_TRUE(MessageBoxes::takeShown().isEmpty());
    // The same permit again, for the next citizen.
    EXPECT_EQ(form.ComboBox1->currentText(), "Q2");
    EXPECT_EQ(Names(form.ComboBox12), (QStringList{"", "Китай"}));

    form.ComboProfess->SelectComboItemById(12680);
    fillPerson();
    form.ComboBox12->SelectComboItemById(156);
    form.RNPDateFrom->SetText(Day(kToday));
    form.RNPDateTo->SetText(Day(kToday + 100));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    pressSave();
    EXPECT_EQ(MessageBoxes::takeShown().value(0).text, "Недостаточно квот для данного кода РНП");
    EXPECT_EQ(Names(form.ComboBox12), QStringList{""});
    EXPECT_EQ(Rows(db, "ig", "igid, iRNP_ig_num, iVisa_ig_type"),
              (QStringList{"1|Q2|1", "2|Q2|1"}));
}

TEST_F(CitizenFormTest, TheRecordIsTakenFromTheFields) {
    setRegionType(1);  // the default region of a new address is 77
    form.OpenNewCitizen(0);
    fillVisaFree();
    form.Edit->setText(QStringLiteral("Иванович"));
    form.Edit11->setText(QStringLiteral("AB"));  // the series may be Latin
    form.RadioButton2->setChecked(true);
    form.CheckBox1->setChecked(true);
    form.CustomPanel13->SetText(QStringLiteral("02/02/2012"));
    form.Edit3->setText(QStringLiteral("М-7"));
    form.CheckBox1->setChecked(false);  // hidden certificate fields are not taken
    form.Edit12->setText(QStringLiteral("Ташкент"));
    EXPECT_EQ(form.HeldAddress().region, 77);
    pressSave();
    ASSERT_TRUE(MessageBoxes::takeShown().isEmpty());

    IGFormData stored;
    ASSERT_TRUE(citizens::LoadCitizen(db, stored, 1));
    EXPECT_EQ(stored.surname, "Иванов");
    EXPECT_EQ(stored.patronymic, "Иванович");
    EXPECT_EQ(stored.passportSeries, "AB");
    EXPECT_EQ(stored.profession, 13450);
    EXPECT_EQ(stored.professionPrefix, -1);
    EXPECT_EQ(stored.citizenship, 860);
    EXPECT_EQ(stored.sex, 0);
    EXPECT_EQ(stored.medicalCertificatesAccepted, 0);
    EXPECT_EQ(stored.medicalIssueDate, "");
    EXPECT_EQ(stored.medicalNumber, "");
    EXPECT_EQ(stored.visaRegime, 0);
    EXPECT_EQ(stored.permitNumber, "");
    EXPECT_EQ(stored.orgName, "Ромашка");
    EXPECT_EQ(stored.orgLegalAddress, "Москва, Тверская 1");
    EXPECT_EQ(stored.orgType, 1);
    EXPECT_EQ(stored.package, -1);
    EXPECT_EQ(stored.fillingDate, Day(kToday));
    EXPECT_EQ(stored.permanentAddress, "Ташкент");
    EXPECT_EQ(stored.photo, photo);
    // No address was entered: the row holds no region either.
    EXPECT_EQ(Rows(db, "igphaddr"), QStringList{"1||-1|-1|||||||-1|-1"});
    EXPECT_EQ(citizens::LoadCitizenTerritories(db, 1), QList<int>{77});
    EXPECT_EQ(Rows(db, "pp"), QStringList{});
    EXPECT_TRUE(form.PhotoArea()->Label23->isVisible());
}

TEST_F(CitizenFormTest, OpeningForEditingShowsTheStoredCitizenWithEverythingAttached) {
    IGFormData stored = StoredCitizen({}, 762, 16671, 2);
    stored.photo = photo;
    stored.medicalCertificatesAccepted = 1;
    stored.medicalAcceptanceDate = QStringLiteral("01/02/2012");
    stored.passportIssuedBy = QStringLiteral("ОВД");
    stored.sex = 0;
    stored.orgName = QStringLiteral("Старая организация");
    stored.permanentAddress = QStringLiteral("Душанбе, ул. Рудаки");
    citizens::CitizenSave save{stored, citizens::PPFormData(), {}, {50}, -1};
    save.address.city = QStringLiteral("Москва");
    const int key = *citizens::SaveCitizen(db, save);

    form.OpenCitizenForEditing(key);
    EXPECT_EQ(form.windowTitle(), "Редактирование данных о иностранном гражданине.Безвизовый");
    EXPECT_EQ(form.Edit14->text(), "Ли");
    EXPECT_EQ(form.IssuedBy->text(), "ОВД");
    EXPECT_FALSE(form.IssuedBy->DropDown()->isVisible());
    EXPECT_FALSE(form.RadioButton1->isChecked());
    EXPECT_TRUE(form.RadioButton2->isChecked());
    EXPECT_EQ(form.ComboProfess->SelectedComboItemId(), 16671);
    EXPECT_EQ(form.ComboBox11->SelectedComboItemId(), 2);
    EXPECT_EQ(form.ComboBox12->SelectedComboItemId(), 762);
    EXPECT_EQ(form.Edit12->text(), "Душанбе, ул. Рудаки");  // not the country's name
    EXPECT_TRUE(form.CustomPanel11->isVisible());
    EXPECT_EQ(form.CustomPanel11->Text(), "01/02/2012");
    EXPECT_EQ(form.Edit1->text(), "Старая организация");  // the citizen's, not the stored one
    EXPECT_EQ(form.Label15->text(), "Платеж принят");
    EXPECT_EQ(form.Button1->text(), "Редактировать");
    EXPECT_TRUE(form.ButtonPPDel->isVisible());
    EXPECT_EQ(form.Memo1->toPlainText(), "Московская область");
    EXPECT_EQ(form.HeldAddress().city, "Москва");
    EXPECT_TRUE(form.PhotoArea()->HasPhoto());
    EXPECT_TRUE(form.Edit14->isEnabled());
}

TEST_F(CitizenFormTest, EachEditSaveStoresThePaymentUnderANewKeyAndRunsTheSearchAgain) {
    citizens::CitizenSave save{
        StoredCitizen({}, 860, 13450, -1), citizens::PPFormData(), {}, {77}, -1};
    const int key = *citizens::SaveCitizen(db, save);
    QSignalSpy edited(&form, &TIGEditForm::citizenEdited);
    for (const char* ppid : {"2", "3"}) {
        form.OpenCitizenForEditing(key);
        form.Edit15->setText(QStringLiteral("Ваня"));
        pressSave();
        ASSERT_TRUE(MessageBoxes::takeShown().isEmpty());
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(Rows(db, "pp", "ppid, pppid"),
                  QStringList{QStringLiteral("%1|%2").arg(ppid).arg(key)});
    }
    EXPECT_EQ(edited.count(), 2);
    EXPECT_EQ(Rows(db, "ig", "igid, sName"), QStringList{"1|Ваня"});
    EXPECT_EQ(count("igphaddr"), 1);
}

TEST_F(CitizenFormTest, ARemovedPaymentDocumentGoesAtOnceInEditMode) {
    citizens::CitizenSave save{
        StoredCitizen({}, 860, 13450, -1), citizens::PPFormData(), {}, {}, -1};
    const int key = *citizens::SaveCitizen(db, save);
    form.OpenCitizenForEditing(key);
    MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(form.ButtonPPDel, Qt::LeftButton);
    auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Удаление Платежного поручения");
    EXPECT_EQ(shown[0].text, "Вы уверены, что хотите удалить платежное поручение?");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(count("pp"), 1);
    EXPECT_TRUE(form.HeldPaymentDocument().has_value());

    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(form.ButtonPPDel, Qt::LeftButton);
    EXPECT_EQ(MessageBoxes::takeShown().size(), 1);
    EXPECT_EQ(count("pp"), 0);
    EXPECT_FALSE(form.HeldPaymentDocument().has_value());
    EXPECT_EQ(form.Label15->text(), "Не принято");
    EXPECT_EQ(form.Button1->text(), "Принять");
    EXPECT_FALSE(form.ButtonPPDel->isVisible());
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(count("pp"), 0);

    // A new citizen's document is only held: removing it writes nothing.
    form.OpenNewCitizen(0);
    form.HoldPaymentDocument(citizens::PPFormData());
    EXPECT_TRUE(form.ButtonPPDel->isVisible());
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(form.ButtonPPDel, Qt::LeftButton);
    MessageBoxes::takeShown();
    EXPECT_FALSE(form.HeldPaymentDocument().has_value());
}

TEST_F(CitizenFormTest, RememberedOrganisationFieldsFollowTheFlagOfTheLastPress) {
    form.OpenNewCitizen(0);
    fillVisaFree();
    form.CheckBox3->setChecked(true);
    form.Edit1->setText(QStringLiteral("Ромашка-2"));
    pressSave();
    ASSERT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(Rows(db, "ig", "sOrgName"), QStringList{"Ромашка-2"});

    settings::OrgFormData changed = settings::LoadOrganisation(db);
    changed.name = QStringLiteral("Лютик");
    settings::SaveOrganisation(db, changed);
    form.hide();
    form.OpenNewCitizen(0);
    EXPECT_TRUE(form.CheckBox3->isChecked());
    EXPECT_EQ(form.Edit1->text(), "Ромашка-2");

    // A failed press with the flag off turns the remembering off.
    form.CheckBox3->setChecked(false);
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    pressSave();
    EXPECT_EQ(MessageBoxes::takeShown().size(), 1);
    form.hide();
    form.OpenNewCitizen(0);
    EXPECT_FALSE(form.CheckBox3->isChecked());
    EXPECT_EQ(form.Edit1->text(), "Лютик");
}

TEST_F(CitizenFormTest, ARefusedWriteIsReportedAndEverythingEnteredStays) {
    form.OpenNewCitizen(0);
    fillVisaFree();
    form.HoldPaymentDocument(citizens::PPFormData());
    const QStringList generators = Rows(db, "IGGEN") + Rows(db, "PPGEN");
    const struct {
        const char* what;
        const char* fault;
    } faults[] = {
        {"read-only database", "PRAGMA query_only = ON"},
        {"the last step refused",
         "CREATE TEMP TRIGGER refuse BEFORE INSERT ON igterritory "
         "BEGIN SELECT RAISE(ABORT, 'injected'); END"},
    };
    for (const auto& fault : faults) {
        db.exec(fault.fault);
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        pressSave();
        db.exec("PRAGMA query_only = OFF; DROP TRIGGER IF EXISTS temp.refuse");
        const auto shown = MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1) << fault.what;
        EXPECT_EQ(shown[0].title, "Ошибка сохранения") << fault.what;
        EXPECT_TRUE(shown[0].text.startsWith(
            "Не удалось сохранить данные иностранного гражданина: ничего не записано."))
            << shown[0].text.toStdString();
        EXPECT_EQ(count("ig") + count("pp") + count("igphaddr") + count("igterritory"), 0);
        EXPECT_EQ(Rows(db, "IGGEN") + Rows(db, "PPGEN"), generators) << fault.what;
        EXPECT_EQ(form.Edit14->text(), "Иванов") << fault.what;
        EXPECT_TRUE(form.PhotoArea()->HasPhoto()) << fault.what;
        EXPECT_TRUE(form.HeldPaymentDocument().has_value()) << fault.what;
        EXPECT_EQ(form.Memo1->toPlainText(), "Москва") << fault.what;
    }
    pressSave();  // once the cause is gone, it saves
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    // With keys that no refused save was given: a key once drawn is never drawn again.
    ASSERT_EQ(count("ig"), 1);
    ASSERT_EQ(count("pp"), 1);
    EXPECT_GT(Rows(db, "ig", "igid").front().toInt(), 1);
    EXPECT_GT(Rows(db, "pp", "ppid").front().toInt(), 1);
}

// A photo too large for the store is made to fit when it is taken; it is never dropped.
TEST_F(CitizenFormTest, APhotoTooLargeToStoreIsSavedMadeToFitNotDropped) {
    form.OpenNewCitizen(0);
    fillVisaFree();
    QByteArray jpeg = QByteArray::fromBase64(photo.toLatin1());
    jpeg.append(QByteArray(citizens::kMaxPhotoBytes + 1 - jpeg.size(), '\0'));  // after its end
    form.PhotoArea()->ShowStoredPhoto(QString::fromLatin1(jpeg.toBase64()));
    ASSERT_TRUE(form.PhotoArea()->HasPhoto());
    pressSave();
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    ASSERT_EQ(count("ig"), 1);
    const QString stored = Rows(db, "ig", "Photo").front();
    EXPECT_FALSE(stored.isEmpty());
    EXPECT_LE(QByteArray::fromBase64(stored.toLatin1()).size(), citizens::kMaxPhotoBytes);
}

TEST_F(CitizenFormTest, ACitizenInAPackageTakesItsPeriodAndTerritoriesAgainAfterEachSave) {
    permits::IGPackageFormData package;
    package.number = QStringLiteral("0001");
    package.activeFrom = Day(kToday);
    package.activeTo = Day(kToday + 200);
    package.territories = {50};
    permits::InsertPackage(db, package, 7);
    form.OpenNewCitizenInPackage(7);
    EXPECT_EQ(form.RNPDateTo->Text(), Day(kToday + 200));
    EXPECT_EQ(form.Memo1->toPlainText(), "Московская область");
    fillVisaFree();
    form.RNPDateTo->SetText(Day(kToday + 10));
    form.setTerritories({77}, QStringLiteral("Москва"));
    pressSave();
    ASSERT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(Rows(db, "ig", "iIGPkgNumber"), QStringList{"7"});
    EXPECT_EQ(form.RNPDateTo->Text(), Day(kToday + 200));
    EXPECT_EQ(form.territoryIds(), QList<int>{50});

    // From the main menu a citizen joins no package.
    form.OpenNewCitizen(0);
    fillVisaFree();
    pressSave();
    EXPECT_EQ(Rows(db, "ig", "iIGPkgNumber"), (QStringList{"7", "-1"}));
}

TEST_F(CitizenFormTest, ACitizenWhosePackageWasDeletedKeepsItsPackage) {
    permits::IGPackageFormData package;
    package.number = QStringLiteral("0002");
    permits::InsertPackage(db, package, 8);
    citizens::CitizenSave save{StoredCitizen({}, 860, 13450, -1), std::nullopt, {}, {77}, -1};
    for (int id : {8, 5}) {  // 5 was deleted
        save.record.package = id;
        citizens::SaveCitizen(db, save);
    }
    form.OpenCitizenForEditing(1);
    EXPECT_EQ(form.ComboBox2->currentData().toInt(), 8);
    pressSave();
    form.OpenCitizenForEditing(2);
    EXPECT_EQ(form.ComboBox2->currentText(), "");
    EXPECT_EQ(form.ComboBox2->currentData().toInt(), -1);
    pressSave();
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(Rows(db, "ig", "igid, iIGPkgNumber"), (QStringList{"1|8", "2|5"}));
}

TEST_F(CitizenFormTest, HelpOpensThePageOfTheRegimeAndThePhotoPage) {
    help_testing::CopyManual(folder);
    form.OpenNewCitizen(0);
    help_testing::ExpectHelpTopic(form.Edit14, form.Button7, gui::topic::kCitizenWithoutVisa);
    // Beside the photo its own "?" opens the photo's page.
    QTest::mouseClick(form.PhotoArea()->Button8, Qt::LeftButton);
    EXPECT_EQ(help_testing::ShownHelpPage(), gui::HelpTopicUrl(gui::topic::kPhoto).path());
    help_testing::CloseHelpWindow();
    form.OpenNewCitizen(1);
    help_testing::ExpectHelpTopic(form.ComboBox1, form.Button7, gui::topic::kCitizenWithVisa);
}

TEST_F(CitizenFormTest, TabFollowsThePaperFormAndSkipsTheOrganisation) {
    form.OpenNewCitizen(0);
    controls_testing::ShowActive(form);
    form.CustomPanel14->setFocus();
    QStringList order;
    for (int i = 0; i < 33; ++i) {
        order << focusName();
        controls_testing::Press(Qt::Key_Tab);
    }
    EXPECT_EQ(order,
              (QStringList{
                  "CustomPanel14", "ComboBox11",  "ComboProfess", "RNPDateFrom",   "RNPDateTo",
                  "CheckBox4",     "Edit14",      "Edit15",       "Edit",          "Edit11",
                  "EditPassNum",   "DateREceive", "IssuedBy",     "CustomPanel12", "RadioButton1",
                  "ComboBox12",    "Button4",     "Button5",      "Button8",       "EdOsOtm",
                  "CheckBox1",     "Button1",     "CheckBox2",    "Button9",       "Edit12",
                  "Button6",       "CheckBox5",   "Button2",      "Button3",       "Button7",
                  "CustomPanel14", "ComboBox11",  "ComboProfess"}));
}

TEST_F(CitizenFormTest, EnterSavesUnlessAnOpenListTakesItAndEscapeCancels) {
    form.OpenNewCitizen(0);
    fillVisaFree();
    controls_testing::ShowActive(form);
    form.ComboBox12->setFocus();
    form.ComboBox12->showPopup();
    ASSERT_TRUE(form.ComboBox12->view()->isVisible());
    controls_testing::Press(Qt::Key_Down);
    controls_testing::Press(Qt::Key_Return);  // picks the item, saves nothing
    EXPECT_FALSE(form.ComboBox12->view()->isVisible());
    EXPECT_EQ(count("ig"), 0);
    form.ComboBox12->SelectComboItemById(860);

    form.Edit15->setFocus();
    controls_testing::Press(Qt::Key_Return);
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());
    EXPECT_EQ(count("ig"), 1);

    form.CheckBox4->setChecked(true);
    form.Edit14->setFocus();
    controls_testing::Press(Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.CheckBox4->isChecked());
    EXPECT_EQ(count("ig"), 1);

    // Last: the offscreen platform does not give the window back when the picker closes.
    form.OpenNewCitizen(0);
    fillVisaFree();
    controls_testing::ShowActive(form);
    form.RNPDateFrom->Edit()->setFocus();
    form.RNPDateFrom->SetVisible(true);
    ASSERT_TRUE(form.RNPDateFrom->Edit()->Picker()->isVisible());
    controls_testing::Press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(form.RNPDateFrom->Edit()->Picker()->isVisible());
    EXPECT_EQ(count("ig"), 1);
}

// The program's windows reach the citizen window through the main window and Forms.
TEST(CitizenFormInTheProgram, MenuRegionDialogAndStartUpReachTheWindow) {
    TestFolder folder;
    TestDatabase data(folder.path());
    gui::Context context{folder.path(), data.db()};
    app::Forms forms(context);
    TIGEditForm& form = *forms.IGEditForm;
    EXPECT_EQ(form.parentWidget(), forms.MainForm.get());

    forms.MainForm->fdgdfg1->trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.VisaMode());
    forms.MainForm->N10->trigger();
    EXPECT_TRUE(form.VisaMode());
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());

    EXPECT_EQ(form.RegionType(), 2);
    emit forms.OptionRegionForm->regionTypeSaved(1);
    EXPECT_EQ(form.RegionType(), 1);

    for (const char* name : {"countries.xml", "professions.xml", "territories.xml", "regions.xml",
                             "district.xml", "professions_prefix.xml", "professions_case.xml"})
        folder.copyFixture(QStringLiteral("dictionaries/") + QLatin1String(name));
    for (const char* name :
         {"template/visaapplication.xls", "template/nonvisaapplication.xls", "template/revert.doc"})
        folder.write(QLatin1String(name), "template");
    app::RunStartUpLoading(forms, context);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ComboBox12->count(), context.lists.visaFreeCountries.size() + 1);
    EXPECT_EQ(form.ComboProfess->count(), context.lists.professions.size() + 1);
}

// Every caption shows whole in both regimes and both region types, for the organisation and
// for a trusted person. With
// VELTAR_SCREENSHOT_DIR set, each layout is also saved there as a picture to look at.
TEST_F(CitizenFormTest, EveryCaptionShowsWhole) {
    StorePermit(db);
    const QString screenshots = qEnvironmentVariable("VELTAR_SCREENSHOT_DIR");
    for (int regionType : {2, 1}) {
        setRegionType(regionType);
        if (regionType == 1) {  // and the trusted person's group
            settings::OrgFormData trusted;
            trusted.type = settings::kTrustedPerson;
            trusted.surname = QStringLiteral("Петров");
            settings::SaveOrganisation(db, trusted);
        }
        for (int visa : {0, 1}) {
            form.OpenNewCitizen(visa);
            if (visa)
                choosePermit(kPermit);
            form.CheckBox1->setChecked(true);
            form.HoldPaymentDocument(citizens::PPFormData());
            controls_testing::ShowActive(form);
            const std::string what =
                "visa " + std::to_string(visa) + ", region type " + std::to_string(regionType);
            for (QWidget* widget : form.findChildren<QWidget*>()) {
                if (!widget->isVisibleTo(&form) ||
                    !(qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)))
                    continue;
                // The picture has its fixed size; a date field's button is its bitmap's size.
                if (widget == form.PhotoArea()->Image1 || widget == form.PhotoArea()->Label23 ||
                    qobject_cast<controls::TExtDateEdit*>(widget->parentWidget()))
                    continue;
                // A button fitted to its caption ("?") is narrower than the style's minimum
                // for buttons: its caption must still show whole.
                const QString caption = widget->property("text").toString();
                const int needed = qobject_cast<QAbstractButton*>(widget) && caption.size() == 1
                                       ? widget->fontMetrics().horizontalAdvance(caption)
                                       : widget->minimumSizeHint().width();
                EXPECT_GE(widget->width(), needed)
                    << what << ": " << widget->objectName().toStdString() << " "
                    << caption.toStdString();
                EXPECT_GE(widget->height(), widget->minimumSizeHint().height()) << what;
            }
            EXPECT_LE(form.width(), 1280) << what;
            EXPECT_LE(form.height(), 1000) << what;
            if (!screenshots.isEmpty())
                form.grab().save(QStringLiteral("%1/citizen_visa%2_region%3.png")
                                     .arg(screenshots)
                                     .arg(visa)
                                     .arg(regionType));
            MessageBoxes::takeShown();
        }
    }
}
